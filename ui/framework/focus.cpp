#include "focus.h"

#include <QAbstractButton>

#include "my_lineedit.h"

void FocusList::add(QWidget *w, Look kind)
{
    m_rows.push_back(Row{w, kind, {}, {}, true});
}

void FocusList::set(std::initializer_list<QWidget *> rows, Look kind)
{
    clear();
    for (QWidget *w : rows)
        add(w, kind);
    set_index(0);
}

void FocusList::clear()
{
    m_rows.clear();
    m_index = 0;
    m_editing = false;
}

void FocusList::set_editor(int row, Editor editor)
{
    if (row >= 0 && row < size())
        m_rows[static_cast<size_t>(row)].editor = std::move(editor);
}

void FocusList::set_action(int row, std::function<void()> action)
{
    if (row >= 0 && row < size())
        m_rows[static_cast<size_t>(row)].action = std::move(action);
}

void FocusList::set_available(int row, bool available)
{
    if (row < 0 || row >= size())
        return;
    m_rows[static_cast<size_t>(row)].available = available;
    restyle(row);
}

QWidget *FocusList::current() const
{
    return at(m_index);
}

QWidget *FocusList::at(int i) const
{
    if (i < 0 || i >= size())
        return nullptr;
    return m_rows[static_cast<size_t>(i)].w;
}

void FocusList::restyle(int i)
{
    if (i < 0 || i >= size())
        return;
    const Row &row = m_rows[static_cast<size_t>(i)];
    LookState state;
    if (i != m_index)
        state = row.available ? LookState::Normal : LookState::Unavailable;
    else if (!row.available)
        state = LookState::UnavailableFocus;
    else
        state = m_editing ? LookState::Edit : LookState::Focus;
    set_look(row.w, row.kind, state);
}

void FocusList::set_index(int i)
{
    if (m_rows.empty())
        return;
    const int old = m_index;
    m_index = ((i % size()) + size()) % size();
    if (old >= 0 && old < size() && old != m_index)
        restyle(old);
    restyle(m_index);
}

void FocusList::move(int delta)
{
    set_index(m_index + delta);
}

void FocusList::restyle()
{
    for (int i = 0; i < size(); ++i)
        restyle(i);
}

void FocusList::unfocus_current()
{
    if (m_index < 0 || m_index >= size())
        return;
    const Row &row = m_rows[static_cast<size_t>(m_index)];
    set_look(row.w, row.kind, row.available ? LookState::Normal : LookState::Unavailable);
}

void FocusList::click_current()
{
    QWidget *w = current();
    if (!w || !w->isEnabled())
        return;
    // A number field opens the keyboard by the same road as a touch on it.
    if (auto *edit = qobject_cast<My_lineEdit *>(w)) {
        emit edit->send_show(edit->text());
        return;
    }
    if (auto *button = qobject_cast<QAbstractButton *>(w))
        button->click();
}

void FocusList::key_move(int delta)
{
    if (!m_editing) {
        move(delta);
        return;
    }
    const Editor &editor = m_rows[static_cast<size_t>(m_index)].editor;
    if (editor.step)
        editor.step(delta);
}

void FocusList::ok()
{
    if (m_index < 0 || m_index >= size())
        return;
    // Held by value: the editor's or the action's own work may rebuild the list.
    const Editor editor = m_rows[static_cast<size_t>(m_index)].editor;
    const std::function<void()> action = m_rows[static_cast<size_t>(m_index)].action;
    if (m_editing) {
        m_editing = false;
        restyle(m_index);
        if (editor.commit)
            editor.commit();
        return;
    }
    if (action) {
        action();
        return;
    }
    if (!editor.step) {
        click_current();
        return;
    }
    if (editor.begin && !editor.begin())
        return;
    m_editing = true;
    restyle(m_index);
}

bool FocusList::back()
{
    if (!m_editing)
        return false;
    cancel_edit();
    return true;
}

void FocusList::cancel_edit()
{
    if (!m_editing)
        return;
    const Editor editor = m_rows[static_cast<size_t>(m_index)].editor;
    m_editing = false;
    restyle(m_index);
    if (editor.revert)
        editor.revert();
}

void FocusList::drop_edit()
{
    if (!m_editing)
        return;
    m_editing = false;
    restyle(m_index);
}
