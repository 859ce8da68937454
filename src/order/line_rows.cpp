#include "order/line_rows.h"

#include <algorithm>

namespace order {

std::optional<int> LineRows::LineOfRow(int row) const {
    const int line = row - RowOfLine(0);
    if (line < 0 || line >= lines_) return std::nullopt;
    return line;
}

int LineRows::GridRows() const {
    return std::max(2, RowOfLine(lines_));
}

}  // namespace order
