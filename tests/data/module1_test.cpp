#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "data/db_error.h"
#include "data/mariadb_connection.h"
#include "runtime/configuration.h"
#include "data/module1.h"
#include "support/failing_connection.h"
#include "support/program_end.h"
#include "support/scripted_dialogs.h"
#include "support/test_database.h"

namespace {

using testsupport::FailingConnection;

class Module1Db : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testsupport::ResetDatabase(); }
    void SetUp() override {
        auto real = std::make_unique<data::MariaDbConnection>();
        real->Open(testsupport::TestConnectionString());
        auto failing = std::make_unique<FailingConnection>(std::move(real));
        conn = failing.get();
        Module1::Conexion = std::move(failing);
    }
    void TearDown() override { Module1::Conexion.reset(); }
    QString Counter() { return testsupport::RootQuery("select control_Comanda from mantenimiento")[0]; }

    FailingConnection* conn = nullptr;
    testsupport::ScriptedDialogs dialogs;
    testsupport::CatchProgramEnd catchEnd;
};

TEST_F(Module1Db, AStatementThatFailsTwiceRunsOnTheThirdAttemptAndSaysNothing) {
    const QString before = Counter();
    conn->failNextExecutes = 2;
    EXPECT_TRUE(Module1::Ejecutar_Sql("update mantenimiento set control_Comanda = control_Comanda + 1"));
    EXPECT_EQ(conn->executeCalls, 3);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(Counter().toInt(), before.toInt() + 1);  // ran exactly once
}

TEST_F(Module1Db, AStatementThatFailsFiveTimesReportsTheLastErrorAndEndsTheProgram) {
    conn->failNextExecutes = 5;
    EXPECT_THROW(Module1::Ejecutar_Sql("update mantenimiento set control_Comanda = 1"),
                 rt::ProgramEnded);
    EXPECT_EQ(conn->executeCalls, 5);  // never a sixth attempt
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text,
              QString("Error en Base de datos...\rSe Desconectara del sistema.Lock wait timeout "
                      "exceeded; try restarting transaction (attempt 5)"));
    EXPECT_EQ(dialogs.shown[0].title, " Sistema VandrelFW ");
    EXPECT_EQ(dialogs.shown[0].icon, dialogs::Icon::Information);
}

TEST_F(Module1Db, AStatementTheServerRefusesIsTriedFiveTimesWithItsOwnMessage) {
    EXPECT_THROW(Module1::Ejecutar_Sql("delete from Factura_r"), rt::ProgramEnded);
    EXPECT_EQ(conn->executeCalls, 5);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].text.contains("DELETE command denied")) << dialogs.shown[0].text.toStdString();
}

TEST_F(Module1Db, AbrirTablaReplacesTheResultAndAFailingQueryRaisesToTheCaller) {
    std::unique_ptr<data::ResultSet> rs;
    Module1::Abrir_Tabla(rs, "select * from Vendedores");
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->State(), data::ResultSet::kOpen);
    EXPECT_GE(rs->RecordCount(), 4);
    EXPECT_THROW(Module1::Abrir_Tabla(rs, "select * from nada"), data::DbError);
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->State(), data::ResultSet::kClosed);
}

// A connection closed by the program (a send that could not reconnect) or
// dropped by the server, with Cadena_Conexion pointing at the server or at
// an address where none listens.
class Module1Reconnect : public Module1Db {
protected:
    enum class Broken { Closed, KilledByServer };
    void SetUp() override {
        Module1Db::SetUp();
        Module1::Cadena_Conexion = testsupport::TestConnectionString();
    }
    void TearDown() override {
        Module1::Cadena_Conexion.clear();
        Module1Db::TearDown();
    }
    static QString SessionId() {
        return Module1::Conexion->Query("select connection_id()").Field(0).ToText();
    }
    static void Break(Broken how) {
        if (how == Broken::Closed)
            Module1::Conexion->Close();
        else
            testsupport::RootQuery("kill " + SessionId());
    }
    static void PointAt(bool serverUp) {
        Module1::Cadena_Conexion = rt::BuildConnectionString(
            testsupport::DbName(), serverUp ? testsupport::DbHost() : testsupport::DbDownHost());
    }
    struct Case {
        const char* name;
        Broken how;
        bool serverUp;
    };
    static constexpr Case kCases[] = {{"closed, server up", Broken::Closed, true},
                                      {"dropped, server up", Broken::KilledByServer, true},
                                      {"closed, server down", Broken::Closed, false},
                                      {"dropped, server down", Broken::KilledByServer, false}};
};

TEST_F(Module1Reconnect, AbrirTablaConnectsAgainOrRaisesConnectionLostAndTheNextOneConnects) {
    std::unique_ptr<data::ResultSet> rs;
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const QString before = SessionId();
        Break(c.how);
        PointAt(c.serverUp);
        if (c.serverUp) {
            Module1::Abrir_Tabla(rs, "select * from Vendedores");
            EXPECT_GE(rs->RecordCount(), 4);
            EXPECT_NE(SessionId(), before);
        } else {
            EXPECT_THROW(Module1::Abrir_Tabla(rs, "select * from Vendedores"),
                         data::ConnectionLost);
            EXPECT_EQ(rs->State(), data::ResultSet::kClosed);
            EXPECT_FALSE(Module1::Conexion->IsOpen());
            PointAt(true);  // the server is back: the next query connects by itself
            Module1::Abrir_Tabla(rs, "select * from Vendedores");
            EXPECT_GE(rs->RecordCount(), 4);
        }
    }
    // A query the server refuses is its answer: no new connection, its own error.
    const QString before = SessionId();
    EXPECT_THROW(Module1::Abrir_Tabla(rs, "select * from nada"), data::DbError);
    EXPECT_EQ(SessionId(), before);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(Module1Reconnect, EjecutarSqlConnectsAgainFirstButNeverRunsALostStatementTwice) {
    const QString add = "update mantenimiento set control_Comanda = control_Comanda + 1";
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const int before = Counter().toInt();
        Break(c.how);
        PointAt(c.serverUp);
        if (c.how == Broken::Closed && c.serverUp) {
            EXPECT_TRUE(Module1::Ejecutar_Sql(add));
            EXPECT_EQ(Counter().toInt(), before + 1);
            continue;
        }
        // A statement whose connection is gone may have been applied: it is
        // not run again, and the program goes on.
        EXPECT_THROW(Module1::Ejecutar_Sql(add), data::ConnectionLost);
        EXPECT_EQ(Counter().toInt(), before);
        EXPECT_FALSE(Module1::Conexion->IsOpen());
        PointAt(true);
        EXPECT_TRUE(Module1::Ejecutar_Sql(add));
        EXPECT_EQ(Counter().toInt(), before + 1);
    }
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST(Module1, CerrarTablaOnNothingOrAClosedResultDoesNothing) {
    std::unique_ptr<data::ResultSet> none;
    EXPECT_NO_THROW(Module1::Cerrar_Tabla(none));
    auto closed = std::make_unique<data::ResultSet>();
    EXPECT_NO_THROW(Module1::Cerrar_Tabla(closed));
    auto open = std::make_unique<data::ResultSet>(QStringList{"a"},
                                                  std::vector<std::vector<rt::Variant>>{{1}});
    Module1::Cerrar_Tabla(open);
    EXPECT_EQ(open->State(), data::ResultSet::kClosed);
}

TEST(Module1, TheCommonMessagesUseTheirExactTextsAndTitles) {
    testsupport::ScriptedDialogs dialogs;
    Module1::Mensaje = "Hola";
    Module1::Mostrar_Mensaje();
    Module1::Codigo_No_Existe();
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0].text, "Hola");
    EXPECT_EQ(dialogs.shown[0].title, " Sistema VandrelFW ");
    EXPECT_EQ(dialogs.shown[1].text,
              QString::fromUtf8("       Código No Existente, \r Por Favor Intente de Nuevo. "));
    EXPECT_EQ(dialogs.shown[1].title, " Sistema VandrelFW");
    EXPECT_EQ(dialogs.shown[1].icon, dialogs::Icon::Information);
    EXPECT_EQ(Module1::Mensaje, dialogs.shown[1].text);
}

TEST(Module1, ExisteArchivoSeesFilesAndFoldersOnly) {
    QTemporaryDir dir;
    QFile f(dir.filePath("a.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_TRUE(Module1::Existe_Archivo(dir.path()));
    EXPECT_TRUE(Module1::Existe_Archivo(dir.filePath("a.txt")));
    EXPECT_FALSE(Module1::Existe_Archivo(dir.filePath("b.txt")));
    EXPECT_FALSE(Module1::Existe_Archivo(""));
}

TEST(Module1, WithoutAConnectionAStatementFailsFiveTimesAndEnds) {
    testsupport::ScriptedDialogs dialogs;
    testsupport::CatchProgramEnd catchEnd;
    Module1::Conexion.reset();
    EXPECT_THROW(Module1::Ejecutar_Sql("select 1"), rt::ProgramEnded);
    ASSERT_EQ(dialogs.shown.size(), 1u);
}

}  // namespace
