#include "sending/ticket_follower.h"

#include <QtDebug>
#include <algorithm>
#include <map>

#include "sending/printing.h"
#include "sending/printing_system.h"

namespace sending {
namespace {

// How often the jobs followed are asked about: a fault reaches the waiter
// within about this plus the printer's own answer.
constexpr std::chrono::milliseconds kPollEvery{300};

bool Alive(const JobState& j) {
    return !j.answered || j.phase == JobPhase::Pending || j.phase == JobPhase::Held ||
           j.phase == JobPhase::Processing || j.phase == JobPhase::Stopped;
}

// The job after it was cancelled. One that was printing had a backend that
// may be finishing a ticket it started handing over (it says so once the
// printer has it whole): a moment is left for that; the others had none.
JobState SettledJob(PrintingSystem& sistema, const FollowedTicket& t, bool wasPrinting) {
    JobState job = sistema.AskJob(t.impresora, t.trabajo);
    for (int i = 0; wasPrinting && i < 12 && job.answered && job.hojas == 0 &&
                    job.reasons.contains(QLatin1String("processing-to-stop-point"));
         ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        job = sistema.AskJob(t.impresora, t.trabajo);
    }
    return job;
}

bool SameJob(const FollowedTicket& a, const FollowedTicket& b) {
    return !a.fallida && a.idEnvio == b.idEnvio && a.id == b.id && a.trabajo == b.trabajo;
}

}  // namespace

TicketFollower::TicketFollower(QString path, std::chrono::milliseconds plazo, JournalDisk* disk,
                               std::shared_ptr<PrintingSystem> sistema, TerminalClock reloj)
    : file_(std::move(path), QStringLiteral("tickets at the printer"), disk),
      plazo_(plazo),
      reloj_(std::move(reloj)),
      sistema_(sistema ? std::move(sistema) : SharedPrintingSystem()) {}

TicketFollower::~TicketFollower() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

QString TicketFollower::Load() {
    QString error;
    const std::optional<QByteArray> text = file_.Read(&error);
    std::optional<std::vector<FollowedTicket>> read;
    if (text) read = FollowedFromJson(*text, &error);
    if (!read) {
        if (error.isEmpty()) return {};  // no file: nothing pending
        keptAs_ = file_.MoveAside(QStringLiteral(".ilegible"));
        qWarning().noquote() << "tickets at the printer: unreadable" << Path() << ":" << error << "; kept as"
                             << keptAs_;
        return error;
    }
    // A job handed over by an earlier run has had its time since then, as
    // the wall clock tells; one set back meanwhile does not hold it longer.
    const qint64 wall = reloj_.wallMs();
    const TerminalClock::Monotonic::time_point now = reloj_.monotonic();
    for (FollowedTicket& t : *read) {
        t.sistema = sistema_;
        t.entregado = MonotonicAt(t.desde, wall, now);
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    tickets_ = std::move(*read);
    WakeLocked();
    return {};
}

bool TicketFollower::TakeOverEarlier(const QString& earlierPath) {
    return file_.TakeOver(earlierPath, QStringLiteral("an earlier name of this installation's tickets file"));
}

void TicketFollower::SetOnFailure(std::function<void()> avisar) {
    const std::lock_guard<std::mutex> lock(mutex_);
    avisar_ = std::move(avisar);
}

void TicketFollower::Follow(FollowedTicket ticket) {
    if (!ticket.sistema) ticket.sistema = sistema_;
    ticket.fallida = false;
    ticket.causa = PrinterFault::None;
    ticket.motivo.clear();
    const TerminalClock::Monotonic::time_point now = reloj_.monotonic();
    if (ticket.desde == 0) {
        ticket.desde = reloj_.wallMs();
        ticket.entregado = now;
    } else {
        ticket.entregado = MonotonicAt(ticket.desde, reloj_.wallMs(), now);
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto kept = KeptLocked(ticket);
    if (kept != tickets_.end())
        *kept = std::move(ticket);
    else
        tickets_.push_back(std::move(ticket));
    SaveLocked();
    WakeLocked();
}

void TicketFollower::Fail(std::vector<FollowedTicket> tickets) {
    if (tickets.empty()) return;
    const std::lock_guard<std::mutex> lock(mutex_);
    for (FollowedTicket& t : tickets) {
        if (!t.sistema) t.sistema = sistema_;
        t.fallida = true;
        t.trabajo = 0;
        const auto kept = KeptLocked(t);
        if (kept == tickets_.end())
            tickets_.push_back(std::move(t));
        else if (kept->fallida)
            *kept = std::move(t);
    }
    SaveLocked();
}

std::vector<FailedPrint> TicketFollower::Failed() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    std::vector<FailedPrint> out;
    for (const FollowedTicket& t : tickets_) {
        if (!t.fallida) continue;
        auto it = std::find_if(out.begin(), out.end(), [&](const FailedPrint& f) { return f.idEnvio == t.idEnvio; });
        if (it == out.end()) {
            out.push_back({t.idEnvio, t.numero, t.mesa, t.impresora, {}, {}});
            it = out.end() - 1;
        }
        it->titulos << t.ticket.title;
        AddReason(it->motivo, t.motivo);
    }
    return out;
}

void TicketFollower::Reprint(const QString& idEnvio) {
    std::vector<FollowedTicket> again;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (const FollowedTicket& t : tickets_)
            if (t.fallida && t.idEnvio == idEnvio) again.push_back(t);
    }
    if (again.empty()) return;
    std::vector<std::pair<TicketId, Ticket>> porEnviar;
    for (const FollowedTicket& t : again) porEnviar.emplace_back(t.id, t.ticket);
    // Each ticket handed over is followed, and written so, before the next
    // one goes: a terminal switched off in the middle does not offer it again.
    const auto taken = [&](const TicketId& id, int trabajo) {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (FollowedTicket& t : tickets_) {
            if (!t.fallida || t.idEnvio != idEnvio || t.id != id) continue;
            t.fallida = false;
            t.trabajo = trabajo;
            t.desde = reloj_.wallMs();
            t.entregado = reloj_.monotonic();
            t.causa = PrinterFault::None;
            t.motivo.clear();
        }
        SaveLocked();
        WakeLocked();
    };
    // On the printing system the send's tickets were handed to first.
    const std::shared_ptr<PrintingSystem> sistema = again.front().sistema;
    const PrintReport r = SendTickets(*sistema, again.front().impresora, porEnviar, taken);
    if (r.ok()) return;
    const std::lock_guard<std::mutex> lock(mutex_);
    for (FollowedTicket& t : tickets_) {
        // Only the tickets sent here: one that failed meanwhile keeps its own reason.
        const bool refused = std::find(r.fallidos.begin(), r.fallidos.end(), t.id) != r.fallidos.end();
        if (!t.fallida || t.idEnvio != idEnvio || !refused) continue;
        t.causa = r.causa;
        t.motivo = r.motivo;
    }
    SaveLocked();
}

void TicketFollower::GiveUp(const QString& idEnvio) {
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto gone = std::remove_if(tickets_.begin(), tickets_.end(), [&](const FollowedTicket& t) {
        if (!t.fallida || t.idEnvio != idEnvio) return false;
        qWarning().noquote() << "ticket" << t.ticket.title << "number" << t.numero << "of table" << t.mesa
                             << "given up by the waiter; it was not printed on" << t.impresora << ":" << t.motivo;
        return true;
    });
    tickets_.erase(gone, tickets_.end());
    SaveLocked();
}

std::vector<FollowedTicket> TicketFollower::Tickets() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return tickets_;
}

bool TicketFollower::WaitUntilSettled(std::chrono::milliseconds limite) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, limite, [&] {
        return std::none_of(tickets_.begin(), tickets_.end(), [](const FollowedTicket& t) { return !t.fallida; });
    });
}

void TicketFollower::SaveLocked() {
    // Later: a program that dies keeps the list (the page cache survives it);
    // the sync that survives a power cut follows on the file's own thread.
    if (tickets_.empty())
        file_.Remove(DurableFile::Sync::Later);
    else
        file_.Write(FollowedToJson(tickets_), DurableFile::Sync::Later);
}

std::vector<FollowedTicket>::iterator TicketFollower::KeptLocked(const FollowedTicket& t) {
    return std::find_if(tickets_.begin(), tickets_.end(),
                        [&](const FollowedTicket& k) { return k.idEnvio == t.idEnvio && k.id == t.id; });
}

void TicketFollower::WakeLocked() {
    if (!thread_.joinable() && !stop_) thread_ = std::thread([this] { Run(); });
    changed_.notify_all();
}

void TicketFollower::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stop_) {
        const bool following =
            std::any_of(tickets_.begin(), tickets_.end(), [](const FollowedTicket& t) { return !t.fallida; });
        if (!following) {
            changed_.wait(lock);
            continue;
        }
        lock.unlock();
        Poll();
        lock.lock();
        if (!stop_) changed_.wait_for(lock, kPollEvery);
    }
}

namespace {

enum class Outcome { Waiting, Printed, Failed };

// What became of the followed job `t`, given its queue's state; a failed
// one gets its reason. A job that cannot print any more is cancelled.
// `desde`: the time since it was handed over.
Outcome Judge(FollowedTicket& t, const QueueState& cola, std::chrono::milliseconds desde,
              std::chrono::milliseconds plazo) {
    PrintingSystem& sistema = *t.sistema;
    JobState job = sistema.AskJob(t.impresora, t.trabajo);
    const JobVerdict v = JudgeJob(job, cola, desde, plazo);
    if (v.kind == JobVerdict::Kind::Waiting) return Outcome::Waiting;
    QString error;
    if (v.kind == JobVerdict::Kind::Printed) {
        // On paper already: CUPS would print it again when its queue goes on.
        if (Alive(job) && !sistema.CancelJob(t.impresora, t.trabajo, &error))
            qWarning().noquote() << "job" << t.trabajo << "on" << t.impresora
                                 << "printed but could not be cancelled (it may print again):" << error;
        return Outcome::Printed;
    }
    if (Alive(job)) {
        // It must never print after the waiter was told it did not: a job
        // still held somewhere is cancelled first. One that reached the
        // printer meanwhile (its backend hands a ticket it started over
        // whole before it ends) is what it became.
        const bool wasPrinting = job.phase == JobPhase::Processing;
        const bool cancelled = sistema.CancelJob(t.impresora, t.trabajo, &error);
        job = SettledJob(sistema, t, wasPrinting);
        if (job.answered && (job.phase == JobPhase::Completed || job.hojas > 0)) return Outcome::Printed;
        if (!cancelled)
            qWarning().noquote() << "job" << t.trabajo << "on" << t.impresora << "could not be cancelled:" << error;
    }
    t.causa = v.fault;
    t.motivo = FaultText(v.fault, t.impresora, plazo, job.error);
    qWarning().noquote() << "ticket" << t.ticket.title << "number" << t.numero << "of table" << t.mesa
                         << "not printed: job" << t.trabajo << "on" << t.impresora << ":" << t.motivo
                         << job.reasons.join(',');
    return Outcome::Failed;
}

}  // namespace

// Asks the printing system of every job followed about it (each queue once)
// and settles the ones that ended. Nothing is held locked while it is asked.
void TicketFollower::Poll() {
    std::vector<FollowedTicket> followed;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (const FollowedTicket& t : tickets_)
            if (!t.fallida) followed.push_back(t);
    }
    std::map<std::pair<PrintingSystem*, QString>, QueueState> colas;
    std::vector<FollowedTicket> printed;
    std::vector<FollowedTicket> failed;
    for (FollowedTicket& t : followed) {
        const auto cola = std::make_pair(t.sistema.get(), t.impresora);
        if (!colas.count(cola)) colas[cola] = t.sistema->AskQueue(t.impresora);
        const auto desde =
            std::chrono::duration_cast<std::chrono::milliseconds>(reloj_.monotonic() - t.entregado);
        const Outcome o = Judge(t, colas[cola], desde, plazo_);
        if (o == Outcome::Printed) printed.push_back(t);
        if (o == Outcome::Failed) failed.push_back(t);
    }
    if (printed.empty() && failed.empty()) return;
    std::function<void()> avisar;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (const FollowedTicket& p : printed)
            std::erase_if(tickets_, [&](const FollowedTicket& t) { return SameJob(t, p); });
        for (const FollowedTicket& f : failed)
            for (FollowedTicket& t : tickets_)
                if (SameJob(t, f)) {
                    t.fallida = true;
                    t.trabajo = 0;
                    t.causa = f.causa;
                    t.motivo = f.motivo;
                }
        SaveLocked();
        if (!failed.empty()) avisar = avisar_;
    }
    // Told before anyone waiting for the follower to settle wakes.
    if (avisar) avisar();
    changed_.notify_all();
}

}  // namespace sending
