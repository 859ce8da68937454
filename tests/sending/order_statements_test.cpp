// The statement texts of a send, built from plain values under the formats
// start-up forces (decimal comma, thousands point).
#include "sending/order_statements.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>

#include "order/order.h"
#include "order/sample_line.h"
#include "runtime/program_locale.h"

namespace {

using namespace sending;

const EscapeFn kAsIs = [](const QString& t) { return t; };
// Marks every value that went through escaping, to prove none is missed.
const EscapeFn kMarked = [](const QString& t) { return "<" + t + ">"; };

using testorder::SampleLine;

class OrderStatementsTest : public ProgramFormats {};

TEST_F(OrderStatementsTest, NumbersBecomeSqlNumbersWithADecimalPoint) {
    const struct {
        double value;
        const char* sql;
    } cases[] = {{1234.5, "1234.5"},   {2, "2"},        {12.5, "12.5"},
                 {0, "0"},             {3.000, "3"},    {188.79, "188.79"},
                 {1000000.125, "1000000.125"},          {-4.25, "-4.25"},
                 {0.001, "0.001"}};
    for (const auto& c : cases) EXPECT_EQ(SqlNumber(c.value), c.sql) << c.value;
}

TEST_F(OrderStatementsTest, ANumberThatIsNotFiniteFailsAsAnOverflow) {
    for (double value : {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                         std::numeric_limits<double>::quiet_NaN()})
        EXPECT_EQ(ErrorNumberOf([&] { SqlNumber(value); }), rt::kOverflow) << value;
}

TEST_F(OrderStatementsTest, TheCounterIsLockedAndWrittenBackPlusOneInQuotes) {
    EXPECT_EQ(kSqlContador, "select control_Comanda from mantenimiento for update");
    EXPECT_EQ(ActualizarContador("41", kAsIs), "update mantenimiento set control_Comanda='42';");
    EXPECT_EQ(ActualizarContador("999", kAsIs), "update mantenimiento set control_Comanda='1000';");
    EXPECT_EQ(ActualizarContador("007", kAsIs), "update mantenimiento set control_Comanda='8';");
    EXPECT_EQ(ActualizarContador("41", kMarked),
              "update mantenimiento set control_Comanda='<42>';");
    EXPECT_EQ(ErrorNumberOf([] { ActualizarContador("x1", kAsIs); }), rt::kTypeMismatch);
}

TEST_F(OrderStatementsTest, TheHeaderIsLookedUpAndInsertedUnderTheTableNumber) {
    EXPECT_EQ(BuscarCabecera("12", kAsIs), "Select * FROM Factura_r where n_factura='12';");
    EXPECT_EQ(InsertarCabecera("12", "003", QDate(2026, 3, 7), kAsIs),
              "INSERT INTO Factura_r (N_Factura,ced_cliente,Fecha_factura,Cod_Vendedor) "
              "values ('12','12','2026-03-07','003');");
    EXPECT_EQ(InsertarCabecera("7'", "0\\1", QDate(2026, 12, 31), kMarked),
              "INSERT INTO Factura_r (N_Factura,ced_cliente,Fecha_factura,Cod_Vendedor) "
              "values ('<7'>','<7'>','<2026-12-31>','<0\\1>');");
}

TEST_F(OrderStatementsTest, TheOrderLineFollowsItsColumnListAndSeparators) {
    const order::Line r = SampleLine("P001", "PARRILLA MIXTA", 2, 1234.5, 16, 12.5);
    EXPECT_EQ(
        InsertarLinea("5", r, kAsIs),
        "INSERT INTO D_Fact_r (n_factura,cod_producto,cantidad,monto,d_iva,costo,contorno1,"
        "contorno2,contorno3,termino,cod_vendedor,deposito,observacion) values "
        "('5','P001',2,1234.5,16,12.5,'ARROZ','TAJADAS','','TRES CUARTOS','003','01','sin sal');");
    // Every text column is escaped, none of the numbers.
    EXPECT_EQ(
        InsertarLinea("5", r, kMarked),
        "INSERT INTO D_Fact_r (n_factura,cod_producto,cantidad,monto,d_iva,costo,contorno1,"
        "contorno2,contorno3,termino,cod_vendedor,deposito,observacion) values "
        "('<5>','<P001>',2,1234.5,16,12.5,'<ARROZ>','<TAJADAS>','<>','<TRES CUARTOS>','<003>',"
        "'<01>','<sin sal>');");
}

TEST_F(OrderStatementsTest, TheTicketLineCarriesTicketWaiterTimeAndDate) {
    const order::Line r = SampleLine("B010", "CERVEZA D'LUXE", 3, 0, 0, 0);
    TicketContext t{"41", "D'Angelo Pérez", "21:05:09", QDate(2026, 12, 8), "5"};
    EXPECT_EQ(
        InsertarComanda(t, r, kAsIs),
        QString::fromUtf8("INSERT INTO comanda (numero,nom_producto,cantidad,monto,mesonero,hora,"
                          "fecha,mesa,contorno1,contorno2,contorno3,termino,observacion) values "
                          "('41','CERVEZA D'LUXE',3,0,'D'Angelo Pérez','21:05:09','2026,12,08','5',"
                          "'ARROZ','TAJADAS','','TRES CUARTOS','sin sal');"));
    // Only the first ten characters of the time; no counter row: an empty number.
    t.hora = "09:05:09 p. m.";
    t.numero = "";
    EXPECT_EQ(
        InsertarComanda(t, r, kMarked),
        QString::fromUtf8("INSERT INTO comanda (numero,nom_producto,cantidad,monto,mesonero,hora,"
                          "fecha,mesa,contorno1,contorno2,contorno3,termino,observacion) values "
                          "('<>','<CERVEZA D'LUXE>',3,0,'<D'Angelo Pérez>','<09:05:09 p>',"
                          "'<2026,12,08>','<5>','<ARROZ>','<TAJADAS>','<>','<TRES CUARTOS>',"
                          "'<sin sal>');"));
}

TEST_F(OrderStatementsTest, TheSendRecordIsWrittenAndLookedUpById) {
    EXPECT_EQ(RegistrarEnvio("ab-1", "41", "5", kMarked),
              "INSERT INTO envios (id_envio,numero,mesa) values ('<ab-1>','<41>','<5>');");
    EXPECT_EQ(BuscarEnvio("ab-1", kMarked), "select numero from envios where id_envio='<ab-1>';");
}

}  // namespace
