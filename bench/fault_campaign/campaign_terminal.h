#pragma once
// One terminal of the campaign: what the terminal's program does with
// ENVIAR, without the screen. The program starts as the real one does: it
// takes the lock on its journal folder (a second program on the same folder
// must be refused it), takes over what the journal kept and prints a stored
// send's tickets not out yet, then connects. A press settles the pending
// send first (when there is one) and sends the order when it was not stored;
// a stored order's tickets are printed, each one written to the journal as
// the printing system takes it, the failed ones again until they are out,
// and the journal is closed. A terminal whose program ended starts again.
//
// Its journal lives on a disk that misbehaves on demand: one that loses
// power (the program's end is then a power cut: everything not synced is
// forgotten before it starts again), or one whose syncs can be made slow.
#include <QString>
#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <vector>

#include "fault_campaign/campaign.h"
#include "fault_campaign/terminal_connection.h"
#include "fault_campaign/watched_disk.h"
#include "printers/cups_printing.h"
#include "sending/journal_lock.h"
#include "sending/order_sender.h"
#include "sending/printing.h"
#include "sending/send_journal.h"
#include "support/journal_disks.h"

namespace campaign {

// What is under a terminal's journal folder.
enum class JournalDiskKind {
    PowerCut,  // a disk that loses power whenever the program ends
    Slow,      // a disk whose syncs can be made slow for one send
    Watched,   // the real disk, counting changes (a program that must not touch it)
};

class Terminal {
public:
    Terminal(int index, QString connectionString, QString journalFolder, JournalDiskKind disk, Shared& shared);

    // The program starts (see above). False when another program holds the
    // journal folder: nothing of the journal was read or touched then.
    bool Start();
    // Sends orders until the quota is reached or the run stops; an order
    // whose send was not stored when the run stopped stays on the screen.
    void Run();
    // The waiter's retries of the order left on the screen, until `deadline`;
    // false when it is still not stored then.
    bool Finish(std::chrono::steady_clock::time_point deadline);

    // From another thread: the program is ended and started again before
    // the next press, and its next orders carry values longer than their
    // columns. Restarted() says once that has happened.
    void RequestRestart();
    struct RestartSeen {
        bool firstConnectionFailed = false;
    };
    std::optional<RestartSeen> Restarted() const;

    // From another thread: the journal's syncs take `syncTime` from the next
    // press until that send takes the ticket counter (a disk that stalls
    // inside a send). SlowSyncOver() says once that has happened, with how
    // many syncs were slow. Only on a Slow disk.
    void ArmSlowSync(std::chrono::milliseconds syncTime);
    std::optional<int> SlowSyncOver() const;

    // The lock refused to this program, with its reason (after Start failed).
    const sending::JournalLock* Lock() const { return lock_ ? &*lock_ : nullptr; }
    // Changes a Watched disk saw.
    int DiskChanges() const { return watched_ ? watched_->Changes() : 0; }
    // Orders reported stored so far (readable while it runs).
    int StoredSoFar() const { return storedSoFar_; }

    const std::vector<CampaignOrder>& Orders() const { return orders_; }

private:
    bool StartOnce();
    void StartAgain();
    void PrintLeftOver(const sending::JournalEntry& entry);
    bool Press(CampaignOrder& o);  // true once the order is done with
    bool SettleFirst(CampaignOrder& o);  // true when the order may be sent
    void AfterFailedSend(CampaignOrder& o, const sending::SendResult& r);
    void Stored(CampaignOrder& o, const sending::JournalEntry& entry);
    void PrintAll(CampaignOrder& o, const sending::JournalEntry& entry);
    void EndProgram();
    void RestartIfAsked();
    void CounterReached();
    CampaignOrder* OrderOf(const QString& idEnvio);
    sending::SendOptions Options() const;
    // Appends to the order's story and to the run's log.
    void Tell(CampaignOrder& o, const QString& what);

    int index_;
    QString connectionString_;
    QString folder_;
    Shared& shared_;
    std::unique_ptr<testsupport::PowerCutDisk> powerCut_;
    std::unique_ptr<testsupport::SlowDisk> slow_;
    std::unique_ptr<WatchedDisk> watched_;
    TerminalConnection connection_;
    sending::SendJournal journal_;
    std::optional<sending::JournalLock> lock_;
    std::unique_ptr<sending::OrderSender> sender_;
    std::shared_ptr<printers::CupsPrintingSystem> cups_;
    sending::PrintSetup print_;
    std::vector<CampaignOrder> orders_;
    std::atomic<int> storedSoFar_{0};
    // The next orders of a program started while the server was down.
    int overlongLeft_ = 0;
    bool firstConnectionFailed_ = false;
    std::atomic<bool> restartRequested_{false}, restartDone_{false}, restartFailedToConnect_{false};
    std::atomic<long long> slowSyncMs_{0};
    std::atomic<bool> slowArmed_{false}, slowOn_{false}, slowDone_{false};
    std::atomic<int> slowSyncs_{0};
    int slowBefore_ = 0;  // the disk's syncs when it was made slow
};

}  // namespace campaign
