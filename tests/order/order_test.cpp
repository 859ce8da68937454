// The order model: which lines are sent, the numbers a line keeps, and a line
// as the grid's row of texts and back, under the formats start-up forces.
#include "order/order.h"

#include <gtest/gtest.h>

#include <optional>

#include "order/sample_line.h"
#include "runtime/program_locale.h"

namespace {

using namespace order;

class OrderModel : public ProgramFormats {};

// A full line named PARRILLA.
Line Sample(const QString& code, double cantidad, double precio) {
    return testorder::SampleLine(code, "PARRILLA", cantidad, precio);
}

// A line from the texts of a grid row (a journal of the earlier program):
// the numbers the masked cells show; a number cell that is no number is no line.
TEST_F(OrderModel, AGridRowsMaskedCellsAreReadAsTheNumbersTheyShow) {
    const struct {
        const char* cell;
        std::optional<double> value;
    } cases[] = {{"1.234,50", 1234.5}, {"3,000", 3},  {"188,79", 188.79}, {"-4,25", -4.25},
                 {"0,001", 0.001},      {"", {}},      {"abc", {}},        {"1,2,3", {}}, {"12 x", {}}};
    for (const auto& c : cases) {
        QStringList cells(kOrderColumns, "0");
        cells[kColCodigo] = "P1";
        cells[kColPrecio] = c.cell;
        const std::optional<Line> l = LineFromRow(cells);
        ASSERT_EQ(l.has_value(), c.value.has_value()) << c.cell;
        if (l) {
            EXPECT_EQ(l->precio, *c.value) << c.cell;
        }
    }
}

TEST_F(OrderModel, TheGridShowsALineAsItsRowAndReadsItBack) {
    Line l = Sample("P001", 2.5, 1234.5);
    const QStringList row = RowCells(l);
    EXPECT_EQ(row, QStringList({"P001", "PARRILLA", "2,500", "1.234,50", "9.999,99", "16,00", "12,500", "ARROZ",
                                "TAJADAS", "", "TRES CUARTOS", "003", "01", "sin sal", "PARRILLA"}));
    EXPECT_EQ(LineFromRow(row), l);
    // The numbers a line keeps are those its texts show.
    EXPECT_EQ(AsMoney(188.785), 188.79);
    EXPECT_EQ(AsMoney(2.675), 2.68);
    EXPECT_EQ(AsQuantity(0.0004), 0);
    EXPECT_EQ(MoneyText(AsMoney(1234.567)), "1.234,57");
    const Line raw = Sample("P1", 1.00049, 2.675);
    const Line shown = RoundedAsShown(raw);
    EXPECT_EQ(shown.cantidad, 1);
    EXPECT_EQ(shown.precio, 2.68);
    EXPECT_EQ(RowCells(shown), RowCells(raw));
}

TEST_F(OrderModel, ALineIsAnOrderLineOnlyWithACode) {
    EXPECT_TRUE(IsOrderLine(Sample("P1", 1, 1)));
    EXPECT_FALSE(IsOrderLine(Sample("", 1, 1)));
    EXPECT_FALSE(IsOrderLine(Line()));
    EXPECT_TRUE(HasOrderLines(Order{"1", "a", "1", {Line(), Sample("P1", 1, 1)}}));
    EXPECT_FALSE(HasOrderLines(Order{"1", "a", "1", {Line()}}));
}

// A row whose first side dish is empty keeps the others in their columns,
// and a row cut short reads its missing texts as empty.
TEST_F(OrderModel, SideDishesKeepTheirColumnsAndShortRowsReadAsEmpty) {
    QStringList cells = RowCells(Sample("P1", 1, 10));
    cells[kColContorno1] = "";
    cells[kColContorno2] = "YUCA";
    const std::optional<Line> l = LineFromRow(cells);
    ASSERT_TRUE(l.has_value());
    EXPECT_EQ(l->contornos, QStringList({"", "YUCA"}));
    EXPECT_EQ(RowCells(*l), cells);
    const std::optional<Line> noCode = LineFromRow(QStringList{"", "NOMBRE"});
    ASSERT_TRUE(noCode.has_value());  // never sent: its numbers do not matter
    EXPECT_FALSE(IsOrderLine(*noCode));
    EXPECT_FALSE(LineFromRow(QStringList{"P1", "NOMBRE"}).has_value());  // a line without its numbers
}

}  // namespace
