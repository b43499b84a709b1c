#include "wizard_texts.h"

#include <QWidget>

#include "language.h"

void set_point_size(QWidget *w, int pt)
{
    QFont f = w->font();
    if (f.pointSize() != pt) {
        f.setPointSize(pt);
        w->setFont(f);
    }
}

QString next_text()
{
    return tr5("下一步", "Next", "Далее", "Bước tiếp theo", "下一步");
}

QString previous_text()
{
    return tr5("上一步", "Previous", "Назад", "Thao tác\nphía trước", "上一步");
}

QString port_group_text()
{
    return tr5("网口%1~%2", "LED%1~%2", "LED%1~%2", "LED%1~%2", "網口%1~%2").arg(1).arg(6);
}

int by_language(int zh, int en, int ru, int vi, int tw)
{
    const int values[LANG_COUNT] = {zh, en, ru, vi, tw};
    return values[ui_language()];
}
