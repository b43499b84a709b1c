#pragma once
#include <QComboBox>

// A combo box hands a new font on to its popup list, and to do so builds the list (a window of
// its own, with a view, scroll bars and scrollers) at the first font change, long before anyone
// opens it: that was a fifth of the user-mode screen's opening. The hand-over waits here until the
// list is first shown. The panel keys step these boxes without ever opening the list.
class LazyPopupComboBox : public QComboBox
{
public:
    using QComboBox::QComboBox;

    void showPopup() override;

protected:
    void changeEvent(QEvent *event) override;

private:
    bool m_popup_shown = false;
    bool m_font_pending = false;
};
