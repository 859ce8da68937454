#pragma once
// An order line with every field filled, for the tests of the order's rules
// and of the statements built from it.
#include "order/order.h"

namespace testorder {

inline order::Line SampleLine(const QString& code, const QString& name, double cantidad, double precio,
                              double iva = 16, double costo = 12.5) {
    order::Line l;
    l.codigo = code;
    l.nombre = name;
    l.cantidad = cantidad;
    l.precio = precio;
    l.subtotal = 9999.99;
    l.iva = iva;
    l.costo = costo;
    l.contornos = {"ARROZ", "TAJADAS"};
    l.termino = "TRES CUARTOS";
    l.codVendedor = "003";
    l.deposito = "01";
    l.observacion = "sin sal";
    l.imprimir = "PARRILLA";
    return l;
}

}  // namespace testorder
