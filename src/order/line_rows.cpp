#include "order/line_rows.h"

#include <algorithm>

namespace order {

LineRows::LineRows(int readOnlyRows, int lines)
    : read_only_(std::max(0, readOnlyRows)), lines_(std::max(0, lines)) {}

std::optional<int> LineRows::LineOfRow(int row) const {
    const int line = row - RowOfLine(0);
    if (line < 0 || line >= lines_) return std::nullopt;
    return line;
}

int LineRows::GridRows() const {
    return std::max(2, RowOfLine(lines_));
}

}  // namespace order
