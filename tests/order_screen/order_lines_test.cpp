// The order-line rules on two real grids placed as on the order screen.
#include "order_screen/order_lines.h"

#include <gtest/gtest.h>

#include <QTest>

#include "order_screen/grid.h"
#include "runtime/program_locale.h"
#include "widgets/twips.h"

namespace {

using namespace order_screen;

// A line whose cells all differ, named after `codigo`.
order::Line Line(const QString& codigo) {
    order::Line line;
    line.codigo = codigo;
    line.nombre = "Nombre " + codigo;
    line.cantidad = 1;
    line.precio = 10;
    line.subtotal = 10;
    line.iva = 12;
    line.costo = 0;
    line.termino = "Tres cuartos";
    line.codVendedor = "V01";
    line.deposito = "01";
    line.observacion = "SIN SAL";
    line.imprimir = "COCINA";
    return line;
}

// The grid shows numbers under the formats start-up forces.
class OrderLinesTest : public ProgramFormats {
protected:
    void SetUp() override {
        ProgramFormats::SetUp();
        screen.resize(1400, 700);
        widgets::PlaceTwips(&grid1, 6120, 2040, 14055, 6255);
        widgets::PlaceTwips(&grid2, 120, 1800, 4935, 2055);
        screen.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&screen));
        limp_grid(grid1);
        ResetSideDishGrid(grid2, numContornos);
    }

    void Append(const QString& codigo) {
        AppendLine(grid1, grid2, pedido, Line(codigo), numContornos);
    }

    // The codes of the order's lines: the same as the grid shows, in order.
    QStringList OrderCodes() const {
        QStringList codes;
        for (const order::Line& l : pedido.lineas) codes << l.codigo;
        return codes;
    }

    // Column 0 of every row below the header, the empty trailing row included.
    QStringList Codes(const Grid& grid) const {
        QStringList codes;
        for (int r = 1; r < grid.Rows(); ++r) codes << grid.TextMatrix(r, 0);
        return codes;
    }

    int NumItems() const { return static_cast<int>(pedido.lineas.size()); }

    bool RowIsEmpty(const Grid& grid, int row) const {
        for (int c = 0; c < grid.Cols(); ++c)
            if (!grid.TextMatrix(row, c).isEmpty()) return false;
        return true;
    }

    bool RowInView(const Grid& grid, int row) const {
        const QRect cell = grid.visualItemRect(grid.item(row, kColNombre));
        return grid.viewport()->rect().contains(cell);
    }

    QWidget screen;
    Grid grid1{&screen};
    Grid grid2{&screen};
    qint16 numContornos = 0;
    order::Order pedido;
};

TEST_F(OrderLinesTest, LimpGridLaysOutTheHeaderAndOneEmptyRow) {
    const QStringList headers = {" Código",     " Nombre del Artículo",
                                 "Cant",        "Precio/U.",
                                 " SubTotal",   " Iva",
                                 " costo",      " Contorno 1",
                                 " Contorno 2", " Contorno 3",
                                 " Termino",    " cod_vendedor",
                                 " DEPOSITO",   " Observación",
                                 " IMPRIMIR"};
    const QList<int> widths = {0, 4000, 1000, 0, 0, 0, 0, 2500, 2500, 2500, 2500, 0, 0, 3500, 0};
    Append("A");
    Append("B");
    limp_grid(grid1);
    ASSERT_EQ(grid1.Cols(), 15);
    EXPECT_EQ(grid1.Rows(), 2);
    EXPECT_TRUE(RowIsEmpty(grid1, 1));
    for (int c = 0; c < 15; ++c) {
        EXPECT_EQ(grid1.TextMatrix(0, c), headers[c]) << c;
        EXPECT_TRUE(grid1.item(0, c)->font().bold()) << c;
        EXPECT_DOUBLE_EQ(grid1.item(0, c)->font().pointSizeF(), 12) << c;
        EXPECT_EQ(grid1.ColWidth(c), widgets::Twips(widths[c]) * 15) << c;
        EXPECT_EQ(grid1.isColumnHidden(c), widths[c] == 0) << c;
    }
}

TEST_F(OrderLinesTest, ResetSideDishGridLaysOutItsHeader) {
    AppendSideDish(grid2, numContornos, "Papas");
    ResetSideDishGrid(grid2, numContornos);
    EXPECT_EQ(numContornos, 0);
    ASSERT_EQ(grid2.Cols(), 2);
    EXPECT_EQ(grid2.Rows(), 2);
    EXPECT_EQ(grid2.TextMatrix(0, 0), " Nro.");
    EXPECT_EQ(grid2.TextMatrix(0, 1), " Contorno");
    EXPECT_TRUE(RowIsEmpty(grid2, 1));
    for (int c = 0; c < 2; ++c) {
        EXPECT_TRUE(grid2.item(0, c)->font().bold());
        EXPECT_DOUBLE_EQ(grid2.item(0, c)->font().pointSizeF(), 10);
    }
    EXPECT_EQ(grid2.columnWidth(0), widgets::Twips(1000));
    EXPECT_EQ(grid2.columnWidth(1), widgets::Twips(3000));
}

TEST_F(OrderLinesTest, AppendLineFillsEveryColumnOfTheNextRow) {
    Append("A");
    EXPECT_EQ(NumItems(), 1);
    ASSERT_EQ(grid1.Rows(), 2);  // the first line takes the empty row
    const QStringList row = {"A",     "Nombre A", "1,000", "10,00", "10,00",        "12,00",
                             "0,000", "",         "",      "",      "Tres cuartos", "V01",
                             "01",    "SIN SAL",  "COCINA"};
    for (int c = 0; c < kOrderColumns; ++c) {
        EXPECT_EQ(grid1.TextMatrix(1, c), row[c]) << c;
        EXPECT_DOUBLE_EQ(grid1.item(1, c)->font().pointSizeF(), 12) << c;
        EXPECT_FALSE(grid1.item(1, c)->font().bold()) << c;
    }
    Append("B");
    EXPECT_EQ(NumItems(), 2);
    EXPECT_EQ(grid1.Rows(), 3);
    EXPECT_EQ(Codes(grid1), QStringList({"A", "B"}));
    EXPECT_EQ(grid1.TextMatrix(0, kColCodigo), " Código");
}

// The order keeps a line's numbers as the grid shows them.
TEST_F(OrderLinesTest, TheOrderKeepsTheNumbersTheGridShows) {
    order::Line raw = Line("A");
    raw.precio = 2.675;
    raw.cantidad = 1.0004;
    AppendLine(grid1, grid2, pedido, raw, numContornos);
    EXPECT_EQ(pedido.lineas.back().precio, 2.68);
    EXPECT_EQ(pedido.lineas.back().cantidad, 1);
    EXPECT_EQ(grid1.TextMatrix(1, kColPrecio), "2,68");
    EXPECT_EQ(grid1.TextMatrix(1, kColCant), "1,000");
}

TEST_F(OrderLinesTest, OnlyTheFirstThreeSideDishesReachTheLine) {
    for (const char* dish : {"Papas", "Arroz", "Ensalada", "Yuca"})
        AppendSideDish(grid2, numContornos, dish);
    ASSERT_EQ(numContornos, 4);
    Append("A");
    EXPECT_EQ(grid1.TextMatrix(1, kColContorno1), "Papas");
    EXPECT_EQ(grid1.TextMatrix(1, kColContorno2), "Arroz");
    EXPECT_EQ(grid1.TextMatrix(1, kColContorno3), "Ensalada");
    for (int c = 0; c < kOrderColumns; ++c) EXPECT_NE(grid1.TextMatrix(1, c), "Yuca") << c;
    EXPECT_EQ(pedido.lineas.at(0).contornos, QStringList({"Papas", "Arroz", "Ensalada"}));
    // The side-dish grid is emptied, its header with it.
    EXPECT_EQ(numContornos, 0);
    EXPECT_EQ(grid2.Rows(), 2);
    EXPECT_TRUE(RowIsEmpty(grid2, 0));
    EXPECT_TRUE(RowIsEmpty(grid2, 1));
    // The next line, with one side dish, leaves the other two columns empty.
    ResetSideDishGrid(grid2, numContornos);
    AppendSideDish(grid2, numContornos, "Tostones");
    Append("B");
    EXPECT_EQ(grid1.TextMatrix(2, kColContorno1), "Tostones");
    EXPECT_EQ(grid1.TextMatrix(2, kColContorno2), "");
    EXPECT_EQ(grid1.TextMatrix(2, kColContorno3), "");
}

TEST_F(OrderLinesTest, SideDishesAreNumberedAndTheNewestStayInView) {
    // Room for six and a half rows under the header, as on the screen.
    grid2.resize(grid2.width(),
                 grid2.height() - grid2.viewport()->height() + 13 * grid2.rowHeight(1) / 2);
    for (const char* dish : {"Papas", "Papas", "Arroz", "Yuca"})
        AppendSideDish(grid2, numContornos, dish);
    EXPECT_EQ(grid2.Rows(), 6);
    EXPECT_EQ(grid2.TopRow(), 1);
    EXPECT_EQ(Codes(grid2), QStringList({"1", "2", "3", "4", ""}));
    EXPECT_EQ(grid2.TextMatrix(1, 1), "Papas");
    EXPECT_EQ(grid2.TextMatrix(2, 1), "Papas");
    EXPECT_DOUBLE_EQ(grid2.item(4, 1)->font().pointSizeF(), 10);
    AppendSideDish(grid2, numContornos, "Arepa");
    AppendSideDish(grid2, numContornos, "Queso");
    EXPECT_EQ(numContornos, 6);
    EXPECT_EQ(grid2.Rows(), 8);
    EXPECT_EQ(grid2.TopRow(), 2);
    EXPECT_TRUE(RowInView(grid2, 7));
}

// The newest lines stay in view: a grid with room for twenty scrolls at the
// 21st line so that the last twenty show; at its place on the screen, where
// rows are a fingertip high, it shows as many of the newest as fit.
TEST_F(OrderLinesTest, TheNewestLinesStayInView) {
    const int roomForTwenty = grid1.height() - grid1.viewport()->height() + 41 * grid1.rowHeight(1) / 2;
    for (const int height : {roomForTwenty, grid1.height()}) {
        SCOPED_TRACE(height);
        limp_grid(grid1);
        pedido = order::Order();
        grid1.resize(grid1.width(), height);
        for (int i = 1; i <= 21; ++i) {
            Append(QString::number(i));
            const int shown = std::min(20, grid1.RowsInView());
            EXPECT_EQ(grid1.TopRow(), std::max(1, grid1.Rows() - shown)) << i;
            EXPECT_TRUE(RowInView(grid1, i)) << i;
        }
        EXPECT_EQ(grid1.Rows(), 22);
        if (height == roomForTwenty) {
            EXPECT_EQ(grid1.TopRow(), 2);
        }
    }
}

TEST_F(OrderLinesTest, BorrarRemovesAnyLineAndTheRowsBelowMoveUp) {
    for (const char* code : {"A", "B", "C"}) Append(code);
    ASSERT_EQ(grid1.Rows(), 4);
    EXPECT_TRUE(Borrar(grid1, pedido, 3));  // the bottom line too
    EXPECT_EQ(NumItems(), 2);
    EXPECT_EQ(Codes(grid1), QStringList({"A", "B"}));
    Append("C");
    EXPECT_TRUE(Borrar(grid1, pedido, 2));
    EXPECT_EQ(NumItems(), 2);
    EXPECT_EQ(Codes(grid1), QStringList({"A", "C"}));
    EXPECT_EQ(grid1.TextMatrix(2, kColNombre), "Nombre C");
    EXPECT_EQ(grid1.Col(), kColCodigo);
    EXPECT_EQ(OrderCodes(), QStringList({"A", "C"}));
}

TEST_F(OrderLinesTest, BorrarOfTheOnlyLineLeavesOneEmptyRow) {
    Append("A");
    EXPECT_TRUE(Borrar(grid1, pedido, 1));
    EXPECT_EQ(NumItems(), 0);
    ASSERT_EQ(grid1.Rows(), 2);
    EXPECT_TRUE(RowIsEmpty(grid1, 1));
    EXPECT_EQ(grid1.TextMatrix(0, kColNombre), " Nombre del Artículo");
    // The next line goes into that row.
    Append("B");
    EXPECT_EQ(grid1.Rows(), 2);
    EXPECT_EQ(Codes(grid1), QStringList({"B"}));
}

TEST_F(OrderLinesTest, BorrarOnTheHeaderOrAnEmptyRowDoesNothing) {
    EXPECT_FALSE(Borrar(grid1, pedido, 1));  // the empty row of an empty order
    EXPECT_EQ(grid1.Rows(), 2);
    EXPECT_EQ(NumItems(), 0);
    Append("A");
    Append("B");
    EXPECT_FALSE(Borrar(grid1, pedido, 0));
    EXPECT_FALSE(Borrar(grid1, pedido, 3));
    EXPECT_EQ(NumItems(), 2);
    EXPECT_EQ(Codes(grid1), QStringList({"A", "B"}));
    EXPECT_EQ(OrderCodes(), QStringList({"A", "B"}));
    EXPECT_EQ(grid1.TextMatrix(0, kColCodigo), " Código");
}

// Lines go below the rows shown read-only, and no removal reaches those.
TEST_F(OrderLinesTest, ReadOnlyRowsStayAboveTheLinesAndAreNeverRemoved) {
    grid1.SetTextMatrix(1, kColCodigo, "S1");
    grid1.AddItem("S2");
    grid1.SetReadOnlyRows(2);
    Append("A");
    Append("B");
    for (int row : {1, 2}) {
        EXPECT_EQ(LineAt(grid1, pedido, row), nullptr) << row;
        EXPECT_FALSE(Borrar(grid1, pedido, row)) << row;
    }
    EXPECT_EQ(LineAt(grid1, pedido, 4), &pedido.lineas.at(1));
    EXPECT_TRUE(Borrar(grid1, pedido, 3));
    EXPECT_TRUE(Borrar(grid1, pedido, 3));
    // With no line left the read-only rows are all there is: no empty row.
    EXPECT_EQ(Codes(grid1), QStringList({"S1", "S2"}));
    limp_grid(grid1);
    EXPECT_EQ(grid1.ReadOnlyRows(), 0);
}

TEST_F(OrderLinesTest, BorrarG2RenumbersAndKeepsTheTrailingEmptyRow) {
    for (const char* dish : {"Papas", "Arroz", "Yuca"}) AppendSideDish(grid2, numContornos, dish);
    EXPECT_TRUE(Borrar_G2(grid2, 1, numContornos));
    EXPECT_EQ(numContornos, 2);
    EXPECT_EQ(Codes(grid2), QStringList({"1", "2", ""}));
    EXPECT_EQ(grid2.TextMatrix(1, 1), "Arroz");
    EXPECT_EQ(grid2.TextMatrix(2, 1), "Yuca");
    EXPECT_FALSE(Borrar_G2(grid2, 3, numContornos));  // the trailing empty row
    EXPECT_FALSE(Borrar_G2(grid2, 0, numContornos));
    EXPECT_EQ(grid2.Rows(), 4);
    EXPECT_TRUE(Borrar_G2(grid2, 2, numContornos));
    EXPECT_TRUE(Borrar_G2(grid2, 1, numContornos));
    EXPECT_EQ(numContornos, 0);
    EXPECT_EQ(grid2.Rows(), 2);
    EXPECT_FALSE(Borrar_G2(grid2, 1, numContornos));
    EXPECT_EQ(grid2.TextMatrix(0, 1), " Contorno");
}

TEST_F(OrderLinesTest, SixteenBitCountersOverflow) {
    qint16 counter = 32766;
    IncrementCounter(counter);
    EXPECT_EQ(counter, 32767);
    QString description;
    EXPECT_EQ(ErrorNumberOf([&] { IncrementCounter(counter); }, &description), rt::kOverflow);
    EXPECT_EQ(description, "Desbordamiento");
    EXPECT_EQ(counter, 32767);
    counter = -32768;
    EXPECT_EQ(ErrorNumberOf([&] { DecrementCounter(counter); }), rt::kOverflow);
    EXPECT_EQ(counter, -32768);
    // A full order refuses one more line and leaves the grid as it was.
    pedido.lineas.resize(order::kMaxLines);
    EXPECT_EQ(ErrorNumberOf([&] { Append("A"); }), rt::kOverflow);
    EXPECT_EQ(grid1.Rows(), 2);
    EXPECT_TRUE(RowIsEmpty(grid1, 1));
}

}  // namespace
