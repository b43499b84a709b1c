#pragma once
#include <vector>

class FocusList;

// The focus levels of a screen whose keys work in one of several places at a time: the image tabs,
// the source row beneath them and the list beneath that; a row of inputs and the edit frame one
// of them opens. The levels entered stand on a stack, the current one on top, each with its own
// focus index, so that leaving a level gives the keys back where they were on the level beneath.
//
// A level may be a FocusList's, its index then the list's: entering the level gives the list's
// row the focus look, leaving it ends an edit as back does and gives the row its normal look, and
// a list level the keys come back to shows its focus again. The look a level beneath keeps while
// a level above has the keys (a choice held there) is the screen's to give.
//
// A screen names its levels with an enum and holds a Levels<its enum>.
class LevelStack
{
public:
    explicit LevelStack(int base, FocusList *list = nullptr);

    int current() const { return m_stack.back().level; }
    // 1 at the base level.
    int depth() const { return static_cast<int>(m_stack.size()); }
    // The current level's focus index, and its list (null for a level of the screen's own drawing).
    int index() const;
    void set_index(int index);
    FocusList *list() const { return m_stack.back().list; }

    // Back one level; false at the base level, where the screen itself is left.
    bool leave();

protected:
    void enter(int level, int index, FocusList *list);
    // The index a level on the stack keeps (-1 for a level not entered), and the one to come back
    // to (nothing for a level not entered). A list beneath the current level keeps its row in the
    // normal look.
    int index_of(int level) const;
    void set_index_of(int level, int index);
    // Leaves every level above `level`; false (and nothing left) when `level` was not entered.
    bool back_to(int level);

private:
    struct Entry
    {
        int level;
        int index;
        FocusList *list;
    };
    // The topmost place of `level` on the stack, -1 where it is not.
    int find(int level) const;

    std::vector<Entry> m_stack;
};

template <class Level>
class Levels : public LevelStack
{
public:
    explicit Levels(Level base, FocusList *list = nullptr) : LevelStack(static_cast<int>(base), list) {}

    Level current() const { return static_cast<Level>(LevelStack::current()); }
    bool at(Level level) const { return current() == level; }
    // Makes `level` the current one at `index`, over the level that has the keys now.
    void enter(Level level, int index = 0, FocusList *list = nullptr)
    {
        LevelStack::enter(static_cast<int>(level), index, list);
    }
    int index_of(Level level) const { return LevelStack::index_of(static_cast<int>(level)); }
    void set_index_of(Level level, int index) { LevelStack::set_index_of(static_cast<int>(level), index); }
    bool back_to(Level level) { return LevelStack::back_to(static_cast<int>(level)); }
};
