// One send as one transaction: lost answers, lost connections and deadlocks
// end in the order stored exactly once or not at all, and text is stored byte
// for byte.
#include <gtest/gtest.h>

#include <algorithm>

#include "data/db_error.h"
#include "order_screen/order_lines.h"
#include "sending/hooked_connection.h"
#include "sending/send_fixture.h"
#include "startup/configuration.h"

namespace {

using namespace sendingtest;
using sending::SendOrder;
using testsupport::RootQuery;

class SendOrderTest : public SendFixture {
protected:
    std::unique_ptr<HookedConnection> Hooked() {
        return std::make_unique<HookedConnection>(Connect());
    }
    static QString Hex(const QString& text) {
        return QString::fromLatin1(text.toUtf8().toHex().toUpper());
    }
};

TEST_F(SendOrderTest, ALostAnswerToACommitThatWentThroughIsNotSentAgain) {
    // With lines and without: the empty order writes only the counter and a header.
    for (int lines : {3, 0}) {
        SetUp();
        auto c = Hooked();
        bool lost = false;
        c->after = [&](const QString& sql, int) {
            if (sql == "COMMIT" && !lost) {
                lost = true;
                throw data::DbError(2013, "Lost connection to server during query");
            }
        };
        const sending::SendResult r =
            SendOrder(*c, Order("4", lines), sending::NewSendId(), Options());
        EXPECT_TRUE(r.committed) << lines;
        EXPECT_EQ(r.numero, "100");
        EXPECT_EQ(r.wholeSendRuns, 1);
        EXPECT_EQ(c->opens, 1);  // reconnected to ask
        EXPECT_EQ(Counter(), "101");
        EXPECT_EQ(Count("Factura_r"), "1");
        EXPECT_EQ(Count("D_Fact_r"), QString::number(lines));
        EXPECT_EQ(Count("comanda"), QString::number(lines));
        EXPECT_TRUE(r.reloj.fecha.isValid());
    }
}

TEST_F(SendOrderTest, AConnectionLostBeforeTheCommitRunsTheWholeSendAgainOnANewConnection) {
    auto c = Hooked();
    int lost = 0;
    c->before = [&](const QString& sql, int) {
        if (sql.startsWith("INSERT INTO comanda") && sql.contains("'PLATO 2'") && lost++ == 0) {
            c->Real().Close();  // the server drops the session and its transaction
            throw data::DbError(2013, "Lost connection to server during query");
        }
    };
    const sending::SendResult r = SendOrder(*c, Order("4", 3), sending::NewSendId(), Options());
    EXPECT_TRUE(r.committed);
    EXPECT_EQ(r.wholeSendRuns, 2);
    EXPECT_EQ(c->opens, 1);
    EXPECT_EQ(r.numero, "100");  // the first run's number was never taken
    EXPECT_EQ(Counter(), "101");
    EXPECT_EQ(RootQuery("select numero, nom_producto from comanda order by id"),
              (QStringList{"100\tPLATO 1", "100\tPLATO 2", "100\tPLATO 3"}));
    EXPECT_EQ(Count("D_Fact_r"), "3");
    // The second run starts from its first statement.
    const QStringList& s = c->statements;
    EXPECT_EQ(s.count("START TRANSACTION"), 2);
    EXPECT_EQ(s.count("select control_Comanda from mantenimiento for update"), 2);
}

TEST_F(SendOrderTest, ADeadlockRunsTheWholeSendAgain) {
    auto c = Hooked();
    int deadlocks = 0;
    c->before = [&](const QString& sql, int) {
        if (sql.startsWith("INSERT INTO D_Fact_r") && deadlocks++ == 0)
            throw data::DbError(
                1213, "Deadlock found when trying to get lock; try restarting transaction");
    };
    const sending::SendResult r = SendOrder(*c, Order("4", 2), sending::NewSendId(), Options());
    EXPECT_TRUE(r.committed);
    EXPECT_EQ(r.wholeSendRuns, 2);
    EXPECT_EQ(c->statements.filter("INSERT INTO D_Fact_r").size(),
              3);  // not tried again in the dead transaction
    EXPECT_EQ(Count("D_Fact_r"), "2");
    EXPECT_EQ(Count("comanda"), "2");
    EXPECT_EQ(Counter(), "101");
}

TEST_F(SendOrderTest, AFailedCommitIsNeverTriedAgainButTheWholeSendIs) {
    // The server rolled the transaction back and refused the COMMIT (a full
    // disk, say): a second COMMIT would answer OK with nothing stored.
    auto c = Hooked();
    int failures = 0;
    c->before = [&](const QString& sql, int) {
        if (sql == "COMMIT" && failures++ == 0) {
            c->Real().Execute("ROLLBACK");
            throw data::DbError(1180, "Got error 28 during COMMIT");
        }
    };
    const sending::SendResult r = SendOrder(*c, Order("4", 2), sending::NewSendId(), Options());
    EXPECT_TRUE(r.committed);
    EXPECT_EQ(r.wholeSendRuns, 2);
    EXPECT_EQ(Count("D_Fact_r"), "2");
    EXPECT_EQ(Count("comanda"), "2");
    EXPECT_EQ(Counter(), "101");
}

TEST_F(SendOrderTest, AStatementAfterTheServerDroppedTheTransactionRestartsTheWholeSend) {
    // As a lock wait timeout does with innodb_rollback_on_timeout: the whole
    // transaction is gone, so the rest must not be stored on its own.
    auto c = Hooked();
    int failures = 0;
    c->before = [&](const QString& sql, int) {
        if (sql.startsWith("INSERT INTO comanda") && failures++ == 0) {
            c->Real().Execute("ROLLBACK");
            throw data::DbError(1205, "Lock wait timeout exceeded; try restarting transaction");
        }
    };
    const sending::SendResult r = SendOrder(*c, Order("4", 2), sending::NewSendId(), Options());
    EXPECT_TRUE(r.committed);
    EXPECT_EQ(r.wholeSendRuns, 2);
    EXPECT_EQ(Count("Factura_r"), "1");
    EXPECT_EQ(Count("D_Fact_r"), "2");
    EXPECT_EQ(Count("comanda"), "2");
    EXPECT_EQ(Counter(), "101");
}

TEST_F(SendOrderTest, ADeadlockOnEveryRunGivesUpAfterTheLastRunWithNothingStored) {
    auto c = Hooked();
    c->before = [&](const QString& sql, int) {
        if (sql.startsWith("INSERT INTO comanda")) throw data::DbError(1213, "Deadlock found");
    };
    sending::SendOptions o = Options();
    o.intentosEnvio = 3;
    const sending::SendResult r = SendOrder(*c, Order("4", 2), sending::NewSendId(), o);
    EXPECT_FALSE(r.committed);
    EXPECT_FALSE(r.outcomeUnknown);
    EXPECT_EQ(r.wholeSendRuns, 3);
    EXPECT_EQ(r.lastError, "Deadlock found");
    EXPECT_EQ(Counter(), "100");
    EXPECT_EQ(Count("Factura_r"), "0");
    EXPECT_EQ(Count("D_Fact_r"), "0");
}

TEST_F(SendOrderTest, AServerThatCannotBeReachedAgainLeavesTheSendUnknownUntilAskedWithItsId) {
    auto c = Hooked();
    bool dropped = false;
    c->before = [&](const QString& sql, int) {
        if (sql == "COMMIT" && !dropped) {
            dropped = true;
            c->Real().Close();
            throw data::DbError(2006, "Server has gone away");
        }
    };
    sending::SendOptions o = Options();
    o.connectionString =
        startup::BuildConnectionString(testsupport::DbName(), testsupport::DbDownHost());
    const QString id = sending::NewSendId();
    const sending::SendResult r = SendOrder(*c, Order("4", 2), id, o);
    EXPECT_FALSE(r.committed);
    EXPECT_TRUE(r.outcomeUnknown);
    EXPECT_EQ(c->opens, o.intentosConexion);
    EXPECT_FALSE(r.lastError.isEmpty());
    EXPECT_EQ(Counter(), "100");
    EXPECT_EQ(Count("D_Fact_r"), "0");

    // The same send again, once the server answers: asked first, then stored once.
    o.comprobarAntes = true;
    o.connectionString = testsupport::TestConnectionString();
    const sending::SendResult again = SendOrder(*c, Order("4", 2), id, o);
    EXPECT_TRUE(again.committed);
    EXPECT_EQ(again.wholeSendRuns, 1);
    EXPECT_EQ(Count("D_Fact_r"), "2");
    // And once stored, asking again finds it and stores nothing more.
    const sending::SendResult third = SendOrder(*c, Order("4", 2), id, o);
    EXPECT_TRUE(third.committed);
    EXPECT_EQ(third.wholeSendRuns, 0);
    EXPECT_EQ(third.numero, "100");
    EXPECT_EQ(Count("D_Fact_r"), "2");
    EXPECT_EQ(Counter(), "101");
}

TEST_F(SendOrderTest, ACellThatIsNoNumberStopsTheSendBeforeAnyStatement) {
    auto c = Hooked();
    sending::OrderToSend p = Order("4", 2);
    p.filas[1][order_screen::kColPrecio] = "diez";
    EXPECT_THROW(SendOrder(*c, p, sending::NewSendId(), Options()), rt::RuntimeError);
    EXPECT_TRUE(c->statements.isEmpty());
    // A row without code is no line, whatever its cells hold.
    p.filas[1][order_screen::kColCodigo] = "";
    EXPECT_TRUE(SendOrder(*c, p, sending::NewSendId(), Options()).committed);
    EXPECT_EQ(Count("D_Fact_r"), "1");
}

TEST_F(SendOrderTest, WithoutACounterRowTicketLinesGetAnEmptyNumber) {
    RootQuery("delete from mantenimiento");
    auto c = Hooked();
    const sending::SendResult r = SendOrder(*c, Order("4", 1), sending::NewSendId(), Options());
    RootQuery(
        "insert into mantenimiento (id, iva, iva_reducido, iva_lujo, Precio_V, Dollar, "
        "control_Comanda)"
        " values (1, 16, 8, 31, '1', 36.50, 100)");
    EXPECT_TRUE(r.committed);
    EXPECT_EQ(r.numero, "");
    EXPECT_TRUE(c->statements.filter("update mantenimiento").isEmpty());
    EXPECT_EQ(RootQuery("select concat('[', numero, ']') from comanda"), QStringList{"[]"});
}

TEST_F(SendOrderTest, SpecialCharactersAccentsAndLongNotesAreStoredByteForByte) {
    const QString note = QString::fromUtf8("ñ'\\\";éa ").repeated(25);  // 200 characters
    ASSERT_EQ(note.size(), 200);
    const QString name = QString::fromUtf8("JUGO DE PIÑA 'NATURAL' \\ \"GRANDE\"; ¿sí?");
    sending::OrderToSend p{"3", QString::fromUtf8("Ñoño O'Neil \\ \"Chino\""), "0'1", {}};
    p.filas.push_back(Row("J'1", name, "1,000", "5,50", note));
    p.filas[0][order_screen::kColContorno1] = QString::fromUtf8("PURÉ 'RÚSTICO'");
    p.filas[0][order_screen::kColTermino] = "a\\b";
    for (bool noBackslashEscapes : {false, true}) {
        SetUp();
        auto c = Connect();
        // Escaping follows the server's mode, whichever the session has.
        if (noBackslashEscapes) c->Execute("SET SESSION sql_mode='NO_BACKSLASH_ESCAPES'");
        ASSERT_TRUE(SendOrder(*c, p, sending::NewSendId(), Options()).committed);
        EXPECT_EQ(RootQuery("select hex(observacion), hex(contorno1), hex(termino), "
                            "hex(cod_producto) from D_Fact_r"),
                  QStringList{Hex(note) + "\t" + Hex(p.filas[0][order_screen::kColContorno1]) +
                              "\t" + Hex("a\\b") + "\t" + Hex("J'1")});
        EXPECT_EQ(
            RootQuery("select hex(nom_producto), hex(mesonero), hex(observacion) from comanda"),
            QStringList{Hex(name) + "\t" + Hex(p.mesonero) + "\t" + Hex(note)});
        EXPECT_EQ(RootQuery("select hex(Cod_Vendedor) from Factura_r"), QStringList{Hex("0'1")});
    }
}

// The pause after a collision grows with the runs but stays short: from
// 10-20 ms before the second run to 160-320 ms from the sixth on.
TEST(CollisionPause, DoublesItsWindowWithEachRunUpToAThirdOfASecond) {
    const struct {
        int run, shortest, longest;
    } cases[] = {{2, 10, 20}, {3, 20, 40}, {4, 40, 80}, {6, 160, 320}, {20, 160, 320}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.run);
        int lo = 1 << 30, hi = 0;
        for (quint32 r = 0; r < 1000; ++r) {
            lo = std::min(lo, sending::CollisionPauseMs(c.run, r));
            hi = std::max(hi, sending::CollisionPauseMs(c.run, r));
        }
        EXPECT_EQ(lo, c.shortest);
        EXPECT_EQ(hi, c.longest);
    }
}

}  // namespace
