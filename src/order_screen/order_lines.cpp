#include "order_screen/order_lines.h"

#include <QStringList>
#include <array>
#include <limits>

#include "order_screen/grid.h"
#include "runtime/runtime_error.h"

namespace order_screen {

namespace {

constexpr double kLineFontSize = 12;
constexpr double kSideDishFontSize = 10;
constexpr int kLinesInView = 20;
constexpr int kSideDishRowsInView = 6;

struct ColumnLayout {
    const char* header;
    int width;  // twips; 0 hides a column that only carries data for sending
};

const std::array<ColumnLayout, order::kOrderColumns> kGrid1Layout = {{
    {" Código", 0},
    {" Nombre del Artículo", 4000},
    {"Cant", 1000},
    {"Precio/U.", 0},
    {" SubTotal", 0},
    {" Iva", 0},
    {" costo", 0},
    {" Contorno 1", 2500},
    {" Contorno 2", 2500},
    {" Contorno 3", 2500},
    {" Termino", 2500},
    {" cod_vendedor", 0},
    {" DEPOSITO", 0},
    {" Observación", 3500},
    {" IMPRIMIR", 0},
}};

const std::array<ColumnLayout, 2> kGrid2Layout = {{
    {" Nro.", 1000},
    {" Contorno", 3000},
}};

// Empties `grid` to the given columns and 2 rows, none read-only, writes the
// headers bold at `points` and sets the widths.
template <std::size_t N>
void LayOut(Grid& grid, const std::array<ColumnLayout, N>& columns, double points) {
    grid.Clear();
    grid.SetCols(static_cast<int>(N));
    grid.SetRows(2);
    grid.SetReadOnlyRows(0);
    grid.SetRow(0);
    for (std::size_t col = 0; col < N; ++col) {
        grid.SetCol(static_cast<int>(col));
        grid.SetCellFontBold(true);
        grid.SetCellFontSize(points);
        grid.SetText(QString::fromUtf8(columns[col].header));
    }
    for (std::size_t col = 0; col < N; ++col)
        grid.SetColWidth(static_cast<int>(col), columns[col].width);
}

// Writes the current row's cell `col` at the grid-wide size `points`.
void WriteCell(Grid& grid, int col, const QString& text, double points) {
    grid.SetFontSize(points);
    grid.SetCol(col);
    grid.SetText(text);
}

// The side dishes of grid2, in order, that go into an order line.
QStringList CarriedSideDishes(const Grid& grid2) {
    QStringList dishes;
    if (grid2.Cols() < 2) return dishes;
    for (int row = 1; row < grid2.Rows() && dishes.size() < order::kSideDishesPerLine; ++row) {
        if (grid2.TextMatrix(row, 0).isEmpty()) break;
        dishes << grid2.TextMatrix(row, 1);
    }
    return dishes;
}

// Keeps the last `rowsInView` rows in view. When the grid shows fewer (rows
// a finger's height on a small panel), it shows as many as fit, ending with
// the newest entry, row `newest`.
void ScrollToNewest(Grid& grid, int rowsInView, int newest) {
    const int shown = grid.RowsInView();
    if (shown >= rowsInView) {
        if (grid.Rows() > rowsInView) grid.SetTopRow(grid.Rows() - rowsInView);
    } else if (grid.Rows() > shown + 1) {
        grid.SetTopRow(std::max(1, newest - shown + 1));
    }
}

}  // namespace

void limp_grid(Grid& grid1) {
    LayOut(grid1, kGrid1Layout, kLineFontSize);
}

order::LineRows RowsOf(const Grid& grid1, const order::Order& pedido) {
    return order::LineRows(grid1.ReadOnlyRows(), static_cast<int>(pedido.lineas.size()));
}

const order::Line* LineAt(const Grid& grid1, const order::Order& pedido, int row) {
    const std::optional<int> line = RowsOf(grid1, pedido).LineOfRow(row);
    return line ? &pedido.lineas[static_cast<size_t>(*line)] : nullptr;
}

void AppendLine(Grid& grid1, Grid& grid2, order::Order& pedido, order::Line line,
                qint16& numContornos) {
    const order::LineRows rows = RowsOf(grid1, pedido);
    if (rows.Lines() >= order::kMaxLines) rt::Raise(rt::kOverflow);
    line = order::RoundedAsShown(std::move(line));
    line.contornos = CarriedSideDishes(grid2);
    // The first line of an order takes the empty row; the others get a new one.
    const int row = rows.RowOfLine(rows.Lines());
    if (row >= grid1.Rows()) grid1.AddItem(QString());
    grid1.SetRow(row);
    const QStringList cells = order::RowCells(line);
    for (int col = 0; col < order::kOrderColumns; ++col) WriteCell(grid1, col, cells[col], kLineFontSize);
    pedido.lineas.push_back(std::move(line));

    EmptySideDishes(grid2, numContornos);
    ScrollToNewest(grid1, kLinesInView, row);
}

void EmptySideDishes(Grid& grid2, qint16& numContornos) {
    grid2.Clear();
    grid2.SetRows(2);
    numContornos = 0;
}

void ResetSideDishGrid(Grid& grid2, qint16& numContornos) {
    numContornos = 0;
    LayOut(grid2, kGrid2Layout, kSideDishFontSize);
}

void AppendSideDish(Grid& grid2, qint16& numContornos, const QString& name) {
    IncrementCounter(numContornos);
    grid2.SetRow(numContornos);
    WriteCell(grid2, 0, QString::number(numContornos), kSideDishFontSize);
    WriteCell(grid2, 1, name, kSideDishFontSize);
    grid2.AddItem(QString());
    ScrollToNewest(grid2, kSideDishRowsInView, numContornos);
}

bool Borrar(Grid& grid1, order::Order& pedido, int filaSel) {
    const std::optional<int> line = RowsOf(grid1, pedido).LineOfRow(filaSel);
    if (!line) return false;
    grid1.RemoveItem(filaSel);
    pedido.lineas.erase(pedido.lineas.begin() + *line);
    // An order without lines still shows one empty row under the header.
    if (grid1.Rows() < RowsOf(grid1, pedido).GridRows()) grid1.AddItem(QString());
    grid1.SetCol(kColCodigo);
    return true;
}

bool Borrar_G2(Grid& grid2, int filaSel, qint16& numContornos) {
    if (filaSel < 1 || filaSel > grid2.Rows() - 2) return false;
    grid2.RemoveItem(filaSel);
    DecrementCounter(numContornos);
    for (int row = 1; row <= numContornos && row < grid2.Rows(); ++row)
        grid2.SetTextMatrix(row, 0, QString::number(row));
    return true;
}

void IncrementCounter(qint16& counter) {
    if (counter == std::numeric_limits<qint16>::max()) rt::Raise(rt::kOverflow);
    ++counter;
}

void DecrementCounter(qint16& counter) {
    if (counter == std::numeric_limits<qint16>::min()) rt::Raise(rt::kOverflow);
    --counter;
}

}  // namespace order_screen
