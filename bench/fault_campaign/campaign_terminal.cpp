#include "fault_campaign/campaign_terminal.h"

#include <QThread>

#include "runtime/runtime_error.h"
#include "support/bench_env.h"

namespace campaign {
namespace {

// How long a stored order's tickets are offered to the printing system again.
constexpr std::chrono::seconds kPrintLimit{60};

}  // namespace

Terminal::Terminal(int index, QString connectionString, const QString& journalPath, Shared& shared)
    : index_(index), connectionString_(std::move(connectionString)), shared_(shared),
      connection_(*shared.plan, *shared.waits), journal_(journalPath),
      sender_(std::make_unique<sending::OrderSender>(journal_)), cups_(shared.cupsServer) {
    print_.sistema = &cups_;
    print_.impresora = shared.queue;
    print_.empresa = QStringLiteral("Restaurant de prueba");
    print_.carpetaDatos = bench::SourcePath(QStringLiteral("demo"));
}

sending::SendOptions Terminal::Options() const {
    sending::SendOptions o;
    o.connectionString = connectionString_;
    return o;
}

void Terminal::Run() {
    try {
        connection_.Open(connectionString_);
    } catch (const rt::RuntimeError& e) {
        qWarning("terminal %d: first connection failed: %s", index_, qPrintable(e.description()));
    }
    for (;;) {
        const int k = shared_.stop ? -1 : shared_.TakeOrder();
        if (k < 0) return;
        CampaignOrder& o = orders_.emplace_back();
        o.pedido = CampaignOrderContent(shared_.notePrefix, k);
        while (!Press(o)) {
            if (shared_.stop) return;  // left on the screen: Finish presses again
            QThread::msleep(kRetryPauseMs);
        }
        if (o.reported) ++shared_.stored;
        QThread::msleep(kPauseBetweenOrdersMs);
    }
}

bool Terminal::Finish(std::chrono::steady_clock::time_point deadline) {
    if (orders_.empty()) return true;
    CampaignOrder& o = orders_.back();
    while (!Press(o)) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        QThread::msleep(kRetryPauseMs);
    }
    if (o.reported) ++shared_.stored;
    return true;
}

bool Terminal::Press(CampaignOrder& o) {
    if (o.reported || o.abandoned) return true;
    try {
        if (sender_->Pending() && !SettleFirst(o)) return o.reported || o.abandoned;
        const sending::SendResult r = sender_->Send(connection_, o.pedido, Options());
        if (r.Stored() && sender_->Pending()) {
            Stored(o, *sender_->Pending());
            return true;
        }
        if (r.Stored()) {  // stored all the same: never sent again, but nothing to print from
            shared_.Problem(QStringLiteral("a stored send left nothing pending to print"));
            o.reported = true;
            o.numero = r.numero;
            return true;
        }
    } catch (const TerminalCrash&) {
        Restart();
    }
    ++o.failedPresses;
    return false;
}

bool Terminal::SettleFirst(CampaignOrder& o) {
    const sending::SettleReport report = sender_->SettlePending(connection_, Options());
    switch (report.settlement) {
        case sending::Settlement::NotStored:
            return true;
        case sending::Settlement::Stored:
            if (report.entry.pedido == o.pedido) {
                Stored(o, report.entry);
            } else {
                shared_.Problem(QStringLiteral("a settled send is not the order on the screen"));
                sender_->TicketsOut();
            }
            return false;
        case sending::Settlement::NoAnswer:
            ++shared_.noAnswers;
            ++o.failedPresses;
            return false;
        case sending::Settlement::CannotTell:
            shared_.Problem(QStringLiteral("a send could not be settled although the send record is there: ") +
                            report.lastError);
            o.abandoned = true;
            return false;
    }
    return false;
}

void Terminal::Stored(CampaignOrder& o, const sending::JournalEntry& entry) {
    o.reported = true;
    o.idEnvio = entry.idEnvio;
    o.numero = entry.intento ? entry.intento->numero : QString();
    PrintAll(o, entry);
    sender_->TicketsOut();
}

// As the screen prints: the tickets the journal does not list as out yet,
// then the ones that failed again (kept in the journal meanwhile) until
// every one is out.
void Terminal::PrintAll(CampaignOrder& o, const sending::JournalEntry& entry) {
    const auto until = std::chrono::steady_clock::now() + kPrintLimit;
    std::vector<int> out = entry.impresas;
    for (;;) {
        const sending::PrintReport r = sending::PrintTickets(entry, print_, out);
        if (!r.installed) return shared_.Problem(QStringLiteral("the kitchen queue is not installed"));
        if (r.ok()) {
            o.ticketsOut = true;
            return;
        }
        out.insert(out.end(), r.impresas.begin(), r.impresas.end());
        sender_->TicketsPrinted(out);
        ++shared_.printRetries;
        if (std::chrono::steady_clock::now() > until)
            return shared_.Problem(QStringLiteral("tickets not taken for %1 s: %2").arg(kPrintLimit.count()).arg(r.motivo));
        QThread::msleep(kRetryPauseMs);
    }
}

// The program started again: a new sender takes over what the journal kept.
void Terminal::Restart() {
    ++shared_.restarts;
    connection_.Close();
    connection_.Restarted();
    sender_ = std::make_unique<sending::OrderSender>(journal_);
    const sending::SendJournal::Loaded loaded = sender_->Recover();
    if (loaded.state == sending::SendJournal::State::Unreadable)
        shared_.Problem(QStringLiteral("journal unreadable after a restart: ") + loaded.error);
}

}  // namespace campaign
