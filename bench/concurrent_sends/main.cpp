// concurrent_sends: 1, 4, 16 and 64 terminals, each a thread with its own
// connection, sending 10-line orders through SendOrder for a fixed time.
// Floor: as many bare Connector/C clients sending the same transactions.
// Every ticket number must be handed out once.
#include <QCoreApplication>
#include <memory>

#include "support/bare_send.h"
#include "support/bench_env.h"
#include "support/figures.h"
#include "support/orders.h"
#include "support/send_rounds.h"
#include "support/timing.h"
#include "support/warnings_log.h"

namespace {

bench::Sender TerminalSender(int t) {
    return bench::OrderSender(bench::TerminalConnectionString(), bench::RoundOrder(t));
}

bench::Sender BareSender(int t) {
    auto c = std::make_shared<bench::BareClient>();
    c->Connect(bench::TerminalConnectionString());
    const order::Order order = bench::RoundOrder(t);
    return [c, order] {
        try {
            return bench::Sent{bench::BareSendRetrying(*c, order).numero};
        } catch (const bench::BareError& e) {
            qWarning("bare send failed: %u %s", e.number, e.what());
            return bench::Sent{};
        }
    };
}

void Report(int terminals, const bench::SendRound& value, const bench::SendRound& floor) {
    const QString name = QStringLiteral("concurrent_sends_%1").arg(terminals);
    bench::PrintRate(name + QStringLiteral("_per_s"), value.PerSecond(), floor.PerSecond(), 1.25);
    bench::PrintTime(name + QStringLiteral("_p99_ms"), bench::Percentile(value.latencies, 99),
                     bench::Percentile(floor.latencies, 99), 1.25);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    bench::RouteWarningsToLog();
    bench::UseTerminalFormats();
    bench::Note(QStringLiteral("concurrent_sends: %1 s per round, %2-line orders on %3 tables")
                    .arg(bench::SecondsPerRound()).arg(bench::kRoundLines).arg(bench::kRoundTables));
    const bench::SendTarget terminal{bench::DbSocket(), TerminalSender};
    const bench::SendTarget bare{bench::DbSocket(), BareSender};
    for (int terminals : {1, 4, 16, 64}) {
        const bench::SendComparison c = bench::CompareSends(terminal, bare, terminals);
        Report(terminals, c.value, c.floor);
        bench::Check(QStringLiteral("concurrent_sends_%1_no_ticket_twice").arg(terminals),
                     c.value.duplicates == 0 && c.value.failed == 0,
                     QStringLiteral("%1 sends, %2 duplicate ticket numbers, %3 not stored (floor: %4 sends, %5 duplicates)")
                         .arg(c.value.tickets.size()).arg(c.value.duplicates).arg(c.value.failed)
                         .arg(c.floor.tickets.size()).arg(c.floor.duplicates));
    }
    return bench::ExitCode();
}
