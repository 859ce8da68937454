#include "order/screen_statements.h"

namespace order {
namespace {

// `head` followed by `value` escaped and the closing "';".
QString EndingWith(const char* head, const QString& value, const Escape& esc) {
    return QLatin1String(head) + esc(value) + QStringLiteral("';");
}

}  // namespace

QString AreaSql(const QString& area, const Escape& esc) {
    return EndingWith("select * from deposito where codigo='", area, esc);
}

QString WaiterSql(const QString& nombre, const Escape& esc) {
    return EndingWith("select * from vendedores where nom_vendedor='", nombre, esc);
}

QString ProductSql(const QString& codigo, const Escape& esc) {
    return EndingWith("select * from productos where cod_producto = '", codigo, esc);
}

QString CostSql(const QString& codigo, const Escape& esc) {
    return EndingWith("select * from costo where cod_producto='", codigo, esc);
}

}  // namespace order
