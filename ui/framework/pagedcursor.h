#pragma once

// The key cursor of a list shown a page at a time (source choice's entries, the crops, the scan
// files). It holds one position over the whole list; the page on display and the place on that
// page follow from it, so a screen never keeps the two in step by hand. A list may open with
// places of its own before its first item (the crops' add button): they stand on the first page,
// before its full page of items.
//
// The count may change under the cursor (crops deleted over the link) without moving it: the
// screen goes on showing the page it was on, emptied or not, and the next key brings the cursor
// back into the list by the screen's wrap rule.
class PagedCursor
{
public:
    // What the keys do at the two ends of the list; turning the page by its buttons follows the
    // same rule.
    enum class Wrap {
        BothEnds,      // past the last place to the first, before the first to the last
        LastToFirst,   // past the last place to the first; before the first the cursor stays
    };

    PagedCursor(int per_page, Wrap wrap, int lead = 0);

    // The items listed (not counting the lead places). The position stays where it was.
    void set_count(int items);
    int count() const { return m_count; }
    int per_page() const { return m_per_page; }
    // The places the keys reach: the lead places and the items.
    int places() const { return m_lead + m_count; }

    // 0 is the first place of the first page (a lead place where the list has one).
    int position() const { return m_position; }
    void set_position(int position);
    // The place `slot` of the page on display, kept within the places that page has.
    void set_slot(int slot);

    int page() const { return page_of(m_position); }
    int last_page() const;
    // The place on its page; on the first page the lead places count first.
    int slot() const;
    // The item under the cursor, -1 on a lead place.
    int item() const { return m_position - m_lead; }
    // The first item a page shows and how many it shows (the lead places aside), and the places
    // the keys reach on it.
    int first_item(int page) const { return page * m_per_page; }
    int items_on(int page) const;
    int places_on(int page) const;

    // One place on, one place back, by the wrap rule; false where the cursor stayed.
    bool next();
    bool previous();
    // The page after or before by the wrap rule, at the same place on it where that page has it
    // (else at its last place); false where the page stayed.
    bool next_page();
    bool previous_page();

private:
    int page_of(int position) const;
    int first_place(int page) const { return page == 0 ? 0 : m_lead + page * m_per_page; }
    // The position of place `slot` on `page`, kept within the places the page has.
    int place(int page, int slot) const;

    int m_per_page;
    Wrap m_wrap;
    int m_lead;
    int m_count = 0;
    int m_position = 0;
};
