#pragma once
// The order screen's grids: a table of text cells spoken to by row and column,
// with a current cell, rows appended at the end and removed from the middle.
// Row 0 is a fixed header row that stays in view while the other rows scroll;
// column 0 is a fixed column. Fixed cells are drawn like headers and cannot
// become current by click or arrow key (only by SetRow/SetCol). Rows just
// below the header may be read-only: shown, set apart, and like fixed cells
// out of reach of clicks, arrow keys and long presses.
//
// A row or column outside the grid raises kInvalidGridIndex ("Índice de fila
// no válido" / "Índice de columna no válido"): setting Row, Col or TopRow,
// reading or writing TextMatrix, ColWidth, RemoveItem of a missing row or of the
// fixed row, and Rows or Cols below 1.
#include <QColor>
#include <QTableWidget>

class QTableView;

namespace order_screen {

constexpr int kInvalidGridIndex = 381;

// The Windows virtual-key number of a Qt key (Delete 46, Return 13, "A" 65, ...);
// 0 for keys without one.
int VirtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers);

// The shift state of a key event: 1 Shift, 2 Ctrl, 4 Alt, added together.
int ShiftState(Qt::KeyboardModifiers modifiers);

class Grid : public QTableWidget {
    Q_OBJECT
public:
    // A grid of 2 rows and 2 columns, the current cell at row 1, column 1.
    explicit Grid(QWidget* parent = nullptr);

    int Rows() const { return rowCount(); }
    void SetRows(int rows);
    int Cols() const { return columnCount(); }
    void SetCols(int cols);

    // The current cell.
    int Row() const { return currentRow(); }
    void SetRow(int row);
    int Col() const { return currentColumn(); }
    void SetCol(int col);
    QString Text() const;
    void SetText(const QString& text);

    QString TextMatrix(int row, int col) const;
    void SetTextMatrix(int row, int col, const QString& text);

    // Appends a row; `text` is split on tabs into its cells from column 0 on.
    void AddItem(const QString& text);
    // Removes a row below the fixed row; the rows below move up. The last row
    // below the header may be removed too, leaving the header alone.
    void RemoveItem(int row);
    // Empties every cell, the fixed ones included, and drops their fonts;
    // Rows, Cols and column widths stay.
    void Clear();

    // The first scrollable row whose top edge is in view. Setting it scrolls as
    // far towards that row as the rows below allow: the last row never rises
    // above the bottom edge.
    int TopRow() const;
    void SetTopRow(int row);
    // How many whole rows the grid shows at once (at least 1).
    int RowsInView() const;

    // Column widths in twips, as whole pixels at the layout factor; a width under half a pixel hides
    // the column and reads back as 0.
    int ColWidth(int col) const;
    void SetColWidth(int col, int twips);

    // The font of the current cell; a cell with a font of its own keeps it when
    // written again.
    void SetCellFontBold(bool bold);
    void SetCellFontSize(double points);
    // The font size given to cells written from now on that have no font of
    // their own. Rows grow to fit the largest size the grid has been given.
    void SetFontSize(double points);

    void SetColors(const QColor& background, const QColor& selectedBack, const QColor& selectedText,
                   const QColor& emptyArea);

    // Rows 1 to `count` become read-only (0: none). Removing one of them
    // leaves one fewer; fewer rows leave fewer.
    void SetReadOnlyRows(int count);
    int ReadOnlyRows() const { return read_only_rows_; }
    bool IsReadOnlyRow(int row) const { return row >= 1 && row <= read_only_rows_; }
    // Read-only cells stand on a shade halfway between the cells' background
    // and the empty area, in italics, never drawn as the current cell; their
    // text is the cells' text colour, or the nearest shade of it that reads.
    QColor ReadOnlyBack() const;
    QColor ReadOnlyText() const;

signals:
    // A left click on a normal cell, which has become the current one.
    void Clicked();
    // A key pressed while the grid has the focus, after the current cell moved.
    void KeyDown(int keyCode, int shift);
    // A finger (or the mouse) held still on a normal cell of `row`, which the
    // press made the current one.
    void LongPressed(int row);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyboardSearch(const QString& search) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void paintEvent(QPaintEvent* event) override;
    void updateGeometries() override;

private:
    static bool IsFixed(int row, int col) { return row == 0 || col == 0; }
    // Neither fixed nor read-only: a cell the waiter can make current.
    bool IsReachable(int row, int col) const { return !IsFixed(row, col) && !IsReadOnlyRow(row); }
    bool IsNormalCell(const QPoint& pos) const;
    void CheckRow(int row) const;
    void CheckCol(int col) const;
    QTableWidgetItem* NewCell(int row, int col) const;
    void FillCells();
    void Write(int row, int col, const QString& text);
    QTableWidgetItem* CurrentCell() const;
    QFont CellFont(const QTableWidgetItem* cell) const;
    void SetCellFont(const QFont& font);
    void SetCurrent(int row, int col);
    void KeepCurrentValid();
    void GrowRows(double points);
    void SetUpFixedRow();
    void SyncFixedRowColumns();
    void PlaceFixedRow();

    QTableView* fixed_row_;  // shows row 0 above the scrolling rows
    QColor empty_area_;
    double font_size_;
    double largest_font_size_;
    bool pressed_on_cell_ = false;
    int read_only_rows_ = 0;
};

}  // namespace order_screen
