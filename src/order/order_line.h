#pragma once
// An order line as the order screen's grid holds it: one record of 15 cells,
// numbers formatted with their masks.
#include <QString>
#include <QStringList>

namespace order {

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

// At most this many side dishes reach an order line (columns Contorno 1 to 3).
constexpr int kSideDishesPerLine = 3;

// One order line as its cells show it: numbers already formatted with their masks.
struct OrderLine {
    QString codigo, nombre, cantidad, precio, subtotal, iva, costo, termino, cod_vendedor, deposito,
        observacion, imprimir;
};

// The 15 cells of the grid row `line` makes, with up to three side dishes:
// the order as sending reads it, without a grid.
QStringList RowCells(const OrderLine& line, const QStringList& contornos = {});

}  // namespace order
