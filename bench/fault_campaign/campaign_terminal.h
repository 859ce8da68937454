#pragma once
// One terminal of the campaign: what the order screen does with ENVIAR,
// without the screen. A press settles the pending send first (when there is
// one) and sends the order when it was not stored; a stored order's tickets
// are printed, the failed ones again until they are out, and the journal is
// closed. A terminal whose program ended starts again from its journal.
#include <QString>
#include <chrono>
#include <memory>
#include <vector>

#include "fault_campaign/campaign.h"
#include "fault_campaign/terminal_connection.h"
#include "printers/cups_printing.h"
#include "sending/order_sender.h"
#include "sending/send_journal.h"

namespace campaign {

class Terminal {
public:
    Terminal(int index, QString connectionString, const QString& journalPath, Shared& shared);

    // Sends orders until the quota is reached or the run stops; an order
    // whose send was not stored when the run stopped stays on the screen.
    void Run();
    // The waiter's retries of the order left on the screen, until `deadline`;
    // false when it is still not stored then.
    bool Finish(std::chrono::steady_clock::time_point deadline);

    const std::vector<CampaignOrder>& Orders() const { return orders_; }

private:
    bool Press(CampaignOrder& o);  // true once the order is done with
    bool SettleFirst(CampaignOrder& o);  // true when the order may be sent
    void Stored(CampaignOrder& o, const sending::JournalEntry& entry);
    void PrintAll(CampaignOrder& o, const sending::JournalEntry& entry);
    void Restart();
    sending::SendOptions Options() const;

    int index_;
    QString connectionString_;
    Shared& shared_;
    TerminalConnection connection_;
    sending::SendJournal journal_;
    std::unique_ptr<sending::OrderSender> sender_;
    printers::CupsPrintingSystem cups_;
    sending::PrintSetup print_;
    std::vector<CampaignOrder> orders_;
};

}  // namespace campaign
