#include "pagedcursor.h"

#include <algorithm>

PagedCursor::PagedCursor(int per_page, Wrap wrap, int lead)
    : m_per_page(std::max(1, per_page)), m_wrap(wrap), m_lead(std::max(0, lead))
{
}

void PagedCursor::set_count(int items)
{
    m_count = std::max(0, items);
}

void PagedCursor::set_position(int position)
{
    m_position = std::max(0, position);
}

void PagedCursor::set_slot(int slot)
{
    m_position = place(page(), slot);
}

int PagedCursor::place(int page, int slot) const
{
    return first_place(page) + std::clamp(slot, 0, std::max(0, places_on(page) - 1));
}

int PagedCursor::page_of(int position) const
{
    return position < m_lead ? 0 : (position - m_lead) / m_per_page;
}

int PagedCursor::last_page() const
{
    return m_count <= m_per_page ? 0 : (m_count - 1) / m_per_page;
}

int PagedCursor::slot() const
{
    return m_position - first_place(page());
}

int PagedCursor::items_on(int page) const
{
    return std::clamp(m_count - first_item(page), 0, m_per_page);
}

int PagedCursor::places_on(int page) const
{
    return (page == 0 ? m_lead : 0) + items_on(page);
}

bool PagedCursor::next()
{
    const int to = m_position + 1 >= places() ? 0 : m_position + 1;
    const bool moved = to != m_position;
    m_position = to;
    return moved;
}

bool PagedCursor::previous()
{
    // Past the end (the list shrank) the cursor walks back through the pages it left empty, as
    // the page on display still shows them.
    if (m_position > 0) {
        --m_position;
        return true;
    }
    if (m_wrap != Wrap::BothEnds || places() <= 1)
        return false;
    m_position = places() - 1;
    return true;
}

bool PagedCursor::next_page()
{
    const int page = this->page();
    const int to = page + 1 > last_page() ? 0 : page + 1;
    if (to == page)
        return false;
    m_position = place(to, slot());
    return true;
}

bool PagedCursor::previous_page()
{
    const int page = this->page();
    int to = page - 1;
    if (page == 0) {
        if (m_wrap != Wrap::BothEnds)
            return false;
        to = last_page();
    }
    if (to == page)
        return false;
    m_position = place(to, slot());
    return true;
}
