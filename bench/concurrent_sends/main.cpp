// concurrent_sends: 1, 4, 16 and 64 terminals, each a thread with its own
// connection, sending 10-line orders through SendOrder for a fixed time.
// Floor: as many bare Connector/C clients sending the same transactions.
// Every ticket number must be handed out once.
#include <QCoreApplication>
#include <atomic>
#include <set>
#include <thread>

#include "data/mariadb_connection.h"
#include "support/bare_send.h"
#include "support/bench_env.h"
#include "support/figures.h"
#include "support/orders.h"
#include "support/terminal.h"
#include "support/timing.h"

namespace {

constexpr int kLines = 10;
constexpr int kTables = 20;

struct Round {
    std::vector<double> latencies;
    std::vector<QString> tickets;
    int failed = 0;
    double seconds = 0;
    int duplicates = 0;

    void Add(const Round& r) {
        latencies.insert(latencies.end(), r.latencies.begin(), r.latencies.end());
        tickets.insert(tickets.end(), r.tickets.begin(), r.tickets.end());
        failed += r.failed;
        seconds += r.seconds;
        duplicates += r.duplicates;
    }
};

// One terminal's sending loop until `until`; `send` returns the ticket
// number, or "" when the send did not go through.
template <typename Send>
void Terminal(Send&& send, bench::Clock::time_point until, Round& out) {
    while (bench::Clock::now() < until) {
        const bench::Clock::time_point start = bench::Clock::now();
        const QString numero = send();
        if (numero.isEmpty()) {
            ++out.failed;
            continue;
        }
        out.latencies.push_back(bench::MsSince(start));
        out.tickets.push_back(numero);
    }
}

// Runs `terminals` threads; makeSender(t) gives thread t its send function
// (its connection opened before the clock starts).
template <typename MakeSender>
Round RunRound(int terminals, int seconds, MakeSender&& makeSender) {
    std::vector<Round> rounds(terminals);
    std::vector<std::function<QString()>> senders;
    for (int t = 0; t < terminals; ++t) senders.push_back(makeSender(t));
    const bench::Clock::time_point start = bench::Clock::now();
    const bench::Clock::time_point until = start + std::chrono::seconds(seconds);
    std::vector<std::thread> threads;
    for (int t = 0; t < terminals; ++t)
        threads.emplace_back([&, t] { Terminal(senders[t], until, rounds[t]); });
    for (std::thread& th : threads) th.join();
    Round all;
    for (Round& r : rounds) all.Add(r);
    all.seconds = bench::MsSince(start) / 1000.0;
    return all;
}

std::function<QString()> TerminalSender(int t) {
    auto c = std::make_shared<data::MariaDbConnection>();
    c->Open(bench::TerminalConnectionString());
    sending::SendOptions o;
    o.connectionString = bench::TerminalConnectionString();
    const sending::OrderToSend order = bench::DemoOrder(QString::number(1 + t % kTables), kLines);
    return [c, o, order] {
        const sending::SendResult r = sending::SendOrder(*c, order, sending::NewSendId(), o);
        return r.committed ? r.numero : QString();
    };
}

std::function<QString()> BareSender(int t) {
    auto c = std::make_shared<bench::BareClient>();
    c->Connect(bench::TerminalConnectionString());
    const sending::OrderToSend order = bench::DemoOrder(QString::number(1 + t % kTables), kLines);
    return [c, order] {
        try {
            return bench::BareSendRetrying(*c, order).numero;
        } catch (const bench::BareError& e) {
            qWarning("bare send failed: %u %s", e.number, e.what());
            return QString();
        }
    };
}

void EmptyOrderTables() {
    bench::BareClient root;
    bench::ConnectAsRoot(root);
    root.Run(QStringLiteral("delete from Factura_r; delete from D_Fact_r; delete from comanda; delete from envios"));
}

// Ticket numbers drawn twice, in the round and among the stored sends.
int Duplicates(const Round& r) {
    std::set<QString> seen(r.tickets.begin(), r.tickets.end());
    bench::BareClient root;
    bench::ConnectAsRoot(root);
    const QStringList stored = root.Rows(QStringLiteral("select count(*), count(distinct numero) from envios"));
    const QStringList f = stored.value(0).split('\t');
    return int(r.tickets.size() - seen.size()) + (f.value(0).toInt() - f.value(1).toInt());
}

// A round on empty order tables, its duplicate ticket numbers counted.
template <typename MakeSender>
Round Half(int terminals, int seconds, MakeSender&& makeSender) {
    EmptyOrderTables();
    Round r = RunRound(terminals, seconds, makeSender);
    r.duplicates = Duplicates(r);
    return r;
}

void Report(int terminals, const Round& value, const Round& floor) {
    const QString name = QStringLiteral("concurrent_sends_%1").arg(terminals);
    bench::PrintRate(name + QStringLiteral("_per_s"), double(value.tickets.size()) / value.seconds,
                     double(floor.tickets.size()) / floor.seconds, 1.25);
    bench::PrintTime(name + QStringLiteral("_p99_ms"), bench::Percentile(value.latencies, 99),
                     bench::Percentile(floor.latencies, 99), 1.25);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    bench::RouteWarningsToLog();
    bench::UseTerminalFormats();
    bench::Note(QStringLiteral("concurrent_sends: %1 s per round, %2-line orders on %3 tables")
                    .arg(bench::SecondsPerRound()).arg(kLines).arg(kTables));
    // Each figure's time is split in two halves, the terminals' and the
    // floor's taking turns, so that both meet the same moments of the machine.
    const int half = std::max(1, bench::SecondsPerRound() / 2);
    for (int terminals : {1, 4, 16, 64}) {
        Round value, floor;
        for (int turn = 0; turn < 2; ++turn) {
            value.Add(Half(terminals, half, TerminalSender));
            floor.Add(Half(terminals, half, BareSender));
        }
        Report(terminals, value, floor);
        bench::Check(QStringLiteral("concurrent_sends_%1_no_ticket_twice").arg(terminals),
                     value.duplicates == 0 && value.failed == 0,
                     QStringLiteral("%1 sends, %2 duplicate ticket numbers, %3 not stored (floor: %4 sends, %5 duplicates)")
                         .arg(value.tickets.size()).arg(value.duplicates).arg(value.failed)
                         .arg(floor.tickets.size()).arg(floor.duplicates));
    }
    return bench::ExitCode();
}
