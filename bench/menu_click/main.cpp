// menu_click: clicks through the real order screen's menu handlers (main
// menu → BEBIDAS → JUGOS NATURALES → back), each click timed with the repaint
// of the buttons it changed. Floor: the SELECT statements each click sends,
// recorded from the terminal's own connection, sent by bare Connector/C.
#include <QEvent>
#include <QPushButton>
#include <array>

#include "order_screen/pedido_r.h"
#include "support/bare_client.h"
#include "support/bench_env.h"
#include "support/figures.h"
#include "support/qt_program.h"
#include "support/terminal.h"
#include "support/timing.h"

namespace {

using order_screen::Pedido_R;
constexpr int kClicks = 1000;
constexpr int kWarmUp = 60;
constexpr int kSteps = 3;  // menu, submenu, back

// Counts the paint events of the menu buttons: proof that a click's time
// includes drawing the buttons it changed.
class PaintCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
    long long paints = 0;
};

// The handler alone (statements and button captions, colours, pictures).
void Handle(Pedido_R* s, int step) {
    switch (step) {
        case 0: s->bmenu_Click(5); break;  // BEBIDAS, a menu of the main menu
        case 1: s->bmenu_Click(0); break;  // JUGOS NATURALES, a submenu in it
        default: s->regre3_Click(); break;  // back to the main menu
    }
}

// A whole click: the handler, then the repaint of what it changed.
void Click(Pedido_R* s, int step) {
    Handle(s, step);
    bench::Settle();
}

// What each step must show afterwards: the first button of the level.
bool StepShows(Pedido_R* s, int step) {
    static const std::array<QString, kSteps> kExpected{
        QStringLiteral("JUGOS NATURALES"), QStringLiteral("JUGO DE NARANJA"), QStringLiteral("ENTRADAS")};
    return s->bmenu[0]->text() == kExpected[step];
}

struct Timed {
    std::vector<double> screen, bare, handler, repaint;
};

// The screen's click and the floor's statements of the same click take
// turns, so that both meet the same moments of the server and the machine.
Timed TimeClicks(Pedido_R* s, const std::array<QStringList, kSteps>& statements) {
    bench::BareClient c;
    c.Connect(bench::TerminalConnectionString());
    auto bareClick = [&](int step) {
        for (const QString& sql : statements[step]) c.Run(sql);
    };
    for (int i = 0; i < kWarmUp; ++i) bareClick(i % kSteps);
    Timed t;
    t.screen.reserve(kClicks);
    t.bare.reserve(kClicks);
    for (int i = 0; i < kClicks; ++i) {
        const bench::Clock::time_point start = bench::Clock::now();
        Handle(s, i % kSteps);
        const bench::Clock::time_point handled = bench::Clock::now();
        bench::Settle();
        const bench::Clock::time_point painted = bench::Clock::now();
        t.screen.push_back(bench::Ms(start, painted));
        t.handler.push_back(bench::Ms(start, handled));
        t.repaint.push_back(bench::Ms(handled, painted));
        t.bare.push_back(bench::TimeMs([&] { bareClick(i % kSteps); }));
    }
    return t;
}

}  // namespace

int main(int argc, char** argv) {
    auto app = bench::StartQt(argc, argv);
    bench::ProgramFolder folder{QString()};
    bench::AnswerDialogs answers;
    bench::RecordingConnection* connection = nullptr;
    bench::StartTerminal(folder, answers, &connection);
    Pedido_R* s = Pedido_R::Instance();
    bench::BeginOrder(QStringLiteral("7"));
    bench::Settle();

    for (int i = 0; i < kWarmUp; ++i) Click(s, i % kSteps);
    // One round recorded: the statements of each kind of click.
    std::array<QStringList, kSteps> statements;
    bool levelsRight = true;
    for (int step = 0; step < kSteps; ++step) {
        connection->statements.clear();
        connection->recording = true;
        Click(s, step);
        connection->recording = false;
        statements[step] = connection->statements;
        levelsRight = levelsRight && StepShows(s, step);
    }
    bench::Check(QStringLiteral("menu_click_levels_shown"), levelsRight && answers.messages.isEmpty(),
                 QStringLiteral("BEBIDAS, JUGOS NATURALES and the main menu drawn"));

    PaintCounter counter;
    for (QPushButton* b : s->bmenu) b->installEventFilter(&counter);
    const Timed t = TimeClicks(s, statements);
    for (QPushButton* b : s->bmenu) b->removeEventFilter(&counter);

    bench::Note(QStringLiteral("menu_click: %1 clicks; statements per click: menu %2, submenu %3, back %4; "
                               "%5 button repaints per click on average")
                    .arg(kClicks)
                    .arg(statements[0].size())
                    .arg(statements[1].size())
                    .arg(statements[2].size())
                    .arg(double(counter.paints) / kClicks, 0, 'f', 1));
    bench::Note(QStringLiteral("menu_click p50 split: handler %1 ms (statements on the floor %2 ms), repaint %3 ms")
                    .arg(bench::Median(t.handler), 0, 'f', 3).arg(bench::Median(t.bare), 0, 'f', 3)
                    .arg(bench::Median(t.repaint), 0, 'f', 3));
    bench::PrintTime(QStringLiteral("menu_click_p50_ms"), bench::Median(t.screen), bench::Median(t.bare), 1.5);
    bench::PrintTime(QStringLiteral("menu_click_p99_ms"), bench::Percentile(t.screen, 99),
                     bench::Percentile(t.bare, 99), std::nullopt);
    delete s;
    return bench::ExitCode();
}
