#pragma once
#include <QWidget>

class QFrame;
class QPushButton;

// One user-mode slot of the main menu's popup: a frame, grey when empty, with its picture and, on
// the slot in use, the "Using" tag; its number in the corner; a flat button over all of it, named
// after the slot, which the keys and a touch press; and the selection ring on that button.
class ModeSlot : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kWidth = 50;
    static constexpr int kHeight = 40;

    ModeSlot(int slot, bool saved, bool in_use, const QString &using_text, QWidget *parent);

    QFrame *frame() const { return m_frame; }
    QPushButton *button() const { return m_button; }
    void set_ringed(bool ringed);
    // The frame's own colours: saved, empty, or just chosen.
    void show_saved(bool saved);
    void show_chosen();

private:
    QFrame *m_frame;
    QPushButton *m_button;
};
