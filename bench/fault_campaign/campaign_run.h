#pragma once
// One run of the campaign on one installation (the single server, or the
// cluster's nodes), and its figures.
#include <QString>
#include <QStringList>
#include <algorithm>
#include <vector>

#include "fault_campaign/campaign.h"
#include "support/fault_proxy.h"
#include "support/stored_orders.h"

namespace campaign {

// Something done to the servers or the printer once a fraction of the run is over.
struct Disturbance {
    // The server killed (and started again), the printer switched off for a
    // while, the kitchen queue refusing jobs for a while, a cluster node
    // killed (and started again).
    enum class Kind { KillServer, PrinterOff, QueueRefuses, KillNode };
    double at = 0;
    Kind kind = Kind::KillServer;
    int node = 0;  // KillNode: which node (1..3)
};

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

struct TicketCheck {
    int expected = 0;   // tickets of the stored orders
    int missing = 0;    // stored orders with fewer tickets at the printer
    int twice = 0;      // stored orders with more
    int strays = 0;     // ticket numbers at the printer of no stored order
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
    QStringList disturbanceErrors;
    int failedPresses = 0, noAnswers = 0, printRetries = 0, restarts = 0;
    QStringList problems;
    double seconds = 0;

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
