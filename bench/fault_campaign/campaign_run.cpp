#include "fault_campaign/campaign_run.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <memory>
#include <optional>
#include <thread>

#include "fault_campaign/backup_lock.h"
#include "fault_campaign/campaign_checks.h"
#include "fault_campaign/campaign_terminal.h"
#include "runtime/configuration.h"
#include "support/bare_client.h"
#include "support/bench_env.h"
#include "support/kitchen_printer.h"
#include "support/server_control.h"
#include "support/timing.h"

namespace campaign {
namespace {

// Beyond this a run gives up waiting for its orders.
constexpr double kRunLimitMs = 15 * 60 * 1000.0;
// The queue refuses jobs for longer than a frozen terminal holds the others up,
// so some terminal always meets the refusal.
constexpr int kPrinterOffSeconds = 4, kQueueRefusesSeconds = 6, kNodeDownSeconds = 5;
// The waiter's retry after the run, and the printer's catching up.
constexpr std::chrono::seconds kRetryLimit{120};
constexpr int kTicketWaitSeconds = 120;
// How long a disturbance waits for a terminal to do its part.
constexpr std::chrono::seconds kTerminalPartLimit{60};

// The terminal's connection string for the server on `host`, through the
// proxy in front of it.
QString ThroughProxy(const QString& host) {
    return rt::BuildConnectionString(bench::DbName(), host)
        .replace(QStringLiteral("PORT=3306;"), QStringLiteral("PORT=%1;").arg(kProxyPort));
}

// `program` (a CUPS command) on the kitchen queue; false, with its message
// in `error`, when it failed.
bool OnQueue(const QString& program, QStringList args, QString* error) {
    QProcess command;
    command.start(program, args << bench::PrinterQueue());
    if (command.waitForFinished(10000) && command.exitCode() == 0) return true;
    *error = program + QStringLiteral(": ") + QString::fromUtf8(command.readAllStandardError()).trimmed();
    return false;
}

// The width of the chef's note columns, as root reads it (0 when unknown:
// notes are then compared whole).
int NoteWidth(bench::BareClient& root) {
    return root.Value(QStringLiteral("select min(character_maximum_length) from information_schema.columns"
                                     " where table_schema = database() and lower(table_name) in ('d_fact_r','comanda')"
                                     " and lower(column_name) = 'observacion'")).toInt();
}

// Waits until `done` answers, up to `limit`.
template <typename F>
auto WaitUntil(F done, std::chrono::seconds limit) -> decltype(done()) {
    const auto until = std::chrono::steady_clock::now() + limit;
    for (;;) {
        auto seen = done();
        if (seen || std::chrono::steady_clock::now() > until) return seen;
        QThread::msleep(50);
    }
}

void EmptyOrderTables(const QString& socket) {
    bench::BareClient root;
    bench::ConnectRootOn(root, socket);
    root.Run(QStringLiteral("delete from Factura_r; delete from D_Fact_r; delete from comanda; delete from envios"));
}

// The threads, the proxies, the printer and the disturbances of one run.
class Run {
public:
    Run(const Target& target, const Settings& settings);
    Outcome Go();

private:
    bool StartProxies(QString* error);
    void StartTerminals();
    double Progress() const;
    bool WaitFor(double fraction);
    void Disturb(const Disturbance& d);
    void Apply(const Disturbance& d);
    void StartWhileDown(Terminal& t, QString* error);
    void Backup(const Disturbance& d, QString* error);
    void SlowSync(Terminal& t, QString* error);
    void SecondProgram(int index, QString* error);
    QString JournalFolder(int index) const;
    void Drive();
    void RetryLeftOrders();
    std::vector<CampaignOrder> Orders() const;
    bench::StoredCheck Check();
    void Collect();

    const Target& target_;
    const Settings& settings_;
    FaultPlan plan_;
    LockWaits waits_;
    Shared shared_;
    QTemporaryDir dir_;
    bench::KitchenPrinter printer_;
    std::vector<std::unique_ptr<bench::FaultProxy>> proxies_;
    std::vector<std::unique_ptr<Terminal>> terminals_;
    std::vector<std::thread> threads_;
    std::atomic<int> running_{0};
    // Terminals a second program was started beside, and what they had stored then.
    std::vector<std::pair<int, int>> secondProgramsBeside_;
    bench::Clock::time_point start_;
    Outcome out_;
};

Run::Run(const Target& target, const Settings& settings)
    : target_(target), settings_(settings), plan_(settings.seed, target.rates),
      printer_(dir_.filePath(QStringLiteral("comandas.bin"))) {
    shared_.quota = settings.orders;
    shared_.plan = &plan_;
    shared_.waits = &waits_;
    shared_.cupsServer = qEnvironmentVariable("CUPS_SERVER");
    shared_.queue = bench::PrinterQueue();
    shared_.notePrefix = target.notePrefix;
}

bool Run::StartProxies(QString* error) {
    for (const QString& host : target_.serverHosts) {
        auto proxy = std::make_unique<bench::FaultProxy>(host.toStdString(), kProxyPort, host.toStdString(), 3306);
        std::string why;
        if (!proxy->Start([this](const bench::StatementSeen& s) { return plan_.ForStatement(s); }, &why)) {
            *error = QString::fromStdString(why);
            return false;
        }
        proxies_.push_back(std::move(proxy));
    }
    return true;
}

QString Run::JournalFolder(int index) const { return dir_.filePath(QStringLiteral("terminal-%1").arg(index)); }

void Run::StartTerminals() {
    for (int t = 0; t < kTerminals; ++t) {
        const QString host = target_.serverHosts.value(t % target_.serverHosts.size());
        terminals_.push_back(std::make_unique<Terminal>(
            t, ThroughProxy(host), JournalFolder(t),
            t < kSlowDiskTerminals ? JournalDiskKind::Slow : JournalDiskKind::PowerCut, shared_));
    }
    running_ = kTerminals;
    for (auto& t : terminals_)
        threads_.emplace_back([this, terminal = t.get()] {
            terminal->Run();
            --running_;
        });
}

// The part of the run that is over: the orders taken of the quota (the run
// stops once the last one is taken, so the orders still in flight then meet
// the check made before the waiter's retry), or the time.
double Run::Progress() const {
    if (settings_.orders > 0) return running_ == 0 ? 1.0 : std::min(1.0, double(shared_.nextOrder) / settings_.orders);
    return bench::MsSince(start_) / (settings_.seconds * 1000.0);
}

bool Run::WaitFor(double fraction) {
    while (Progress() < fraction) {
        if (bench::MsSince(start_) > kRunLimitMs) return false;
        QThread::msleep(50);
    }
    return true;
}

// The program of terminal `t` ends and starts again while its server is
// down: its first connection fails, and its next orders carry values longer
// than their columns, which it must store cut.
void Run::StartWhileDown(Terminal& t, QString* error) {
    t.RequestRestart();
    const std::optional<Terminal::RestartSeen> seen = WaitUntil([&] { return t.Restarted(); }, kTerminalPartLimit);
    if (!seen)
        *error = QStringLiteral("a terminal did not start again while its server was down");
    else if (!seen->firstConnectionFailed)
        *error = QStringLiteral("a terminal started while its server was down connected all the same");
    else
        ++out_.startsWhileDown;
}

// Sends that fail with the counter busy meanwhile are the backup's doing.
// The lock is taken once the terminals store orders again: right after a
// server was killed they are still reconnecting and settling, and a backup
// then would meet no send.
void Run::Backup(const Disturbance& d, QString* error) {
    const int storedBefore = shared_.stored;
    WaitUntil([&] { return shared_.stored > storedBefore; }, kTerminalPartLimit);
    const int busyBefore = shared_.counterBusy, heldBefore = shared_.heldByBackup;
    const int timedOutBefore = shared_.waits->Summarize().timedOut;
    const QString socket = d.node > 0 ? bench::ClusterSocket(d.node) : bench::DbSocket();
    if (HoldBackupLock(
            socket, kBackupHold, error, [&] { ++shared_.backupsTaken; }, [&] { ++shared_.backupsReleased; }))
        ++out_.backupLocks;
    else
        shared_.backupsReleased = shared_.backupsTaken.load();
    // Presses still held by it end a moment after it.
    QThread::sleep(1);
    out_.sendsRefusedByBackup += shared_.counterBusy - busyBefore;
    out_.pressesHeldByBackup += shared_.heldByBackup - heldBefore;
    out_.counterReadsRefusedByBackup += shared_.waits->Summarize().timedOut - timedOutBefore;
}

// One send of terminal `t` meets a disk that takes seconds over each sync;
// the other terminals must go on storing orders meanwhile.
void Run::SlowSync(Terminal& t, QString* error) {
    const int othersBefore = shared_.stored - t.StoredSoFar();
    t.ArmSlowSync(kSlowSync);
    const std::optional<int> syncs = WaitUntil([&] { return t.SlowSyncOver(); }, kTerminalPartLimit);
    if (!syncs) {
        *error = QStringLiteral("a terminal's send never reached the counter after its disk was made slow");
        return;
    }
    ++out_.slowSyncSends;
    out_.slowSyncs += *syncs;
    if (shared_.stored - t.StoredSoFar() == othersBefore) ++out_.slowSendsAlone;
}

// A second program on terminal `index`'s journal folder tries to start: it
// must be refused the journal lock, with the message the waiter reads, and
// leave the journal as it is.
void Run::SecondProgram(int index, QString* error) {
    Terminal& first = *terminals_.at(static_cast<size_t>(index));
    Terminal second(index, ThroughProxy(target_.serverHosts.value(index % target_.serverHosts.size())),
                    JournalFolder(index), JournalDiskKind::Watched, shared_);
    const bool started = second.Start();
    const sending::JournalLock* lock = second.Lock();
    QString wrong;
    if (started) wrong = QStringLiteral("it took the journal lock");
    else if (!lock || !lock->HeldByAnother() || lock->Error().isEmpty())
        wrong = QStringLiteral("it was refused the lock for another reason: ") + (lock ? lock->Error() : QString());
    else if (second.DiskChanges() > 0)
        wrong = QStringLiteral("it changed the journal %1 times").arg(second.DiskChanges());
    if (!wrong.isEmpty()) {
        out_.secondProgramErrors << QStringLiteral("second program on terminal %1: %2").arg(index).arg(wrong);
        *error = out_.secondProgramErrors.last();
        return;
    }
    ++out_.secondPrograms;
    secondProgramsBeside_.emplace_back(index, first.StoredSoFar());
}

QString KindName(Disturbance::Kind k) {
    switch (k) {
        case Disturbance::Kind::KillServer:
            return QStringLiteral("server killed");
        case Disturbance::Kind::PrinterOff:
            return QStringLiteral("printer off");
        case Disturbance::Kind::QueueRefuses:
            return QStringLiteral("kitchen queue refusing jobs");
        case Disturbance::Kind::KillNode:
            return QStringLiteral("node killed");
        case Disturbance::Kind::BackupLock:
            return QStringLiteral("backup's read lock");
        case Disturbance::Kind::SlowSync:
            return QStringLiteral("slow journal disk");
        case Disturbance::Kind::SecondProgram:
            return QStringLiteral("second program");
    }
    return {};
}

void Run::Disturb(const Disturbance& d) {
    const double from = waits_.Since(Clock::now());
    Apply(d);
    const QString when = QStringLiteral("%1 (terminal %2) from +%3 s to +%4 s")
                             .arg(KindName(d.kind)).arg(d.terminal).arg(from, 0, 'f', 1)
                             .arg(waits_.Since(Clock::now()), 0, 'f', 1);
    qInfo("fault campaign: %s: %s", qPrintable(target_.name), qPrintable(when));
    out_.timeline << when;
}

void Run::Apply(const Disturbance& d) {
    QString error;
    Terminal& terminal = *terminals_.at(static_cast<size_t>(d.terminal % kTerminals));
    switch (d.kind) {
        case Disturbance::Kind::KillServer:
            if (!bench::StopServer(true, &error)) break;
            ++out_.serverKills;
            StartWhileDown(terminal, &error);
            if (QString startError; !bench::StartServer(&startError)) error += startError;
            break;
        case Disturbance::Kind::PrinterOff:
            printer_.Stop();
            QThread::sleep(kPrinterOffSeconds);
            if (printer_.Start()) ++out_.printerStops;
            else error = QStringLiteral("the stand-in printer did not start again");
            break;
        case Disturbance::Kind::QueueRefuses:
            if (!OnQueue(QStringLiteral("cupsreject"), {}, &error)) break;
            QThread::sleep(kQueueRefusesSeconds);
            if (OnQueue(QStringLiteral("cupsaccept"), {}, &error)) ++out_.queueRefusals;
            break;
        case Disturbance::Kind::KillNode: {
            if (!bench::KillClusterNode(d.node, &error)) break;
            ++out_.nodeKills;
            const auto down = std::chrono::steady_clock::now();
            StartWhileDown(terminal, &error);
            const auto left = std::chrono::seconds(kNodeDownSeconds) - (std::chrono::steady_clock::now() - down);
            if (left.count() > 0) QThread::msleep(static_cast<unsigned long>(
                std::chrono::duration_cast<std::chrono::milliseconds>(left).count()));
            if (QString startError; !bench::StartClusterNode(d.node, &startError)) error += startError;
            break;
        }
        case Disturbance::Kind::BackupLock:
            Backup(d, &error);
            break;
        case Disturbance::Kind::SlowSync:
            SlowSync(terminal, &error);
            break;
        case Disturbance::Kind::SecondProgram:
            SecondProgram(d.terminal, &error);
            break;
    }
    if (!error.isEmpty()) out_.disturbanceErrors << error;
}

void Run::Drive() {
    for (const Disturbance& d : target_.disturbances)
        if (WaitFor(d.at)) Disturb(d);
    shared_.disturbancesOver = true;
    WaitFor(1.0);
    shared_.stop = true;
    for (std::thread& t : threads_) t.join();
    out_.seconds = bench::MsSince(start_) / 1000.0;
    for (const CampaignOrder& o : Orders()) out_.leftOnScreen += o.reported || o.abandoned ? 0 : 1;
}

// ENVIAR pressed again on every terminal whose order was not stored when the
// run stopped, with the faults over.
void Run::RetryLeftOrders() {
    plan_.SetOn(false);
    for (auto& p : proxies_) p->SetFaultsOn(false);
    const auto deadline = std::chrono::steady_clock::now() + kRetryLimit;
    std::vector<char> unsettled(terminals_.size(), 0);
    std::vector<std::thread> retries;
    for (size_t i = 0; i < terminals_.size(); ++i)
        retries.emplace_back([&, i] { unsettled[i] = terminals_[i]->Finish(deadline) ? 0 : 1; });
    for (std::thread& t : retries) t.join();
    // The order each terminal still has on the screen, by its place in Orders().
    size_t at = 0;
    for (size_t i = 0; i < terminals_.size(); ++i) {
        at += terminals_[i]->Orders().size();
        if (!unsettled[i]) continue;
        ++out_.unsettled;
        out_.unsettledOrders.push_back(at - 1);
    }
}

std::vector<CampaignOrder> Run::Orders() const {
    std::vector<CampaignOrder> all;
    for (const auto& t : terminals_) all.insert(all.end(), t->Orders().begin(), t->Orders().end());
    return all;
}

bench::StoredCheck Run::Check() {
    try {
        bench::BareClient root;
        bench::ConnectRootOn(root, target_.rootSocket);
        return bench::CheckStored(root, AsSent(Orders(), NoteWidth(root)));
    } catch (const bench::BareError& e) {
        out_.problems << QStringLiteral("the stored orders could not be read: ") + QString::fromUtf8(e.what());
        return {};
    }
}

void Run::Collect() {
    for (const auto& p : proxies_) {
        const bench::ProxyCounts c = p->Counts();
        out_.proxy.connections += c.connections;
        out_.proxy.refused += c.refused;
        out_.proxy.cutBefore += c.cutBefore;
        out_.proxy.answersDropped += c.answersDropped;
        out_.proxy.commitAnswersDropped += c.commitAnswersDropped;
        out_.proxy.stalls += c.stalls;
        out_.proxy.longestStallMs = std::max(out_.proxy.longestStallMs, c.longestStallMs);
    }
    out_.plan = plan_.Counts();
    out_.waits = waits_.Summarize();
    for (const CampaignOrder& o : Orders()) {
        ++out_.started;
        out_.reported += o.reported ? 1 : 0;
        out_.failedPresses += o.failedPresses;
    }
    out_.noAnswers = shared_.noAnswers;
    out_.counterBusy = shared_.counterBusy;
    out_.badValues = shared_.badValues;
    out_.powerCuts = shared_.powerCuts;
    for (const auto& [index, storedThen] : secondProgramsBeside_)
        out_.firstProgramsStalled += terminals_.at(static_cast<size_t>(index))->StoredSoFar() > storedThen ? 0 : 1;
    out_.orders = Orders();
    for (size_t i = 0; i < out_.orders.size(); ++i) {
        const CampaignOrder& o = out_.orders[i];
        if (!o.afterOutageStart) continue;
        ++out_.overlongAfterOutage;
        out_.overlongAfterOutageStored += o.reported ? 1 : 0;
    }
    for (size_t i : out_.before.lostOrders) out_.lostOrders.push_back(i);
    for (size_t i : out_.after.lostOrders)
        if (std::find(out_.lostOrders.begin(), out_.lostOrders.end(), i) == out_.lostOrders.end())
            out_.lostOrders.push_back(i);
    for (size_t i : out_.before.brokenOrders) out_.doubledOrders.push_back(i);
    for (size_t i : out_.after.brokenOrders)
        if (std::find(out_.doubledOrders.begin(), out_.doubledOrders.end(), i) == out_.doubledOrders.end())
            out_.doubledOrders.push_back(i);
    out_.printRetries = shared_.printRetries;
    out_.restarts = shared_.restarts;
    out_.problems += shared_.Problems();
}

Outcome Run::Go() {
    QString error;
    // Jobs an earlier program left in the queue would reach this run's printer.
    if (!OnQueue(QStringLiteral("cancel"), {QStringLiteral("-a")}, &error))
        qWarning("fault campaign: %s", qPrintable(error));
    error.clear();
    EmptyOrderTables(target_.rootSocket);
    if (!printer_.Start()) error = QStringLiteral("the stand-in printer did not start");
    if (!error.isEmpty() || !StartProxies(&error)) {
        out_.problems << error;
        return out_;
    }
    start_ = bench::Clock::now();
    StartTerminals();
    Drive();
    out_.before = Check();
    RetryLeftOrders();
    out_.after = Check();
    out_.tickets = CheckTickets(Orders(), printer_, kTicketWaitSeconds);
    Collect();
    for (auto& p : proxies_) p->Stop();
    return out_;
}

}  // namespace

int Outcome::Faults() const {
    return proxy.cutBefore + proxy.answersDropped + proxy.stalls + plan.freezes + plan.crashes + plan.printEnds +
           serverKills + printerStops + queueRefusals + nodeKills + backupLocks + slowSyncSends + startsWhileDown +
           secondPrograms;
}

Outcome RunCampaign(const Target& target, const Settings& settings) { return Run(target, settings).Go(); }

}  // namespace campaign
