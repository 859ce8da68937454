// The server is killed (kill -9) in the middle of ENVIAR and started again:
// the database holds none of the order, the screen still holds it, and the
// next ENVIAR stores it once. A private server of this program is killed,
// never the shared test server.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "data/mariadb_connection.h"
#include "order_screen/grid.h"
#include "order_screen/screen_fixture.h"
#include "sending/hooked_connection.h"
#include "sending/private_server.h"
#include "runtime/configuration.h"

namespace {

using namespace order_screen;

using testsupport::Installation;

class ServerKillTest : public testsupport::OrderScreenTest,
                       public ::testing::WithParamInterface<Installation> {
protected:
    static void SetUpTestSuite() {
        OrderScreenTest::SetUpTestSuite();
        server = new sendingtest::PrivateServer;
        QString error;
        if (!server->Start(error) ||
            !server->LoadDatabase(DbOf(Installation::Ours), error, Installation::Ours) ||
            !server->LoadDatabase(DbOf(Installation::Theirs), error, Installation::Theirs))
            startError = error;
    }
    static QString DbOf(Installation i) {
        return "pt_sending_kill_" + QString::fromStdString(testsupport::InstallationName(i));
    }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }
    void SetUp() override {
        OrderScreenTest::SetUp();
        ASSERT_EQ(startError, QString());
        db = DbOf(GetParam());
        Module1::Cadena_Conexion = rt::BuildConnectionString(db, server->Host());
        auto real = std::make_unique<data::MariaDbConnection>();
        real->Open(Module1::Cadena_Conexion);
        Module1::Anchos = data::LearnColumnWidths(*real);
        auto hooked = std::make_unique<sendingtest::HookedConnection>(std::move(real));
        conn = hooked.get();
        Module1::Conexion = std::move(hooked);
    }
    QStringList Rows(const QString& sql) { return server->Query(db, sql); }
    QString Stored() {
        return Rows("select (select control_Comanda from mantenimiento), (select count(*) from "
                    "Factura_r), (select count(*) from D_Fact_r), (select count(*) from comanda)")
            .value(0);
    }

    static inline sendingtest::PrivateServer* server = nullptr;
    static inline QString startError;
    sendingtest::HookedConnection* conn = nullptr;
    QString db;
};

INSTANTIATE_TEST_SUITE_P(Installations, ServerKillTest, testsupport::OursAndTheirs(),
                         testsupport::InstallationParamName());

TEST_P(ServerKillTest, AKilledServerKeepsAllOrNothingAndTheNextEnviarStoresTheOrderOnce) {
    // Killed while the lines are written, and just before the COMMIT.
    const struct {
        const char* name;
        std::function<bool(const QString&)> at;
    } points[] = {{"second line",
                   [](const QString& sql) {
                       return sql.startsWith("INSERT INTO D_Fact_r") && sql.contains("'B010'");
                   }},
                  {"commit", [](const QString& sql) { return sql == "COMMIT"; }}};
    int sends = 0;
    for (const auto& point : points) {
        SCOPED_TRACE(point.name);
        const QString before = Stored();
        Pedido_R* s = Load();
        s->Atender("Yusmary Carrasco", "12", "004");
        s->Habilita();
        AddLine(s, "P001");
        AddLine(s, "B010");
        AddLine(s, "E001");
        bool killed = false;
        conn->before = [&](const QString& sql, int) {
            if (!killed && point.at(sql)) {
                killed = true;
                server->Kill();
            }
        };
        const size_t shownBefore = dialogs.shown.size();

        s->Command2_Click(0);

        ASSERT_TRUE(killed);
        ASSERT_EQ(dialogs.shown.size(), shownBefore + 1);
        // The program goes on: the message says the order was not stored (or
        // could not be confirmed) and is still on the screen.
        const QString text = dialogs.shown.back().text;
        EXPECT_TRUE(text.startsWith("Error en Base de datos...\r")) << text.toStdString();
        EXPECT_FALSE(text.contains("Se Desconectara")) << text.toStdString();
        EXPECT_TRUE(text.contains("sigue en pantalla")) << text.toStdString();
        // The screen still holds the order.
        EXPECT_EQ(s->Grid1->TextMatrix(1, kColCodigo), "P001");
        EXPECT_EQ(s->Grid1->TextMatrix(3, kColCodigo), "E001");
        EXPECT_EQ(s->Label1[1]->text(), "12");

        QString error;
        ASSERT_TRUE(server->Start(error)) << error.toStdString();
        EXPECT_EQ(Stored(), before);  // none of it survived the crash

        conn->before = nullptr;
        s->Command2_Click(0);
        ++sends;
        EXPECT_EQ(dialogs.shown.size(), shownBefore + 1);  // nothing more shown
        EXPECT_EQ(s->Grid1->TextMatrix(1, kColCodigo), "");
        const QString counter = QString::number(1 + sends);
        EXPECT_EQ(Stored(), counter + "\t1\t" + QString::number(3 * sends) + "\t" +
                                QString::number(3 * sends));
        if (GetParam() == Installation::Ours) {
            EXPECT_EQ(Rows("select count(*) from envios"), QStringList{QString::number(sends)});
        }
        EXPECT_EQ(Rows("select numero, nom_producto from comanda order by numero, nom_producto")
                      .mid(3 * (sends - 1)),
                  (QStringList{QString::number(sends) + "\tPLATO B010",
                               QString::number(sends) + "\tPLATO E001",
                               QString::number(sends) + "\tPLATO P001"}));
    }
}

}  // namespace
