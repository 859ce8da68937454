// What keeps a send exactly once where the server, the installation or the
// waiter does the unexpected: one key for every press of one order, a settle
// that looks for the values as they were written, widths learnt on every
// connection, a wait for the counter that ends and is not repeated, and
// errors that will come back said as such.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <thread>

#include "data/db_error.h"
#include "sending/bad_values.h"
#include "sending/hooked_connection.h"
#include "sending/order_sender.h"
#include "sending/order_statements.h"
#include "sending/send_fixture.h"
#include "sending/send_journal.h"
#include "sending/send_messages.h"
#include "support/journal_disks.h"

namespace {

using namespace sendingtest;
using sending::SendOrder;
using sending::Verdict;
using testsupport::Installation;
using testsupport::RootQuery;

QStringList Starting(const QStringList& statements, const QString& prefix) {
    QStringList out;
    for (const QString& s : statements)
        if (s.startsWith(prefix)) out << s;
    return out;
}

class ExactlyOnce : public SendFixture {
protected:
    std::unique_ptr<HookedConnection> Hooked() { return std::make_unique<HookedConnection>(Connect()); }
    QTemporaryDir folder_;
};

TEST_F(ExactlyOnce, EveryPressOfOneOrderCarriesOneKeySoATryThatCommittedLateIsNotStoredAgain) {
    sending::SendJournal journal(folder_.filePath("envio.json"));
    sending::OrderSender sender(journal);
    auto c = Hooked();
    const order::Order p = Order("7", 2);
    // The first press: the send record's insert is refused (a value the
    // server will not take), nothing is stored.
    c->before = [&](const QString& sql, int) {
        if (sql.startsWith("INSERT INTO envios (id_envio,numero,mesa) values")) {
            c->before = nullptr;
            throw data::DbError(data::kOutOfRange, "Out of range value for column 'numero' at row 1");
        }
    };
    EXPECT_FALSE(sender.Send(*c, p, Options()).Stored());
    const sending::SendResult second = sender.Send(*c, p, Options());
    ASSERT_TRUE(second.Stored());
    sender.TicketsOut();
    const QStringList keys = Starting(c->statements, "INSERT INTO envios (id_envio,numero,mesa) values");
    ASSERT_EQ(keys.size(), 2);
    EXPECT_EQ(keys[0], keys[1]);

    // The same order sent again after it was stored is another order; and a
    // try whose key committed already reports that one, stores nothing.
    ASSERT_TRUE(sender.Send(*c, p, Options()).Stored());
    sender.TicketsOut();
    EXPECT_NE(Starting(c->statements, "INSERT INTO envios (id_envio,numero,mesa) values").value(2), keys[0]);
    const QString clave = sending::NewSendId();
    const sending::SendResult first = SendOrder(*c, p, clave, Options());
    const sending::SendResult again = SendOrder(*c, p, clave, Options());
    EXPECT_TRUE(again.Stored());
    EXPECT_EQ(again.numero, first.numero);
    EXPECT_EQ(Count("comanda"), "6");
    EXPECT_EQ(Counter(), "103");
}

TEST_F(ExactlyOnce, AWaitForTheCounterEndsWithinTenSecondsWhateverHoldsItAndIsToldInSpanish) {
    // A table lock held by another session (a backup's global read lock, a
    // change to a table, look alike to the send; the server's own default
    // wait is a day). On comanda the first terminal takes the counter and
    // waits for the table, so the second waits for the counter, then for
    // the table: two waits in one press.
    const struct {
        const char* held;
        int terminals;
    } cases[] = {{"mantenimiento WRITE", 1}, {"comanda READ", 2}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.held);
        SetUp();
        QProcess holder;
        holder.start("mariadb", {"--no-defaults", "--socket=" + testsupport::RequiredSetting("PEDIDOS_TEST_DB_SOCKET"),
                                 "-uroot", "--database=" + testsupport::DbName(), "-e",
                                 QString("LOCK TABLES %1; DO SLEEP(40);").arg(k.held)});
        ASSERT_TRUE(holder.waitForStarted());
        QThread::msleep(500);
        struct Press {
            std::unique_ptr<HookedConnection> c;
            sending::SendResult r;
            qint64 waited = 0;
        };
        std::vector<Press> presses(static_cast<size_t>(k.terminals));
        std::vector<std::thread> threads;
        for (size_t i = 0; i < presses.size(); ++i) {
            presses[i].c = Hooked();
            threads.emplace_back([&, i] {
                QThread::msleep(static_cast<unsigned long>(500 * i));
                QElapsedTimer clock;
                clock.start();
                presses[i].r = SendOrder(*presses[i].c, Order(QString::number(20 + i), 1), sending::NewSendId(),
                                         Options());
                presses[i].waited = clock.elapsed();
            });
        }
        for (std::thread& t : threads) t.join();
        // The holder's session ends now, not when its sleep would.
        for (const QString& kill : RootQuery(
                 "select concat('KILL ', id) from information_schema.processlist where info like 'DO SLEEP(40)%'"))
            RootQuery(kill);
        holder.waitForFinished();
        for (const Press& p : presses) {
            EXPECT_EQ(p.r.outcome, Verdict::NotStored);
            EXPECT_EQ(p.r.causa, sending::FailureCause::CounterBusy);
            EXPECT_EQ(Starting(p.c->statements, sending::kSqlContador).size(), 1);
            EXPECT_LT(p.waited, 10000) << "the longest a waiter may be kept";
            const QString message = sending::SendFailureMessage(p.r, "8");
            EXPECT_TRUE(message.contains(QString::fromUtf8("tablas de pedidos están ocupadas"))) << message.toStdString();
            EXPECT_FALSE(message.contains("Lock wait")) << message.toStdString();
        }
        EXPECT_EQ(Count("comanda"), "0");
    }
}

TEST_F(ExactlyOnce, BeforeEachRunsTransactionTheJournalHoldsNoNumberOfAnEarlierRun) {
    // A run that drew a number and was rolled back (a deadlock at its
    // COMMIT, a cluster's certification failure): should the next run
    // commit and the power go, that number would settle it as not stored.
    const QString path = folder_.filePath("envio.json");
    sending::SendJournal journal(path);
    sending::OrderSender sender(journal);
    auto c = Hooked();
    int commits = 0;
    QStringList atStart;
    c->before = [&](const QString& sql, int) {
        if (sql == sending::kSqlInicio) {
            QFile f(path);
            std::optional<sending::JournalEntry> e;
            if (f.open(QIODevice::ReadOnly)) e = sending::JournalFromJson(f.readAll(), nullptr);
            atStart << (e && e->intento && !e->intento->Numbered() ? "announced" : "other");
        }
        if (sql == sending::kSqlConfirmar && commits++ == 0) {
            c->Real().Execute("ROLLBACK");
            throw data::DbError(data::kDeadlock, "Deadlock found when trying to get lock");
        }
    };
    ASSERT_TRUE(sender.Send(*c, Order("14", 1), Options()).Stored());
    EXPECT_EQ(atStart, (QStringList{"announced", "announced"}));
}

TEST_F(ExactlyOnce, TheJournalReachesTheDiskBeforeTheCounterIsLockedAndNeverWhileItIs) {
    testsupport::SlowDisk disk;
    sending::SendJournal journal(folder_.filePath("envio.json"), &disk);
    sending::OrderSender sender(journal);
    auto c = Hooked();
    int atStart = -1, locked = -1, atCommit = -1;
    c->before = [&](const QString& sql, int) {
        if (sql == sending::kSqlInicio) atStart = disk.Syncs();
        if (sql == sending::kSqlConfirmar) atCommit = disk.Syncs();
    };
    c->after = [&](const QString& sql, int) {
        if (sql == sending::kSqlContador) locked = disk.Syncs();
    };
    ASSERT_TRUE(sender.Send(*c, Order("12", 3), Options()).Stored());
    EXPECT_GT(atStart, 0);
    EXPECT_EQ(locked, atStart);
    EXPECT_EQ(atCommit, locked);
}

// The power goes just after a COMMIT went out: what reached the disk is the
// try announced before its transaction, without the number it drew. Its
// send record answers; without one the waiter is asked to check at the till.
class ExactlyOnceOn : public testsupport::OnInstallation<ExactlyOnce> {};
INSTANTIATE_TEST_SUITE_P(Installations, ExactlyOnceOn, testsupport::OursAndTheirs(),
                         testsupport::InstallationParamName());

TEST_P(ExactlyOnceOn, APowerCutAfterTheCommitWentOutNeverSaysNotStoredOfAStoredOrder) {
    const QString path = folder_.filePath("envio.json");
    testsupport::PowerCutDisk disk(folder_.path());
    auto c = Hooked();
    {
        // The program stops dead once the server has run the COMMIT.
        struct PowerGone {};
        sending::SendJournal journal(path, &disk);
        sending::OrderSender sender(journal);
        c->after = [&](const QString& sql, int) {
            if (sql == sending::kSqlConfirmar) throw PowerGone{};
        };
        EXPECT_THROW(sender.Send(*c, Order("13", 2), Options()), PowerGone);
        c->after = nullptr;
        disk.PowerCut();
    }
    sending::SendJournal journal(path, &disk);
    sending::OrderSender restarted(journal);
    ASSERT_EQ(restarted.Recover().state, sending::SendJournal::State::Found);
    ASSERT_TRUE(restarted.Pending() && restarted.Pending()->intento);
    EXPECT_FALSE(restarted.Pending()->intento->Numbered());  // the numbered write did not survive
    const sending::SettleReport r = restarted.SettlePending(*c, Options());
    if (GetParam() == Installation::Ours) {
        EXPECT_EQ(r.settlement, sending::Verdict::Stored);
        EXPECT_EQ(r.entry.intento->numero, "100");
    } else {
        EXPECT_EQ(r.settlement, sending::Verdict::CannotTell);
    }
    EXPECT_EQ(Count("comanda"), "2");
}

// A restaurant's own tables: no send record, so a lost answer is settled
// from the ticket lines; a latin1 comanda with narrow columns.
class ExactlyOnceTheirs : public testsupport::OnInstallation<ExactlyOnce> {};
INSTANTIATE_TEST_SUITE_P(Installations, ExactlyOnceTheirs, ::testing::Values(Installation::Theirs),
                         testsupport::InstallationParamName());

TEST_P(ExactlyOnceTheirs, ALostAnswerIsSettledByTheValuesAsWrittenAfterAColumnWasWidened) {
    // The connection learns the widths by itself (a terminal started while
    // the server was down has none from start-up), cuts the waiter's name,
    // loses the COMMIT's answer; the technician widens the column before the
    // settle.
    auto c = Hooked();
    order::Order p = Order("9", 2);
    p.mesonero = QString("W").repeated(60);
    c->after = [&](const QString& sql, int) {
        if (sql != "COMMIT") return;
        c->after = nullptr;
        RootQuery("alter table comanda modify mesonero varchar(100)");
        throw data::DbError(data::kServerLost, "Lost connection to server during query");
    };
    struct Narrow {
        ~Narrow() { RootQuery("alter table comanda modify mesonero varchar(20)"); }
    } narrow;
    const sending::SendResult r = SendOrder(*c, p, sending::NewSendId(), Options());
    EXPECT_TRUE(r.Stored()) << r.lastError.toStdString();
    EXPECT_EQ(r.wholeSendRuns, 1);
    EXPECT_EQ(RootQuery("select count(*), max(char_length(mesonero)) from comanda"), QStringList{"2\t20"});
}

TEST_P(ExactlyOnceTheirs, ASettleThatMeetsAnErrorThatWillRecurLetsTheWaiterDecide) {
    const struct {
        int error;
        sending::Verdict settlement;
        bool stillPending;
    } cases[] = {
        {1267, sending::Verdict::CannotTell, false},  // illegal mix of collations: every try
        {data::kNoSuchTable, sending::Verdict::CannotTell, false},
        {data::kLockWaitTimeout, sending::Verdict::NoAnswer, true},  // passes: ask later
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.error);
        sending::SendJournal journal(folder_.filePath(QString("envio%1.json").arg(k.error)));
        sending::OrderSender sender(journal);
        auto c = Hooked();
        c->after = [&](const QString& sql, int) {
            if (sql == "COMMIT") {
                c->after = nullptr;
                throw data::DbError(data::kServerLost, "Lost connection to server during query");
            }
        };
        // The reconnect after the lost answer fails: the send stays pending.
        sending::SendOptions o = Options();
        o.connectionString = QStringLiteral("server=") + testsupport::DbDownHost() + ";database=x";
        o.intentosConexion = 1;
        EXPECT_EQ(sender.Send(*c, Order("10", 1), o).outcome, Verdict::NoAnswer);
        ASSERT_TRUE(sender.Pending());
        c->before = [&](const QString& sql, int) {
            if (sql.startsWith("select count(*) from comanda")) throw data::DbError(k.error, "refused");
        };
        const sending::SettleReport report = sender.SettlePending(*c, Options());
        EXPECT_EQ(report.settlement, k.settlement);
        EXPECT_EQ(sender.Pending().has_value(), k.stillPending);
        c->before = nullptr;
    }
}

TEST_P(ExactlyOnceTheirs, AValueItsColumnCannotHoldIsNamedTriedOnceAndTheOrderStays) {
    auto c = Hooked();
    order::Order p = Order("11", 2);
    p.lineas[1].nombre = QString::fromUtf8("PIZZA 🍕 MARGARITA");  // comanda is latin1 here
    const sending::SendResult r = SendOrder(*c, p, sending::NewSendId(), Options());
    EXPECT_EQ(r.outcome, Verdict::NotStored);
    EXPECT_EQ(r.causa, sending::FailureCause::BadValue);
    EXPECT_EQ(Starting(c->statements, "INSERT INTO comanda").size(), 2);  // line 1, then line 2 once
    const QString message = sending::SendFailureMessage(r, "11");
    for (const char* part : {"PIZZA", "nom_producto", "comanda", "sigue en pantalla"})
        EXPECT_TRUE(message.contains(QString::fromUtf8(part))) << part << "\n" << message.toStdString();
    EXPECT_FALSE(message.contains("ENVIAR de nuevo")) << message.toStdString();
    EXPECT_EQ(Count("comanda"), "0");
}

TEST(BadValues, TheColumnIsReadFromEachWayTheServerNamesIt) {
    const struct {
        const char* description;
        const char* column;
    } cases[] = {
        {"Data too long for column 'observacion' at row 1", "observacion"},
        {"Incorrect string value: '\\xF0\\x9F\\x8D\\x95' for column `pt_sending`.`comanda`.`nom_producto` at row 1",
         "nom_producto"},
        {"Incorrect string value: '\\xF0\\x9F' for column 'mesonero' at row 1", "mesonero"},
        {"Out of range value for column 'cantidad' at row 1", "cantidad"},
        {"Column 'termino' cannot be null", "termino"},
        {"Field 'cod_vendedor' doesn't have a default value", "cod_vendedor"},
        {"Truncated incorrect DOUBLE value: 'abc'", ""},
        {"Lock wait timeout exceeded; try restarting transaction", ""},
    };
    for (const auto& k : cases)
        EXPECT_EQ(sending::ColumnInError(QString::fromUtf8(k.description)), QString::fromLatin1(k.column))
            << k.description;
    const QString longValue = QString("X").repeated(100);
    const QString text = sending::BadValueText(data::kDataTooLong, "comanda", "observacion", longValue);
    EXPECT_TRUE(text.contains("observacion") && text.contains("comanda") && text.contains("...")) << text.toStdString();
    EXPECT_LT(text.size(), 140);
    // Without a column named, the table alone.
    EXPECT_EQ(sending::BadValueText(data::kIncorrectValue, "comanda", "", ""),
              QString::fromUtf8("Un valor no es válido para la tabla comanda."));
}

}  // namespace
