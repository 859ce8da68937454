#include "sending/ticket_follower.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtDebug>
#include <algorithm>
#include <map>
#include <set>

#include "sending/order_sender.h"
#include "sending/printing_system.h"

namespace sending {
namespace {

constexpr int kVersion = 1;
// How often the jobs followed are asked about: a fault reaches the waiter
// within about this plus the printer's own answer.
constexpr std::chrono::milliseconds kPollEvery{300};

// Names in the file rather than numbers, so a later program that adds or
// reorders kinds still reads an earlier file.
const std::vector<std::pair<PrintOp::Kind, QString>>& OpNames() {
    static const std::vector<std::pair<PrintOp::Kind, QString>> names = {
        {PrintOp::Kind::ScaleMillimetres, QStringLiteral("mm")}, {PrintOp::Kind::FontName, QStringLiteral("fuente")},
        {PrintOp::Kind::FontSize, QStringLiteral("tamaño")},     {PrintOp::Kind::CurrentX, QStringLiteral("x")},
        {PrintOp::Kind::PrintLine, QStringLiteral("línea")},     {PrintOp::Kind::EndDoc, QStringLiteral("fin")}};
    return names;
}

const std::vector<std::pair<PrinterFault, QString>>& FaultNames() {
    static const std::vector<std::pair<PrinterFault, QString>> names = {
        {PrinterFault::None, QStringLiteral("ninguna")},
        {PrinterFault::Stopped, QStringLiteral("detenida")},
        {PrinterFault::Rejecting, QStringLiteral("rechaza")},
        {PrinterFault::PaperOut, QStringLiteral("sin-papel")},
        {PrinterFault::CoverOpen, QStringLiteral("tapa-abierta")},
        {PrinterFault::Offline, QStringLiteral("fuera-de-linea")},
        {PrinterFault::NotCompleted, QStringLiteral("sin-terminar")},
        {PrinterFault::JobHeld, QStringLiteral("retenida")},
        {PrinterFault::JobCancelled, QStringLiteral("cancelada")},
        {PrinterFault::JobAborted, QStringLiteral("abortada")},
        {PrinterFault::JobGone, QStringLiteral("desaparecida")},
        {PrinterFault::NoAnswer, QStringLiteral("sin-respuesta")},
        {PrinterFault::Other, QStringLiteral("otra")}};
    return names;
}

template <typename E>
QString NameOf(const std::vector<std::pair<E, QString>>& names, E value) {
    for (const auto& [v, n] : names)
        if (v == value) return n;
    return {};
}

template <typename E>
std::optional<E> ValueOf(const std::vector<std::pair<E, QString>>& names, const QString& name) {
    for (const auto& [v, n] : names)
        if (n == name) return v;
    return std::nullopt;
}

QJsonObject ToJson(const FollowedTicket& t) {
    QJsonArray ops;
    for (const PrintOp& op : t.ticket.ops)
        ops.append(QJsonObject{{"k", NameOf(OpNames(), op.kind)}, {"t", op.text}, {"s", op.size}});
    return {{"idEnvio", t.idEnvio},       {"numero", t.numero},
            {"mesa", t.mesa},             {"impresora", t.impresora},
            {"indice", t.indice},         {"titulo", t.ticket.title},
            {"ops", ops},                 {"trabajo", t.trabajo},
            {"desde", QString::number(t.desde)}, {"fallida", t.fallida},
            {"causa", NameOf(FaultNames(), t.causa)}, {"motivo", t.motivo}};
}

std::optional<FollowedTicket> FromJson(const QJsonValue& v) {
    if (!v.isObject()) return std::nullopt;
    const QJsonObject o = v.toObject();
    for (const char* key : {"idEnvio", "numero", "mesa", "impresora", "titulo", "desde", "causa", "motivo"})
        if (!o.value(QLatin1String(key)).isString()) return std::nullopt;
    FollowedTicket t;
    t.idEnvio = o.value(QLatin1String("idEnvio")).toString();
    t.numero = o.value(QLatin1String("numero")).toString();
    t.mesa = o.value(QLatin1String("mesa")).toString();
    t.impresora = o.value(QLatin1String("impresora")).toString();
    t.indice = o.value(QLatin1String("indice")).toInt(-1);
    t.ticket.title = o.value(QLatin1String("titulo")).toString();
    t.trabajo = o.value(QLatin1String("trabajo")).toInt(-1);
    bool ok = false;
    t.desde = o.value(QLatin1String("desde")).toString().toLongLong(&ok);
    t.fallida = o.value(QLatin1String("fallida")).toBool();
    const std::optional<PrinterFault> causa = ValueOf(FaultNames(), o.value(QLatin1String("causa")).toString());
    t.motivo = o.value(QLatin1String("motivo")).toString();
    if (!ok || t.indice < 0 || t.trabajo < 0 || !causa || !o.value(QLatin1String("ops")).isArray()) return std::nullopt;
    t.causa = *causa;
    for (const QJsonValue& opv : o.value(QLatin1String("ops")).toArray()) {
        const QJsonObject op = opv.toObject();
        const std::optional<PrintOp::Kind> kind = ValueOf(OpNames(), op.value(QLatin1String("k")).toString());
        if (!kind || !op.value(QLatin1String("t")).isString()) return std::nullopt;
        t.ticket.ops.push_back({*kind, op.value(QLatin1String("t")).toString(), op.value(QLatin1String("s")).toInt()});
    }
    return t;
}

qint64 Now() { return QDateTime::currentMSecsSinceEpoch(); }

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
    return !a.fallida && a.idEnvio == b.idEnvio && a.indice == b.indice && a.trabajo == b.trabajo;
}

}  // namespace

QByteArray FollowedToJson(const std::vector<FollowedTicket>& tickets) {
    QJsonArray list;
    for (const FollowedTicket& t : tickets) list.append(ToJson(t));
    return QJsonDocument(QJsonObject{{"version", kVersion}, {"comandas", list}}).toJson(QJsonDocument::Compact);
}

std::optional<std::vector<FollowedTicket>> FollowedFromJson(const QByteArray& json, QString* error) {
    QJsonParseError parse{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parse);
    if (!doc.isObject()) {
        *error = parse.error != QJsonParseError::NoError ? parse.errorString() : QStringLiteral("no es un objeto");
        return std::nullopt;
    }
    const QJsonObject o = doc.object();
    if (o.value(QLatin1String("version")).toInt() != kVersion) {
        *error = QStringLiteral("versión desconocida");
        return std::nullopt;
    }
    std::vector<FollowedTicket> out;
    for (const QJsonValue& v : o.value(QLatin1String("comandas")).toArray()) {
        std::optional<FollowedTicket> t = FromJson(v);
        if (!t) {
            *error = QStringLiteral("comanda ilegible");
            return std::nullopt;
        }
        out.push_back(std::move(*t));
    }
    return out;
}

TicketFollower::TicketFollower(QString path, std::chrono::milliseconds plazo, JournalDisk* disk)
    : file_(std::move(path), QStringLiteral("tickets at the printer"), disk), plazo_(plazo) {}

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
        file_.MoveAside(QStringLiteral(".ilegible"));
        qWarning().noquote() << "tickets at the printer: unreadable" << Path() << ":" << error << "; kept as"
                             << Path() + QStringLiteral(".ilegible");
        return error;
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    tickets_ = std::move(*read);
    WakeLocked();
    return {};
}

void TicketFollower::SetOnFailure(std::function<void()> avisar) {
    const std::lock_guard<std::mutex> lock(mutex_);
    avisar_ = std::move(avisar);
}

void TicketFollower::Follow(FollowedTicket ticket) {
    ticket.fallida = false;
    ticket.causa = PrinterFault::None;
    ticket.motivo.clear();
    if (ticket.desde == 0) ticket.desde = Now();
    const std::lock_guard<std::mutex> lock(mutex_);
    tickets_.push_back(std::move(ticket));
    SaveLocked();
    WakeLocked();
}

void TicketFollower::Fail(std::vector<FollowedTicket> tickets) {
    if (tickets.empty()) return;
    const std::lock_guard<std::mutex> lock(mutex_);
    for (FollowedTicket& t : tickets) {
        t.fallida = true;
        t.trabajo = 0;
        tickets_.push_back(std::move(t));
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
    std::vector<std::pair<int, Ticket>> porEnviar;
    for (const FollowedTicket& t : again) porEnviar.emplace_back(t.indice, t.ticket);
    // Each ticket handed over is followed, and written so, before the next
    // one goes: a terminal switched off in the middle does not offer it again.
    const auto taken = [&](int indice, int trabajo) {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (FollowedTicket& t : tickets_) {
            if (!t.fallida || t.idEnvio != idEnvio || t.indice != indice) continue;
            t.fallida = false;
            t.trabajo = trabajo;
            t.desde = Now();
            t.causa = PrinterFault::None;
            t.motivo.clear();
        }
        SaveLocked();
        WakeLocked();
    };
    const std::shared_ptr<PrintingSystem> sistema = SharedPrintingSystem();
    const PrintReport r = SendTickets(*sistema, again.front().impresora, porEnviar, taken);
    if (r.ok()) return;
    const std::lock_guard<std::mutex> lock(mutex_);
    for (FollowedTicket& t : tickets_) {
        // Only the tickets sent here: one that failed meanwhile keeps its own reason.
        const bool refused = std::find(r.fallidos.begin(), r.fallidos.end(), t.indice) != r.fallidos.end();
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

// Asks the printing system about every job followed (each queue once) and
// settles the ones that ended. Nothing is held locked while it is asked.
void TicketFollower::Poll() {
    std::vector<FollowedTicket> followed;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (const FollowedTicket& t : tickets_)
            if (!t.fallida) followed.push_back(t);
    }
    const std::shared_ptr<PrintingSystem> sistema = SharedPrintingSystem();
    std::map<QString, QueueState> colas;
    std::vector<FollowedTicket> printed;
    std::vector<FollowedTicket> failed;
    for (const FollowedTicket& t : followed) {
        if (!colas.count(t.impresora)) colas[t.impresora] = sistema->AskQueue(t.impresora);
        JobState job = sistema->AskJob(t.impresora, t.trabajo);
        const JobVerdict v = JudgeJob(job, colas[t.impresora], std::chrono::milliseconds(Now() - t.desde), plazo_);
        if (v.kind == JobVerdict::Kind::Waiting) continue;
        if (v.kind == JobVerdict::Kind::Printed && Alive(job)) {
            // On paper already: CUPS would print it again when its queue goes on.
            QString error;
            if (!sistema->CancelJob(t.impresora, t.trabajo, &error))
                qWarning().noquote() << "job" << t.trabajo << "on" << t.impresora
                                     << "printed but could not be cancelled (it may print again):" << error;
        }
        if (v.kind == JobVerdict::Kind::Failed && Alive(job)) {
            // It must never print after the waiter was told it did not: a
            // job still held somewhere is cancelled first. One that reached
            // the printer meanwhile (its backend hands a ticket it started
            // over whole before it ends) is what it became.
            QString error;
            const bool wasPrinting = job.phase == JobPhase::Processing;
            const bool cancelled = sistema->CancelJob(t.impresora, t.trabajo, &error);
            job = SettledJob(*sistema, t, wasPrinting);
            if (job.answered && (job.phase == JobPhase::Completed || job.hojas > 0)) {
                printed.push_back(t);
                continue;
            }
            if (!cancelled)
                qWarning().noquote() << "job" << t.trabajo << "on" << t.impresora
                                     << "could not be cancelled:" << error;
        }
        FollowedTicket f = t;
        if (v.kind == JobVerdict::Kind::Failed) {
            f.causa = v.fault;
            f.motivo = FaultText(v.fault, t.impresora, plazo_, job.error);
            qWarning().noquote() << "ticket" << t.ticket.title << "number" << t.numero << "of table" << t.mesa
                                 << "not printed: job" << t.trabajo << "on" << t.impresora << ":" << f.motivo
                                 << job.reasons.join(',');
            failed.push_back(f);
        } else {
            printed.push_back(f);
        }
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
