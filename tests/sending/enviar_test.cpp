// ENVIAR on the real screen with the test database: what lands in Factura_r,
// D_Fact_r and comanda, read back as root, and what the screen does after.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

#include "data/db_error.h"
#include "order_screen/grid.h"
#include "order_screen/screen_fixture.h"
#include "sending/hooked_connection.h"
#include "runtime/configuration.h"

namespace {

using namespace order_screen;
using testsupport::RootQuery;

class EnviarTest : public testsupport::OrderScreenTest {
protected:
    void SetUp() override {
        OrderScreenTest::SetUp();
        testsupport::EmptyOrders(41);
        Module1::Cadena_Conexion = testsupport::TestConnectionString();
        // A clock from an earlier day: the header must carry this send's date.
        Module1::Fecha_Servidor = QDate(2020, 1, 31);
        Module1::Hora_Servidor = "23:59:59";
    }
    // The screen as CONTINUAR leaves it for waiter 003 at table 5.
    Pedido_R* Taking(const QString& mesa = "5") {
        return Continued(QString::fromUtf8("D'Angelo Pérez"), mesa, "003");
    }
    static QString Today() { return RootQuery("select curdate()").value(0); }
    static QString Counter() {
        return RootQuery("select control_Comanda from mantenimiento").value(0);
    }
    // A text as the server's hex() shows its UTF-8 bytes.
    static QString Hex(const QString& text) {
        return QString::fromLatin1(text.toUtf8().toHex().toUpper());
    }
};

// ENVIAR on our tables with the send record and on an installation's own without it.
using EnviarOn = testsupport::OnInstallation<EnviarTest>;
INSTANTIATE_TEST_SUITE_P(Installations, EnviarOn, testsupport::OursAndTheirs(),
                         testsupport::InstallationParamName());

TEST_P(EnviarOn, AnOrderIsStoredAsTheStatementsSayAndTheScreenCleared) {
    Pedido_R* s = Taking();
    order::Line a = Line("P001", "PARRILLA MIXTA");
    a.cantidad = 2;
    a.precio = 1234.5;
    a.iva = 0;
    a.costo = 12.5;
    a.termino = "TRES CUARTOS";
    a.observacion = "sin sal";
    AppendLine(*s->Grid1, *s->Grid2, s->Pedido, a, s->Num_Contornos);
    AppendSideDish(*s->Grid2, s->Num_Contornos, "ARROZ");
    AppendSideDish(*s->Grid2, s->Num_Contornos, "TAJADAS");
    AppendLine(*s->Grid1, *s->Grid2, s->Pedido, Line("B010", "CERVEZA"), s->Num_Contornos);
    AppendLine(*s->Grid1, *s->Grid2, s->Pedido, Line("X", "SIN CODIGO"), s->Num_Contornos);
    AppendLine(*s->Grid1, *s->Grid2, s->Pedido, Line("E001", "TEQUEÑOS"), s->Num_Contornos);
    // A line without code between two lines is skipped; the one after it is sent.
    s->Pedido.lineas[2].codigo = "";
    s->bmenu[3]->setText("PARRILLA");
    const QString today = Today();

    s->Command2_Click(0);

    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(
        RootQuery("select N_Factura, ced_cliente, Fecha_factura, Cod_Vendedor from Factura_r"),
        QStringList{"5\t5\t" + today + "\t003"});
    EXPECT_EQ(
        // Money as DECIMAL(14,3) whatever the installation's type (DOUBLE, say).
        RootQuery(
            "select n_factura, cod_producto, cast(cantidad as decimal(14,3)),"
            " cast(monto as decimal(14,3)), cast(d_iva as decimal(14,3)),"
            " cast(costo as decimal(14,3)), contorno1, contorno2, contorno3, termino,"
            " cod_vendedor, deposito, observacion from D_Fact_r order by cod_producto desc"),
        (QStringList{
            "5\tP001\t2.000\t1234.500\t0.000\t12.500\t\t\t\tTRES CUARTOS\t001\t01\tsin sal",
            "5\tE001\t1.000\t10.000\t16.000\t4.000\t\t\t\t\t001\t01\t",
            "5\tB010\t1.000\t10.000\t16.000\t4.000\tARROZ\tTAJADAS\t\t\t001\t01\t"}));
    QStringList tickets = RootQuery(
        "select numero, nom_producto, cast(cantidad as decimal(14,3)),"
        " cast(monto as decimal(14,3)), mesonero, fecha, mesa, contorno1, contorno2, contorno3,"
        " termino, observacion, hora from comanda order by nom_producto desc");
    ASSERT_EQ(tickets.size(), 3);
    tickets.move(0, 2);  // TEQUEÑOS last: PARRILLA, CERVEZA, TEQUEÑOS as sent
    const QString head = "41\tPARRILLA MIXTA\t2.000\t1234.500\t" +
                         QString::fromUtf8("D'Angelo Pérez") + "\t" + today +
                         "\t5\t\t\t\tTRES CUARTOS\tsin sal\t";
    EXPECT_TRUE(tickets[0].startsWith(head)) << tickets[0].toStdString();
    EXPECT_TRUE(tickets[1].startsWith("41\tCERVEZA\t1.000\t10.000\t")) << tickets[1].toStdString();
    EXPECT_TRUE(tickets[2].startsWith(QString::fromUtf8("41\tTEQUEÑOS\t")))
        << tickets[2].toStdString();
    // The ticket lines carry this send's server time, the same as the clock kept.
    const QString hora = tickets[0].section('\t', 12);
    EXPECT_TRUE(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d$").match(hora).hasMatch())
        << hora.toStdString();
    EXPECT_EQ(Module1::Hora_Servidor, hora);
    EXPECT_EQ(Module1::Fecha_Servidor.toString("yyyy-MM-dd"), today);
    EXPECT_EQ(Counter(), "42");

    // Cleared: an empty grid, the waiter/table panel back, menu buttons blank.
    EXPECT_EQ(s->Grid1->Rows(), 2);
    EXPECT_EQ(s->Grid1->TextMatrix(1, kColCodigo), "");
    EXPECT_EQ(s->Label1[1]->text(), "");
    EXPECT_EQ(s->cod_V->text(), "");
    EXPECT_TRUE(s->Frame3->isVisibleTo(s));
    EXPECT_EQ(s->bmenu[3]->text(), "");
}

TEST_F(EnviarTest, AnEmptyOrderAdvancesTheCounterAndOpensTheTable) {
    Pedido_R* s = Taking("9");
    s->Command2_Click(0);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(Counter(), "42");
    EXPECT_EQ(RootQuery("select N_Factura, Cod_Vendedor, Fecha_factura from Factura_r"),
              QStringList{"9\t003\t" + Today()});
    EXPECT_EQ(RootQuery("select count(*) from D_Fact_r").value(0), "0");
    EXPECT_EQ(RootQuery("select count(*) from comanda").value(0), "0");
}

TEST_F(EnviarTest, ASecondSendForTheTableAddsLinesUnderTheSameHeader) {
    Pedido_R* s = Taking("7");
    AddLine(s, "P001");
    s->Command2_Click(0);
    // Another waiter sends more for table 7.
    s->Atender("Yusmary Carrasco", "7", "004");
    AddLine(s, "B010");
    s->Command2_Click(0);

    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(RootQuery("select N_Factura, Cod_Vendedor from Factura_r"), QStringList{"7\t003"});
    EXPECT_EQ(RootQuery("select n_factura, cod_producto from D_Fact_r order by id"),
              (QStringList{"7\tP001", "7\tB010"}));
    EXPECT_EQ(RootQuery("select numero, mesonero from comanda order by id"),
              (QStringList{QString::fromUtf8("41\tD'Angelo Pérez"), "42\tYusmary Carrasco"}));
    EXPECT_EQ(Counter(), "43");
}

TEST_F(EnviarTest, ApostrophesAndBackslashesInEveryColumnAreStoredAsTyped) {
    Pedido_R* s = Taking("1'0");
    s->Atender(s->Pedido.mesonero, s->Pedido.mesa, "0'3");
    order::Line l = Line("P'1", "PAPAS 'FRITAS' \\ GRANDES");
    l.termino = "a l'inglesa";
    l.observacion = "bien cocido; sin \"sal\" \\n";
    l.deposito = "0\\1";
    AppendLine(*s->Grid1, *s->Grid2, s->Pedido, l, s->Num_Contornos);
    s->Command2_Click(0);

    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(
        RootQuery("select hex(N_Factura), hex(ced_cliente), hex(Cod_Vendedor) from Factura_r"),
        QStringList{Hex("1'0") + "\t" + Hex("1'0") + "\t" + Hex("0'3")});
    EXPECT_EQ(RootQuery("select hex(cod_producto), hex(termino), hex(observacion), hex(deposito) "
                        "from D_Fact_r"),
              QStringList{Hex("P'1") + "\t" + Hex("a l'inglesa") + "\t" + Hex(l.observacion) +
                          "\t" + Hex("0\\1")});
    EXPECT_EQ(
        RootQuery("select hex(nom_producto), hex(mesonero), hex(mesa), hex(termino) from comanda"),
        QStringList{Hex(l.nombre) + "\t" + Hex(QString::fromUtf8("D'Angelo Pérez")) + "\t" +
                    Hex("1'0") + "\t" + Hex("a l'inglesa")});
}

TEST_F(EnviarTest, AStatementFailingTwiceIsStoredWithNothingShown) {
    Pedido_R* s = Taking();
    AddLine(s, "P001");
    auto hooked = std::make_unique<sendingtest::HookedConnection>(std::move(Module1::Conexion));
    int failures = 0;
    hooked->before = [&](const QString& sql, int) {
        if (sql.startsWith("INSERT INTO comanda") && failures < 2)
            throw data::DbError(1030, QString("Got error 11 from storage engine (%1)").arg(++failures));
    };
    sendingtest::HookedConnection* conn = hooked.get();
    Module1::Conexion = std::move(hooked);

    s->Command2_Click(0);

    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(failures, 2);
    EXPECT_EQ(conn->statements.count(conn->statements.filter("INSERT INTO comanda").value(0)), 3);
    EXPECT_EQ(conn->opens, 0);  // tried again on the same connection
    EXPECT_EQ(RootQuery("select count(*) from D_Fact_r").value(0), "1");
    EXPECT_EQ(RootQuery("select count(*) from comanda").value(0), "1");
    EXPECT_EQ(s->Grid1->TextMatrix(1, kColCodigo), "");
}

TEST_P(EnviarOn, AStatementFailingFiveTimesRollsBackKeepsTheOrderAndTheNextSendStoresItOnce) {
    Pedido_R* s = Taking();
    AddLine(s, "P001");
    AddLine(s, "B010");
    auto hooked = std::make_unique<sendingtest::HookedConnection>(std::move(Module1::Conexion));
    int failures = 0;
    hooked->before = [&](const QString& sql, int) {
        // The second line's order line: counter, header and the first line ran already.
        if (sql.contains("'B010'") && sql.startsWith("INSERT INTO D_Fact_r"))
            throw data::DbError(1030, QString("fallo número %1").arg(++failures));
    };
    sendingtest::HookedConnection* conn = hooked.get();
    Module1::Conexion = std::move(hooked);

    s->Command2_Click(0);

    EXPECT_EQ(failures, 5);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    // The program goes on, so the message says what became of the order.
    EXPECT_EQ(dialogs.shown[0].text,
              QString::fromUtf8("Error en Base de datos...\rEl pedido no se guardó y sigue en "
                                "pantalla.\rPresione ENVIAR de nuevo.\rfallo número 5"));
    EXPECT_EQ(dialogs.shown[0].title, " Sistema VandrelFW ");
    EXPECT_EQ(dialogs.shown[0].icon, dialogs::Icon::Information);
    EXPECT_EQ(conn->statements.last(), "ROLLBACK");
    EXPECT_EQ(Counter(), "41");
    EXPECT_EQ(RootQuery("select count(*) from Factura_r").value(0), "0");
    EXPECT_EQ(RootQuery("select count(*) from D_Fact_r").value(0), "0");
    EXPECT_EQ(RootQuery("select count(*) from comanda").value(0), "0");
    // The order is still on the screen, ready to be sent again.
    EXPECT_EQ(s->Grid1->TextMatrix(1, kColCodigo), "P001");
    EXPECT_EQ(s->Grid1->TextMatrix(2, kColCodigo), "B010");
    EXPECT_EQ(s->Label1[1]->text(), "5");

    conn->before = nullptr;
    s->Command2_Click(0);
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(Counter(), "42");
    EXPECT_EQ(RootQuery("select numero, nom_producto from comanda order by nom_producto desc"),
              (QStringList{"41\tPLATO P001", "41\tPLATO B010"}));
    EXPECT_EQ(s->Grid1->TextMatrix(1, kColCodigo), "");
}

TEST_P(EnviarOn, AnOrderWhoseCommitAnswerWasLostIsNotStoredAgainByTheNextEnviar) {
    Pedido_R* s = Taking();
    AddLine(s, "P001");
    auto hooked = std::make_unique<sendingtest::HookedConnection>(std::move(Module1::Conexion));
    sendingtest::HookedConnection* conn = hooked.get();
    hooked->after = [conn](const QString& sql, int) {
        if (sql == "COMMIT") {
            conn->Real().Close();
            throw data::DbError(2013, "Lost connection to server during query");
        }
    };
    Module1::Conexion = std::move(hooked);
    // The server cannot be reached to ask whether the send went through.
    Module1::Cadena_Conexion =
        rt::BuildConnectionString(testsupport::DbName(), testsupport::DbDownHost());

    s->Command2_Click(0);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].text.startsWith(QString::fromUtf8(
        "Error en Base de datos...\rNo se pudo confirmar si el pedido quedó guardado; sigue en "
        "pantalla.\rPresione ENVIAR de nuevo: si ya se guardó, no se guardará dos veces.\r")))
        << dialogs.shown[0].text.toStdString();
    EXPECT_EQ(s->Grid1->TextMatrix(1, kColCodigo), "P001");
    EXPECT_EQ(RootQuery("select count(*) from comanda").value(0), "1");  // it did commit

    conn->after = nullptr;
    Module1::Cadena_Conexion = testsupport::TestConnectionString();
    s->Command2_Click(0);
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_TRUE(dialogs.shown[1].text.startsWith(
        QString::fromUtf8("El pedido de la Mesa 5 sí quedó guardado (comanda N° 41).")))
        << dialogs.shown[1].text.toStdString();
    EXPECT_EQ(s->Grid1->TextMatrix(1, kColCodigo), "");  // taken as sent, and cleared
    EXPECT_EQ(RootQuery("select count(*) from comanda").value(0), "1");
    EXPECT_EQ(RootQuery("select count(*) from D_Fact_r").value(0), "1");
    EXPECT_EQ(Counter(), "42");
    EXPECT_EQ(conn->statements.filter("INSERT INTO D_Fact_r").size(), 1);
}

}  // namespace
