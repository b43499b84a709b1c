#pragma once
#include <QString>

class QWidget;

// What the wizard's flows share of their texts.
void set_point_size(QWidget *w, int pt);
// The step buttons; the Russian words name the action each button takes.
QString next_text();
QString previous_text();
// The port-group button: the range of ports it offers.
QString port_group_text();
// A number per language, in the order of tr5 (zh-Hans, en, ru, vi, zh-Hant).
int by_language(int zh, int en, int ru, int vi, int tw);
