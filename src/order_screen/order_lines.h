#pragma once
// The two grids of the order screen: Grid1 shows the order's lines, one row
// each below its read-only rows (order::LineRows says which row is which
// line, order::RowCells gives a row's cells), and Grid2 the side dishes
// chosen for the line being built (dish i in row i, always followed by one
// empty row). The order itself is an order::Order; these functions change it
// and its grid together.
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include "order/line_rows.h"
#include "order/order.h"

namespace order_screen {

class Grid;

// The grid's columns, by their names.
using enum order::OrderColumn;

// Lays Grid1 out with its header and no lines: 15 columns, 2 rows, row 1 empty.
void limp_grid(Grid& grid1);

// Where the lines of `pedido` sit in grid1.
order::LineRows RowsOf(const Grid& grid1, const order::Order& pedido);

// The line of `pedido` that row `row` of grid1 shows; null when the row
// shows none that the screen can change.
const order::Line* LineAt(const Grid& grid1, const order::Order& pedido, int row);

// Appends `line` to `pedido`, its numbers rounded as the grid shows them,
// with the first three side dishes of grid2, and shows it in the next row of
// grid1; then empties grid2 and keeps the newest 20 rows of grid1 in view.
// An order of order::kMaxLines lines takes no more: rt::kOverflow, nothing
// changed.
void AppendLine(Grid& grid1, Grid& grid2, order::Order& pedido, order::Line line,
                qint16& numContornos);

// Empties the side dishes chosen for the next line (Grid2 back to its header
// and one empty row), as after a line is added or refused.
void EmptySideDishes(Grid& grid2, qint16& numContornos);

// Lays Grid2 out with its header and no side dishes.
void ResetSideDishGrid(Grid& grid2, qint16& numContornos);

// Adds side dish `name` as the next numbered row of grid2, keeping the newest
// 6 rows in view.
void AppendSideDish(Grid& grid2, qint16& numContornos, const QString& name);

// Removes the line grid1 shows in row `filaSel` (any line of `pedido`) from
// the order and the grid; removing the only line leaves the header and one
// empty row. False when the row shows no such line (the header, a read-only
// row, the empty row).
bool Borrar(Grid& grid1, order::Order& pedido, int filaSel);

// Removes side dish `filaSel` and numbers the rest 1, 2, 3, ...; the trailing
// empty row is not a side dish. False when nothing was removed.
bool Borrar_G2(Grid& grid2, int filaSel, qint16& numContornos);

// The side-dish counter is 16-bit; going past either end raises rt::kOverflow.
void IncrementCounter(qint16& counter);
void DecrementCounter(qint16& counter);

}  // namespace order_screen
