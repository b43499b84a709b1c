#pragma once

class ColouredLine;
class QLabel;
class QWidget;

// The row of the four inputs on the input screens, in list order (HDMI1, HDMI2, HDMI3, DVI): each
// input's name and icon, on the labels the screen's form places for them ("sourcelistseq<N>name"
// and "sourcelistseq<N>pixmap"). The form's fifth and sixth places stand for inputs this device
// does not have: they stay hidden.
class SourceRow
{
public:
    static constexpr int kInputs = 4;

    // A screen takes its row once its form is set up: `m_row = SourceRow(this)`.
    SourceRow() = default;
    explicit SourceRow(QWidget *form);

    // Each input's name alone, in its colour.
    void show_names();
    // The entries of each input counted afresh (the input itself and its crops) and shown after
    // its name; a display name from the names file is cut to the label, less a margin, in the
    // row's 9-px font.
    void show_counts();
    // The inputs' icons, plain or by whether each has a signal.
    void show_icons();
    void show_signal_icons();
    // The signal icons show another state than the image holds now for some input.
    bool signal_icons_behind() const;
    // Whether source id 0..3's icon shows it with a signal.
    bool online(int source) const;

    // The entries of source id 0..3 as last counted (1 before any count); 0 for another id.
    int count(int source) const;

private:
    ColouredLine *m_names[kInputs] = {};
    QLabel *m_icons[kInputs] = {};
    int m_counts[kInputs] = {1, 1, 1, 1};
    // By source id, as the signal icons were last drawn; -1: not drawn by signal.
    int m_online[kInputs] = {-1, -1, -1, -1};
};
