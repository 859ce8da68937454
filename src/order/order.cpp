#include "order/order.h"

#include <algorithm>

#include "runtime/number_format.h"

namespace order {
namespace {

const QString kQuantityMask = QStringLiteral("###,###,##0.000");
const QString kMoneyMask = QStringLiteral("###,###,##0.00");
const QString kRateMask = QStringLiteral("##,###,##0.00");
constexpr int kQuantityDecimals = 3;
constexpr int kMoneyDecimals = 2;

QString Cell(const QStringList& cells, int col) {
    return col < cells.size() ? cells.at(col) : QString();
}

}  // namespace

bool IsOrderLine(const Line& line) { return !line.codigo.isEmpty(); }

bool HasOrderLines(const Order& order) {
    return std::any_of(order.lineas.begin(), order.lineas.end(), IsOrderLine);
}

QString QuantityText(double cantidad) { return rt::FormatNumber(cantidad, kQuantityMask); }
QString MoneyText(double amount) { return rt::FormatNumber(amount, kMoneyMask); }
QString RateText(double iva) { return rt::FormatNumber(iva, kRateMask); }
double AsQuantity(double value) { return rt::RoundDecimals(value, kQuantityDecimals); }
double AsMoney(double value) { return rt::RoundDecimals(value, kMoneyDecimals); }

Line RoundedAsShown(Line line) {
    line.cantidad = AsQuantity(line.cantidad);
    line.costo = AsQuantity(line.costo);
    line.precio = AsMoney(line.precio);
    line.subtotal = AsMoney(line.subtotal);
    line.iva = AsMoney(line.iva);
    return line;
}

QStringList RowCells(const Line& l) {
    QStringList r;
    for (int i = 0; i < kOrderColumns; ++i) r << QString();
    r[kColCodigo] = l.codigo;
    r[kColNombre] = l.nombre;
    r[kColCant] = QuantityText(l.cantidad);
    r[kColCosto] = QuantityText(l.costo);
    r[kColPrecio] = MoneyText(l.precio);
    r[kColSubTotal] = MoneyText(l.subtotal);
    r[kColIva] = RateText(l.iva);
    for (int i = 0; i < l.contornos.size() && i < kSideDishesPerLine; ++i) r[kColContorno1 + i] = l.contornos[i];
    r[kColTermino] = l.termino;
    r[kColCodVendedor] = l.codVendedor;
    r[kColDeposito] = l.deposito;
    r[kColObservacion] = l.observacion;
    r[kColImprimir] = l.imprimir;
    return r;
}

std::optional<Line> LineFromRow(const QStringList& cells) {
    Line l;
    l.codigo = Cell(cells, kColCodigo);
    l.nombre = Cell(cells, kColNombre);
    // A row without a code was never sent: its number cells may be empty.
    const auto number = [&cells, &l](int col, double& out) {
        const std::optional<double> n = rt::ParseNumber(Cell(cells, col));
        if (n) out = *n;
        return n.has_value() || !IsOrderLine(l);
    };
    if (!number(kColCant, l.cantidad) || !number(kColPrecio, l.precio) || !number(kColSubTotal, l.subtotal) ||
        !number(kColIva, l.iva) || !number(kColCosto, l.costo))
        return std::nullopt;
    // Each side dish keeps its column: a row whose first one is empty shows
    // none on the ticket, whatever the others hold.
    for (int col = kColContorno1; col <= kColContorno3; ++col) l.contornos << Cell(cells, col);
    while (!l.contornos.isEmpty() && l.contornos.last().isEmpty()) l.contornos.removeLast();
    l.termino = Cell(cells, kColTermino);
    l.codVendedor = Cell(cells, kColCodVendedor);
    l.deposito = Cell(cells, kColDeposito);
    l.observacion = Cell(cells, kColObservacion);
    l.imprimir = Cell(cells, kColImprimir);
    return l;
}

}  // namespace order
