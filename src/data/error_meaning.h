#pragma once
// What an error from the server or the client library means, written once:
// from its number and where it met the send (or a read of the screens) to
// what follows and what the waiter reads. The send, the settle, the probes
// of a connection's facts and the reads that reconnect all ask this table;
// none of them interprets an error number of its own.
#include <QString>

namespace data {

// Tries of one statement the server refused for a passing reason, before the
// action gives up: the screens' statements and each statement of a send.
constexpr int kIntentosSql = 5;

// Where the error met the action.
enum class ErrorSite {
    Statement,    // a statement of a round trip without the COMMIT (the send's first)
    WithCommit,   // a write travelling in the same round trip as the COMMIT
    SendRecord,   // the insert of the send's own record (table envios)
    Commit,       // the COMMIT itself, sent together or at the end of a node's block
    AfterCommit,  // a read sent after the COMMIT, in its round trip
    Block,        // a node's block of writes and COMMIT, before the failed write is known
    Settle,       // a read asking whether an earlier try committed
    Probe,        // whether our optional table is there to use (the send record)
    ServerVariable,  // a server variable the send depends on (whether it is a cluster node)
    OptionalRead, // a read that only improves the send (the columns' widths)
    Read,         // a read or statement of the screens, which reconnects once
};

// What follows.
enum class NextStep {
    RunAgain,        // the transaction is gone and nothing committed: run the whole action again
    Settle,          // the COMMIT may have run: ask whether it did before anything else
    RetryStatement,  // only the statement was undone: send it again, up to kIntentosSql
    TellWaiter,      // it will fail again: stop, nothing stored, the waiter reads the cause
    SendStands,      // after the COMMIT: the send is stored whatever this read did
    OneByOne,        // the node cannot run a block at all: each statement travels alone
    LocateInBlock,   // the block rolled back: ask which write failed, and judge that one
    AlreadyStored,   // the send record is there: an earlier try of this send committed
    AskLater,        // no answer now: keep what is pending and ask again later
    CannotTell,      // the answer will not come on any try: the waiter checks at the till
    Refused,         // no right, or no such table or column: the thing asked for is not there
};

// Why a send that did not commit stopped, where the waiter can do something
// about it.
enum class FailureCause {
    Other,        // the server or the network: pressing ENVIAR again may do
    CounterBusy,  // the ticket counter stayed locked (another terminal, a backup)
    BadValue,     // a value the installation's column cannot hold: it recurs
};

struct ErrorMeaning {
    NextStep next = NextStep::TellWaiter;
    FailureCause cause = FailureCause::Other;
    bool connectionGone = false;  // connect again before anything else
    bool collision = false;       // another send took the row: pause before running again
    bool operator==(const ErrorMeaning&) const = default;
};

ErrorMeaning MeaningOf(int number, ErrorSite site);

// The names of both, for logs and tests.
const char* SiteName(ErrorSite site);
const char* StepName(NextStep step);

}  // namespace data
