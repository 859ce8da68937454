// The order screen's statements: their exact texts, every text value
// through the escape (marked here as <value>).
#include <gtest/gtest.h>

#include "order/screen_statements.h"

namespace {

using namespace order;

QString Marked(const QString& text) {
    return "<" + text + ">";
}

TEST(ScreenStatements, AreWrittenExactlyWithEveryValueEscaped) {
    const struct {
        QString sql, expected;
    } cases[] = {
        {AreaSql("01", Marked), "select * from deposito where codigo='<01>';"},
        {WaiterSql("ANA", Marked), "select * from vendedores where nom_vendedor='<ANA>';"},
        {ProductSql("E001", Marked), "select * from productos where cod_producto = '<E001>';"},
        {CostSql("E001", Marked), "select * from costo where cod_producto='<E001>';"},
        {kSqlParametros, "select * from mantenimiento;"},
        {kSqlMesoneros, "select cod_vendedor, nom_vendedor from Vendedores order by nom_Vendedor;"},
        {kSqlContornos, "select nombre from contornos where activa=1 order by nombre;"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.sql, c.expected);
}

}  // namespace
