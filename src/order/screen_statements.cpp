#include "order/screen_statements.h"

namespace order {

QString AreaSql(const QString& area, const Escape& esc) {
    return QStringLiteral("select * from deposito where codigo='") + esc(area) +
           QStringLiteral("';");
}

QString WaiterSql(const QString& nombre, const Escape& esc) {
    return QStringLiteral("select * from vendedores where nom_vendedor='") + esc(nombre) +
           QStringLiteral("';");
}

QString ProductSql(const QString& codigo, const Escape& esc) {
    return QStringLiteral("select * from productos where cod_producto = '") + esc(codigo) +
           QStringLiteral("';");
}

QString CostSql(const QString& codigo, const Escape& esc) {
    return QStringLiteral("select * from costo where cod_producto='") + esc(codigo) +
           QStringLiteral("';");
}

}  // namespace order
