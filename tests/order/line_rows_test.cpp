// Which grid row shows which order line, below the header and the rows
// that are only shown.
#include <gtest/gtest.h>

#include "order/line_rows.h"

namespace {

using order::LineRows;

TEST(LineRows, LinesFollowTheHeaderAndTheReadOnlyRows) {
    constexpr std::optional<int> none;
    const struct {
        int readOnly, lines;
        int gridRows, nextRow;
        std::optional<int> lineOfRow[6];  // rows 0 to 5
    } cases[] = {
        {0, 0, 2, 1, {none, none, none, none, none, none}},  // the empty row is no line
        {0, 1, 2, 2, {none, 0, none, none, none, none}},
        {0, 3, 4, 4, {none, 0, 1, 2, none, none}},
        {2, 0, 3, 3, {none, none, none, none, none, none}},
        {2, 2, 5, 5, {none, none, none, 0, 1, none}},
        {-1, 1, 2, 2, {none, 0, none, none, none, none}},  // fewer than none is none
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.readOnly << " read-only, " << c.lines << " lines");
        const LineRows rows(c.readOnly, c.lines);
        EXPECT_EQ(rows.GridRows(), c.gridRows);
        EXPECT_EQ(rows.RowOfLine(rows.Lines()), c.nextRow);
        for (int row = 0; row < 6; ++row) {
            EXPECT_EQ(rows.LineOfRow(row), c.lineOfRow[row]) << row;
            if (c.lineOfRow[row]) {
                EXPECT_EQ(rows.RowOfLine(*c.lineOfRow[row]), row);
            }
        }
    }
}

}  // namespace
