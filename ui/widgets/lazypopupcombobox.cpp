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
    if (m_style_pending) {
        m_style_pending = false;
        QEvent change(QEvent::StyleChange);
        QComboBox::changeEvent(&change);
    }
    QComboBox::showPopup();
}

void LazyPopupComboBox::changeEvent(QEvent *event)
{
    if (!m_popup_shown && event->type() == QEvent::FontChange) {
        m_font_pending = true;
        QWidget::changeEvent(event);
        return;
    }
    if (!m_popup_shown && event->type() == QEvent::StyleChange) {
        m_style_pending = true;
        QWidget::changeEvent(event);
        return;
    }
    QComboBox::changeEvent(event);
}
