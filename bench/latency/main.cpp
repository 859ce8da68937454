// latency: the real order screen against the bench database through the
// delay proxy (bench/support/delay_proxy), at round trips of 0, 5, 20 and
// 50 ms: what a waiter on a Wi-Fi tablet waits for, or one whose restaurant
// keeps its server in another building. Timed: a menu button click with its
// repaint, a product that asks a quantity until its line is in the grid,
// ENVIAR of 1, 10 and 50 lines until the screen is back at the waiter/table
// panel, and start-up from loading the start-up form (a new connection) to
// the order screen shown. Floor: the fewest round trips the action needs
// times the round trip, plus the same action's median at 0 ms in this run.
// Next to it, the round trips the proxy counted for each action at 0 ms:
// what the code takes today.
#include <QCoreApplication>
#include <QDateTime>
#include <QGroupBox>
#include <QPushButton>
#include <array>
#include <map>

#include "order_screen/grid.h"
#include "order_screen/order_lines.h"
#include "order_screen/pedido_r.h"
#include "data/module1.h"
#include "support/bare_client.h"
#include "support/bench_env.h"
#include "support/delay_proxy.h"
#include "support/figures.h"
#include "support/orders.h"
#include "support/qt_program.h"
#include "support/stored_orders.h"
#include "support/terminal.h"
#include "support/timing.h"

namespace {

using order_screen::Pedido_R;

// The fewest round trips each action needs:
// a menu click: the button's row, then its children (a query built from the row's answer);
constexpr double kMenuClickTrips = 2;
// a product: its row and its cost row can be asked together;
constexpr double kProductTrips = 1;
// ENVIAR, any lines: the counter is read before it is written; the rest goes with the write and COMMIT;
constexpr double kEnviarTrips = 2;
// start-up (TCP handshake local to the proxy): greeting 0.5, log-in 1, start-up queries 1, screen's load 1.
constexpr double kStartupTrips = 3.5;

constexpr std::array<int, 4> kRoundTripsMs{0, 5, 20, 50};

// Repetitions at a round trip: fewer where each one is long, so the whole
// program stays within about three minutes. Menu clicks and products are
// cheap; ENVIAR and start-up take many round trips each.
int QuickRepetitions(int rttMs) { return rttMs == 0 ? 41 : rttMs <= 5 ? 31 : rttMs <= 20 ? 21 : 15; }
int SlowRepetitions(int rttMs) { return rttMs == 0 ? 21 : rttMs <= 5 ? 15 : rttMs <= 20 ? 11 : 9; }

const QString kMesa = QStringLiteral("21");
// A product of the main menu that asks only its quantity (no side dishes, no cooking point).
const QString kProduct = QStringLiteral("B029");

struct Action {
    QString name;
    double trips;  // the fewest round trips it needs
};
const std::array<Action, 6> kActions{{{QStringLiteral("menu_click"), kMenuClickTrips},
                                      {QStringLiteral("product_qty"), kProductTrips},
                                      {QStringLiteral("enviar1"), kEnviarTrips},
                                      {QStringLiteral("enviar10"), kEnviarTrips},
                                      {QStringLiteral("enviar50"), kEnviarTrips},
                                      {QStringLiteral("startup"), kStartupTrips}}};

// One run of the bench: the terminal, the proxy in front of its server, and
// what each action took.
class Run {
public:
    Run(bench::DelayProxy& proxy, const bench::ProgramFolder& folder, bench::AnswerDialogs& answers)
        : proxy_(proxy), folder_(folder), answers_(answers),
          tag_(QStringLiteral("lat%1").arg(QDateTime::currentSecsSinceEpoch(), 0, 36)) {}

    // Every action at one round trip; `record` keeps the samples.
    void At(int rttMs, bool record);
    void Print(int rttMs) const;

    // Screens that did not end as the action should have left them.
    int wrong = 0;
    std::vector<bench::SentOrder> sent;

private:
    // Times `f` and counts the round trips the proxy saw meanwhile.
    template <typename F>
    void Timed(const QString& name, bool record, F&& f) {
        proxy_.ResetCounts();
        const double ms = bench::TimeMs(f);
        if (!record) return;
        ms_[name].push_back(ms);
        trips_[name].push_back(bench::RoundTrips(proxy_.Counts()));
    }
    void MenuClicks(bool record);
    void Product(bool record);
    void Enviar(int lines, bool record);
    void Startup(bool record);

    bench::DelayProxy& proxy_;
    const bench::ProgramFolder& folder_;
    bench::AnswerDialogs& answers_;
    Pedido_R* s_ = Pedido_R::Instance();
    QString tag_;  // this run's mark on the chefs' notes of its orders
    std::map<QString, std::vector<double>> ms_, trips_;  // samples at the round trip being measured
    std::map<QString, double> atZero_;  // each action's median at 0 ms
};

// BEBIDAS on the main menu, then JUGOS NATURALES in it: two timed clicks,
// each with the repaint of the buttons it changed; back to the main menu
// untimed.
void Run::MenuClicks(bool record) {
    Timed(QStringLiteral("menu_click"), record, [&] {
        s_->bmenu_Click(5);
        bench::Settle();
    });
    wrong += s_->bmenu[0]->text() != QStringLiteral("JUGOS NATURALES");
    Timed(QStringLiteral("menu_click"), record, [&] {
        s_->bmenu_Click(0);
        bench::Settle();
    });
    wrong += s_->bmenu[0]->text() != QStringLiteral("JUGO DE NARANJA");
    s_->regre3_Click();
    bench::Settle();
}

// From the product chosen until its line is in the grid: the quantity is
// asked (answered 1) and the note to the chef declined. Its button's own
// row is read as any menu button's, which menu_click times.
void Run::Product(bool record) {
    const int before = s_->Num_Items;
    Timed(QStringLiteral("product_qty"), record, [&] {
        Module1::Producto_Sel = kProduct;
        s_->buscar_arti1();
        bench::Settle();
    });
    wrong += s_->Num_Items != before + 1 ||
             s_->Grid1->TextMatrix(before + 1, order_screen::kColCodigo) != kProduct;
}

// An order of `lines` lines taken on the screen, then ENVIAR until the
// screen is back at the waiter/table panel. Each line carries a chef's note
// of its own, by which the check finds it stored.
void Run::Enviar(int lines, bool record) {
    bench::BeginOrder(kMesa);
    bench::Settle();
    bench::SentOrder order;
    for (int i = 0; i < lines; ++i) {
        const QString note = QStringLiteral("%1-o%2-l%3").arg(tag_).arg(sent.size()).arg(i);
        const order::Line line = bench::DemoLine(i, note);
        order_screen::AppendLine(*s_->Grid1, *s_->Grid2, s_->Pedido, line, s_->Num_Items, s_->Num_Contornos);
        order.lineas.push_back(line);
    }
    sent.push_back(order);
    Timed(QStringLiteral("enviar%1").arg(lines), record, [&] {
        s_->Command2_Click(0);
        bench::Settle();
    });
    wrong += s_->Frame3->isHidden() || !s_->Grid1->TextMatrix(1, order_screen::kColCodigo).isEmpty();
}

// The terminal closed, then started again from its start-up form: a new
// connection through the proxy. Boxes it shows are kept with the others.
void Run::Startup(bool record) {
    s_->Form_Unload();
    delete s_;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // the last start-up form
    bench::AnswerDialogs startAnswers;
    Timed(QStringLiteral("startup"), record, [&] { bench::StartTerminal(folder_, startAnswers); });
    answers_.messages << startAnswers.messages;
    dialogs::Install(&answers_);
    s_ = Pedido_R::Instance();
    wrong += s_->isHidden() || s_->Frame3->isHidden();
}

void Run::At(int rttMs, bool record) {
    proxy_.SetOneWayDelay(std::chrono::microseconds(rttMs * 1000 / 2));
    const int quick = record ? QuickRepetitions(rttMs) : 1, slow = record ? SlowRepetitions(rttMs) : 1;
    ms_.clear();
    trips_.clear();
    bench::BeginOrder(kMesa);
    bench::Settle();
    for (int r = 0; r < quick; ++r) MenuClicks(record);
    for (int r = 0; r < quick; ++r) Product(record);
    s_->Command2_Click(1);  // LIMPIAR: the products go
    for (int lines : {1, 10, 50})
        for (int r = 0; r < slow; ++r) Enviar(lines, record);
    for (int r = 0; r < slow; ++r) Startup(record);
    if (record && rttMs == 0)
        for (const Action& a : kActions) atZero_[a.name] = bench::Median(ms_.at(a.name));
}

void Run::Print(int rttMs) const {
    for (const Action& a : kActions) {
        const std::vector<double>& ms = ms_.at(a.name);
        const QString name = QStringLiteral("latency_%1_%2ms").arg(a.name).arg(rttMs);
        // At 0 ms the floor is the figure itself: shown, but no goal to meet.
        const std::optional<double> goal = rttMs == 0 ? std::nullopt : std::optional<double>(1.5);
        bench::PrintTime(name, bench::Median(ms), a.trips * rttMs + atZero_.at(a.name), goal);
        if (rttMs == 0) bench::PrintCount(QStringLiteral("latency_%1_roundtrips").arg(a.name),
                                          bench::Median(trips_.at(a.name)), 1);
    }
}

// Every line of every order sent is in D_Fact_r once and in comanda once.
void CheckStored(const Run& run, const bench::AnswerDialogs& answers) {
    bench::BareClient root;
    bench::ConnectAsRoot(root);
    bench::StoredRows rows = bench::ReadStoredRows(root);
    int once = 0;
    for (const bench::SentOrder& o : run.sent) {
        bool all = true;
        for (const order::Line& linea : o.lineas) {
            const QString note = linea.observacion;
            all = all && rows.lines[note].count == 1 && rows.ticketLines[note].count == 1;
        }
        once += all ? 1 : 0;
    }
    bench::Check(QStringLiteral("latency_orders_stored_once"),
                 once == static_cast<int>(run.sent.size()) && rows.numbersTwice == 0 && answers.messages.isEmpty(),
                 QStringLiteral("%1 of %2 orders stored once, %3 ticket numbers twice, %4 messages shown")
                     .arg(once).arg(run.sent.size()).arg(rows.numbersTwice).arg(answers.messages.size()));
}

}  // namespace

int main(int argc, char** argv) {
    auto app = bench::StartQt(argc, argv);
    const bench::Clock::time_point begun = bench::Clock::now();
    bench::DelayProxy proxy(bench::DelayProxyHost().toStdString(), bench::kDbPort, bench::DbHost().toStdString(),
                            bench::kDbPort);
    std::string error;
    if (!bench::Check(QStringLiteral("latency_proxy_listens"), proxy.Start(&error), QString::fromStdString(error)))
        return bench::ExitCode();
    bench::ProgramFolder folder(bench::PrinterQueue(), bench::DelayProxyHost());
    bench::AnswerDialogs answers;
    bench::RecordingPrinter* tickets = bench::UseRecordingPrinter();
    bench::StartTerminal(folder, answers);

    Run run(proxy, folder, answers);
    run.At(0, false);  // warm-up: the server's caches and the screen's first paints
    for (int rtt : kRoundTripsMs) {
        run.At(rtt, true);
        run.Print(rtt);
    }
    CheckStored(run, answers);
    bench::Check(QStringLiteral("latency_screens_as_expected"), run.wrong == 0 && tickets->jobs > 0,
                 QStringLiteral("%1 actions left the screen otherwise; %2 tickets printed")
                     .arg(run.wrong).arg(tickets->jobs));
    bench::Note(QStringLiteral("latency: %1 repetitions of menu clicks and products and %2 of ENVIAR and start-up at "
                               "0 ms (%3 / %4 at 50 ms); %5 s in all")
                    .arg(QuickRepetitions(0)).arg(SlowRepetitions(0)).arg(QuickRepetitions(50)).arg(SlowRepetitions(50))
                    .arg(bench::MsSince(begun) / 1000, 0, 'f', 0));
    delete Pedido_R::Instance();
    return bench::ExitCode();
}
