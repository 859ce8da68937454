#pragma once
// Where and when the campaign's faults strike: one random draw per
// statement, on the proxy's thread for the network's faults and on the
// terminal's thread for the terminal's own (a thread that stops while it
// holds the counter lock, a program that ends in the middle of a send).
// Faults that keep the counter lock from the other terminals for seconds
// (a long stall, a frozen terminal) come one at a time, so that each one
// alone decides how long the others wait.
#include <QString>
#include <chrono>
#include <mutex>
#include <random>

#include "support/fault_proxy.h"

namespace campaign {

// Chances per query text the terminal sends (a freeze: each time the
// counter lock is taken). A send is two of them, on one server and on a
// cluster node alike (what it reads under the counter lock, then its writes
// with the COMMIT), so these are per round trip, not per statement.
struct FaultRates {
    double cutBefore = 0.05;         // any query: cut before it reaches the server
    double cutAfter = 0.05;          // any query: the server's answer dropped
    double commitCutBefore = 0.04;   // one carrying the COMMIT: cut before it reaches the server
    double commitAnswerLost = 0.1;   // one carrying the COMMIT: stored, its answer dropped
    double shortStall = 0.1;         // a query outside the counter lock held back
    double lockedStall = 0.05;       // a query under the counter lock held back long
    double freeze = 0.1;             // the terminal stops right after taking the counter lock
    double crash = 0.01;             // the terminal program ends at a query
    double commitCrash = 0.03;       // ... at the COMMIT's (before it goes out, or after it was stored)
    double printEnd = 0.02;          // the terminal program ends right after a ticket was taken
};

// A stall shorter than the server's idle-transaction limit, and long ones
// past what the server sees as a frozen terminal.
constexpr std::chrono::milliseconds kShortStallMin{300}, kShortStallMax{2500};
constexpr std::chrono::seconds kLongFault{12};
// The least time between the starts of two long faults.
constexpr std::chrono::seconds kLongFaultGap{16};

// What the terminal's own program does at a statement.
enum class TerminalFault { None, CrashBefore, CrashAfter };

// How the send's statement that gives a cluster session its own
// wsrep_sync_wait back after a settle starts.
constexpr const char* kRestoreSyncWait = "SET @@session.wsrep_sync_wait";
// Statements a send runs while cleaning up, where the program never ends:
// its ROLLBACK and, after a settle, the session's wsrep_sync_wait given
// back. Ending there leaves what ending just before leaves (the server rolls
// back; the settle only read), and the send runs them from destructors,
// where the campaign's end of a program (an exception) cannot be thrown.
bool IsCleanUp(const QString& sql);

struct PlanCounts {
    int lockedStalls = 0;  // long stalls the proxy was told to make
    int freezes = 0;
    int crashes = 0;
    int printEnds = 0;  // programs ended right after a ticket was taken
};

class FaultPlan {
public:
    FaultPlan(unsigned seed, FaultRates rates) : random_(seed), rates_(rates) {}

    // Faults on or off (off: every draw answers "no fault").
    void SetOn(bool on);

    // The proxy's decision for one statement.
    bench::FaultAction ForStatement(const bench::StatementSeen& s);
    // The terminal's decision for one statement it is about to run.
    TerminalFault AtStatement(const QString& sql);
    // How long the terminal stops right after taking the counter lock (0: not).
    std::chrono::milliseconds FreezeAfterLock();
    // Whether the terminal's program ends right after the printing system
    // took one of its tickets (before it prints the next).
    bool EndAfterTicket();

    PlanCounts Counts() const;

private:
    bool Draw(double chance);  // with mutex_ held
    bool TakeLongFault();      // with mutex_ held

    mutable std::mutex mutex_;
    std::mt19937 random_;
    FaultRates rates_;
    bool on_ = true;
    std::chrono::steady_clock::time_point lastLong_{};
    bool anyLong_ = false;
    PlanCounts counts_;
};

}  // namespace campaign
