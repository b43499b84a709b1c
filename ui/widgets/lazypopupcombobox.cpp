#include "lazypopupcombobox.h"

#include <QEvent>

void LazyPopupComboBox::showPopup()
{
    m_popup_shown = true;
    if (m_font_pending) {
        m_font_pending = false;
        QEvent change(QEvent::FontChange);
        QComboBox::changeEvent(&change);
    }
    QComboBox::showPopup();
}

void LazyPopupComboBox::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange && !m_popup_shown) {
        m_font_pending = true;
        QWidget::changeEvent(event);
        return;
    }
    QComboBox::changeEvent(event);
}
