// soak: 8 terminals send 2,000 orders in all, each ticket printed through
// the private CUPS to a stand-in kitchen printer, while the database server
// is stopped and started again (once cleanly, once killed) and the printer
// is switched off for a while. Afterwards every order must be stored once,
// every ticket number drawn once, and the memory must not have grown after
// the warm-up.
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QThread>
#include <thread>

#include "soak/soak.h"
#include "support/bare_client.h"
#include "support/bench_env.h"
#include "support/figures.h"
#include "support/kitchen_printer.h"
#include "support/orders.h"
#include "support/process_memory.h"
#include "support/server_control.h"
#include "support/stored_orders.h"
#include "support/timing.h"
#include "support/warnings_log.h"

namespace {

using namespace soak;
using bench::KitchenPrinter;
constexpr int kPrinterOffSeconds = 3;

struct Disturbances {
    int restarts = 0, printerStops = 0;
    QString error;
    long warmRss = 0, midRss = 0, lateRss = 0, maxRss = 0;
    double seconds = 0;
};

class Run {
public:
    explicit Run(Shared& shared, KitchenPrinter& printer) : shared_(shared), printer_(printer) {}

    // Waits until `fraction` of the orders are stored (or the limit passes),
    // keeping the highest memory seen.
    bool WaitFor(double fraction) {
        while (shared_.stored < fraction * kOrders) {
            if (bench::MsSince(start_) > 15 * 60 * 1000.0) return false;
            d_.maxRss = std::max(d_.maxRss, bench::RssKb());
            QThread::msleep(50);
        }
        return true;
    }
    void Restart(bool crash) {
        QString error;
        if (bench::RestartServer(crash, &error)) ++d_.restarts;
        else d_.error += error + QStringLiteral("; ");
    }
    void SwitchPrinterOff() {
        printer_.Stop();
        QThread::sleep(kPrinterOffSeconds);
        if (printer_.Start()) ++d_.printerStops;
        else d_.error += QStringLiteral("the stand-in printer did not start again; ");
    }
    Disturbances Drive() {
        start_ = bench::Clock::now();
        bool ok = WaitFor(0.10);
        d_.warmRss = bench::RssKb();
        if (ok && WaitFor(0.20)) Restart(false);
        if (ok && WaitFor(0.40)) SwitchPrinterOff();
        if (ok && WaitFor(0.50)) d_.midRss = bench::RssKb();
        if (ok && WaitFor(0.60)) Restart(true);
        ok = ok && WaitFor(0.95);
        d_.lateRss = bench::RssKb();
        if (!ok || !WaitFor(1.0)) shared_.giveUp = true;
        d_.seconds = bench::MsSince(start_) / 1000.0;
        return d_;
    }

private:
    Shared& shared_;
    KitchenPrinter& printer_;
    Disturbances d_;
    bench::Clock::time_point start_;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    bench::RouteWarningsToLog();
    bench::UseTerminalFormats();
    Shared shared;
    shared.modelo = bench::DemoModelo();
    shared.cupsServer = qEnvironmentVariable("CUPS_SERVER");
    shared.queue = bench::PrinterQueue();
    {
        bench::BareClient root;
        bench::ConnectAsRoot(root);
        root.Run(QStringLiteral("delete from Factura_r; delete from D_Fact_r; delete from comanda; delete from envios"));
    }
    QTemporaryDir dir;
    KitchenPrinter printer(dir.filePath(QStringLiteral("comandas.bin")));
    if (!bench::Check(QStringLiteral("soak_printer_listens"), printer.Start())) return bench::ExitCode();

    std::vector<std::vector<SoakOrder>> all;
    for (int t = 0; t < kTerminals; ++t) all.push_back(OrdersOf(t, kOrders / kTerminals));
    std::vector<std::thread> terminals;
    for (int t = 0; t < kTerminals; ++t) terminals.emplace_back([&, t] { RunTerminal(t, all[t], shared); });
    Run run(shared, printer);
    const Disturbances d = run.Drive();
    for (std::thread& th : terminals) th.join();

    int failedSends = 0, retried = 0, stored = 0;
    std::vector<double> ms;
    QSet<QString> printed;
    for (const auto& orders : all)
        for (const SoakOrder& o : orders) {
            failedSends += o.failedSends;
            retried += o.failedSends > 0 ? 1 : 0;
            stored += o.stored ? 1 : 0;
            if (o.stored) ms.push_back(o.ms);
            if (o.ticketPrinted) printed.insert(o.numero);
        }
    std::map<QString, int> expected;
    for (const QString& n : printed) expected[n] = 1;
    const std::map<QString, int> received = printer.WaitForTickets(expected, 120);
    int arrived = 0, printedTwice = 0;
    for (const QString& n : printed) {
        const auto it = received.find(n);
        arrived += it != received.end() ? 1 : 0;
        printedTwice += it != received.end() && it->second > 1 ? 1 : 0;
    }
    bench::BareClient root;
    bench::ConnectAsRoot(root);
    const bench::StoredCheck c = bench::CheckStored(root, AsSent(all));

    bench::Note(QStringLiteral("soak: %1 orders by %2 terminals in %3 s; %4 restarts of the server, printer off %5 time(s) for %13 s; "
                               "%6 sends failed, %7 orders needed ENVIAR again; send p50 %8 ms, p99 %9 ms, max %10 ms; "
                               "%11 tickets printed twice; %12 warnings in the log")
                    .arg(stored).arg(kTerminals).arg(d.seconds, 0, 'f', 1).arg(d.restarts).arg(d.printerStops)
                    .arg(failedSends).arg(retried).arg(bench::Median(ms), 0, 'f', 1)
                    .arg(bench::Percentile(ms, 99), 0, 'f', 1).arg(bench::Percentile(ms, 100), 0, 'f', 0)
                    .arg(printedTwice).arg(bench::WarningCount()).arg(kPrinterOffSeconds));
    bench::Check(QStringLiteral("soak_disturbances_done"), d.restarts == 2 && d.printerStops == 1 && d.error.isEmpty(), d.error);
    bench::Check(QStringLiteral("soak_every_order_stored_once"),
                 stored == kOrders && c.storedOnce == kOrders && c.lost == 0 && c.doubled == 0,
                 QStringLiteral("%1 of %2 stored once, %3 lost, %4 doubled %5").arg(c.storedOnce).arg(kOrders)
                     .arg(c.lost).arg(c.doubled).arg(c.firstProblem));
    bench::Check(QStringLiteral("soak_no_ticket_number_twice"), c.ticketNumbersTwice == 0,
                 QStringLiteral("%1 ticket numbers drawn twice").arg(c.ticketNumbersTwice));
    bench::PrintRate(QStringLiteral("soak_orders_stored_once"), c.storedOnce, kOrders, 1.0);
    bench::PrintRate(QStringLiteral("soak_tickets_at_printer"), arrived, printed.size(), 1.0);
    bench::PrintTime(QStringLiteral("soak_rss_kb"), double(d.lateRss), double(d.warmRss), 1.05);
    bench::Note(QStringLiteral("soak memory: %1 KiB after 10% of the orders, %2 KiB at 50%, %3 KiB at 95%, highest %4 KiB")
                    .arg(d.warmRss).arg(d.midRss).arg(d.lateRss).arg(d.maxRss));
    return bench::ExitCode();
}
