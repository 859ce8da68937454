// What each error the code names means at each place it can meet a send.
#include "data/error_meaning.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <set>

#include "data/db_error.h"
#include "support/test_database.h"

namespace {

using data::ErrorSite;
using data::FailureCause;
using data::NextStep;

constexpr ErrorSite kSites[] = {ErrorSite::Statement, ErrorSite::WithCommit,     ErrorSite::SendRecord,
                                ErrorSite::Commit,    ErrorSite::AfterCommit,    ErrorSite::Block,
                                ErrorSite::Settle,    ErrorSite::Probe,          ErrorSite::ServerVariable,
                                ErrorSite::OptionalRead, ErrorSite::Read};

// One letter per step, in the order of kSites.
NextStep StepOf(char c) {
    switch (c) {
        case 'A': return NextStep::RunAgain;
        case 'S': return NextStep::Settle;
        case 'R': return NextStep::RetryStatement;
        case 'T': return NextStep::TellWaiter;
        case 'P': return NextStep::SendStands;
        case 'O': return NextStep::OneByOne;
        case 'L': return NextStep::LocateInBlock;
        case 'D': return NextStep::AlreadyStored;
        case 'K': return NextStep::AskLater;
        case 'C': return NextStep::CannotTell;
        case 'F': return NextStep::Refused;
    }
    ADD_FAILURE() << "no step '" << c << "'";
    return NextStep::TellWaiter;
}

// Statement, WithCommit, SendRecord, Commit, AfterCommit, Block, Settle,
// Probe, ServerVariable, OptionalRead, Read.
constexpr const char* kLost = "ASSSPSAAAAA";
constexpr const char* kNotReady = "RRRSPLKAAAA";
constexpr const char* kCollision = "AAAAPAKAAAT";
constexpr const char* kLockWait = "TTTTPLKAAAT";
constexpr const char* kBadValue = "TTTSPLCAAFT";
constexpr const char* kRefusal = "TTTSPLFFAFT";
constexpr const char* kNoCompound = "RRRSPOCAAFT";
constexpr const char* kOther = "RRRSPLCAAFT";

struct Row {
    int number;
    const char* steps;
    FailureCause cause = FailureCause::Other;  // where the step is TellWaiter at a write
};

const Row kTable[] = {
    {data::kServerShutdown, kLost},
    {data::kConnectionKilled, kLost},
    {data::kServerGoneAway, kLost},
    {data::kServerLost, kLost},
    {data::kServerLostExtended, kLost},
    {data::kConnectionClosed, kLost},
    {data::kNodeNotReady, kNotReady},
    {data::kDeadlock, kCollision},
    {data::kLockWaitTimeout, kLockWait, FailureCause::CounterBusy},
    {data::kBadNull, kBadValue, FailureCause::BadValue},
    {data::kOutOfRange, kBadValue, FailureCause::BadValue},
    {data::kTruncated, kBadValue, FailureCause::BadValue},
    {data::kIncorrectValue, kBadValue, FailureCause::BadValue},
    {data::kNoDefault, kBadValue, FailureCause::BadValue},
    {data::kIncorrectString, kBadValue, FailureCause::BadValue},
    {data::kDataTooLong, kBadValue, FailureCause::BadValue},
    // A send record already there says an earlier try committed.
    {data::kDuplicateKey, "TTDSPLCAAFT"},
    {data::kDbAccessDenied, kRefusal},
    {data::kBadField, kRefusal},
    {data::kTableAccessDenied, kRefusal},
    {data::kColumnAccessDenied, kRefusal},
    {data::kNoSuchTable, kRefusal},
    {data::kParseError, kNoCompound},
    // Only a server without the variable says it is no cluster node.
    {data::kUnknownSystemVariable, "RRRSPOCAFFT"},
    {data::kNotAllowedInStoredProgram, kNoCompound},
    {data::kClientTlsError, kOther},  // a broken link arrives as kServerLost
    {data::kNoSuchField, kOther},
    {data::kSecureLinkRefused, kOther},
    {1267, kOther},  // illegal mix of collations: any number the code does not name
};

TEST(ErrorMeaning, EachErrorAtEachSite) {
    for (const Row& row : kTable) {
        for (size_t i = 0; i < std::size(kSites); ++i) {
            const data::ErrorMeaning m = data::MeaningOf(row.number, kSites[i]);
            SCOPED_TRACE(testing::Message() << row.number << " at " << data::SiteName(kSites[i]) << ": "
                                            << data::StepName(m.next));
            EXPECT_EQ(m.next, StepOf(row.steps[i]));
            // The waiter reads a cause only where the send stops at a write.
            const bool atWrite = kSites[i] == ErrorSite::WithCommit || kSites[i] == ErrorSite::SendRecord ||
                                 (row.cause == FailureCause::CounterBusy &&
                                  (kSites[i] == ErrorSite::Statement || kSites[i] == ErrorSite::Commit));
            EXPECT_EQ(m.cause, m.next == NextStep::TellWaiter && atWrite ? row.cause : FailureCause::Other);
            EXPECT_EQ(m.connectionGone, std::string(row.steps) == kLost);
            EXPECT_EQ(m.collision, row.number == data::kDeadlock && m.next == NextStep::RunAgain);
        }
    }
}

// Every error number the code names is a row of the table above.
TEST(ErrorMeaning, TheTableHoldsEveryNumberTheCodeNames) {
    QFile header(testsupport::SourcePath(QStringLiteral("src/data/db_error.h")));
    ASSERT_TRUE(header.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(header.readAll());
    std::set<int> inTable;
    for (const Row& row : kTable) inTable.insert(row.number);
    int named = 0;
    const QRegularExpression number(QStringLiteral(R"(\bk\w+\s*=\s*(\d{4}))"));
    for (auto it = number.globalMatch(text); it.hasNext(); ++named) {
        const int n = it.next().captured(1).toInt();
        EXPECT_TRUE(inTable.count(n)) << n << " is named in db_error.h but not in the table";
    }
    EXPECT_GT(named, 25);
}

}  // namespace
