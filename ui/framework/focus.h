#pragma once
#include <QPointer>
#include <QWidget>
#include <functional>
#include <initializer_list>
#include <vector>

#include "looks.h"

// A screen's key focus: its controls in focus order (the row level, index `ui_select`), each with
// its look. A row may carry an editor: OK on it opens its value (the value level, `ui_seltype` 1,
// edit look), where left and right step the value, OK commits and back reverts, both returning
// to the row level with the focus look. Rows without an editor act on OK as a touch would, or run
// the action given them (a control that the keys work but a touch must not).
class FocusList
{
public:
    // The value level of one row. `begin` may decline (false: nothing to edit now).
    struct Editor
    {
        std::function<bool()> begin;
        std::function<void(int delta)> step;
        std::function<void()> commit;
        std::function<void()> revert;
    };

    void add(QWidget *w, Look kind = Look::Large);
    // The whole list at once, of one kind, the first row focused.
    void set(std::initializer_list<QWidget *> rows, Look kind);
    void clear();
    void set_editor(int row, Editor editor);
    void set_action(int row, std::function<void()> action);
    // An unavailable row keeps its place and takes the unavailable looks; OK still reaches it.
    void set_available(int row, bool available);

    int size() const { return static_cast<int>(m_rows.size()); }
    int index() const { return m_index; }
    bool editing() const { return m_editing; }
    QWidget *current() const;
    QWidget *at(int i) const;

    // Gives the old row its normal look and the new one its focus look (wrap-around).
    void set_index(int i);
    void move(int delta);
    void restyle();                  // every row its look for the current index and level
    void restyle(int row);
    void unfocus_current();          // the focused row gets its normal look; the index stays
    void click_current();            // a button is clicked, a number field opened, as a touch would

    // The keys: on the row level left and right move and OK clicks or opens the value; on the
    // value level they step, commit and revert. back() is false on the row level (the screen
    // leaves), true when it closed an edit.
    void left() { key_move(-1); }
    void right() { key_move(+1); }
    void ok();
    bool back();
    // Ends an edit as back does, for a refresh that redraws the values (a language change).
    void cancel_edit();
    // Ends an edit with neither commit nor revert: the row's value was read afresh meanwhile.
    void drop_edit();

private:
    struct Row
    {
        QPointer<QWidget> w;
        Look kind;
        Editor editor;
        std::function<void()> action;
        bool available = true;
    };
    void key_move(int delta);

    std::vector<Row> m_rows;
    int m_index = 0;
    bool m_editing = false;
};
