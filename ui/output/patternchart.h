#pragma once
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <cstdint>

#include "screen.h"

// What the two test pattern screens share: the eight patterns in two rows of four and Close. OK on
// a pattern puts it on the LED screen (image 864, with the chip's update request) and stays; OK on
// Close and the back key turn it off and leave. The mode key leaves a pattern on. Nothing shows
// which pattern is on: the focus starts on pattern 1 at every opening.
namespace PatternChart {

constexpr int kPatterns = 8;
constexpr int kClose = kPatterns;   // the focus index of Close

struct Widgets
{
    QLabel *title;
    QLabel *icons[kPatterns];
    QLabel *captions[kPatterns];
    QPushButton *close;
};

// The icons on their labels (unscaled: the first one is larger than its label).
void set_icons(const Widgets &w);
// The focus list: the eight icons, then Close; the focus on pattern 1.
void set_focus(FocusList &focus, const Widgets &w);
void set_texts(const Widgets &w);
// Writes the pattern (0 off, 1 to 8) under the chip mutex with the update request.
void set_pattern(uint8_t pattern);

}

// A test pattern screen over its generated form, which names its widgets as both layouts do.
template <class Form>
class PatternChartOf : public ScreenOf<QDialog, Form>
{
public:
    PatternChartOf(uint8_t page, uint8_t parent_page) : ScreenOf<QDialog, Form>(page), m_parent(parent_page) {}

    void language_changed() override { PatternChart::set_texts(widgets()); }
    void menulist_init() { PatternChart::set_focus(this->m_focus, widgets()); }

    // OK on a pattern: pattern focus + 1 goes on (Close's index would turn it off).
    void slot_Button_on_clicked()
    {
        const int at = this->m_focus.index();
        PatternChart::set_pattern(static_cast<uint8_t>(at < PatternChart::kClose ? at + 1 : 0));
    }
    // Close and back: the pattern goes off, then the screen leaves to its opener.
    void slot_Button_back_clicked()
    {
        PatternChart::set_pattern(0);
        this->leave_to(m_parent);
    }

protected:
    // The derived screen calls this after its form is set up.
    void build()
    {
        PatternChart::set_icons(widgets());
        menulist_init();
        language_changed();
    }
    void key_ok() override
    {
        if (this->m_focus.index() == PatternChart::kClose)
            slot_Button_back_clicked();
        else
            slot_Button_on_clicked();
    }
    void key_back() override { slot_Button_back_clicked(); }

private:
    PatternChart::Widgets widgets()
    {
        auto &ui = this->ui;
        return {ui.label_testimage,
                {ui.label_test1, ui.label_test2, ui.label_test3, ui.label_test4, ui.label_test5, ui.label_test6,
                 ui.label_test7, ui.label_test8},
                {ui.label_red, ui.label_green, ui.label_blue, ui.label_white, ui.label_black, ui.label_color,
                 ui.label_hline, ui.label_wline},
                ui.Button_closetest};
    }

    uint8_t m_parent;
};
