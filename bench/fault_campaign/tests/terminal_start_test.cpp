// A campaign terminal's program starting beside another on the same journal
// folder: refused the lock, it reads and changes nothing; alone, it starts
// even when its first connection fails.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "fault_campaign/campaign_terminal.h"
#include "runtime/configuration.h"
#include "sending/journal_lock.h"

namespace {

TEST(CampaignTerminal, AProgramBesideAnotherOnItsJournalIsRefusedAndTouchesNothing) {
    QTemporaryDir dir;
    campaign::FaultPlan plan(1, campaign::FaultRates{0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    campaign::LockWaits waits;
    campaign::Shared shared;
    shared.plan = &plan;
    shared.waits = &waits;
    // Nothing listens on port 1: a first connection that fails at once.
    const QString nowhere = rt::BuildConnectionString(QStringLiteral("x"), QStringLiteral("127.0.0.1"))
                                .replace(QStringLiteral("PORT=3306;"), QStringLiteral("PORT=1;"));
    struct Case {
        const char* name;
        bool otherHoldsIt;
        bool starts;
    };
    for (const Case& c : {Case{"another program holds the folder", true, false}, Case{"alone", false, true}}) {
        SCOPED_TRACE(c.name);
        std::optional<sending::JournalLock> other;
        if (c.otherHoldsIt) other.emplace(dir.path());
        campaign::Terminal t(0, nowhere, dir.path(), campaign::JournalDiskKind::Watched, shared);
        EXPECT_EQ(t.Start(), c.starts);
        ASSERT_NE(t.Lock(), nullptr);
        EXPECT_EQ(t.Lock()->HeldByAnother(), c.otherHoldsIt);
        EXPECT_EQ(t.Lock()->Error().isEmpty(), !c.otherHoldsIt) << "the waiter is told why";
        EXPECT_EQ(t.DiskChanges(), 0) << "an empty journal is only read";
    }
    EXPECT_TRUE(shared.Problems().isEmpty()) << qPrintable(shared.Problems().join(QStringLiteral("; ")));
}

}  // namespace
