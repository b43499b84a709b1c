#pragma once
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

#include "focus.h"

class QComboBox;
class My_lineEdit;

// A number typed on the shared keyboard into a touch line edit. A touch on the field, or OK on
// its row (FocusList), opens the keyboard with the field's title and text; the confirmed text
// goes to `accept`, which checks it and sets what the field shows (by default the text as typed).
// Cancel leaves the field as it was. The field lives as long as its line edit.
class NumberField : public QObject
{
public:
    using Accept = std::function<void(const QString &text)>;
    NumberField(My_lineEdit *edit, std::function<QString()> title, Accept accept = {});

    My_lineEdit *edit() const { return m_edit; }
    void open();

private:
    My_lineEdit *m_edit;
    std::function<QString()> m_title;
    Accept m_accept;
};

// A choice among a combo box's entries, changed on the value level of its row: left and right
// move through the entries with wrap (skipping those `selectable` refuses), OK keeps the entry
// shown and stores it, back shows the entry of when the edit began. A touch passes through the
// box: the keys alone change the choice.
class ChoiceField
{
public:
    explicit ChoiceField(QComboBox *box, std::function<bool(int index)> selectable = {});

    QComboBox *box() const { return m_box; }
    // Fills the box anew and shows `current` (a language change refills the texts).
    void set_entries(const QStringList &texts, int current);
    int current() const;
    FocusList::Editor editor(std::function<void(int index)> store);

private:
    QComboBox *m_box;
    std::function<bool(int)> m_selectable;
    int m_saved = 0;
};
