#include "clock.h"

#include <QMutexLocker>

#include "utils.h"

namespace {
std::function<QDateTime()> &test_clock()
{
    static std::function<QDateTime()> clock;
    return clock;
}
}

QDateTime clock_now()
{
    if (test_clock())
        return test_clock()();
    QMutexLocker lock(&Utils::_system_mutex);
    return QDateTime::currentDateTime();
}

void set_clock_for_test(std::function<QDateTime()> clock)
{
    test_clock() = std::move(clock);
}
