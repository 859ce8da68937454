// memory: the peak resident memory of the real terminal after 500 lines
// entered by clicking menu buttons (quantity answered 1, no note) and sent
// in 50 orders of 10, against a bare Qt window that connected once.
// The tickets go to a printer that keeps only their count.
#include <QProcess>
#include <QRegularExpression>

#include "order_screen/grid.h"
#include "order_screen/pedido_r.h"
#include "support/bench_env.h"
#include "support/figures.h"
#include "support/process_memory.h"
#include "support/qt_program.h"
#include "support/terminal.h"

namespace {

using order_screen::Pedido_R;
constexpr int kSends = 50;
constexpr int kLinesEach = 10;

// PEPSI-COLA from the BEBIDAS menu, the way a waiter enters it.
void EnterLine(Pedido_R* s) {
    s->regre3_Click();
    s->bmenu_Click(5);
    s->bmenu_Click(2);
    bench::Settle();
}

struct BareMemory {
    long peak = 0, anon = 0, file = 0;
};

BareMemory BareWindowMemory() {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(BARE_WINDOW_BINARY), {QStringLiteral("--memory")});
    p.waitForFinished(60000);
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("peak_rss_kb=(\\d+) anon_kb=(\\d+) file_kb=(\\d+)"))
            .match(QString::fromUtf8(p.readAllStandardOutput()));
    if (!m.hasMatch()) return {};
    return {m.captured(1).toLong(), m.captured(2).toLong(), m.captured(3).toLong()};
}

}  // namespace

int main(int argc, char** argv) {
    auto app = bench::StartQt(argc, argv);
    bench::ProgramFolder folder(bench::PrinterQueue());
    bench::AnswerDialogs answers;
    bench::RecordingPrinter* tickets = bench::UseRecordingPrinter();
    bench::StartTerminal(folder, answers);
    Pedido_R* s = Pedido_R::Instance();

    int entered = 0;
    bool allEntered = true;
    for (int o = 0; o < kSends; ++o) {
        bench::BeginOrder(QString::number(1 + o % 20));
        for (int l = 0; l < kLinesEach; ++l) EnterLine(s);
        entered += s->Num_Items();
        allEntered = allEntered && s->Num_Items() == kLinesEach;
        s->Command2_Click(0);
        bench::Settle();
    }
    const long peak = bench::PeakRssKb();
    bench::Check(QStringLiteral("memory_lines_entered_and_sent"),
                 allEntered && answers.messages.isEmpty() && s->Grid1->TextMatrix(1, 0).isEmpty(),
                 QStringLiteral("%1 lines in %2 sends, %3 tickets").arg(entered).arg(kSends).arg(tickets->jobs));
    const long anon = bench::AnonymousRssKb(), file = bench::FileRssKb();
    const BareMemory bare = BareWindowMemory();
    bench::Note(QStringLiteral("memory now: terminal %1 KiB its own + %2 KiB mapped files; bare window %3 + %4 KiB")
                    .arg(anon).arg(file).arg(bare.anon).arg(bare.file));
    bench::PrintTime(QStringLiteral("memory_peak_rss_kb"), double(peak), double(bare.peak), 1.5);
    delete s;
    return bench::ExitCode();
}
