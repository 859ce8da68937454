// ticket_print: from ENVIAR on the real screen to the last byte of the last
// ticket at the kitchen printer (a stand-in listening on port 9100 behind
// the private CUPS's raw queue), for a 20-line order. Floor: the same
// tickets' bytes handed to the same queue with `lp -o raw`, one job each.
#include <QFile>
#include <QProcess>
#include <QThread>
#include <QTemporaryDir>
#include <cmath>
#include <mutex>
#include <optional>

#include "order_screen/pedido_r.h"
#include "printer_listener.h"
#include "support/bench_env.h"
#include "support/figures.h"
#include "support/orders.h"
#include "support/qt_program.h"
#include "support/terminal.h"
#include "support/timing.h"

namespace {

using namespace std::chrono_literals;
using order_screen::Pedido_R;
constexpr int kLines = 20;
constexpr int kRuns = 8;

// The stand-in printer with the moment each job finished arriving.
class TimedPrinter {
public:
    TimedPrinter()
        : listener_([this](const QByteArray&) {
              std::lock_guard<std::mutex> lock(m_);
              arrivals_.push_back(bench::Clock::now());
          }) {}
    bool Start(QString* error) { return listener_.Start(bench::PrinterHost(), 9100, error); }
    std::size_t Count() const { return listener_.Jobs().size(); }
    // Waits for `count` jobs in all; the arrival of the last one.
    std::optional<bench::Clock::time_point> WaitFor(std::size_t count) {
        if (!listener_.WaitForJobs(count, 60s)) return std::nullopt;
        std::lock_guard<std::mutex> lock(m_);
        return arrivals_[count - 1];
    }
    std::vector<QByteArray> Last(std::size_t n) const {
        const std::vector<QByteArray> all = listener_.Jobs();
        return {all.end() - static_cast<std::ptrdiff_t>(n), all.end()};
    }

private:
    std::mutex m_;
    std::vector<bench::Clock::time_point> arrivals_;
    printerlistener::PrinterListener listener_;
};

// One run: `start` hands the tickets over; the time until the last of
// `tickets` jobs arrived, or NaN when they did not.
template <typename F>
double TimeToLastByte(TimedPrinter& printer, std::size_t tickets, F&& start) {
    const std::size_t before = printer.Count();
    const bench::Clock::time_point t0 = bench::Clock::now();
    start();
    const std::optional<bench::Clock::time_point> last = printer.WaitFor(before + tickets);
    return last ? bench::Ms(t0, *last) : NAN;
}

void Enviar(Pedido_R* s) {
    s->Command2_Click(0);
    bench::Settle();
}

void PutOrder() {
    bench::BeginOrder(QStringLiteral("9"));
    bench::PutLinesOnScreen(kLines);
}

bool LpRaw(const QString& file) {
    QProcess p;
    p.start(QStringLiteral("lp"), {QStringLiteral("-d"), bench::PrinterQueue(), QStringLiteral("-o"),
                                   QStringLiteral("raw"), file});
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

}  // namespace

int main(int argc, char** argv) {
    auto app = bench::StartQt(argc, argv);
    TimedPrinter printer;
    QString error;
    if (!printer.Start(&error)) qFatal("the stand-in printer cannot listen: %s", qPrintable(error));
    bench::ProgramFolder folder(bench::PrinterQueue());
    bench::AnswerDialogs answers;
    bench::StartTerminal(folder, answers);
    Pedido_R* s = Pedido_R::Instance();

    // A first send finds out how many tickets a 20-line order makes.
    PutOrder();
    const std::size_t before = printer.Count();
    Enviar(s);
    QThread::sleep(3);
    const std::size_t tickets = printer.Count() - before;
    if (tickets == 0) qFatal("no ticket reached the stand-in printer");

    std::vector<double> screen, bare;
    for (int r = 0; r < kRuns; ++r) {
        PutOrder();
        screen.push_back(TimeToLastByte(printer, tickets, [&] { Enviar(s); }));
    }
    const std::vector<QByteArray> jobs = printer.Last(tickets);
    QTemporaryDir dir;
    QStringList files;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        files << dir.filePath(QStringLiteral("ticket%1.bin").arg(i));
        QFile f(files.last());
        f.open(QIODevice::WriteOnly);
        f.write(jobs[i]);
    }
    bool lpOk = true;
    for (int r = 0; r < kRuns; ++r)
        bare.push_back(TimeToLastByte(printer, tickets, [&] {
            for (const QString& file : files) lpOk = LpRaw(file) && lpOk;
        }));
    bench::Check(QStringLiteral("ticket_print_all_tickets_arrived"),
                 lpOk && answers.messages.isEmpty() && !std::isnan(bench::Mean(screen)) &&
                     !std::isnan(bench::Mean(bare)) && printer.Last(tickets) == jobs,
                 QStringLiteral("%1 tickets per order, %2 runs each; lp delivered the same bytes").arg(tickets).arg(kRuns));
    bench::PrintTime(QStringLiteral("ticket_print_20_lines_ms"), bench::Median(screen), bench::Median(bare), 1.3);
    delete s;
    return bench::ExitCode();
}
