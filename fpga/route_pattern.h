#pragma once
// The sixteen routing patterns of the smart-mapping wizard: the order in which the receiving cards
// of one output port are chained through a screen of rows x columns cabinets. The mapping-send job
// places its cards by them and the wizard's pictures of the patterns are drawn from them, so the
// picture a user chooses is the order the cards get. Plain C++: the picture maker builds without
// the program.
//
// Pattern p (1..16), q = p - 1: bit 0 of q starts the chain in the right-hand column, bit 1 in the
// bottom row; q / 4 even runs back and forth (a snake), odd starts every line from the same side;
// patterns 9 to 16 run along the columns instead of the rows.
namespace RoutePattern {

constexpr int kPatterns = 16;

// Row and column of card `index`; false when the pattern is not 1..16, the screen has no cabinet
// or the index lies beyond the last one.
constexpr bool cell(int pattern, int rows, int cols, int index, int *row, int *col)
{
    if (pattern < 1 || pattern > kPatterns || rows <= 0 || cols <= 0 || index < 0 || index >= rows * cols)
        return false;
    const int q = pattern - 1;
    const bool from_right = (q & 1) != 0;
    const bool from_bottom = (q & 2) != 0;
    const bool snake = ((q / 4) % 2) == 0;
    const bool columns_first = q >= 8;
    const int line_len = columns_first ? rows : cols;
    const int line = index / line_len;
    int along = index % line_len;
    if (snake && (line % 2) == 1)
        along = line_len - 1 - along;
    int r = columns_first ? along : line;
    int c = columns_first ? line : along;
    if (from_right)
        c = cols - 1 - c;
    if (from_bottom)
        r = rows - 1 - r;
    *row = r;
    *col = c;
    return true;
}

}
