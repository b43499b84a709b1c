#pragma once
#include <QDateTime>
#include <functional>

// The local date and time as the screens show it, read while holding Utils::_system_mutex so a
// clock being set by a shell command is never read half-way.
QDateTime clock_now();
// A fixed clock for pictures and tests; an empty function gives the system clock back.
void set_clock_for_test(std::function<QDateTime()> clock);
