#include "fault_campaign/campaign_run.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <memory>
#include <thread>

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

void Run::StartTerminals() {
    for (int t = 0; t < kTerminals; ++t) {
        const QString host = target_.serverHosts.value(t % target_.serverHosts.size());
        const QString journal = dir_.filePath(QStringLiteral("terminal-%1.json").arg(t));
        terminals_.push_back(std::make_unique<Terminal>(t, ThroughProxy(host), journal, shared_));
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

void Run::Disturb(const Disturbance& d) {
    QString error;
    switch (d.kind) {
        case Disturbance::Kind::KillServer:
            if (bench::RestartServer(true, &error)) ++out_.serverKills;
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
        case Disturbance::Kind::KillNode:
            if (!bench::KillClusterNode(d.node, &error)) break;
            ++out_.nodeKills;
            QThread::sleep(kNodeDownSeconds);
            bench::StartClusterNode(d.node, &error);
            break;
    }
    if (!error.isEmpty()) out_.disturbanceErrors << error;
}

void Run::Drive() {
    for (const Disturbance& d : target_.disturbances)
        if (WaitFor(d.at)) Disturb(d);
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
    std::atomic<int> unsettled{0};
    std::vector<std::thread> retries;
    for (auto& t : terminals_)
        retries.emplace_back([&, terminal = t.get()] {
            if (!terminal->Finish(deadline)) ++unsettled;
        });
    for (std::thread& t : retries) t.join();
    out_.unsettled = unsettled;
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
        return bench::CheckStored(root, AsSent(Orders()));
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
    return proxy.cutBefore + proxy.answersDropped + proxy.stalls + plan.freezes + plan.crashes + serverKills +
           printerStops + queueRefusals + nodeKills;
}

Outcome RunCampaign(const Target& target, const Settings& settings) { return Run(target, settings).Go(); }

}  // namespace campaign
