#include "levels.h"

#include "focus.h"

LevelStack::LevelStack(int base, FocusList *list)
{
    m_stack.push_back(Entry{base, 0, list});
}

int LevelStack::index() const
{
    const Entry &top = m_stack.back();
    return top.list ? top.list->index() : top.index;
}

void LevelStack::set_index(int index)
{
    Entry &top = m_stack.back();
    if (top.list)
        top.list->set_index(index);
    else
        top.index = index;
}

void LevelStack::enter(int level, int index, FocusList *list)
{
    m_stack.push_back(Entry{level, index, list});
    if (list)
        list->set_index(index);
}

bool LevelStack::leave()
{
    if (m_stack.size() <= 1)
        return false;
    if (FocusList *left = m_stack.back().list) {
        left->cancel_edit();
        left->unfocus_current();
    }
    m_stack.pop_back();
    if (FocusList *back = m_stack.back().list)
        back->restyle(back->index());
    return true;
}

int LevelStack::find(int level) const
{
    for (int at = depth() - 1; at >= 0; --at) {
        if (m_stack[static_cast<size_t>(at)].level == level)
            return at;
    }
    return -1;
}

int LevelStack::index_of(int level) const
{
    const int at = find(level);
    if (at < 0)
        return -1;
    const Entry &entry = m_stack[static_cast<size_t>(at)];
    return entry.list ? entry.list->index() : entry.index;
}

void LevelStack::set_index_of(int level, int index)
{
    const int at = find(level);
    if (at < 0)
        return;
    Entry &entry = m_stack[static_cast<size_t>(at)];
    if (!entry.list) {
        entry.index = index;
        return;
    }
    entry.list->set_index(index);
    if (at != depth() - 1)
        entry.list->unfocus_current();
}

bool LevelStack::back_to(int level)
{
    if (find(level) < 0)
        return false;
    while (current() != level)
        leave();
    return true;
}
