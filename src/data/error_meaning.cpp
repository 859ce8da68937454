#include "data/error_meaning.h"

#include "data/db_error.h"

namespace data {
namespace {

// The errors the table tells apart; every other number is Other.
enum class Kind {
    Lost,       // the connection is gone (the outcome of a statement in flight unknown)
    NotReady,   // a cluster node still joining: another moment, or node, answers
    Collision,  // a deadlock, or a cluster's certification failure: the transaction is gone
    LockWait,   // a lock wait that ran out: only the statement was undone
    BadValue,   // a value its column cannot hold: it comes back on every try
    Duplicate,  // a unique key's value is there already
    Refusal,    // no right, or no such table or column: asking again will not mend it
    UnknownVariable,  // a server without the variable (@@wsrep_on, @@in_transaction on MySQL)
    NoCompound,       // a text the server cannot parse or hold in a compound statement
    Other,
};

Kind KindOf(int number) {
    if (IsLostConnection(number)) return Kind::Lost;
    switch (number) {
        case kNodeNotReady: return Kind::NotReady;
        case kDeadlock: return Kind::Collision;
        case kLockWaitTimeout: return Kind::LockWait;
        case kBadNull:
        case kOutOfRange:
        case kTruncated:
        case kIncorrectValue:
        case kNoDefault:
        case kIncorrectString:
        case kDataTooLong: return Kind::BadValue;
        case kDuplicateKey: return Kind::Duplicate;
        case kDbAccessDenied:
        case kBadField:
        case kTableAccessDenied:
        case kColumnAccessDenied:
        case kNoSuchTable: return Kind::Refusal;
        case kUnknownSystemVariable: return Kind::UnknownVariable;
        case kParseError:
        case kNotAllowedInStoredProgram: return Kind::NoCompound;
        default: return Kind::Other;
    }
}

constexpr ErrorMeaning Step(NextStep next, FailureCause cause = FailureCause::Other) { return {next, cause}; }

// A statement of the send while its transaction is open. A lock wait that
// ran out is not tried again: its wait already took the longest a send may
// wait for the counter, and another try would double it.
ErrorMeaning InTransaction(Kind k, bool valuesWritten) {
    switch (k) {
        case Kind::Lost:
        case Kind::Collision: return Step(NextStep::RunAgain);
        case Kind::LockWait: return Step(NextStep::TellWaiter, FailureCause::CounterBusy);
        case Kind::BadValue:
            return Step(NextStep::TellWaiter, valuesWritten ? FailureCause::BadValue : FailureCause::Other);
        case Kind::Duplicate:
        case Kind::Refusal: return Step(NextStep::TellWaiter);
        case Kind::NotReady:
        case Kind::UnknownVariable:
        case Kind::NoCompound:
        case Kind::Other: return Step(NextStep::RetryStatement);
    }
    return Step(NextStep::TellWaiter);
}

ErrorMeaning ByKind(Kind k, ErrorSite site) {
    switch (site) {
        case ErrorSite::Statement: return InTransaction(k, false);
        case ErrorSite::SendRecord:
            if (k == Kind::Duplicate) return Step(NextStep::AlreadyStored);
            [[fallthrough]];
        case ErrorSite::WithCommit:
            // Sent together with the COMMIT: after a lost connection the
            // server may have run them all.
            if (k == Kind::Lost) return Step(NextStep::Settle);
            return InTransaction(k, true);
        case ErrorSite::Commit:
            // An engine error or a node losing its cluster may have stored
            // it; a lock wait that ran out (a backup's read lock) did not, and
            // a collision rolled it back.
            if (k == Kind::Collision) return Step(NextStep::RunAgain);
            if (k == Kind::LockWait) return Step(NextStep::TellWaiter, FailureCause::CounterBusy);
            return Step(NextStep::Settle);
        case ErrorSite::AfterCommit: return Step(NextStep::SendStands);
        case ErrorSite::Block:
            if (k == Kind::Lost) return Step(NextStep::Settle);
            // The server cannot run such a block at all: it never started,
            // the transaction is as it was.
            if (k == Kind::UnknownVariable || k == Kind::NoCompound) return Step(NextStep::OneByOne);
            if (k == Kind::Collision) return Step(NextStep::RunAgain);
            return Step(NextStep::LocateInBlock);
        case ErrorSite::Settle:
            if (k == Kind::Lost) return Step(NextStep::RunAgain);
            if (k == Kind::LockWait || k == Kind::Collision || k == Kind::NotReady) return Step(NextStep::AskLater);
            if (k == Kind::Refusal) return Step(NextStep::Refused);
            return Step(NextStep::CannotTell);
        case ErrorSite::Probe:
            // Only a refusal that asking again will not change says the table
            // is not there; anything else asks again.
            if (k == Kind::Refusal) return Step(NextStep::Refused);
            return Step(NextStep::RunAgain);
        case ErrorSite::ServerVariable:
            // Only a server without the variable says no; taking any other
            // failure for "no" could send a node's writes unguarded.
            if (k == Kind::UnknownVariable) return Step(NextStep::Refused);
            return Step(NextStep::RunAgain);
        case ErrorSite::OptionalRead:
            if (k == Kind::Lost || k == Kind::NotReady || k == Kind::LockWait || k == Kind::Collision)
                return Step(NextStep::RunAgain);
            return Step(NextStep::Refused);
        case ErrorSite::Read:
            if (k == Kind::Lost || k == Kind::NotReady) return Step(NextStep::RunAgain);
            return Step(NextStep::TellWaiter);
    }
    return Step(NextStep::TellWaiter);
}

}  // namespace

ErrorMeaning MeaningOf(int number, ErrorSite site) {
    const Kind k = KindOf(number);
    ErrorMeaning m = ByKind(k, site);
    m.connectionGone = k == Kind::Lost;
    m.collision = k == Kind::Collision && m.next == NextStep::RunAgain;
    return m;
}

const char* SiteName(ErrorSite site) {
    switch (site) {
        case ErrorSite::Statement: return "statement";
        case ErrorSite::WithCommit: return "write with the COMMIT";
        case ErrorSite::SendRecord: return "send record";
        case ErrorSite::Commit: return "COMMIT";
        case ErrorSite::AfterCommit: return "read after the COMMIT";
        case ErrorSite::Block: return "block";
        case ErrorSite::Settle: return "settle";
        case ErrorSite::Probe: return "probe";
        case ErrorSite::ServerVariable: return "server variable";
        case ErrorSite::OptionalRead: return "optional read";
        case ErrorSite::Read: return "read";
    }
    return "?";
}

const char* StepName(NextStep step) {
    switch (step) {
        case NextStep::RunAgain: return "run again";
        case NextStep::Settle: return "settle";
        case NextStep::RetryStatement: return "retry the statement";
        case NextStep::TellWaiter: return "tell the waiter";
        case NextStep::SendStands: return "the send stands";
        case NextStep::OneByOne: return "one by one";
        case NextStep::LocateInBlock: return "locate in the block";
        case NextStep::AlreadyStored: return "already stored";
        case NextStep::AskLater: return "ask later";
        case NextStep::CannotTell: return "cannot tell";
        case NextStep::Refused: return "refused";
    }
    return "?";
}

}  // namespace data
