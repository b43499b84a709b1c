#pragma once
#include <QObject>

class QAbstractButton;
class SmartMapping;
namespace Ui {
class SmartMapping;
}

// One flow of the smart-mapping wizard: its pages in the frame's stack, its state and its focus
// levels. The frame shows the flow's first page while the key cursor rests on its entry and hands
// it the keys once OK has entered it; the flow gives them back from its first page.
class WizardFlow : public QObject
{
public:
    // The pages of the frame's stack.
    enum Page { kStep1, kStep2, kStep3, kRouting, kScanPort, kScanFiles, kCuringPage, kMappingPage };

    WizardFlow(SmartMapping &frame, Ui::SmartMapping &form) : m_frame(frame), ui(form) {}

    virtual void texts() = 0;
    // Its entry was chosen, by a touch or by OK: its first page.
    virtual void show_first_page() = 0;
    // The key cursor came to rest on its entry.
    virtual void preview() { show_first_page(); }
    // OK on its entry, after show_first_page(): the first page takes the keys.
    virtual void enter() = 0;
    virtual void move(int /*delta*/) {}
    virtual void ok() = 0;
    virtual void back() = 0;

    // A job's bar is up, the wizard's or any other screen's.
    static bool busy();

protected:
    SmartMapping &m_frame;
    Ui::SmartMapping &ui;
};

// A flow of one page whose one button is all it does: OK on the entry focuses the button, OK
// presses it and Back gives the keys back to the column.
class ButtonFlow : public WizardFlow
{
public:
    ButtonFlow(SmartMapping &frame, Ui::SmartMapping &form, QAbstractButton *button, Page page)
        : WizardFlow(frame, form), m_button(button), m_page(page)
    {
    }

    void show_first_page() override;
    void enter() override;
    void ok() override;
    void back() override;

private:
    QAbstractButton *m_button;
    Page m_page;
};
