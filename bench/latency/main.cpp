// latency: the real order screen against the bench database through the
// delay proxy (bench/support/delay_proxy), at round trips of 0, 5, 20 and
// 50 ms: what a waiter on a Wi-Fi tablet waits for, or one whose restaurant
// keeps its server in another building. Timed: a menu button click with its
// repaint, a product that asks a quantity until its line is in the grid,
// ENVIAR of 1, 10 and 50 lines until the screen is back at the waiter/table
// panel, and start-up from loading the start-up form (a new connection) to
// the order screen shown. Floor: the fewest round trips the action needs
// times the round trip, plus the same action's median at 0 ms in this run.
// Next to it, the round trips the proxy counted for each action: by
// packets at 0 ms, and by turns (the client speaking again after the server
// spoke) at 20 ms: what the code takes today.
// Then ENVIAR and start-up again over TLS, at 0 and 20 ms: the proxy lets
// the server's offer of TLS through and the terminal encrypts (said by a
// CHECK line, from the session's Ssl_cipher); for the plain figures above
// it takes the offer out. The floor of a TLS start-up counts the round
// trips of a bare Connector/C client that logs in with TLS and asks twice.
// Last, when scripts/bench started the Galera cluster, ENVIAR and start-up
// at 0 and 20 ms with the proxy in front of cluster node 1 instead (said by
// a CHECK line, from the session's @@wsrep_on): a cluster node needs the
// same round trips as one server.
#include <QCoreApplication>
#include <QDateTime>
#include <QGroupBox>
#include <QPushButton>
#include <algorithm>
#include <array>
#include <map>
#include <vector>

#include "order_screen/grid.h"
#include "order_screen/order_lines.h"
#include "order_screen/pedido_r.h"
#include "data/module1.h"
#include "runtime/configuration.h"
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
// Over TLS and on a cluster node: the floor's own figure and the round trip of a server in another building.
constexpr std::array<int, 2> kSecondSeriesRttMs{0, 20};
// The round trip at which turns are counted: long enough that what the
// server says unasked (TLS session tickets) reaches the proxy after the
// client's next words, as it would on the way to a distant server.
constexpr int kTurnsRttMs = 20;

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
using Actions = std::vector<Action>;

// Every action, on a plain connection.
Actions PlainActions() {
    return {{QStringLiteral("menu_click"), kMenuClickTrips}, {QStringLiteral("product_qty"), kProductTrips},
            {QStringLiteral("enviar1"), kEnviarTrips},       {QStringLiteral("enviar10"), kEnviarTrips},
            {QStringLiteral("enviar50"), kEnviarTrips},      {QStringLiteral("startup"), kStartupTrips}};
}

// ENVIAR and start-up, over TLS (the encryption changes what a log-in
// needs; ENVIAR needs the same round trips, each a little longer) and on a
// cluster node.
Actions SendAndStartActions(double startupTrips) {
    return {{QStringLiteral("enviar1"), kEnviarTrips},
            {QStringLiteral("enviar10"), kEnviarTrips},
            {QStringLiteral("enviar50"), kEnviarTrips},
            {QStringLiteral("startup"), startupTrips}};
}

bool Has(const Actions& actions, const QString& name) {
    return std::any_of(actions.begin(), actions.end(), [&](const Action& a) { return a.name == name; });
}

// One run of the bench: the terminal, the proxy in front of its server, and
// what each action took.
class Run {
public:
    // `series` names its figures ("": latency_enviar1_20ms; "tls": latency_tls_enviar1_20ms;
    // "cluster": latency_cluster_enviar1_20ms).
    Run(bench::DelayProxy& proxy, const bench::ProgramFolder& folder, bench::AnswerDialogs& answers,
        const QString& series, Actions actions)
        : proxy_(proxy), folder_(folder), answers_(answers), actions_(std::move(actions)),
          prefix_(series.isEmpty() ? QStringLiteral("latency_") : QStringLiteral("latency_%1_").arg(series)),
          tag_(QStringLiteral("lat%1%2").arg(series).arg(QDateTime::currentSecsSinceEpoch(), 0, 36)) {}

    // Each of its actions at one round trip; `record` keeps the samples.
    void At(int rttMs, bool record);
    void Print(int rttMs) const;
    // The terminal started again, untimed: its connection goes as the proxy lets it now.
    void Restart() { Startup(false); }

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
        const bench::DelayCounts counts = proxy_.Counts();
        trips_[name].push_back(bench::RoundTrips(counts));
        turns_[name].push_back(bench::RoundTripsByTurns(counts));
    }
    void MenuClicks(bool record);
    void Product(bool record);
    void Enviar(int lines, bool record);
    void Startup(bool record);

    bench::DelayProxy& proxy_;
    const bench::ProgramFolder& folder_;
    bench::AnswerDialogs& answers_;
    Pedido_R* s_ = Pedido_R::Instance();
    Actions actions_;
    QString prefix_;
    QString tag_;  // this run's mark on the chefs' notes of its orders
    // Samples at the round trip being measured: times, round trips by packets and by turns.
    std::map<QString, std::vector<double>> ms_, trips_, turns_;
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
    const int before = s_->Num_Items();
    Timed(QStringLiteral("product_qty"), record, [&] {
        Module1::Producto_Sel = kProduct;
        s_->buscar_arti1();
        bench::Settle();
    });
    wrong += s_->Num_Items() != before + 1 ||
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
        order_screen::AppendLine(*s_->Grid1, *s_->Grid2, s_->Pedido, line, s_->Num_Contornos);
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
    turns_.clear();
    bench::BeginOrder(kMesa);
    bench::Settle();
    if (Has(actions_, QStringLiteral("menu_click")))
        for (int r = 0; r < quick; ++r) MenuClicks(record);
    if (Has(actions_, QStringLiteral("product_qty"))) {
        for (int r = 0; r < quick; ++r) Product(record);
        s_->Command2_Click(1);  // LIMPIAR: the products go
    }
    for (int lines : {1, 10, 50})
        for (int r = 0; r < slow; ++r) Enviar(lines, record);
    for (int r = 0; r < slow; ++r) Startup(record);
    if (record && rttMs == 0)
        for (const Action& a : actions_) atZero_[a.name] = bench::Median(ms_.at(a.name));
}

void Run::Print(int rttMs) const {
    // The packets of encrypted sessions cannot be read: round trips by packets for plain ones only.
    const bool plain = prefix_ == QStringLiteral("latency_");
    for (const Action& a : actions_) {
        const std::vector<double>& ms = ms_.at(a.name);
        const QString name = QStringLiteral("%1%2_%3ms").arg(prefix_, a.name).arg(rttMs);
        // At 0 ms the floor is the figure itself: shown, but no goal to meet.
        const std::optional<double> goal = rttMs == 0 ? std::nullopt : std::optional<double>(1.5);
        bench::PrintTime(name, bench::Median(ms), a.trips * rttMs + atZero_.at(a.name), goal);
        if (rttMs == 0 && plain)
            bench::PrintCount(QStringLiteral("%1%2_roundtrips").arg(prefix_, a.name), bench::Median(trips_.at(a.name)),
                              1);
        if (rttMs == kTurnsRttMs)
            bench::PrintCount(QStringLiteral("%1%2_turns").arg(prefix_, a.name), bench::Median(turns_.at(a.name)), 1);
    }
}

// The fewest round trips of a start-up: a bare Connector/C client logs in
// through the proxy (with TLS when the proxy lets the server offer it) and
// asks twice, as the terminal's start-up queries and the screen's load go
// (each several statements in one text); counted by turns, at kTurnsRttMs.
// The fewest of a few tries: the terminal's own connection, idle meanwhile,
// may still speak during one.
double BareStartupTrips(bench::DelayProxy& proxy, bool tls) {
    proxy.SetOneWayDelay(std::chrono::microseconds(kTurnsRttMs * 1000 / 2));
    double fewest = 0;
    QString cipher;
    for (int i = 0; i < 3; ++i) {
        proxy.ResetCounts();
        bench::BareClient c;
        c.SetTlsWhenOffered(tls);
        c.Connect(rt::BuildConnectionString(bench::DbName(), bench::DelayProxyHost()));
        c.RowsTogether({QStringLiteral("select now() as fecha_mysql"), QStringLiteral("select 1")});
        c.RowsTogether({QStringLiteral("select count(*) from mantenimiento"), QStringLiteral("select 2")});
        const double trips = bench::RoundTripsByTurns(proxy.Counts());
        fewest = i == 0 ? trips : std::min(fewest, trips);
        cipher = c.Cipher();
    }
    bench::Check(tls ? QStringLiteral("latency_tls_bare_client_encrypted") : QStringLiteral("latency_bare_client_plain"),
                 cipher.isEmpty() != tls, QStringLiteral("cipher \"%1\"").arg(cipher));
    return fewest;
}

// The terminal's own session: its TLS cipher, empty for plain text.
QString TerminalCipher() {
    data::ResultSet r = Module1::Conexion->Query(QStringLiteral("SHOW SESSION STATUS LIKE 'Ssl_cipher'"));
    return r.IsEof() ? QString() : r.Field(1).ToTextOrEmpty();
}

// Whether the terminal's session is on a Galera cluster node.
bool TerminalOnClusterNode() {
    try {
        data::ResultSet r = Module1::Conexion->Query(QStringLiteral("select @@wsrep_on"));
        return !r.IsEof() && r.Field(0).IsNonZero();
    } catch (const rt::RuntimeError&) {
        return false;
    }
}

// Every line of every order the runs sent is in D_Fact_r once and in
// comanda once, read as root on the server of `rootSocket`.
void CheckStored(const QString& name, const std::vector<const Run*>& runs, const QString& rootSocket,
                 const bench::AnswerDialogs& answers) {
    bench::BareClient root;
    bench::ConnectRootOn(root, rootSocket);
    bench::StoredRows rows = bench::ReadStoredRows(root);
    std::vector<bench::SentOrder> sent;
    for (const Run* run : runs) sent.insert(sent.end(), run->sent.begin(), run->sent.end());
    int once = 0;
    for (const bench::SentOrder& o : sent) {
        bool all = true;
        for (const order::Line& linea : o.lineas) {
            const QString note = linea.observacion;
            all = all && rows.lines[note].count == 1 && rows.ticketLines[note].count == 1;
        }
        once += all ? 1 : 0;
    }
    bench::Check(name, once == static_cast<int>(sent.size()) && rows.numbersTwice == 0 && answers.messages.isEmpty(),
                 QStringLiteral("%1 of %2 orders stored once, %3 ticket numbers twice, %4 messages shown")
                     .arg(once).arg(sent.size()).arg(rows.numbersTwice).arg(answers.messages.size()));
}

}  // namespace

int main(int argc, char** argv) {
    auto app = bench::StartQt(argc, argv);
    const bench::Clock::time_point begun = bench::Clock::now();
    // Plain text first: the proxy takes the server's offer of TLS out of its greeting.
    bench::DelayProxy proxy(bench::DelayProxyHost().toStdString(), bench::kDbPort, bench::DbHost().toStdString(),
                            bench::kDbPort, bench::TlsPassage::Strip);
    std::string error;
    if (!bench::Check(QStringLiteral("latency_proxy_listens"), proxy.Start(&error), QString::fromStdString(error)))
        return bench::ExitCode();
    bench::ProgramFolder folder(bench::PrinterQueue(), bench::DelayProxyHost());
    bench::AnswerDialogs answers;
    bench::RecordingPrinter* tickets = bench::UseRecordingPrinter();
    bench::StartTerminal(folder, answers);

    Run run(proxy, folder, answers, QString(), PlainActions());
    bench::Check(QStringLiteral("latency_session_plain"), TerminalCipher().isEmpty(), TerminalCipher());
    run.At(0, false);  // warm-up: the server's caches and the screen's first paints
    for (int rtt : kRoundTripsMs) {
        run.At(rtt, true);
        run.Print(rtt);
    }
    const double plainStartupTrips = BareStartupTrips(proxy, false);

    // Over TLS: the offer goes through, and the terminal started again encrypts.
    proxy.SetTlsPassage(bench::TlsPassage::Pass);
    const double tlsStartupTrips = BareStartupTrips(proxy, true);
    bench::Note(QStringLiteral("latency: a bare client's start-up takes %1 round trips plain, %2 over TLS "
                               "(by turns; the plain floor counts %3)")
                    .arg(plainStartupTrips).arg(tlsStartupTrips).arg(kStartupTrips));
    Run tls(proxy, folder, answers, QStringLiteral("tls"), SendAndStartActions(tlsStartupTrips));
    tls.Restart();
    const QString cipher = TerminalCipher();
    if (bench::Check(QStringLiteral("latency_tls_session_encrypted"), !cipher.isEmpty(),
                     cipher.isEmpty() ? QStringLiteral("the terminal's session is plain text")
                                      : QStringLiteral("the terminal's session uses %1").arg(cipher))) {
        tls.At(0, false);
        for (int rtt : kSecondSeriesRttMs) {
            tls.At(rtt, true);
            tls.Print(rtt);
        }
    }
    CheckStored(QStringLiteral("latency_orders_stored_once"), {&run, &tls}, bench::DbSocket(), answers);
    int wrong = run.wrong + tls.wrong;

    // On cluster node 1: the same proxy address in front of it, plain text.
    if (!qEnvironmentVariable("PEDIDOS_BENCH_CLUSTER_DIR").isEmpty()) {
        proxy.Stop();
        bench::DelayProxy nodeProxy(bench::DelayProxyHost().toStdString(), bench::kDbPort,
                                    bench::ClusterHosts().value(0).toStdString(), bench::kDbPort,
                                    bench::TlsPassage::Strip);
        if (bench::Check(QStringLiteral("latency_cluster_proxy_listens"), nodeProxy.Start(&error),
                         QString::fromStdString(error))) {
            Run cluster(nodeProxy, folder, answers, QStringLiteral("cluster"), SendAndStartActions(kStartupTrips));
            cluster.Restart();
            if (bench::Check(QStringLiteral("latency_cluster_session_on_node"), TerminalOnClusterNode(),
                             QStringLiteral("the terminal's session through the proxy: @@wsrep_on"))) {
                cluster.At(0, false);
                for (int rtt : kSecondSeriesRttMs) {
                    cluster.At(rtt, true);
                    cluster.Print(rtt);
                }
            }
            CheckStored(QStringLiteral("latency_cluster_orders_stored_once"), {&cluster}, bench::ClusterSocket(1),
                        answers);
            wrong += cluster.wrong;
        }
    }
    bench::Check(QStringLiteral("latency_screens_as_expected"), wrong == 0 && tickets->jobs > 0,
                 QStringLiteral("%1 actions left the screen otherwise; %2 tickets printed")
                     .arg(wrong).arg(tickets->jobs));
    bench::Note(QStringLiteral("latency: %1 repetitions of menu clicks and products and %2 of ENVIAR and start-up at "
                               "0 ms (%3 / %4 at 50 ms); %5 s in all")
                    .arg(QuickRepetitions(0)).arg(SlowRepetitions(0)).arg(QuickRepetitions(50)).arg(SlowRepetitions(50))
                    .arg(bench::MsSince(begun) / 1000, 0, 'f', 0));
    delete Pedido_R::Instance();
    return bench::ExitCode();
}
