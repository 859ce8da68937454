#include "fault_campaign/campaign_terminal.h"

#include <QDir>
#include <QThread>

#include "runtime/runtime_error.h"
#include "sending/journal_path.h"
#include "support/bench_env.h"

namespace campaign {
namespace {

// How long a stored order's tickets are offered to the printing system again.
constexpr std::chrono::seconds kPrintLimit{60};
// Orders with overlong values a program started while the server was down sends first.
constexpr int kOverlongAfterStart = 3;

QString Numbers(const std::vector<sending::TicketId>& v) {
    QStringList s;
    for (const sending::TicketId& id : v) s << id.Text();
    return QLatin1Char('[') + s.join(QLatin1Char(',')) + QLatin1Char(']');
}

QString CauseName(sending::FailureCause c) {
    switch (c) {
        case sending::FailureCause::CounterBusy:
            return QStringLiteral("counter busy");
        case sending::FailureCause::BadValue:
            return QStringLiteral("value too long");
        case sending::FailureCause::Other:
            break;
    }
    return QStringLiteral("server or network");
}

QString SendText(const sending::SendResult& r) {
    switch (r.outcome) {
        case sending::Verdict::Stored:
            return QStringLiteral("send: stored as ticket %1 (%2 runs)").arg(r.numero).arg(r.wholeSendRuns);
        case sending::Verdict::NoAnswer:
            return QStringLiteral("send: outcome unknown (%1 runs): %2").arg(r.wholeSendRuns).arg(r.lastError);
        case sending::Verdict::CannotTell:
            return QStringLiteral("send: cannot tell whether stored: ") + r.lastError;
        case sending::Verdict::NotStored:
            break;
    }
    return QStringLiteral("send: failed, %1 (%2 runs): %3 %4")
        .arg(CauseName(r.causa)).arg(r.wholeSendRuns).arg(r.lastError, r.detalle);
}

}  // namespace

Terminal::Terminal(int index, QString connectionString, QString journalFolder, JournalDiskKind disk, Shared& shared)
    : index_(index), connectionString_(std::move(connectionString)), folder_(std::move(journalFolder)),
      shared_(shared),
      // The disks are made before the folder's lock file exists: a power cut
      // puts back only the journal's own files, never the lock under a program.
      powerCut_(disk == JournalDiskKind::PowerCut && QDir().mkpath(folder_)
                    ? std::make_unique<testsupport::PowerCutDisk>(folder_)
                    : nullptr),
      slow_(disk == JournalDiskKind::Slow ? std::make_unique<testsupport::SlowDisk>() : nullptr),
      watched_(disk == JournalDiskKind::Watched ? std::make_unique<WatchedDisk>() : nullptr),
      connection_(*shared.plan, *shared.waits),
      journal_(folder_ + QStringLiteral("/envio_en_curso.json"),
               powerCut_ ? static_cast<sending::JournalDisk*>(powerCut_.get())
               : slow_   ? static_cast<sending::JournalDisk*>(slow_.get())
                         : static_cast<sending::JournalDisk*>(watched_.get())),
      cups_(std::make_shared<printers::CupsPrintingSystem>(shared.cupsServer)) {
    print_.sistema = cups_;
    print_.impresora = shared.queue;
    print_.empresa = QStringLiteral("Restaurant de prueba");
    print_.carpetaDatos = bench::SourcePath(QStringLiteral("demo"));
    connection_.BeforeCounter([this] { CounterReached(); });
}

sending::SendOptions Terminal::Options() const {
    sending::SendOptions o;
    o.connectionString = connectionString_;
    return o;
}

void Terminal::Tell(CampaignOrder& o, const QString& what) {
    o.story << what;
    qInfo("fault campaign: terminal %d, order %s (table %s, send %s): %s", index_, qPrintable(o.key),
          qPrintable(o.pedido.mesa), qPrintable(o.idEnvio.isEmpty() ? QStringLiteral("-") : o.idEnvio),
          qPrintable(what));
}

CampaignOrder* Terminal::OrderOf(const QString& idEnvio) {
    for (CampaignOrder& o : orders_)
        if (o.idEnvio == idEnvio) return &o;
    return nullptr;
}

void Terminal::RequestRestart() {
    restartDone_ = false;
    restartRequested_ = true;
}

bool Terminal::Start() {
    for (;;) {
        try {
            return StartOnce();
        } catch (const TerminalCrash&) {
            EndProgram();  // ended again while printing what the journal kept
        }
    }
}

// The waiter starts the program again; while another program holds the
// journal (a second one that happened to try in the instant this one was
// ended) it is refused, and he tries again a moment later.
void Terminal::StartAgain() {
    constexpr int kTriesBeforeProblem = 100;
    for (int tries = 1; !Start(); ++tries) {
        if (tries == kTriesBeforeProblem)
            shared_.Problem(QStringLiteral("a terminal's program was refused its journal lock for %1 s")
                                .arg(kTriesBeforeProblem * kRetryPauseMs / 1000));
        QThread::msleep(kRetryPauseMs);
    }
}

bool Terminal::StartOnce() {
    lock_.emplace(folder_);
    if (!lock_->Held()) {
        qWarning("fault campaign: terminal %d: journal lock on %s not taken: %s", index_, qPrintable(folder_),
                 qPrintable(lock_->Error()));
        return false;
    }
    sender_ = std::make_unique<sending::OrderSender>(journal_, sending::InstallationOf(connectionString_));
    const sending::SendJournal::Loaded loaded = sender_->Recover();
    if (loaded.state == sending::SendJournal::State::Unreadable)
        shared_.Problem(QStringLiteral("journal unreadable after a restart: ") + loaded.error);
    if (loaded.state == sending::SendJournal::State::Foreign)
        shared_.Problem(QStringLiteral("the journal holds a send of another installation"));
    // As the screen at start-up: a stored send's tickets go out now, and a
    // send that never announced a COMMIT is dropped; one in doubt waits for
    // the next ENVIAR, which asks the server first.
    if (loaded.state == sending::SendJournal::State::Found && (loaded.entry.Stored() || !loaded.entry.intento)) {
        const sending::SettleReport r = sender_->SettlePending(connection_, Options());
        if (r.settlement == sending::Verdict::Stored) PrintLeftOver(r.entry);
    }
    firstConnectionFailed_ = false;
    try {
        connection_.Open(connectionString_);
    } catch (const rt::RuntimeError& e) {
        firstConnectionFailed_ = true;
        qWarning("fault campaign: terminal %d: first connection failed: %s", index_, qPrintable(e.description()));
    }
    return true;
}

void Terminal::PrintLeftOver(const sending::JournalEntry& entry) {
    CampaignOrder* o = OrderOf(entry.idEnvio);
    if (!o) {
        shared_.Problem(QStringLiteral("the journal kept a stored send of no order of its terminal"));
        sender_->TicketsOut();
        return;
    }
    Tell(*o, QStringLiteral("start: the journal kept it stored, tickets %1 out").arg(Numbers(entry.impresas)));
    PrintAll(*o, entry);
    sender_->TicketsOut();
}

// The program ends as the kernel ends it: its sockets and its journal lock
// go; on a disk that loses power, whatever was not synced goes too.
void Terminal::EndProgram() {
    ++shared_.restarts;
    connection_.Close();
    connection_.Restarted();
    lock_.reset();
    sender_.reset();
    if (powerCut_) {
        powerCut_->PowerCut();
        ++shared_.powerCuts;
    }
}

void Terminal::RestartIfAsked() {
    if (!restartRequested_.exchange(false)) return;
    EndProgram();
    if (!Start()) shared_.Problem(QStringLiteral("a terminal's own program was refused its journal lock"));
    // Its first connection failed: the column widths it learns come with a later one.
    overlongLeft_ = firstConnectionFailed_ ? kOverlongAfterStart : 0;
    restartFailedToConnect_ = firstConnectionFailed_;
    restartDone_ = true;
}

std::optional<Terminal::RestartSeen> Terminal::Restarted() const {
    if (!restartDone_) return std::nullopt;
    return RestartSeen{restartFailedToConnect_};
}

void Terminal::ArmSlowSync(std::chrono::milliseconds syncTime) {
    slowSyncMs_ = syncTime.count();
    slowDone_ = false;
    slowArmed_ = true;
}

std::optional<int> Terminal::SlowSyncOver() const {
    if (!slowDone_) return std::nullopt;
    return slowSyncs_.load();
}

// The send went on to the counter: the journal's announcing write is behind
// it, and the disk is itself again.
void Terminal::CounterReached() {
    if (!slowOn_.exchange(false)) return;
    slow_->SetSyncTime(std::chrono::milliseconds(0));
    slowSyncs_ = slow_->Syncs() - slowBefore_;
    slowDone_ = true;
}

void Terminal::Run() {
    if (!Start()) {
        shared_.Problem(QStringLiteral("a terminal's program was refused its journal lock at the start"));
        return;
    }
    for (;;) {
        const int k = shared_.stop ? -1 : shared_.TakeOrder();
        if (k < 0) return;
        RestartIfAsked();
        CampaignOrder& o = orders_.emplace_back();
        const bool afterOutage = overlongLeft_ > 0;
        if (afterOutage) --overlongLeft_;
        const bool overlong = OverlongOrder(k) || afterOutage;
        o.pedido = CampaignOrderContent(shared_.notePrefix, k, overlong);
        o.key = shared_.notePrefix + QString::number(k);
        o.terminal = index_;
        o.overlong = overlong;
        o.afterOutageStart = afterOutage;
        while (!Press(o)) {
            if (shared_.stop) return;  // left on the screen: Finish presses again
            QThread::msleep(kRetryPauseMs);
            RestartIfAsked();
        }
        if (o.reported) {
            ++shared_.stored;
            ++storedSoFar_;
        }
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
    struct BackupWatch {
        Shared& shared;
        const int takenBefore = shared.backupsTaken;
        ~BackupWatch() {
            if (shared.backupsReleased > takenBefore) ++shared.heldByBackup;
        }
    } backupWatch{shared_};
    connection_.SetWho(QStringLiteral("terminal %1, order %2").arg(index_).arg(o.key));
    // Slow from a send's start (a settle first would reach the counter before it).
    if (slow_ && !sender_->Pending() && slowArmed_.exchange(false)) {
        slowBefore_ = slow_->Syncs();
        slow_->SetSyncTime(std::chrono::milliseconds(slowSyncMs_.load()));
        slowOn_ = true;
        Tell(o, QStringLiteral("disk: syncs take %1 ms from this press").arg(slowSyncMs_.load()));
    }
    try {
        if (sender_->Pending() && !SettleFirst(o)) return o.reported || o.abandoned;
        const sending::SendResult r = sender_->Send(connection_, o.pedido, Options());
        Tell(o, SendText(r));
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
        AfterFailedSend(o, r);
    } catch (const TerminalCrash& crash) {
        Tell(o, crash.afterTicket     ? QStringLiteral("program ended right after a ticket was taken")
                : crash.afterStatement ? QStringLiteral("program ended at a statement, after it ran")
                                       : QStringLiteral("program ended at a statement, before it went out"));
        EndProgram();
        StartAgain();
        if (o.reported) return true;  // its tickets went out at the start
    }
    ++o.failedPresses;
    return o.abandoned;
}

// A send that did not store the order: the waiter presses again, unless
// nothing he can do will change the answer.
void Terminal::AfterFailedSend(CampaignOrder& o, const sending::SendResult& r) {
    if (r.causa == sending::FailureCause::CounterBusy) ++shared_.counterBusy;
    if (r.causa == sending::FailureCause::BadValue) {
        ++shared_.badValues;
        shared_.Problem(QStringLiteral("a send failed on a value its column cannot hold: ") + r.detalle);
        o.abandoned = true;
    }
}

bool Terminal::SettleFirst(CampaignOrder& o) {
    const sending::SettleReport report = sender_->SettlePending(connection_, Options());
    switch (report.settlement) {
        case sending::Verdict::NotStored:
            Tell(o, QStringLiteral("settle: the pending send was not stored"));
            return true;
        case sending::Verdict::Stored:
            if (report.entry.pedido == o.pedido) {
                Tell(o, QStringLiteral("settle: stored after all as ticket %1")
                            .arg(report.entry.intento ? report.entry.intento->numero : QString()));
                Stored(o, report.entry);
            } else {
                shared_.Problem(QStringLiteral("a settled send is not the order on the screen"));
                sender_->TicketsOut();
            }
            return false;
        case sending::Verdict::NoAnswer:
            Tell(o, QStringLiteral("settle: no answer: ") + report.lastError);
            ++shared_.noAnswers;
            ++o.failedPresses;
            return false;
        case sending::Verdict::CannotTell:
            Tell(o, QStringLiteral("settle: cannot tell: ") + report.lastError);
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
// each one written to the journal as the printing system takes it, then the
// ones that failed again until every one is out. The program may end right
// after a ticket is taken: its next start prints only the others.
void Terminal::PrintAll(CampaignOrder& o, const sending::JournalEntry& entry) {
    const auto until = std::chrono::steady_clock::now() + kPrintLimit;
    // Laid out once: the journal keeps them as they print, with those out.
    const std::vector<sending::Ticket> comandas = sending::TicketsOf(entry, print_);
    sending::JournalEntry laidOut = entry;
    laidOut.comandas = comandas;
    std::vector<sending::TicketId> out = entry.impresas;
    const auto taken = [&](const sending::TicketId& id, int) {
        out.push_back(id);
        sender_->TicketsPrinted(comandas, out);
        if (shared_.plan->EndAfterTicket()) {
            Tell(o, QStringLiteral("print: ticket %1 taken, tickets %2 out").arg(id.Text(), Numbers(out)));
            throw TerminalCrash{false, true};
        }
    };
    for (;;) {
        const sending::PrintReport r = sending::PrintTickets(laidOut, print_, out, taken);
        Tell(o, QStringLiteral("print: tickets %1 taken, %2 not taken%3")
                    .arg(Numbers(r.impresas), Numbers(r.fallidos),
                         r.motivo.isEmpty() ? QString() : QStringLiteral(": ") + r.motivo));
        if (!r.installed) return shared_.Problem(QStringLiteral("the kitchen queue is not installed"));
        if (r.ok()) {
            o.ticketsOut = true;
            return;
        }
        ++shared_.printRetries;
        if (std::chrono::steady_clock::now() > until)
            return shared_.Problem(QStringLiteral("tickets not taken for %1 s: %2").arg(kPrintLimit.count()).arg(r.motivo));
        QThread::msleep(kRetryPauseMs);
    }
}

}  // namespace campaign
