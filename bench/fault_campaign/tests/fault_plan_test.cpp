// The campaign's draws: long faults one at a time, the locking read never
// held back, nothing at all once the faults are off, and the lock-wait
// clock timing each try of the locking read.
#include <gtest/gtest.h>

#include "fault_campaign/fault_plan.h"
#include "fault_campaign/lock_waits.h"

namespace {

using bench::FaultAction;
using bench::StatementKind;
using campaign::FaultPlan;
using campaign::FaultRates;

FaultRates Only(double FaultRates::*rate) {
    FaultRates r{0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    r.*rate = 1.0;
    return r;
}

bench::StatementSeen Seen(std::string_view sql, bool holdsLocks) {
    return {sql, bench::KindOf(sql), holdsLocks, 1};
}

TEST(FaultPlan, LongFaultsComeOneAtATime) {
    FaultRates rates = Only(&FaultRates::lockedStall);
    rates.freeze = 1.0;
    FaultPlan plan(7, rates);
    const FaultAction first = plan.ForStatement(Seen("insert into comanda values (1)", true));
    EXPECT_EQ(first.kind, FaultAction::Kind::Stall);
    EXPECT_EQ(first.stall, campaign::kLongFault);
    EXPECT_EQ(plan.ForStatement(Seen("COMMIT", true)).kind, FaultAction::Kind::Forward);
    EXPECT_EQ(plan.FreezeAfterLock().count(), 0) << "a freeze must wait for the stall's gap too";
    EXPECT_EQ(plan.Counts().lockedStalls, 1);
    EXPECT_EQ(plan.ForStatement(Seen("insert into comanda values (1)", false)).kind, FaultAction::Kind::Forward)
        << "a terminal without the lock is never held long";

    FaultPlan freezes(7, Only(&FaultRates::freeze));
    EXPECT_EQ(freezes.FreezeAfterLock(), campaign::kLongFault);
    EXPECT_EQ(freezes.FreezeAfterLock().count(), 0);
    EXPECT_EQ(freezes.Counts().freezes, 1);
}

TEST(FaultPlan, TheLockingReadIsNeverHeldBack) {
    FaultPlan plan(7, Only(&FaultRates::shortStall));
    EXPECT_EQ(plan.ForStatement(Seen("select control_Comanda from mantenimiento for update", false)).kind,
              FaultAction::Kind::Forward);
    const FaultAction a = plan.ForStatement(Seen("START TRANSACTION", false));
    EXPECT_EQ(a.kind, FaultAction::Kind::Stall);
    EXPECT_GE(a.stall, campaign::kShortStallMin);
    EXPECT_LE(a.stall, campaign::kShortStallMax);
}

TEST(FaultPlan, CommitHasItsOwnChancesAndOffMeansNothing) {
    FaultPlan plan(7, Only(&FaultRates::commitAnswerLost));
    EXPECT_EQ(plan.ForStatement(Seen("COMMIT", true)).kind, FaultAction::Kind::CutAfter);
    EXPECT_EQ(plan.ForStatement(Seen("insert into comanda values (1)", true)).kind, FaultAction::Kind::Forward);
    plan.SetOn(false);
    EXPECT_EQ(plan.ForStatement(Seen("COMMIT", true)).kind, FaultAction::Kind::Forward);

    FaultPlan crashes(7, Only(&FaultRates::commitCrash));
    EXPECT_NE(crashes.AtStatement(QStringLiteral("COMMIT")), campaign::TerminalFault::None);
    EXPECT_EQ(crashes.AtStatement(QStringLiteral("START TRANSACTION")), campaign::TerminalFault::None);
    crashes.SetOn(false);
    EXPECT_EQ(crashes.AtStatement(QStringLiteral("COMMIT")), campaign::TerminalFault::None);
    EXPECT_EQ(crashes.Counts().crashes, 1);
}

TEST(FaultPlan, NoProgramEndsAtAStatementOfTheSendsCleanUp) {
    FaultRates rates = Only(&FaultRates::crash);
    rates.commitCrash = 1.0;
    FaultPlan plan(7, rates);
    const struct {
        const char* sql;
        bool mayEnd;
    } cases[] = {{"ROLLBACK", false},
                 {"SET @@session.wsrep_sync_wait=@pedidos_sync_wait", false},
                 {"SET @pedidos_sync_wait=@@session.wsrep_sync_wait, @@session.wsrep_sync_wait=1", true},
                 {"START TRANSACTION", true},
                 {"COMMIT", true}};
    for (const auto& c : cases)
        EXPECT_EQ(plan.AtStatement(QString::fromLatin1(c.sql)) != campaign::TerminalFault::None, c.mayEnd) << c.sql;
}

TEST(LockWaitClock, EachTryOfTheLockingReadIsOneWaitWhateverEndsIt) {
    using campaign::Clock;
    campaign::LockWaitClock clock;
    const Clock::time_point t0 = Clock::now();
    EXPECT_FALSE(clock.TryEnded(t0)) << "no try, no wait";
    clock.TryStarts(t0);
    // A lock wait time-out ends the send: the next press waits anew.
    EXPECT_DOUBLE_EQ(*clock.TryEnded(t0 + std::chrono::seconds(7)), 7.0);
    EXPECT_FALSE(clock.TryEnded(t0 + std::chrono::seconds(8))) << "a wait is counted once";
    clock.TryStarts(t0 + std::chrono::seconds(8));
    EXPECT_DOUBLE_EQ(*clock.TryEnded(t0 + std::chrono::seconds(11)), 3.0);

    campaign::LockWaits waits;
    for (double s : {0.5, 4.0, 6.0, 11.0}) waits.Add(s);
    const auto summary = waits.Summarize();
    EXPECT_EQ(summary.count, 4);
    EXPECT_EQ(summary.overOneSecond, 3);
    EXPECT_EQ(summary.overFiveSeconds, 2);
    EXPECT_EQ(summary.overTenSeconds, 1);
    EXPECT_DOUBLE_EQ(summary.longest, 11.0);
}

}  // namespace
