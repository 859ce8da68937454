#include "support/send_rounds.h"

#include <QStringList>
#include <algorithm>
#include <memory>
#include <set>
#include <thread>

#include "data/mariadb_connection.h"
#include "support/bare_client.h"
#include "support/bench_env.h"
#include "support/orders.h"
#include "support/timing.h"

namespace bench {
namespace {

// One terminal's sending loop until `until`.
void Terminal(const Sender& send, Clock::time_point until, SendRound& out) {
    while (Clock::now() < until) {
        const Clock::time_point start = Clock::now();
        const Sent sent = send();
        out.mostRuns = std::max(out.mostRuns, sent.runs);
        if (sent.numero.isEmpty()) {
            ++out.failed;
            continue;
        }
        out.latencies.push_back(MsSince(start));
        out.tickets.push_back(sent.numero);
    }
}

SendRound RunThreads(int terminals, int seconds, const MakeSender& makeSender) {
    std::vector<SendRound> rounds(terminals);
    std::vector<Sender> senders;
    for (int t = 0; t < terminals; ++t) senders.push_back(makeSender(t));
    const Clock::time_point start = Clock::now();
    const Clock::time_point until = start + std::chrono::seconds(seconds);
    std::vector<std::thread> threads;
    for (int t = 0; t < terminals; ++t)
        threads.emplace_back([&, t] { Terminal(senders[t], until, rounds[t]); });
    for (std::thread& th : threads) th.join();
    SendRound all;
    for (const SendRound& r : rounds) all.Add(r);
    all.seconds = MsSince(start) / 1000.0;
    return all;
}

void EmptyOrderTables(const QString& socket) {
    BareClient root;
    ConnectRootOn(root, socket);
    root.Run(QStringLiteral("delete from Factura_r; delete from D_Fact_r; delete from comanda; "
                            "delete from envios; update mantenimiento set control_Comanda='1'"));
}

// Counts the round's ticket numbers drawn twice and the sends stored.
void CountStored(const QString& socket, SendRound& r) {
    const std::set<QString> seen(r.tickets.begin(), r.tickets.end());
    BareClient root;
    ConnectRootOn(root, socket);
    const QStringList f =
        root.Rows(QStringLiteral("select count(*), count(distinct numero) from envios")).value(0).split('\t');
    r.stored = f.value(0).toInt();
    r.duplicates = int(r.tickets.size() - seen.size()) + (r.stored - f.value(1).toInt());
}

}  // namespace

order::Order RoundOrder(int terminal) {
    return DemoOrder(QString::number(1 + terminal % kRoundTables), kRoundLines);
}

Sender OrderSender(const QString& connectionString, const order::Order& order) {
    auto c = std::make_shared<data::MariaDbConnection>();
    c->Open(connectionString);
    sending::SendOptions o;
    o.connectionString = connectionString;
    return [c, o, order] {
        const sending::SendResult r = sending::SendOrder(*c, order, sending::NewSendId(), o);
        if (!r.Stored())
            qWarning("send of table %s failed after %d whole-send runs: %s", qUtf8Printable(order.mesa),
                     r.wholeSendRuns, qUtf8Printable(r.lastError));
        return Sent{r.Stored() ? r.numero : QString(), r.wholeSendRuns};
    };
}

void SendRound::Add(const SendRound& r) {
    latencies.insert(latencies.end(), r.latencies.begin(), r.latencies.end());
    tickets.insert(tickets.end(), r.tickets.begin(), r.tickets.end());
    failed += r.failed;
    mostRuns = std::max(mostRuns, r.mostRuns);
    seconds += r.seconds;
    duplicates += r.duplicates;
    stored += r.stored;
}

double SendRound::PerSecond() const { return double(tickets.size()) / seconds; }

SendRound RunSendRound(const SendTarget& target, int terminals, int seconds) {
    EmptyOrderTables(target.rootSocket);
    SendRound r = RunThreads(terminals, seconds, target.makeSender);
    CountStored(target.rootSocket, r);
    return r;
}

SendComparison CompareSends(const SendTarget& value, const SendTarget& floor, int terminals) {
    const int half = std::max(1, SecondsPerRound() / 2);
    SendComparison c;
    for (int turn = 0; turn < 2; ++turn) {
        c.value.Add(RunSendRound(value, terminals, half));
        c.floor.Add(RunSendRound(floor, terminals, half));
    }
    return c;
}

}  // namespace bench
