// The campaign's hooks on a real connection to the tests' server
// (PEDIDOS_TEST_DB_HOST, root through PEDIDOS_TEST_DB_SOCKET), in a database
// of their own: a wait for another session's counter lock is measured whole,
// lock wait time-outs included, and a terminal program that ends at COMMIT
// leaves exactly what it says it left.
#include <gtest/gtest.h>

#include <QThread>
#include <atomic>
#include <thread>

#include "data/db_error.h"
#include "fault_campaign/backup_lock.h"
#include "fault_campaign/terminal_connection.h"
#include "sending/order_statements.h"
#include "runtime/configuration.h"
#include "support/bare_client.h"

namespace {

using campaign::FaultRates;
using campaign::LockWaits;
using campaign::TerminalConnection;

const QString kDatabase = QStringLiteral("fault_campaign_hooks");

QString ConnectionString() {
    return rt::BuildConnectionString(kDatabase, qEnvironmentVariable("PEDIDOS_TEST_DB_HOST", "127.0.0.9"));
}

class TerminalConnectionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        bench::BareClient root;
        root.ConnectRoot(qEnvironmentVariable("PEDIDOS_TEST_DB_SOCKET"), QStringLiteral("mysql"));
        root.Run(QStringLiteral(
            "drop database if exists fault_campaign_hooks; create database fault_campaign_hooks;"
            "create table fault_campaign_hooks.mantenimiento (control_Comanda varchar(10) primary key);"
            "insert into fault_campaign_hooks.mantenimiento values ('1');"
            "create user if not exists 'admin'@'127.0.0.1' identified by 'tormbel5831';"
            "grant select, update on fault_campaign_hooks.* to 'admin'@'127.0.0.1'"));
    }
    void SetUp() override {
        root.ConnectRoot(qEnvironmentVariable("PEDIDOS_TEST_DB_SOCKET"), kDatabase);
        root.Run(QStringLiteral("update mantenimiento set control_Comanda='1'"));
    }
    // Root takes the counter lock for `ms`, on a thread of its own.
    std::thread HoldCounter(int ms) {
        holder.ConnectRoot(qEnvironmentVariable("PEDIDOS_TEST_DB_SOCKET"), kDatabase);
        holder.Run(QStringLiteral("START TRANSACTION"));
        holder.Run(sending::kSqlContador);
        return std::thread([this, ms] {
            QThread::msleep(static_cast<unsigned long>(ms));
            holder.Run(QStringLiteral("COMMIT"));
        });
    }
    bench::BareClient root, holder;
    LockWaits waits;
};

FaultRates None() { return FaultRates{0, 0, 0, 0, 0, 0, 0, 0, 0, 0}; }

TEST_F(TerminalConnectionTest, AWaitForAnotherSessionsCounterLockIsMeasured) {
    campaign::FaultPlan plan(1, None());
    TerminalConnection c(plan, waits);
    c.Open(ConnectionString());
    std::thread holding = HoldCounter(1500);
    c.Execute(sending::kSqlInicio);
    c.Query(QStringLiteral("select 1"));
    c.Query(sending::kSqlContador);
    c.Execute(sending::kSqlConfirmar);
    holding.join();
    const LockWaits::Summary s = waits.Summarize();
    EXPECT_EQ(s.count, 1) << "only the counter's locking read is timed";
    EXPECT_GE(s.longest, 1.4);
    EXPECT_LT(s.longest, 5.0);
}

TEST_F(TerminalConnectionTest, EachLockWaitTimeOutEndsAWaitOfItsOwn) {
    campaign::FaultPlan plan(1, None());
    TerminalConnection c(plan, waits);
    c.Open(ConnectionString());
    c.Execute(QStringLiteral("SET SESSION innodb_lock_wait_timeout=1"));
    std::thread holding = HoldCounter(2600);
    c.Execute(sending::kSqlInicio);
    int timeOuts = 0;
    for (;;) {
        try {
            c.Query(sending::kSqlContador);
            break;
        } catch (const data::DbError& e) {
            ASSERT_EQ(e.number(), campaign::kLockWaitTimeout) << qPrintable(e.description());
            ++timeOuts;
        }
    }
    c.Execute(sending::kSqlConfirmar);
    holding.join();
    EXPECT_GE(timeOuts, 2);
    const LockWaits::Summary s = waits.Summarize();
    EXPECT_EQ(s.count, timeOuts + 1) << "each try, the one answered included";
    EXPECT_GE(s.longest, 0.9);
    EXPECT_LT(s.longest, 2.5) << "the whole hold is not one wait any more";
}

TEST_F(TerminalConnectionTest, AProgramEndingAtCommitLeavesWhatItSays) {
    FaultRates rates = None();
    rates.commitCrash = 1.0;
    bool seen[2] = {false, false};
    for (unsigned seed = 1; seed < 40 && !(seen[0] && seen[1]); ++seed) {
        campaign::FaultPlan plan(seed, rates);
        TerminalConnection c(plan, waits);
        c.Open(ConnectionString());
        const int before = root.Value(QStringLiteral("select control_Comanda from mantenimiento")).toInt();
        c.Execute(sending::kSqlInicio);
        c.Query(sending::kSqlContador);
        c.Execute(QStringLiteral("update mantenimiento set control_Comanda='%1'").arg(before + 1));
        bool after = false;
        try {
            c.Execute(sending::kSqlConfirmar);
            FAIL() << "COMMIT went through";
        } catch (const campaign::TerminalCrash& crash) {
            after = crash.afterStatement;
        }
        seen[after ? 1 : 0] = true;
        EXPECT_EQ(root.Value(QStringLiteral("select control_Comanda from mantenimiento")).toInt(), before + (after ? 1 : 0));
        EXPECT_FALSE(c.IsOpen());
        EXPECT_THROW(c.Execute(sending::kSqlDeshacer), data::DbError) << "a program that ended runs nothing";
        EXPECT_THROW(c.Open(ConnectionString()), campaign::TerminalCrash);
        c.Restarted();
        c.Open(ConnectionString());
        EXPECT_TRUE(c.IsOpen()) << "started again, it connects";
    }
    EXPECT_TRUE(seen[0] && seen[1]) << "both ends: before COMMIT went out, and after it was stored";
}

TEST_F(TerminalConnectionTest, ABackupsReadLockKeepsTheCounterFromEverySendUntilReleased) {
    campaign::FaultPlan plan(1, None());
    TerminalConnection c(plan, waits);
    c.Open(ConnectionString());
    c.Execute(QStringLiteral("SET SESSION lock_wait_timeout=1, innodb_lock_wait_timeout=1"));
    QString error;
    bool held = false;
    std::atomic<bool> taken{false}, released{false};
    std::thread backup([&] {
        held = campaign::HoldBackupLock(
            qEnvironmentVariable("PEDIDOS_TEST_DB_SOCKET"), std::chrono::seconds(3), &error, [&] { taken = true; },
            [&] { released = true; });
    });
    QThread::msleep(500);
    EXPECT_TRUE(taken && !released) << "told when the lock is taken, not yet given back";
    c.Execute(sending::kSqlInicio);
    try {
        c.Query(sending::kSqlContador);
        ADD_FAILURE() << "the counter was taken under the backup's lock";
    } catch (const data::DbError& e) {
        EXPECT_EQ(e.number(), campaign::kLockWaitTimeout) << qPrintable(e.description());
    }
    c.Execute(sending::kSqlDeshacer);
    backup.join();
    EXPECT_TRUE(held) << qPrintable(error);
    EXPECT_TRUE(released);
    c.Execute(sending::kSqlInicio);
    EXPECT_NO_THROW(c.Query(sending::kSqlContador)) << "released, the counter is free";
    c.Execute(sending::kSqlDeshacer);
    const LockWaits::Summary s = waits.Summarize();
    EXPECT_EQ(s.count, 2);
    EXPECT_EQ(s.timedOut, 1) << "the wait under the backup, not the one after it";
    EXPECT_LT(s.longest, 2.0) << "the wait ends at the session's limit, not with the backup";
}

}  // namespace
