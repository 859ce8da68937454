#pragma once
// The order screen's own statements, beside the menu's (menu_rules.h): what
// each clearing reads (the parameters and the waiters), the terminal's area,
// a waiter picked by name, a product and its cost, and the side dishes of
// the contornos table. Plain builders: every text value goes through the
// caller's escape.
#include <QString>

#include "order/escape.h"

namespace order {

// Read at each clearing of the screen; sending asks them in its own last
// round trip.
inline const QString kSqlParametros = QStringLiteral("select * from mantenimiento;");
inline const QString kSqlMesoneros =
    QStringLiteral("select cod_vendedor, nom_vendedor from Vendedores order by nom_Vendedor;");

// The side dishes offered from the contornos table, by name.
inline const QString kSqlContornos =
    QStringLiteral("select nombre from contornos where activa=1 order by nombre;");

// The area's row in deposito.
QString AreaSql(const QString& area, const Escape& esc);

// The rows of the waiters named `nombre`.
QString WaiterSql(const QString& nombre, const Escape& esc);

// The product row of code `codigo`, and its cost row.
QString ProductSql(const QString& codigo, const Escape& esc);
QString CostSql(const QString& codigo, const Escape& esc);

}  // namespace order
