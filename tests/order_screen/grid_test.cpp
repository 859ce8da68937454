// The grid's row-and-cell vocabulary checked against what the table widget
// really holds and shows, under the offscreen platform.
#include "order_screen/grid.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QHeaderView>
#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <tuple>

#include "runtime/program_locale.h"
#include "widgets/contrast.h"
#include "widgets/twips.h"

namespace {

using order_screen::Grid;

class GridTest : public ::testing::Test {
protected:
    void SetUp() override {
        widgets::PlaceTwips(&grid, 0, 0, 4935, 2055);
        grid.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    }

    // Row r holds "r.c" in every cell, for rows 1..rows-1 of a grid of `cols`.
    void FillNumbered(int rows, int cols) {
        grid.SetCols(cols);
        grid.SetRows(rows);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c) grid.SetTextMatrix(r, c, QString("%1.%2").arg(r).arg(c));
    }

    QPoint CellCenter(int row, int col) {
        return grid.visualItemRect(grid.item(row, col)).center();
    }

    Grid grid;
};

TEST_F(GridTest, StartsWithTwoRowsTwoColumnsAndTheFirstNormalCellCurrent) {
    EXPECT_EQ(grid.Rows(), 2);
    EXPECT_EQ(grid.Cols(), 2);
    EXPECT_EQ(grid.Row(), 1);
    EXPECT_EQ(grid.Col(), 1);
    EXPECT_EQ(grid.currentItem(), grid.item(1, 1));
    EXPECT_TRUE(grid.horizontalHeader()->isHidden());
    EXPECT_TRUE(grid.verticalHeader()->isHidden());
}

TEST_F(GridTest, CurrentCellTextIsTheCellOfRowAndCol) {
    FillNumbered(4, 3);
    grid.SetRow(2);
    grid.SetCol(2);
    EXPECT_EQ(grid.Text(), "2.2");
    grid.SetText("nuevo");
    EXPECT_EQ(grid.TextMatrix(2, 2), "nuevo");
    EXPECT_EQ(grid.item(2, 2)->text(), "nuevo");
    EXPECT_EQ(grid.currentRow(), 2);
    EXPECT_EQ(grid.currentColumn(), 2);
    // Fixed cells can be made current from code, to write the headers.
    grid.SetRow(0);
    grid.SetText("cabecera");
    EXPECT_EQ(grid.TextMatrix(0, 2), "cabecera");
}

TEST_F(GridTest, AddItemAppendsARowSplitOnTabs) {
    FillNumbered(3, 3);
    grid.AddItem("a\tb\tc\tsobra");
    ASSERT_EQ(grid.Rows(), 4);
    EXPECT_EQ(grid.TextMatrix(3, 0), "a");
    EXPECT_EQ(grid.TextMatrix(3, 1), "b");
    EXPECT_EQ(grid.TextMatrix(3, 2), "c");
    EXPECT_EQ(grid.TextMatrix(2, 1), "2.1");
    grid.AddItem("");
    ASSERT_EQ(grid.Rows(), 5);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(grid.TextMatrix(4, c), "");
    EXPECT_EQ(grid.rowCount(), 5);
}

TEST_F(GridTest, RemoveItemMovesTheRowsBelowUp) {
    FillNumbered(4, 2);
    grid.RemoveItem(1);
    ASSERT_EQ(grid.Rows(), 3);
    EXPECT_EQ(grid.TextMatrix(0, 1), "0.1");
    EXPECT_EQ(grid.TextMatrix(1, 1), "2.1");
    EXPECT_EQ(grid.TextMatrix(2, 1), "3.1");
    grid.RemoveItem(2);
    grid.RemoveItem(1);
    EXPECT_EQ(grid.Rows(), 1);  // the header alone
    EXPECT_GE(grid.Row(), 0);
    EXPECT_EQ(ErrorNumberOf([&] { grid.RemoveItem(0); }), order_screen::kInvalidGridIndex);
    EXPECT_EQ(grid.Rows(), 1);
}

TEST_F(GridTest, ClearEmptiesEveryCellButKeepsShapeAndWidths) {
    FillNumbered(4, 3);
    grid.SetColWidth(1, 3000);
    grid.SetColWidth(2, 0);
    grid.SetRow(0);
    grid.SetCol(1);
    grid.SetCellFontBold(true);
    grid.Clear();
    EXPECT_EQ(grid.Rows(), 4);
    EXPECT_EQ(grid.Cols(), 3);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c) EXPECT_EQ(grid.TextMatrix(r, c), "") << r << "," << c;
    EXPECT_FALSE(grid.item(0, 1)->font().bold());
    EXPECT_EQ(grid.ColWidth(1), 3000);
    EXPECT_EQ(grid.ColWidth(2), 0);
    // Still fixed and normal cells after the clear.
    EXPECT_FALSE(grid.item(0, 1)->flags() & Qt::ItemIsSelectable);
    EXPECT_FALSE(grid.item(2, 0)->flags() & Qt::ItemIsSelectable);
    EXPECT_TRUE(grid.item(2, 1)->flags() & Qt::ItemIsSelectable);
}

TEST_F(GridTest, IndexesOutsideTheGridRaise381AndChangeNothing) {
    FillNumbered(3, 2);
    grid.SetRow(2);
    QString description;
    EXPECT_EQ(ErrorNumberOf([&] { grid.SetRow(3); }, &description), 381);
    EXPECT_EQ(description, "Índice de fila no válido");
    EXPECT_EQ(ErrorNumberOf([&] { grid.SetRow(-1); }), 381);
    EXPECT_EQ(ErrorNumberOf([&] { grid.SetCol(2); }, &description), 381);
    EXPECT_EQ(description, "Índice de columna no válido");
    EXPECT_EQ(ErrorNumberOf([&] { grid.TextMatrix(1, 5); }), 381);
    EXPECT_EQ(ErrorNumberOf([&] { grid.SetTextMatrix(7, 0, "x"); }), 381);
    EXPECT_EQ(ErrorNumberOf([&] { grid.RemoveItem(3); }), 381);
    EXPECT_EQ(ErrorNumberOf([&] { grid.SetTopRow(0); }), 381);
    EXPECT_EQ(ErrorNumberOf([&] { grid.SetColWidth(2, 100); }), 381);
    EXPECT_EQ(ErrorNumberOf([&] { grid.SetRows(0); }), 381);
    EXPECT_EQ(ErrorNumberOf([&] { grid.SetCols(0); }), 381);
    EXPECT_EQ(grid.Row(), 2);
    EXPECT_EQ(grid.Col(), 1);
    EXPECT_EQ(grid.Rows(), 3);
    EXPECT_EQ(grid.Cols(), 2);
}

TEST_F(GridTest, ColumnWidthsAreTwipsInWholePixelsAndZeroHides) {
    grid.SetColWidth(1, 4000);
    EXPECT_EQ(grid.columnWidth(1), 267);
    EXPECT_EQ(grid.ColWidth(1), 267 * 15);
    grid.SetColWidth(0, 0);
    EXPECT_TRUE(grid.isColumnHidden(0));
    EXPECT_EQ(grid.ColWidth(0), 0);
    grid.SetColWidth(0, 1000);
    EXPECT_FALSE(grid.isColumnHidden(0));
    EXPECT_EQ(grid.columnWidth(0), 67);
}

TEST_F(GridTest, WrittenCellsTakeTheGridFontSizeUnlessTheyHaveTheirOwn) {
    grid.SetRows(3);
    grid.SetRow(1);
    grid.SetCol(1);
    grid.SetCellFontBold(true);
    grid.SetCellFontSize(10);
    grid.SetFontSize(12);
    grid.SetText("propia");
    grid.SetTextMatrix(2, 1, "general");
    EXPECT_DOUBLE_EQ(grid.item(1, 1)->font().pointSizeF(), 10);
    EXPECT_TRUE(grid.item(1, 1)->font().bold());
    EXPECT_DOUBLE_EQ(grid.item(2, 1)->font().pointSizeF(), 12);
    EXPECT_FALSE(grid.item(2, 1)->font().bold());
    // The rows are tall enough for the largest size given.
    QFont twelve = grid.font();
    twelve.setPointSizeF(12);
    twelve.setBold(true);
    EXPECT_GE(grid.rowHeight(2), QFontMetrics(twelve).height());
}

TEST_F(GridTest, TopRowScrollsTheRowsUnderTheFixedHeader) {
    FillNumbered(30, 2);
    EXPECT_EQ(grid.TopRow(), 1);
    grid.SetTopRow(10);
    EXPECT_EQ(grid.TopRow(), 10);
    EXPECT_EQ(grid.rowAt(0), 10);
    // The header row is drawn above the scrolled rows, not scrolled away.
    const auto* header = grid.findChild<QTableView*>();
    ASSERT_NE(header, nullptr);
    EXPECT_TRUE(header->isVisible());
    EXPECT_EQ(header->geometry().bottom() + 1, grid.viewport()->geometry().top());
    EXPECT_EQ(header->rowAt(0), 0);
    // The last row never rises above the bottom edge.
    grid.SetTopRow(29);
    EXPECT_LT(grid.TopRow(), 29);
    EXPECT_TRUE(grid.viewport()->rect().contains(grid.visualItemRect(grid.item(29, 1))));
}

TEST_F(GridTest, ClickOnANormalCellMakesItCurrentAndEmitsClicked) {
    FillNumbered(4, 2);
    QSignalSpy clicked(&grid, &Grid::Clicked);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, CellCenter(3, 1));
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(grid.Row(), 3);
    EXPECT_EQ(grid.Col(), 1);
    // The fixed column and the empty area below the rows change nothing.
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, CellCenter(2, 0));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {},
                      QPoint(5, grid.viewport()->height() - 3));
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(grid.Row(), 3);
    EXPECT_EQ(grid.Col(), 1);
}

TEST_F(GridTest, KeyDownCarriesVirtualKeyAndShiftAfterTheCellMoved) {
    FillNumbered(4, 3);
    QList<std::tuple<int, int, int>> seen;  // key, shift, row at the time
    QObject::connect(&grid, &Grid::KeyDown, [&](int key, int shift) {
        seen.append({key, shift, grid.Row()});
    });
    grid.setFocus();
    QTest::keyClick(&grid, Qt::Key_Down);
    QTest::keyClick(&grid, Qt::Key_Delete);
    QTest::keyClick(&grid, Qt::Key_Delete, Qt::ShiftModifier);
    QTest::keyClick(&grid, Qt::Key_A, Qt::ControlModifier | Qt::AltModifier);
    // The modifier keys are keys too: Shift 16, Ctrl 17, Alt 18.
    const QList<std::tuple<int, int, int>> expected = {
        {40, 0, 2}, {46, 0, 2}, {16, 1, 2}, {46, 1, 2}, {17, 2, 2}, {18, 6, 2}, {65, 6, 2}};
    EXPECT_EQ(seen, expected);
}

TEST_F(GridTest, ArrowKeysDoNotEnterTheFixedRowOrColumn) {
    FillNumbered(4, 3);
    grid.setFocus();
    QTest::keyClick(&grid, Qt::Key_Up);
    QTest::keyClick(&grid, Qt::Key_Left);
    EXPECT_EQ(grid.Row(), 1);
    EXPECT_EQ(grid.Col(), 1);
    // Typing a letter does not jump to a cell that starts with it.
    QTest::keyClick(&grid, Qt::Key_3);
    EXPECT_EQ(grid.Row(), 1);
}

TEST(VirtualKeyCode, MapsQtKeysToWindowsNumbers) {
    using order_screen::VirtualKeyCode;
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Backspace, {}), 8);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Return, {}), 13);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Enter, Qt::KeypadModifier), 13);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Escape, {}), 27);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Left, {}), 37);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Up, {}), 38);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Right, {}), 39);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Down, {}), 40);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Delete, {}), 46);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_7, {}), 55);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_7, Qt::KeypadModifier), 103);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Q, Qt::ShiftModifier), 81);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_F1, {}), 112);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Ntilde, {}), 0);
    EXPECT_EQ(order_screen::ShiftState(Qt::ShiftModifier | Qt::AltModifier), 5);
}

TEST_F(GridTest, ColoursOfCellsSelectionAndEmptyArea) {
    const QColor white(255, 255, 255), yellow(255, 255, 192), grey(224, 224, 224);
    grid.SetColors(white, yellow, Qt::black, grey);
    grid.SetRows(4);
    grid.SetColWidth(0, 600);
    grid.SetColWidth(1, 1500);
    grid.resize(grid.width(), 6 * grid.rowHeight(1));  // room below the rows
    grid.SetRow(2);
    grid.SetCol(1);
    grid.setFocus();
    const QImage shot = grid.viewport()->grab().toImage();
    const QRect current = grid.visualItemRect(grid.item(2, 1));
    const QRect other = grid.visualItemRect(grid.item(3, 1));
    EXPECT_EQ(shot.pixelColor(current.center()), yellow);
    EXPECT_EQ(shot.pixelColor(other.center()), white);
    EXPECT_EQ(shot.pixelColor(other.right() + 20, other.center().y()), grey);
    EXPECT_EQ(shot.pixelColor(5, grid.viewport()->height() - 3), grey);
    EXPECT_EQ(grid.item(2, 0)->background().color(), grid.palette().color(QPalette::Button));
}

// Read-only rows stand apart, even as the current cell, and take no click
// or arrow key; removing one, or fewer rows, leaves fewer.
TEST_F(GridTest, ReadOnlyRowsAreSetApartAndOutOfReach) {
    const QColor white(255, 255, 255), yellow(255, 255, 192), grey(224, 224, 224);
    grid.SetColors(white, yellow, Qt::black, grey);
    FillNumbered(5, 2);
    grid.resize(grid.width(), 7 * grid.rowHeight(1));
    grid.SetReadOnlyRows(2);
    grid.SetRow(1);
    const QImage shot = grid.viewport()->grab().toImage();
    const QColor back = shot.pixelColor(grid.visualItemRect(grid.item(1, 1)).topLeft() + QPoint(1, 1));
    EXPECT_EQ(back, grid.ReadOnlyBack());
    EXPECT_NE(back, white);
    EXPECT_NE(back, grey);
    EXPECT_GE(widgets::ContrastRatio(grid.ReadOnlyText(), back), widgets::kTextContrast);

    grid.SetRow(3);
    QSignalSpy clicked(&grid, &Grid::Clicked);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, CellCenter(2, 1));
    grid.setFocus();
    QTest::keyClick(&grid, Qt::Key_Up);
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_EQ(grid.Row(), 3);
    grid.RemoveItem(1);
    EXPECT_EQ(grid.ReadOnlyRows(), 1);
    grid.SetRows(1);
    EXPECT_EQ(grid.ReadOnlyRows(), 0);
}

}  // namespace
