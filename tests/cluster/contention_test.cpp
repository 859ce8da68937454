// Sixteen terminals spread over the three nodes, sending at once to shared
// tables. The counter row's lock does not reach across nodes, so sends on
// different nodes collide at COMMIT (error 1213); the send runs again, and no
// send may fail. Every node must then hold every send once.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>

#include "cluster/test_cluster.h"
#include "data/mariadb_connection.h"
#include "runtime/program_locale.h"
#include "support/concurrent_orders.h"

namespace {

constexpr int kTerminals = 16;
constexpr int kOrdersEach = 50;
constexpr int kTables = 20;

class ClusterContentionTest : public ProgramFormats {};

TEST_F(ClusterContentionTest, SixteenTerminalsOnThreeNodesNeverFailAndEveryNodeHoldsEachSendOnce) {
    const clustertest::TestCluster cluster;
    cluster.ResetDatabase();
    const int firstTicket = cluster.Query(1, "select control_Comanda from mantenimiento").value(0).toInt();
    std::vector<std::unique_ptr<data::MariaDbConnection>> connections;
    std::vector<sending::SendOptions> options(kTerminals);
    for (int t = 0; t < kTerminals; ++t) {
        options[t].connectionString = cluster.ConnectionString(1 + t % clustertest::TestCluster::kNodes);
        connections.push_back(std::make_unique<data::MariaDbConnection>());
        connections.back()->Open(options[t].connectionString);
    }
    const testsupport::ConcurrentOrders sent =
        testsupport::MakeConcurrentOrders(kTerminals, kOrdersEach, kTables);

    const testsupport::SendsAtOnce done =
        testsupport::SendAtOnce(connections, sent, [&](int t) { return options[t]; });
    const auto& results = done.results;
    const auto& failures = done.failures;
    const qint64 elapsed = done.elapsedMs;

    std::vector<std::vector<QString>> tickets(kTerminals);
    std::map<int, int> runs;  // whole-send runs -> sends that needed that many
    for (int t = 0; t < kTerminals; ++t) {
        EXPECT_EQ(failures[t], QString()) << t;
        ASSERT_EQ(results[t].size(), static_cast<size_t>(kOrdersEach)) << t;
        for (const sending::SendResult& r : results[t]) {
            EXPECT_TRUE(r.Stored()) << "terminal " << t << ": " << r.lastError.toStdString();
            tickets[t].push_back(r.numero);
            ++runs[r.wholeSendRuns];
        }
    }
    std::printf("[   INFO   ] %zu sends by %d terminals on 3 nodes in %lld ms; runs per send:",
                sent.Sends(), kTerminals, static_cast<long long>(elapsed));
    for (const auto& [n, count] : runs) std::printf(" %d:%d", n, count);
    std::printf("\n");
    ASSERT_GT(runs.rbegin()->first, 1) << "no send collided: the test did not test the cluster";

    for (int k = 1; k <= clustertest::TestCluster::kNodes; ++k) {
        SCOPED_TRACE("node " + std::to_string(k));
        testsupport::ExpectEverySendStoredOnce(
            [&](const QString& sql) { return cluster.Query(k, sql); }, sent, tickets, firstTicket, kTables);
    }
}

}  // namespace
