#pragma once
// Where an order's lines sit in the order grid. Row 0 is the header; below
// it come the rows that are only shown (lines the screen cannot change),
// then the order's lines, line i (counted from 0) in one row each. A grid
// with no row below the header still has one, empty. Every action that goes
// from a row to a line, or from a line to a row, asks this.
#include <optional>

namespace order {

// The screen counts an order's lines in 16 bits: an order holds at most
// this many.
inline constexpr int kMaxLines = 32767;

class LineRows {
public:
    LineRows(int readOnlyRows, int lines) : read_only_(readOnlyRows), lines_(lines) {}

    int Lines() const { return lines_; }

    // The row of line `line`; the row of line Lines() is where the next
    // line goes.
    int RowOfLine(int line) const { return 1 + read_only_ + line; }
    // The line `row` shows; none for the header, a read-only row, the empty
    // row and rows past the last line.
    std::optional<int> LineOfRow(int row) const;
    // The grid's rows, the header included.
    int GridRows() const;

private:
    int read_only_;
    int lines_;
};

}  // namespace order
