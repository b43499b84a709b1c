#pragma once
#include <QComboBox>

// A combo box hands a new font on to its popup list and renews the list's item painter on a new
// style, and for either it builds the list (a window of its own, with a view, scroll bars and
// scrollers) long before anyone opens it: a fifth of a screen's opening where the box has a font
// or a style of its own, and again at every change of its look. This one hands both over when the
// list is first shown.
class LazyPopupComboBox : public QComboBox
{
    Q_OBJECT
public:
    using QComboBox::QComboBox;

    void showPopup() override;

protected:
    void changeEvent(QEvent *event) override;

private:
    bool m_popup_shown = false;
    bool m_font_pending = false;
    bool m_style_pending = false;
};
