// One send as one transaction: lost answers, lost connections and deadlocks
// end in the order stored exactly once or not at all, and text is stored byte
// for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "data/db_error.h"
#include "sending/hooked_connection.h"
#include "sending/order_statements.h"
#include "sending/send_fixture.h"
#include "runtime/configuration.h"
#include "data/module1.h"

namespace {

using namespace sendingtest;
using sending::SendOrder;
using testsupport::RootQuery;

class SendOrderTest : public SendFixture {
protected:
    static QString Hex(const QString& text) {
        return QString::fromLatin1(text.toUtf8().toHex().toUpper());
    }
};

// The faults on every installation: with the send record, without it, and
// without the right to read comanda.
class SendOrderOn : public SendFixtureOn {
protected:
    std::unique_ptr<HookedConnection> Hooked() {
        return std::make_unique<HookedConnection>(Connect());
    }
};
INSTANTIATE_TEST_SUITE_P(Installations, SendOrderOn,
                         ::testing::Values(testsupport::Installation::Ours,
                                           testsupport::Installation::OursBare,
                                           testsupport::Installation::Theirs),
                         testsupport::InstallationParamName());

// A hook that loses the answer to the first COMMIT after the server ran it.
void LoseFirstCommitAnswer(HookedConnection& c) {
    auto lost = std::make_shared<bool>(false);
    c.after = [lost](const QString& sql, int) {
        if (sql == "COMMIT" && !*lost) {
            *lost = true;
            throw data::DbError(2013, "Lost connection to server during query");
        }
    };
}

TEST_P(SendOrderOn, ALostAnswerToACommitThatWentThroughIsSettledBeforeAnythingIsSentAgain) {
    using testsupport::Installation;
    const Installation here = GetParam();
    // How each installation settles it: the send record exactly; the ticket
    // lines where the terminal may read comanda; an order without lines is
    // sent again (only the counter moves once more); without the right to
    // read comanda nobody can tell once the counter moved.
    enum Outcome { Stored, SentAgain, CannotTell };
    const struct {
        int lines;
        bool counterRow;
        Outcome ours, bare, theirs;
    } cases[] = {
        {3, true, Stored, CannotTell, Stored},
        {0, true, Stored, SentAgain, SentAgain},
        {2, false, Stored, CannotTell, Stored},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(testing::Message() << k.lines << " lines, counter row " << k.counterRow);
        SetUp();
        if (!k.counterRow) RootQuery("delete from mantenimiento");
        auto c = Hooked();
        LoseFirstCommitAnswer(*c);
        const sending::SendResult r =
            SendOrder(*c, Order("4", k.lines), sending::NewSendId(), Options());
        const Outcome expected =
            here == Installation::Ours ? k.ours : here == Installation::OursBare ? k.bare : k.theirs;
        EXPECT_EQ(c->opens, 1);  // reconnected to ask
        // The send record is looked for once per connection.
        EXPECT_EQ(c->statements.count(sending::kSqlSondaEnvios), 2);
        if (WithSendRecord()) {
            EXPECT_EQ(Count("envios"), "1");
        }
        EXPECT_EQ(Count("Factura_r"), "1");
        EXPECT_EQ(Count("D_Fact_r"), QString::number(k.lines));  // never twice
        EXPECT_EQ(Count("comanda"), QString::number(k.lines));
        switch (expected) {
            case Stored:
                EXPECT_TRUE(r.Stored());
                EXPECT_EQ(r.numero, k.counterRow ? "100" : "");
                EXPECT_EQ(r.wholeSendRuns, 1);
                EXPECT_TRUE(r.reloj.fecha.isValid());
                break;
            case SentAgain:
                EXPECT_TRUE(r.Stored());
                EXPECT_EQ(r.numero, "101");
                EXPECT_EQ(r.wholeSendRuns, 2);
                break;
            case CannotTell:
                EXPECT_FALSE(r.Stored());
                EXPECT_EQ(r.outcome, sending::Verdict::CannotTell);
                ASSERT_TRUE(r.enDuda.has_value());
                EXPECT_EQ(r.enDuda->numero, k.counterRow ? "100" : "");
                break;
        }
        if (k.counterRow)
            EXPECT_EQ(Counter(), expected == SentAgain ? "102" : "101");
        else
            RootQuery("insert into mantenimiento (iva, iva_reducido, iva_lujo, Precio_V, Dollar,"
                      " control_Comanda) values (16, 8, 31, '1', 36.50, 100)");
    }
}

TEST_P(SendOrderOn, ALostAnswerIsToldApartFromAnotherTerminalsSendUnderTheSameNumber) {
    // This send's COMMIT answer is lost and the send in fact rolled back;
    // another terminal then drew the same number for its own order. The
    // counter has moved and lines carry the number, but not this send's.
    auto c = Hooked();
    c->before = [&](const QString& sql, int) {
        if (sql == "COMMIT") {
            c->before = nullptr;
            c->Real().Execute("ROLLBACK");
            auto other = Connect();
            order::Order theirs = Order("9", 1);
            theirs.mesonero = "Yusmary Carrasco";
            ASSERT_TRUE(SendOrder(*other, theirs, sending::NewSendId(), Options()).Stored());
            throw data::DbError(2013, "Lost connection to server during query");
        }
    };
    const sending::SendResult r = SendOrder(*c, Order("4", 2), sending::NewSendId(), Options());
    if (GetParam() == testsupport::Installation::OursBare) {
        EXPECT_EQ(r.outcome, sending::Verdict::CannotTell);  // it may not read comanda
        EXPECT_EQ(Count("comanda"), "1");
        return;
    }
    EXPECT_TRUE(r.Stored());
    EXPECT_EQ(r.wholeSendRuns, 2);
    EXPECT_EQ(r.numero, "101");
    EXPECT_EQ(RootQuery("select numero, mesa from comanda order by numero, mesa"),
              (QStringList{"100\t9", "101\t4", "101\t4"}));
}

TEST_P(SendOrderOn, ValuesLongerThanTheirColumnsAreStoredCutAndStillFoundAfterALostAnswer) {
    // Text that did not come from typing (names from the back office and the
    // list files), one character longer than the installation's column.
    auto c = Hooked();
    const data::ColumnWidths anchos = data::LearnColumnWidths(*c);
    const auto width = [&](const char* table, const char* column) {
        return anchos.TypingLimit({{table, column}});
    };
    const int nombre = width("comanda", "nom_producto"), mesonero = width("comanda", "mesonero"),
              contorno = width("comanda", "contorno1");
    ASSERT_GT(nombre, 0);
    order::Order p = Order("4", 1);
    p.mesonero = QString::fromUtf8("ñ").repeated(mesonero + 1);
    p.lineas[0].nombre = QString("N").repeated(nombre + 1);
    p.lineas[0].contornos = {QString("C").repeated(contorno + 1)};
    // The send learns the widths on its connection by itself.
    c->Real().SessionFacts().anchos.reset();
    LoseFirstCommitAnswer(*c);
    const sending::SendResult r = SendOrder(*c, p, sending::NewSendId(), Options());
    // Found by its cut values; only a terminal that may not read comanda cannot tell.
    const bool bare = GetParam() == testsupport::Installation::OursBare;
    EXPECT_EQ(r.Stored(), !bare);
    EXPECT_EQ(r.outcome == sending::Verdict::CannotTell, bare);
    EXPECT_EQ(r.wholeSendRuns, 1);
    EXPECT_EQ(RootQuery("select char_length(nom_producto), char_length(mesonero),"
                        " char_length(contorno1) from comanda"),
              QStringList{QString("%1\t%2\t%3").arg(nombre).arg(mesonero).arg(contorno)});
    EXPECT_EQ(Count("D_Fact_r"), "1");
}

// Installations without the send record.
class SendOrderWithoutRecord : public SendOrderOn {};
INSTANTIATE_TEST_SUITE_P(Installations, SendOrderWithoutRecord,
                         ::testing::Values(testsupport::Installation::OursBare,
                                           testsupport::Installation::Theirs),
                         testsupport::InstallationParamName());

TEST_P(SendOrderWithoutRecord, ARecordTableAppliedWhileAnAnswerIsLostDoesNotHideTheStoredOrder) {
    // The technician applies envios just as a COMMIT's answer is lost: the
    // try wrote no record, so the new connection's record table cannot tell.
    struct DropAfter {
        ~DropAfter() { RootQuery("drop table if exists envios"); }
    } drop;
    auto c = Hooked();
    c->after = [&](const QString& sql, int) {
        if (sql != "COMMIT") return;
        c->after = nullptr;
        RootQuery("create table envios (id_envio char(36) primary key, numero varchar(20),"
                  " mesa varchar(20)); grant select, insert on envios to 'admin'@'127.0.0.1'");
        throw data::DbError(2013, "Lost connection to server during query");
    };
    const sending::SendResult r = SendOrder(*c, Order("4", 2), sending::NewSendId(), Options());
    EXPECT_EQ(Count("D_Fact_r"), "2");  // never twice
    EXPECT_EQ(Count("comanda"), "2");
    if (GetParam() == testsupport::Installation::Theirs) {
        EXPECT_TRUE(r.Stored());
        EXPECT_EQ(r.wholeSendRuns, 1);
    } else {
        EXPECT_EQ(r.outcome, sending::Verdict::CannotTell);  // may not read comanda, and the counter moved
    }
}

// An installation whose counter is text and may be null.
class SendOrderTextCounter : public SendOrderOn {};
INSTANTIATE_TEST_SUITE_P(Installations, SendOrderTextCounter,
                         ::testing::Values(testsupport::Installation::Theirs),
                         testsupport::InstallationParamName());

TEST_P(SendOrderTextCounter, ACounterThatIsNoNumberKeepsTheOrderUnsentWithAMessage) {
    for (const char* value : {"NULL", "''", "'A-7'"}) {
        SCOPED_TRACE(value);
        RootQuery(QString("update mantenimiento set control_Comanda=%1").arg(value));
        auto c = Hooked();
        const sending::SendResult r = SendOrder(*c, Order("4", 1), sending::NewSendId(), Options());
        EXPECT_FALSE(r.Stored());
        EXPECT_NE(r.outcome, sending::Verdict::NoAnswer);
        EXPECT_TRUE(r.lastError.contains("control_Comanda")) << r.lastError.toStdString();
        EXPECT_EQ(Count("Factura_r"), "0");
        EXPECT_EQ(Count("D_Fact_r"), "0");
        EXPECT_EQ(c->statements.last(), "ROLLBACK");
    }
}

// The lines travel with the COMMIT: a connection lost among them leaves the
// outcome unknown, so the new connection first asks, then sends again.
TEST_P(SendOrderOn, AConnectionLostAmongTheLinesIsSettledThenTheWholeSendRunsAgain) {
    auto c = Hooked();
    int lost = 0;
    c->before = [&](const QString& sql, int) {
        if (sql.startsWith("INSERT INTO comanda") && sql.contains("'PLATO 2'") && lost++ == 0) {
            c->Real().Close();  // the server drops the session and its transaction
            throw data::DbError(2013, "Lost connection to server during query");
        }
    };
    const sending::SendResult r = SendOrder(*c, Order("4", 3), sending::NewSendId(), Options());
    EXPECT_TRUE(r.Stored());
    EXPECT_EQ(r.wholeSendRuns, 2);
    EXPECT_EQ(c->opens, 1);
    EXPECT_EQ(r.numero, "100");  // the first run's number was never taken
    EXPECT_EQ(Counter(), "101");
    EXPECT_EQ(RootQuery("select numero, nom_producto from comanda order by nom_producto"),
              (QStringList{"100\tPLATO 1", "100\tPLATO 2", "100\tPLATO 3"}));
    EXPECT_EQ(Count("D_Fact_r"), "3");
    // The check and the second run each start from the first statement.
    const QStringList& s = c->statements;
    EXPECT_EQ(s.count("START TRANSACTION"), 3);
    EXPECT_EQ(s.count("select control_Comanda from mantenimiento for update"), 3);
    EXPECT_EQ(s.filter("from envios where id_envio").size() + s.filter("select count(*) from comanda").size(), 1);
}

TEST_P(SendOrderOn, ADeadlockRunsTheWholeSendAgain) {
    auto c = Hooked();
    int deadlocks = 0;
    c->before = [&](const QString& sql, int) {
        if (sql.startsWith("INSERT INTO D_Fact_r") && deadlocks++ == 0)
            throw data::DbError(
                1213, "Deadlock found when trying to get lock; try restarting transaction");
    };
    const sending::SendResult r = SendOrder(*c, Order("4", 2), sending::NewSendId(), Options());
    EXPECT_TRUE(r.Stored());
    EXPECT_EQ(r.wholeSendRuns, 2);
    EXPECT_EQ(c->statements.filter("INSERT INTO D_Fact_r").size(),
              3);  // not tried again in the dead transaction
    EXPECT_EQ(Count("D_Fact_r"), "2");
    EXPECT_EQ(Count("comanda"), "2");
    EXPECT_EQ(Counter(), "101");
}

TEST_P(SendOrderOn, AFailedCommitIsNeverTriedAgainButTheWholeSendIs) {
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
    EXPECT_TRUE(r.Stored());
    EXPECT_EQ(r.wholeSendRuns, 2);
    EXPECT_EQ(Count("D_Fact_r"), "2");
    EXPECT_EQ(Count("comanda"), "2");
    EXPECT_EQ(Counter(), "101");
}

TEST_P(SendOrderOn, AStatementAfterTheServerDroppedTheTransactionRestartsTheWholeSend) {
    // A storage engine error that took the whole transaction with it: the
    // rest must not be stored on its own, the send runs again. A lock wait
    // that ran out (with innodb_rollback_on_timeout the same), at a write or
    // at the COMMIT (a backup's read lock), is not run again: its wait was
    // already the longest a send may take.
    const struct {
        const char* at;
        int error;
        bool stored;
        int runs;
    } cases[] = {{"INSERT INTO comanda", 1030, true, 2},
                 {"INSERT INTO comanda", data::kLockWaitTimeout, false, 1},
                 {"COMMIT", data::kLockWaitTimeout, false, 1}};
    for (const auto& k : cases) {
        SCOPED_TRACE(std::string(k.at) + " " + std::to_string(k.error));
        SetUp();
        auto c = Hooked();
        int failures = 0;
        c->before = [&](const QString& sql, int) {
            if (sql.startsWith(k.at) && failures++ == 0) {
                c->Real().Execute("ROLLBACK");
                throw data::DbError(k.error, "the transaction was rolled back");
            }
        };
        const sending::SendResult r = SendOrder(*c, Order("4", 2), sending::NewSendId(), Options());
        EXPECT_EQ(r.Stored(), k.stored);
        EXPECT_EQ(r.wholeSendRuns, k.runs);
        EXPECT_EQ(Count("Factura_r"), k.stored ? "1" : "0");
        EXPECT_EQ(Count("D_Fact_r"), k.stored ? "2" : "0");
        EXPECT_EQ(Count("comanda"), k.stored ? "2" : "0");
        EXPECT_EQ(Counter(), k.stored ? "101" : "100");
    }
}

// The real server refuses one line inside the round trip that carries the
// COMMIT (a trigger that fails while the session's @fallos lasts): the
// server runs nothing after it, the send tries again from that line, and
// gives up after the statement tries with nothing stored.
TEST_P(SendOrderOn, ALineTheServerRefusesAmongTheWritesIsTriedAgainFromThere) {
    testsupport::RootQuery(
        "DELIMITER //\n"
        "CREATE TRIGGER falla_plato_2 BEFORE INSERT ON comanda FOR EACH ROW "
        "IF NEW.nom_producto = 'PLATO 2' AND @fallos > 0 THEN "
        "SET @fallos = @fallos - 1; "
        "SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'linea rechazada'; END IF//\n"
        "DELIMITER ;\n");
    struct Drop {
        ~Drop() { testsupport::RootQuery("DROP TRIGGER IF EXISTS falla_plato_2"); }
    } drop;
    const struct {
        int fallos;
        bool stored;
    } cases[] = {{2, true}, {Module1::kIntentosSql, false}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.fallos);
        testsupport::EmptyOrders(100);
        auto c = Connect();
        c->Execute(QString("set @fallos = %1").arg(k.fallos));
        const sending::SendResult r = SendOrder(*c, Order("4", 3), sending::NewSendId(), Options());
        EXPECT_EQ(r.Stored(), k.stored);
        EXPECT_EQ(r.wholeSendRuns, 1);
        EXPECT_EQ(c->Query("select @fallos").Field(0).ToDouble(), 0);  // every try reached the server
        EXPECT_EQ(Counter(), k.stored ? "101" : "100");
        EXPECT_EQ(Count("D_Fact_r"), k.stored ? "3" : "0");
        EXPECT_EQ(testsupport::RootQuery("select nom_producto from comanda order by nom_producto"),
                  k.stored ? QStringList({"PLATO 1", "PLATO 2", "PLATO 3"}) : QStringList());
        if (!k.stored) {
            EXPECT_EQ(r.lastError, "linea rechazada");
        }
    }
}

TEST_P(SendOrderOn, ADeadlockOnEveryRunGivesUpAfterTheLastRunWithNothingStored) {
    auto c = Hooked();
    c->before = [&](const QString& sql, int) {
        if (sql.startsWith("INSERT INTO comanda")) throw data::DbError(1213, "Deadlock found");
    };
    sending::SendOptions o = Options();
    o.intentosEnvio = 3;
    const sending::SendResult r = SendOrder(*c, Order("4", 2), sending::NewSendId(), o);
    EXPECT_FALSE(r.Stored());
    EXPECT_NE(r.outcome, sending::Verdict::NoAnswer);
    EXPECT_EQ(r.wholeSendRuns, 3);
    EXPECT_EQ(r.lastError, "Deadlock found");
    EXPECT_EQ(Counter(), "100");
    EXPECT_EQ(Count("Factura_r"), "0");
    EXPECT_EQ(Count("D_Fact_r"), "0");
}

TEST_P(SendOrderOn, AServerThatCannotBeReachedAgainLeavesTheSendUnknownUntilSettled) {
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
        rt::BuildConnectionString(testsupport::DbName(), testsupport::DbDownHost());
    const QString id = sending::NewSendId();
    const sending::SendResult r = SendOrder(*c, Order("4", 2), id, o);
    EXPECT_FALSE(r.Stored());
    EXPECT_EQ(r.outcome, sending::Verdict::NoAnswer);
    EXPECT_EQ(c->opens, o.intentosConexion);
    EXPECT_FALSE(r.lastError.isEmpty());
    ASSERT_TRUE(r.enDuda.has_value());
    EXPECT_EQ(r.enDuda->numero, "100");
    EXPECT_EQ(Counter(), "100");
    EXPECT_EQ(Count("D_Fact_r"), "0");

    // The same send again, once the server answers: settled first, then stored once.
    o.enDuda = r.enDuda;
    o.connectionString = testsupport::TestConnectionString();
    const sending::SendResult again = SendOrder(*c, Order("4", 2), id, o);
    EXPECT_TRUE(again.Stored());
    EXPECT_EQ(again.wholeSendRuns, 1);
    EXPECT_EQ(Count("D_Fact_r"), "2");
    if (!WithSendRecord()) return;
    // With the send record its id answers for every try: asked again once
    // stored, it finds it and stores nothing more.
    const sending::SendResult third = SendOrder(*c, Order("4", 2), id, o);
    EXPECT_TRUE(third.Stored());
    EXPECT_EQ(third.wholeSendRuns, 0);
    EXPECT_EQ(third.numero, "100");
    EXPECT_EQ(Count("D_Fact_r"), "2");
    EXPECT_EQ(Counter(), "101");
}

TEST_P(SendOrderOn, ANumberThatCannotBeWrittenStopsTheSendBeforeAnyStatement) {
    auto c = Hooked();
    order::Order p = Order("4", 2);
    p.lineas[1].precio = std::numeric_limits<double>::quiet_NaN();
    EXPECT_THROW(SendOrder(*c, p, sending::NewSendId(), Options()), rt::RuntimeError);
    EXPECT_TRUE(c->statements.isEmpty());
    // A line without code is no line, whatever its numbers hold.
    p.lineas[1].codigo = "";
    EXPECT_TRUE(SendOrder(*c, p, sending::NewSendId(), Options()).Stored());
    EXPECT_EQ(Count("D_Fact_r"), "1");
}

TEST_P(SendOrderOn, WithoutACounterRowTicketLinesGetAnEmptyNumber) {
    RootQuery("delete from mantenimiento");
    auto c = Hooked();
    const sending::SendResult r = SendOrder(*c, Order("4", 1), sending::NewSendId(), Options());
    RootQuery(
        "insert into mantenimiento (iva, iva_reducido, iva_lujo, Precio_V, Dollar, "
        "control_Comanda) values (16, 8, 31, '1', 36.50, 100)");
    EXPECT_TRUE(r.Stored());
    EXPECT_EQ(r.numero, "");
    EXPECT_TRUE(c->statements.filter("update mantenimiento").isEmpty());
    EXPECT_EQ(RootQuery("select concat('[', numero, ']') from comanda"), QStringList{"[]"});
}

TEST_F(SendOrderTest, AServerNotReadyToAnswerThePrivateProbeDoesNotHideTheSendRecord) {
    // A cluster node still joining answers 1047 to anything: that says
    // nothing about the table, so the send record is looked for again.
    auto c = std::make_unique<HookedConnection>(Connect());
    int refused = 0;
    c->before = [&](const QString& sql, int) {
        if (sql == sending::kSqlSondaEnvios && refused++ == 0)
            throw data::DbError(1047, "WSREP has not yet prepared node for application use");
    };
    const sending::SendResult r = SendOrder(*c, Order("4", 1), sending::NewSendId(), Options());
    EXPECT_TRUE(r.Stored());
    EXPECT_EQ(c->statements.count(sending::kSqlSondaEnvios), 2);
    EXPECT_EQ(Count("envios"), "1");
}

TEST_F(SendOrderTest, SpecialCharactersAccentsAndLongNotesAreStoredByteForByte) {
    const QString note = QString::fromUtf8("ñ'\\\";éa ").repeated(25);  // 200 characters
    ASSERT_EQ(note.size(), 200);
    const QString name = QString::fromUtf8("JUGO DE PIÑA 'NATURAL' \\ \"GRANDE\"; ¿sí?");
    order::Order p{"3", QString::fromUtf8("Ñoño O'Neil \\ \"Chino\""), "0'1", {}};
    p.lineas.push_back(Line("J'1", name, 1, 5.5, note));
    p.lineas[0].contornos = {QString::fromUtf8("PURÉ 'RÚSTICO'")};
    p.lineas[0].termino = "a\\b";
    for (bool noBackslashEscapes : {false, true}) {
        SetUp();
        auto c = Connect();
        // Escaping follows the server's mode, whichever the session has.
        if (noBackslashEscapes) c->Execute("SET SESSION sql_mode='NO_BACKSLASH_ESCAPES'");
        ASSERT_TRUE(SendOrder(*c, p, sending::NewSendId(), Options()).Stored());
        EXPECT_EQ(RootQuery("select hex(observacion), hex(contorno1), hex(termino), "
                            "hex(cod_producto) from D_Fact_r"),
                  QStringList{Hex(note) + "\t" + Hex(p.lineas[0].contornos[0]) +
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
