#pragma once
// One run of the campaign on one installation (the single server, or the
// cluster's nodes), and its figures.
#include <QString>
#include <QStringList>
#include <algorithm>
#include <chrono>
#include <vector>

#include "fault_campaign/campaign.h"
#include "support/fault_proxy.h"
#include "support/stored_orders.h"

namespace campaign {

// Something done to the servers or the printer once a fraction of the run is over.
struct Disturbance {
    // The server killed (and started again), the printer switched off for a
    // while, the kitchen queue refusing jobs for a while, a cluster node
    // killed (and started again): while it is down, a terminal's program
    // starts again. A backup holding the global read lock; a terminal's
    // journal disk taking seconds over each sync inside one send; a second
    // program started on a terminal's journal folder.
    enum class Kind { KillServer, PrinterOff, QueueRefuses, KillNode, BackupLock, SlowSync, SecondProgram };
    double at = 0;
    Kind kind = Kind::KillServer;
    int node = 0;      // KillNode, BackupLock: which node (1..3; 0: the single server)
    int terminal = 0;  // KillServer, KillNode, SlowSync, SecondProgram: which terminal
};

// What is under each terminal's journal: the first kSlowDiskTerminals
// terminals' syncs can be made slow, the others' disks lose power whenever
// their program ends.
constexpr int kSlowDiskTerminals = 3;
// A backup's global read lock, held longer than any send may wait for the counter.
constexpr std::chrono::seconds kBackupHold{20};
// A journal disk's sync inside a send: longer than the server lets a
// session idle in a transaction, so one made under the counter lock would show.
constexpr std::chrono::milliseconds kSlowSync{8000};

struct Target {
    QString name;             // the figures' prefix
    QString notePrefix;       // how its orders' chef's notes start
    QStringList serverHosts;  // a proxy in front of each (the server, or each node)
    QString rootSocket;       // where root reads back what was stored
    std::vector<Disturbance> disturbances;
    FaultRates rates{};       // per query text the terminals send there
};

struct Settings {
    int orders = 1000;  // orders in all; 0: send for `seconds`
    int seconds = 0;
    unsigned seed = 1;
};

// A ticket number whose tickets did not reach the printer as often as the
// layout makes them.
struct TicketProblem {
    QString numero;
    int expected = 0, received = 0;
    int order = -1;  // the stored order of that number (index in Outcome::orders); -1: none
};

struct TicketCheck {
    int expected = 0;   // tickets of the stored orders
    int missing = 0;    // stored orders with fewer tickets at the printer
    int twice = 0;      // stored orders with more
    int strays = 0;     // ticket numbers at the printer of no stored order
    int ticketsMissing = 0;  // tickets not at the printer, of all stored orders
    std::vector<TicketProblem> problems;
};

struct Outcome {
    int started = 0, reported = 0;
    int leftOnScreen = 0;  // orders not stored yet when the run stopped
    int unsettled = 0;  // not stored even after the waiter's retry
    bench::StoredCheck before, after;  // before and after the retry
    TicketCheck tickets;
    LockWaits::Summary waits;
    bench::ProxyCounts proxy;  // all proxies together
    PlanCounts plan;
    int serverKills = 0, printerStops = 0, queueRefusals = 0, nodeKills = 0;
    int backupLocks = 0;
    int sendsRefusedByBackup = 0;   // sends that failed with the counter busy while a backup held the lock
    int pressesHeldByBackup = 0;    // presses held from before a backup took its lock until it gave it back
    int counterReadsRefusedByBackup = 0;  // counter reads (sends' and settles') that timed out meanwhile
    int slowSyncSends = 0, slowSyncs = 0;  // sends with a slow journal disk, and their slow syncs
    int slowSendsAlone = 0;         // of those, sends during which no other terminal stored an order
    int startsWhileDown = 0;        // programs started while their server was down
    int secondPrograms = 0;         // second programs refused their terminal's journal
    QStringList secondProgramErrors;  // second programs that got it, or touched it
    int firstProgramsStalled = 0;   // first programs that stored nothing after a second one tried
    int powerCuts = 0;
    int counterBusy = 0, badValues = 0;
    int overlongAfterOutage = 0, overlongAfterOutageStored = 0;
    QStringList disturbanceErrors;
    QStringList timeline;  // each disturbance and when, in seconds since the run began
    int failedPresses = 0, noAnswers = 0, printRetries = 0, restarts = 0;
    QStringList problems;
    double seconds = 0;
    // Every order of the run, and those the checks found wrong (indexes into it).
    std::vector<CampaignOrder> orders;
    std::vector<size_t> lostOrders, doubledOrders, unsettledOrders;

    int Faults() const;
    // A reported order missing stays missing (the terminal never sends it
    // again); an order stored twice stays so.
    int Lost() const { return std::max(before.lost, after.lost) + unsettled; }
    int Doubled() const { return std::max(before.doubled, after.doubled); }
    // Stored in part, or under another number than the terminal printed.
    int Broken() const { return before.torn + after.torn + after.wrongNumber; }
};

Outcome RunCampaign(const Target& target, const Settings& settings);

// The figure and CHECK lines of a run.
void Report(const Target& target, const Settings& settings, const Outcome& o);

}  // namespace campaign
