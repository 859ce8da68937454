#pragma once
// The two grids of the order screen: Grid1 shows the order's lines, one row
// each (row 0 is the header, line k is row k, order::RowCells its cells), and
// Grid2 the side dishes chosen for the line being built (dish i in row i,
// always followed by one empty row). The order itself is an order::Order;
// these functions change it and its grid together.
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include "order/order.h"

namespace order_screen {

class Grid;

// The grid's columns, by their names.
using enum order::OrderColumn;

// Lays Grid1 out with its header and no lines: 15 columns, 2 rows, row 1 empty.
void limp_grid(Grid& grid1);

// Appends `line` to `pedido`, its numbers rounded as the grid shows them,
// with the first three side dishes of grid2, and shows it as row
// numItems + 1 of grid1; then empties grid2 and keeps the
// newest 20 rows of grid1 in view.
void AppendLine(Grid& grid1, Grid& grid2, order::Order& pedido, order::Line line, qint16& numItems,
                qint16& numContornos);

// Empties the side dishes chosen for the next line (Grid2 back to its header
// and one empty row), as after a line is added or refused.
void EmptySideDishes(Grid& grid2, qint16& numContornos);

// Lays Grid2 out with its header and no side dishes.
void ResetSideDishGrid(Grid& grid2, qint16& numContornos);

// Adds side dish `name` as the next numbered row of grid2, keeping the newest
// 6 rows in view.
void AppendSideDish(Grid& grid2, qint16& numContornos, const QString& name);

// Removes order line `filaSel` (any of lines 1 to numItems) from `pedido` and
// grid1; removing the only line leaves the header and one empty row. False
// when there is no such line.
bool Borrar(Grid& grid1, order::Order& pedido, int filaSel, qint16& numItems);

// Removes side dish `filaSel` and numbers the rest 1, 2, 3, ...; the trailing
// empty row is not a side dish. False when nothing was removed.
bool Borrar_G2(Grid& grid2, int filaSel, qint16& numContornos);

// The grids' counters are 16-bit; going past either end raises rt::kOverflow.
void IncrementCounter(qint16& counter);
void DecrementCounter(qint16& counter);

}  // namespace order_screen
