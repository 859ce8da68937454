#pragma once
// The fault campaign: terminals (threads, each with its own connection,
// journal and printing system) send orders with the terminal's own send
// and print code through a fault proxy to the database, while the proxy
// cuts and stalls their connections, terminals freeze holding the ticket
// counter or end in the middle of a send, the server is killed and the
// kitchen printer switched off. What the terminals were told is compared
// with what the database and the printer got.
#include <QString>
#include <QStringList>
#include <atomic>
#include <mutex>

#include "fault_campaign/fault_plan.h"
#include "fault_campaign/lock_waits.h"
#include "sending/send_order.h"

namespace campaign {

constexpr int kTerminals = 9;
// A busy waiter's pace (the kitchen queue prints one job at a time), and
// ENVIAR pressed again after a send that did not go through.
constexpr int kPauseBetweenOrdersMs = 150;
constexpr int kRetryPauseMs = 300;
// Where the proxy listens, beside each server's own port on its address.
constexpr int kProxyPort = 3307;

struct CampaignOrder {
    order::Order pedido;
    QString key;               // how its chef's notes start: unique in the run
    int terminal = -1;         // the terminal that sent it
    bool overlong = false;     // its waiter and notes are longer than their columns
    bool afterOutageStart = false;  // sent first by a program started while its server was down
    QString idEnvio, numero;   // the send that stored it and its ticket number
    bool reported = false;     // the terminal was told it is stored
    bool abandoned = false;    // the terminal could not tell and gave it up
    bool ticketsOut = false;   // the printing system took all its tickets
    int failedPresses = 0;     // ENVIAR pressed without it being stored
    // What its terminal did with it, in order (also in the run's log): each
    // press's send or settle outcome, each print report, each program end.
    QStringList story;
};

// The order numbered `k` of a run (unique in the run), with chef's notes
// that start with `notePrefix`; three in four print the full copy only.
// With `overlong`, its waiter's name and chef's notes are longer than any
// installation's columns hold (the send must store them cut).
order::Order CampaignOrderContent(const QString& notePrefix, int k, bool overlong = false);
// Whether order `k` of a run is one of the overlong ones.
bool OverlongOrder(int k);

// What the terminals share.
struct Shared {
    std::atomic<bool> stop{false};
    std::atomic<int> nextOrder{0};
    int quota = 0;  // orders in all (at least); 0: until stopped
    // Every disturbance of the run is over. Until then the terminals go on
    // past the quota: a backup, a slow disk or a program started while the
    // server is down needs terminals that are still sending.
    std::atomic<bool> disturbancesOver{false};
    std::atomic<int> stored{0}, noAnswers{0}, printRetries{0}, restarts{0};
    // Sends that stopped because the counter stayed locked (1205), and
    // because a value did not fit its column (which must never happen: the
    // send cuts text to the installation's widths).
    std::atomic<int> counterBusy{0}, badValues{0};
    // Backups' read locks taken and given back so far (one at a time), and
    // the presses that one held from before it was taken until it was given
    // back (a settle on a cluster node waits for the node to apply).
    std::atomic<int> backupsTaken{0}, backupsReleased{0}, heldByBackup{0};
    // Programs ended on a journal disk that lost power with them.
    std::atomic<int> powerCuts{0};
    FaultPlan* plan = nullptr;
    LockWaits* waits = nullptr;
    QString cupsServer, queue, notePrefix;

    // The next order's number; -1 once the quota is reached and the
    // disturbances are over.
    int TakeOrder() {
        const int k = nextOrder++;
        return quota > 0 && k >= quota && disturbancesOver ? -1 : k;
    }
    // Something the terminal's code should never do, said once each.
    void Problem(const QString& text);
    QStringList Problems() const;

private:
    mutable std::mutex mutex_;
    QStringList problems_;
};

}  // namespace campaign
