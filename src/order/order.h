#pragma once
// The order being taken: its table and waiter, and its lines with their
// numbers as numbers. The screen's actions change it and the grid shows it;
// sending, the journal, the statements and the tickets read it.
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace order {

// At most this many side dishes reach an order line.
constexpr int kSideDishesPerLine = 3;

// One order line, in the installation's own words (its columns and the
// order screen's): the product, its numbers as the grid shows them (rounded
// as their masks round them), and the texts that go with it.
struct Line {
    QString codigo;  // the product's code; a line without one is not sent
    QString nombre;
    double cantidad = 0;
    double precio = 0;    // unit price without tax
    double subtotal = 0;  // cantidad x precio
    double iva = 0;       // tax rate, percent
    double costo = 0;
    QStringList contornos;  // the side dishes, at most kSideDishesPerLine
    QString termino;        // cooking point
    QString codVendedor;    // the waiter's code
    QString deposito;       // the menu area the line was taken in
    QString observacion;    // the note to the chef
    QString imprimir;       // the print group of the product

    bool operator==(const Line&) const = default;
};

struct Order {
    QString mesa;         // table number
    QString mesonero;     // waiter name
    QString codVendedor;  // waiter code
    std::vector<Line> lineas;

    bool operator==(const Order&) const = default;
};

// A line that is sent and printed: it has a product code.
bool IsOrderLine(const Line& line);
// Whether the order has any such line.
bool HasOrderLines(const Order& order);

// The numbers of a line as the grid and the tickets show them, under the
// regional formats: quantities and costs with three decimals, money and tax
// rates with two.
QString QuantityText(double cantidad);
QString MoneyText(double amount);
QString RateText(double iva);
// The same numbers as the line keeps them: rounded as their texts show them.
double AsQuantity(double value);
double AsMoney(double value);
// `line` with each number rounded as the grid shows it, so what is stored and
// printed is what the waiter saw.
Line RoundedAsShown(Line line);

// The order grid's columns: the record of a line as the screen shows it.
enum OrderColumn {
    kColCodigo = 0,
    kColNombre,
    kColCant,
    kColPrecio,
    kColSubTotal,
    kColIva,
    kColCosto,
    kColContorno1,
    kColContorno2,
    kColContorno3,
    kColTermino,
    kColCodVendedor,
    kColDeposito,
    kColObservacion,
    kColImprimir,
    kOrderColumns
};

// The 15 cells of the grid row of `line`.
QStringList RowCells(const Line& line);

// A line from the 15 cells of a grid row, as journals written before lines
// were kept as numbers hold it; nothing when a number cell is no number.
std::optional<Line> LineFromRow(const QStringList& cells);

}  // namespace order
