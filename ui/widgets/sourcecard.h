#pragma once
#include <QFont>
#include <QPointer>
#include <QWidget>

#include "zemrampara.h"

class QFrame;
class QLabel;

// A card of one input or of one of its crops: on its ground the state dot, the input's icon, the
// name and one more line (the signal or the size). Built once and refilled as its list pages.
// Three kinds, each with its geometry and looks in one table (sourcecard.cpp): a cell of the crop
// list, an entry of source choice (which the selected image may show: green, the "on" dot and
// the in-use badge) and the EDID screen's input.
class SourceCard : public QWidget
{
    Q_OBJECT
public:
    enum class Kind { CropCell, Entry, EdidInput };

    // `font` is the texts' font, and the one a display name is measured in.
    SourceCard(Kind kind, const QFont &font, QWidget *parent);

    // `source` picks the icon; the name is shown as typed (it may come from the names file).
    void set_entry(int source, const QString &name, const QString &info);
    // Entry `entry` of input `source` as the lists show it: 0 the input itself, by `source_name`,
    // with its signal; then its crops in number order, each by its display name from the names
    // file (cut to `name_width`) or as "<source_name>_crop<number>", with its size. An entry the
    // crop table no longer has shows no texts.
    void show_list_entry(int source, int entry, const QString &source_name, int name_width);
    // The card shows its input's signal, and the image holds another row now. The shadow cannot
    // tell: it changes only with the parameter file, so a signal that drops and comes back to the
    // row of the last save would look unchanged there, and the card would keep the drop.
    bool signal_behind() const;
    // Focused wins the look; in use (an entry only) also turns the dot on and shows the badge.
    void set_state(bool focused, bool in_use = false, const QString &badge_text = QString());

    Kind kind() const { return m_kind; }
    bool focused() const;
    bool in_use() const { return m_badge != nullptr; }
    // The frame that carries the card's look.
    QFrame *ground() const { return m_ground; }
    QString name() const;
    QString info() const;
    QString badge_text() const;

private:
    Kind m_kind;
    QFont m_font;
    QFrame *m_ground;
    QLabel *m_dot;
    QLabel *m_icon;
    QLabel *m_name;
    QLabel *m_info;
    QPointer<QLabel> m_badge;
    int m_source = -1;
    int m_dot_on = -1;
    bool m_shows_signal = false;
    ZemRamPara::TimingRow m_signal;   // the row the signal text was made from
};
