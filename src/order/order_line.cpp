#include "order/order_line.h"

namespace order {

QStringList RowCells(const OrderLine& l, const QStringList& contornos) {
    QStringList r;
    for (int i = 0; i < kOrderColumns; ++i) r << QString();
    r[kColCodigo] = l.codigo;
    r[kColNombre] = l.nombre;
    r[kColCant] = l.cantidad;
    r[kColCosto] = l.costo;
    r[kColPrecio] = l.precio;
    r[kColSubTotal] = l.subtotal;
    r[kColIva] = l.iva;
    for (int i = 0; i < contornos.size() && i < kSideDishesPerLine; ++i) r[kColContorno1 + i] = contornos[i];
    r[kColTermino] = l.termino;
    r[kColCodVendedor] = l.cod_vendedor;
    r[kColDeposito] = l.deposito;
    r[kColObservacion] = l.observacion;
    r[kColImprimir] = l.imprimir;
    return r;
}

}  // namespace order
