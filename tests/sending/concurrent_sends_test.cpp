// Sixteen terminals, each on its own connection, sending at once to
// overlapping tables: every ticket number drawn once, one header per table,
// every line stored once with its own values.
#include <gtest/gtest.h>

#include <cstdio>

#include "sending/send_fixture.h"
#include "support/concurrent_orders.h"

namespace {

using namespace sendingtest;

constexpr int kTerminals = 16;
constexpr int kOrdersEach = 50;
constexpr int kTables = 20;

class ConcurrentSendsTest : public SendFixture {};

TEST_F(ConcurrentSendsTest, EveryTicketOnceOneHeaderPerTableEveryLineOnce) {
    std::vector<std::unique_ptr<data::MariaDbConnection>> connections;
    for (int t = 0; t < kTerminals; ++t)
        connections.push_back(Connect());  // opened before the threads
    const testsupport::ConcurrentOrders sent =
        testsupport::MakeConcurrentOrders(kTerminals, kOrdersEach, kTables);

    const testsupport::SendsAtOnce done =
        testsupport::SendAtOnce(connections, sent, [](int) { return Options(); });
    std::printf("[   INFO   ] %zu sends of %zu lines by %d terminals in %lld ms\n", sent.Sends(),
                sent.expected.size(), kTerminals, static_cast<long long>(done.elapsedMs));
    const auto& results = done.results;
    const auto& failures = done.failures;

    std::vector<std::vector<QString>> tickets(kTerminals);
    int reruns = 0;
    for (int t = 0; t < kTerminals; ++t) {
        EXPECT_EQ(failures[t], QString()) << t;
        ASSERT_EQ(results[t].size(), static_cast<size_t>(kOrdersEach)) << t;
        for (int o = 0; o < kOrdersEach; ++o) {
            const sending::SendResult& r = results[t][o];
            EXPECT_TRUE(r.Stored()) << t << "/" << o << " " << r.lastError.toStdString();
            tickets[t].push_back(r.numero);
            reruns += r.wholeSendRuns - 1;
        }
    }
    std::printf("[   INFO   ] whole sends run again after a deadlock: %d\n", reruns);
    testsupport::ExpectEverySendStoredOnce(testsupport::RootQuery, sent, tickets, 100, kTables);
}

}  // namespace
