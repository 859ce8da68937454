// A node of the cluster is killed (kill -9) while terminals on all three
// nodes send, and started again. Terminals on the other nodes go on; the
// order screen on the lost node shows the database message and keeps its
// order, which the next ENVIAR stores once the node is back; terminals on it
// store their failed sends once. The three nodes end with identical tables.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>

#include "cluster/test_cluster.h"
#include "order_screen/grid.h"
#include "order_screen/screen_fixture.h"
#include "support/concurrent_orders.h"

namespace {

using clustertest::TestCluster;
using std::chrono::milliseconds;

constexpr int kWorkers = 9;           // three terminals on each node
constexpr int kScreen = kWorkers;     // the order screen is terminal 9, on node 3
constexpr int kLostNode = 3;
constexpr int kOrdersEach = 600;      // more than a worker sends in the run
constexpr int kTables = 20;
constexpr auto kPace = milliseconds(150);         // between a worker's sends
constexpr auto kRetryPause = milliseconds(200);   // before a failed send is sent again
constexpr auto kPatience = std::chrono::seconds(90);

int NodeOf(int terminal) { return 1 + terminal % TestCluster::kNodes; }

// A terminal without a screen: sends its orders one after the other and,
// as a waiter would press ENVIAR again, sends a failed order again under
// the same id, checked first, until it is stored.
struct Worker {
    int terminal = 0;
    std::atomic<int> committed{0};
    std::atomic<int> failed{0};
    std::vector<QString> tickets;
    QString error;

    // `stop`: no new order; `abandon`: not even the failed one (the test is
    // ending early).
    void Run(const TestCluster& cluster, const std::vector<order::Order>& orders,
             const std::atomic<bool>& stop, const std::atomic<bool>& abandon) {
        data::MariaDbConnection conexion;
        sending::SendOptions o;
        o.connectionString = cluster.ConnectionString(NodeOf(terminal));
        o.pausaConexionMs = 100;
        const auto deadline = std::chrono::steady_clock::now() + 3 * kPatience;
        try {
            conexion.Open(o.connectionString);
            for (const order::Order& p : orders) {
                if (stop) return;
                const QString id = sending::NewSendId();
                o.enDuda.reset();
                for (;;) {
                    const sending::SendResult r = sending::SendOrder(conexion, p, id, o);
                    if (r.Stored()) {
                        tickets.push_back(r.numero);
                        ++committed;
                        break;
                    }
                    ++failed;
                    if (abandon) return;
                    if (std::chrono::steady_clock::now() > deadline) {
                        error = "order never stored: " + r.lastError;
                        return;
                    }
                    o.enDuda = r.enDuda;  // settled first when the outcome was lost
                    std::this_thread::sleep_for(kRetryPause);
                }
                std::this_thread::sleep_for(kPace);
            }
        } catch (const std::exception& e) {
            error = e.what();
        }
    }
};

class ClusterNodeLossTest : public testsupport::OrderScreenTest {
protected:
    // Waits (up to kPatience) until `done` holds; false when it never did.
    static bool WaitFor(const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(milliseconds(50));
        }
        return true;
    }
    // Puts order `o` of the screen's terminal on the order screen.
    void PutOrder(order_screen::Pedido_R* s, const order::Order& p, int o) {
        s->Atender(p.mesonero, p.mesa, p.codVendedor);
        s->Habilita();
        for (int l = 0; l < testsupport::ConcurrentLineCount(kScreen, o); ++l)
            order_screen::AppendLine(*s->Grid1, *s->Grid2, s->Pedido, testsupport::ConcurrentLine(kScreen, o, l),
                                     s->Num_Contornos);
    }

    const TestCluster cluster;
};

TEST_F(ClusterNodeLossTest, OtherNodesGoOnTheLostNodesOrdersAreStoredOnceAndAllNodesAgree) {
    cluster.ResetDatabase();
    const int firstTicket =
        cluster.Query(1, "select control_Comanda from mantenimiento").value(0).toInt();
    testsupport::ConcurrentOrders sent =
        testsupport::MakeConcurrentOrders(kScreen + 1, kOrdersEach, kTables);

    Module1::Cadena_Conexion = cluster.ConnectionString(kLostNode);
    auto screenConnection = std::make_unique<data::MariaDbConnection>();
    screenConnection->Open(Module1::Cadena_Conexion);
    Module1::Conexion = std::move(screenConnection);
    order_screen::Pedido_R* s = Load();
    PutOrder(s, sent.orders[kScreen][0], 0);
    s->Command2_Click(0);
    ASSERT_TRUE(dialogs.shown.empty()) << dialogs.shown.front().text.toStdString();

    std::vector<Worker> workers(kWorkers);
    std::atomic<bool> stop{false}, abandon{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < kWorkers; ++t) {
        workers[t].terminal = t;
        threads.emplace_back([&, t] { workers[t].Run(cluster, sent.orders[t], stop, abandon); });
    }
    const auto joinAll = [&] {
        stop = true;
        for (std::thread& th : threads)
            if (th.joinable()) th.join();
    };
    // A test that ends early stops its workers at once and leaves the
    // cluster whole for the tests after it.
    const auto cleanUp = qScopeGuard([&] {
        abandon = true;
        joinAll();
        QString ignored;
        if (!cluster.StartNode(kLostNode, ignored)) ADD_FAILURE() << ignored.toStdString();
    });
    const auto everyWorker = [&](const std::function<bool(const Worker&)>& test) {
        return std::all_of(workers.begin(), workers.end(), test);
    };
    std::vector<int> before(kWorkers), failedBefore(kWorkers);
    const auto snapshot = [&] {
        for (int t = 0; t < kWorkers; ++t) {
            before[t] = workers[t].committed;
            failedBefore[t] = workers[t].failed;
        }
    };

    // Everybody sending, then the node dies.
    ASSERT_TRUE(WaitFor([&] { return everyWorker([](const Worker& w) { return w.committed >= 3; }); }))
        << "the terminals did not get going";
    QString error;
    ASSERT_TRUE(cluster.KillNode(kLostNode, error)) << error.toStdString();

    // The screen on the lost node: the database message, the order kept.
    PutOrder(s, sent.orders[kScreen][1], 1);
    s->Command2_Click(0);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].text.startsWith(
        QString::fromUtf8("Error en Base de datos...\rEl pedido no se guardó y sigue en pantalla.")))
        << dialogs.shown[0].text.toStdString();
    EXPECT_EQ(s->Grid1->TextMatrix(1, order_screen::kColObservacion), "t9-o1-l0");
    EXPECT_EQ(s->Label1[1]->text(), sent.orders[kScreen][1].mesa);

    // The other nodes' terminals go on; the lost node's store nothing.
    snapshot();
    const bool wentOn = WaitFor([&] {
        return everyWorker([&](const Worker& w) {
            return NodeOf(w.terminal) == kLostNode || w.committed >= before[w.terminal] + 8;
        });
    });
    for (const Worker& w : workers) {
        if (NodeOf(w.terminal) != kLostNode) continue;
        EXPECT_EQ(w.committed, before[w.terminal]) << "terminal " << w.terminal;
        EXPECT_GT(w.failed, failedBefore[w.terminal]) << "terminal " << w.terminal;
    }
    EXPECT_TRUE(wentOn) << "terminals on the nodes left stopped storing";
    int storedMeanwhile = 0, failedMeanwhile = 0;
    for (const Worker& w : workers) {
        storedMeanwhile += w.committed - before[w.terminal];
        failedMeanwhile += w.failed;
    }

    // The node comes back; the screen's ENVIAR and its terminals store their orders.
    QElapsedTimer rejoin;
    rejoin.start();
    const bool restarted = cluster.StartNode(kLostNode, error);
    ASSERT_TRUE(restarted) << error.toStdString();
    std::printf("[   INFO   ] node %d down: %d sends stored on the others, %d failed sends so far; "
                "rejoined in %lld ms\n",
                kLostNode, storedMeanwhile, failedMeanwhile, static_cast<long long>(rejoin.elapsed()));
    s->Command2_Click(0);
    EXPECT_EQ(dialogs.shown.size(), 1u) << dialogs.shown.back().text.toStdString();
    EXPECT_EQ(s->Grid1->TextMatrix(1, order_screen::kColCodigo), "");
    snapshot();
    EXPECT_TRUE(WaitFor([&] {
        return everyWorker([&](const Worker& w) { return w.committed >= before[w.terminal] + 2; });
    })) << "terminals did not store after the node came back";
    joinAll();

    // Every node holds every send once, and the same tables.
    std::vector<std::vector<QString>> tickets(kScreen + 1);
    for (int t = 0; t < kWorkers; ++t) {
        EXPECT_EQ(workers[t].error, QString()) << "terminal " << t;
        sent.KeepFirst(t, workers[t].committed);
        tickets[t] = workers[t].tickets;
    }
    sent.KeepFirst(kScreen, 2);
    for (int o = 0; o < 2; ++o)
        tickets[kScreen].push_back(
            cluster.Query(1, QString("select distinct numero from comanda where observacion like "
                                     "'t9-o%1-%'").arg(o)).value(0));
    for (int k = 1; k <= TestCluster::kNodes; ++k) {
        SCOPED_TRACE("node " + std::to_string(k));
        testsupport::ExpectEverySendStoredOnce([&](const QString& sql) { return cluster.Query(k, sql); },
                                               sent, tickets, firstTicket, kTables);
    }
    const QStringList checksums = cluster.Checksums(1);
    EXPECT_GE(checksums.size(), 10);
    EXPECT_EQ(cluster.Checksums(2), checksums);
    EXPECT_EQ(cluster.Checksums(3), checksums);
}

}  // namespace
