// send_order: ENVIAR on the real order screen with orders of 1, 10 and 50
// lines, the tickets going to a recording printer. Floor: every statement
// ENVIAR sends, by bare Connector/C: the send's transaction built by the
// same statement functions, then the reads the screen does when it clears;
// and one disk sync of a file the size of the order's journal entry, in the
// journal's folder (what keeping the send across a power cut physically
// costs). Also the printing alone (layout and printer bytes), per line.
#include <QTemporaryDir>
#include <QLabel>

#include "order_screen/grid.h"
#include "order_screen/pedido_r.h"
#include "sending/journal_path.h"
#include "sending/order_statements.h"
#include "sending/printing.h"
#include "sending/send_journal.h"
#include "data/module1.h"
#include "support/bare_send.h"
#include "support/disk_floor.h"
#include "support/bench_env.h"
#include "support/figures.h"
#include "support/orders.h"
#include "support/qt_program.h"
#include "support/terminal.h"
#include "support/timing.h"

namespace {

using order_screen::Pedido_R;
const QString kMesa = QStringLiteral("12");

int Repetitions(int lines) { return lines >= 50 ? 40 : 80; }

// One ENVIAR of an order of `lines` lines put on the screen; with `record`,
// the statements it sent are kept there.
double OneEnviar(Pedido_R* s, int lines, bench::RecordingConnection* record = nullptr) {
    bench::BeginOrder(kMesa);
    bench::PutLinesOnScreen(lines);
    if (record) {
        record->statements.clear();
        record->recording = true;
    }
    const double ms = bench::TimeMs([&] { s->Command2_Click(0); });
    if (record) record->recording = false;
    bench::Settle();
    return ms;
}

// The statements of one ENVIAR after its COMMIT (the screen clearing itself).
QStringList AfterCommit(const QStringList& recorded) {
    const qsizetype commit = recorded.indexOf(sending::kSqlConfirmar);
    return commit < 0 ? QStringList() : recorded.mid(commit + 1);
}

struct Measured {
    double screen = 0, bare = 0, print = 0;
};

// The screen's ENVIAR and the floor's statements take turns, so that both
// meet the same moments of the server (its log flushes, the other programs
// on the machine).
Measured MeasureLines(Pedido_R* s, bench::RecordingConnection* connection, int lines) {
    OneEnviar(s, lines);  // warm-up
    OneEnviar(s, lines, connection);
    const QStringList recorded = connection->statements;
    const QStringList after = AfterCommit(recorded);

    bench::BareClient c;
    c.Connect(bench::TerminalConnectionString());
    const order::Order order = bench::DemoOrder(kMesa, lines);
    int bareStatements = 0;
    const sending::JournalEntry journalEntry{sending::NewSendId(), order, std::nullopt, false, {}, {}, {}, {}, {}};
    const QByteArray journalBytes = sending::JournalToJson(journalEntry);
    const QString syncFile = sending::JournalFolder() + QStringLiteral("/floor_sync.json");
    auto bareEnviar = [&] {
        bench::SyncOnce(syncFile, journalBytes);
        bareStatements = bench::BareSend(c, order, sending::NewSendId(), after).statements;
    };
    bareEnviar();  // warm-up
    std::vector<double> screen, bare, print;
    for (int r = 0; r < Repetitions(lines); ++r) {
        screen.push_back(OneEnviar(s, lines));
        bare.push_back(bench::TimeMs(bareEnviar));
    }
    bench::Check(QStringLiteral("send_order_%1_floor_sends_the_same_statements").arg(lines),
                 bareStatements == recorded.size(),
                 QStringLiteral("%1 by the screen, %2 by the floor").arg(recorded.size()).arg(bareStatements));

    const sending::JournalEntry stored{QStringLiteral("bench"), order,
                                       sending::SendTry{QStringLiteral("bench"), QStringLiteral("1"),
                                                        {QDate::currentDate(), QString()}, false,
                                                        sending::TryPhase::Stored, {}},
                                       {}, {}, {}, {}, {}, 0};
    // The tickets are handed over and followed in the background, as the screen does.
    QTemporaryDir seguidos;
    sending::TicketFollower seguidor(seguidos.filePath(QStringLiteral("comandas.json")),
                                     sending::kPlazoImpresionPorDefecto);
    for (int r = 0; r < 50; ++r)
        print.push_back(bench::TimeMs([&] { sending::ImprimirComanda(stored, sending::TerminalPrintSetup(), seguidor); }));
    return {bench::Median(screen), bench::Median(bare), bench::Median(print)};
}

}  // namespace

int main(int argc, char** argv) {
    auto app = bench::StartQt(argc, argv);
    bench::ProgramFolder folder(bench::PrinterQueue());
    bench::AnswerDialogs answers;
    bench::RecordingPrinter* tickets = bench::UseRecordingPrinter();
    bench::RecordingConnection* connection = nullptr;
    bench::StartTerminal(folder, answers, &connection);
    Pedido_R* s = Pedido_R::Instance();

    std::map<int, Measured> m;
    for (int lines : {1, 10, 50}) {
        m[lines] = MeasureLines(s, connection, lines);
        bench::PrintTime(QStringLiteral("send_order_%1_lines_ms").arg(lines), m[lines].screen, m[lines].bare, 1.5);
    }
    bench::Check(QStringLiteral("send_order_stored_and_cleared"),
                 answers.messages.isEmpty() && s->Grid1->TextMatrix(1, 0).isEmpty() && tickets->jobs > 0,
                 QStringLiteral("%1 tickets, %2 bytes to the recording printer").arg(tickets->jobs).arg(tickets->bytes));
    auto perLine = [](double at1, double at50) { return (at50 - at1) / 49.0; };
    bench::Note(QStringLiteral("send_order per line: ENVIAR %1 / %2 / %3 ms per line at 1 / 10 / 50 lines; "
                               "each extra line costs %4 ms on the screen, %5 ms on the floor")
                    .arg(m[1].screen, 0, 'f', 3).arg(m[10].screen / 10, 0, 'f', 3).arg(m[50].screen / 50, 0, 'f', 3)
                    .arg(perLine(m[1].screen, m[50].screen), 0, 'f', 3).arg(perLine(m[1].bare, m[50].bare), 0, 'f', 3));
    bench::Note(QStringLiteral("send_order print cost (layout and printer bytes, in ENVIAR): %1 / %2 / %3 ms "
                               "for 1 / 10 / 50 lines, %4 ms per extra line")
                    .arg(m[1].print, 0, 'f', 3).arg(m[10].print, 0, 'f', 3).arg(m[50].print, 0, 'f', 3)
                    .arg(perLine(m[1].print, m[50].print), 0, 'f', 4));
    delete s;
    return bench::ExitCode();
}
