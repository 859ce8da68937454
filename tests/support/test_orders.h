#pragma once
// Orders as item entry fills them, for the tests that send.
#include <QString>

#include "order/order.h"

namespace testsupport {

// An order line as item entry fills it.
inline order::Line TestLine(const QString& code, const QString& name, double cantidad, double precio,
                            const QString& observacion = QString()) {
    order::Line l;
    l.codigo = code;
    l.nombre = name;
    l.cantidad = cantidad;
    l.precio = l.subtotal = precio;
    l.iva = 16;
    l.costo = 4;
    l.codVendedor = "001";
    l.deposito = "01";
    l.observacion = observacion;
    return l;
}

// `lines` lines P1, P2, ... for table `mesa`, each noted `observacion`.
inline order::Order TestOrder(const QString& mesa, int lines, const QString& observacion = QString()) {
    order::Order p{mesa, "María Fernández", "001", {}};
    for (int i = 1; i <= lines; ++i)
        p.lineas.push_back(TestLine(QString("P%1").arg(i), QString("PLATO %1").arg(i), 1, 10, observacion));
    return p;
}

}  // namespace testsupport
