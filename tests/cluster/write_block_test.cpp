// A send on a cluster node: two query texts as on one server, the writes
// and the COMMIT in one block that stores all of the order or none of it,
// whatever ends its transaction before or during the block; each statement
// alone where the node cannot run the block.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "cluster/test_cluster.h"
#include "sending/hooked_connection.h"
#include "data/db_error.h"
#include "data/mariadb_connection.h"
#include "runtime/program_locale.h"
#include "sending/send_order.h"
#include "support/test_orders.h"

namespace {

using clustertest::TestCluster;
using sendingtest::HookedConnection;
// Orders whose lines carry a mark of their own as their note, so the test finds them.
using testsupport::TestOrder;

class ClusterWriteBlock : public ProgramFormats {
protected:
    static void SetUpTestSuite() { TestCluster().ResetDatabase(); }

    TestCluster cluster;

    // The terminal's real connection to node k, its texts sent as the
    // terminal sends them and counted.
    std::unique_ptr<HookedConnection> OnNode(int k) const {
        auto w = std::make_unique<HookedConnection>(std::make_unique<data::MariaDbConnection>());
        w->together = true;
        w->Open(cluster.ConnectionString(k));
        return w;
    }
    // `act` runs once, just before the text that carries the send's writes.
    static void BeforeWrites(HookedConnection& w, std::function<void()> act) {
        w.before = [&w, act](const QString& sql, int) {
            if (!IsWrites(sql)) return;
            const std::function<void()> once = act;  // clearing the hook ends this lambda's captures
            w.before = nullptr;
            once();
        };
    }
    static bool IsWrites(const QString& sql) { return sql.contains("INSERT INTO comanda"); }
    sending::SendOptions Options(int k) const {
        sending::SendOptions o;
        o.connectionString = cluster.ConnectionString(k);
        o.pausaConexionMs = 0;
        return o;
    }
    // Its lines in D_Fact_r, in comanda, and comanda's distinct ticket numbers, as node 3 has them.
    QStringList Stored(const QString& mark) const {
        return cluster.Query(3, "select (select count(*) from D_Fact_r where observacion='" + mark +
                                    "'), count(*), group_concat(distinct numero) from comanda where observacion='" +
                                    mark + "'");
    }
};

TEST_F(ClusterWriteBlock, ASendTakesTwoQueryTextsAndStoresTheWholeOrder) {
    auto w = OnNode(1);
    ASSERT_TRUE(SendOrder(*w, TestOrder("31", 1, "tb-first"), sending::NewSendId(), Options(1)).Stored());
    w->statements.clear();  // the connection's one-time questions are behind
    order::Order p = TestOrder("31", 10, "tb-ten");
    // What separates and ends statements, inside a value of the block.
    const QString name = QString::fromUtf8("SOPA; DEL 'DÍA' -- END; \\ COMMIT");
    p.lineas[9].nombre = name;
    const sending::SendResult r = SendOrder(*w, p, sending::NewSendId(), Options(1));
    ASSERT_TRUE(r.Stored()) << r.lastError.toStdString();
    EXPECT_EQ(w->statements.size(), 2);
    EXPECT_EQ(Stored("tb-ten"), QStringList{"10\t10\t" + r.numero});
    EXPECT_EQ(cluster.Query(3, "select hex(nom_producto) from comanda where observacion='tb-ten' order by id desc limit 1"),
              QStringList{QString(name.toUtf8().toHex().toUpper())});
}

// Between the two query texts the counter lock is lost, by another node's
// write to the counter (a brute-force abort on this node) or by the
// transaction ending on its own connection; or the node refuses the block
// for a moment. The block must store nothing on its own; the send runs
// again, under its key, and is stored once.
TEST_F(ClusterWriteBlock, ALostCounterLockOrARefusedBlockRunsTheSendAgainUnderItsKey) {
    struct Case {
        const char* name;
        std::function<void(const TestCluster&, HookedConnection&)> intrude;
    };
    const Case cases[] = {
        {"another node advances the counter",
         [](const TestCluster& c, HookedConnection&) {
             c.Query(2, "update mantenimiento set control_Comanda=control_Comanda+1");
             c.Query(1, "select 1");  // node 1 has applied it
         }},
        {"the transaction rolled back on the terminal's connection",
         [](const TestCluster&, HookedConnection& w) { w.Real().Execute("ROLLBACK"); }},
        {"the node not ready for a moment",
         [](const TestCluster&, HookedConnection&) {
             throw data::DbError(data::kNodeNotReady, "WSREP has not yet prepared node for application use");
         }},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        auto w = OnNode(1);
        BeforeWrites(*w, [&] { k.intrude(cluster, *w); });
        const QString mark = QString("tb-intruded-%1").arg(&k - cases);
        const QString id = sending::NewSendId();
        const sending::SendResult r = SendOrder(*w, TestOrder("32", 5, mark), id, Options(1));
        ASSERT_TRUE(r.Stored()) << r.lastError.toStdString();
        EXPECT_EQ(r.wholeSendRuns, 2);
        EXPECT_EQ(Stored(mark), QStringList{"5\t5\t" + r.numero});
        EXPECT_EQ(cluster.Query(3, "select numero from envios where id_envio='" + id + "'"), QStringList{r.numero});
        EXPECT_EQ(cluster.Query(3, "select control_Comanda from mantenimiento"),
                  QStringList{QString::number(r.numero.toInt() + 1)});
    }
}

// The block committed on node 1 and its answer was lost; the terminal comes
// back through node 2 (as through a load balancer), whose settle must see
// what node 1 committed, and stores nothing again.
TEST_F(ClusterWriteBlock, ALostAnswerIsSettledOnAnotherNodeAsStoredOnce) {
    auto w = OnNode(1);
    w->after = [&w](const QString& sql, int) {
        if (!IsWrites(sql)) return;
        HookedConnection& self = *w;
        self.Real().Close();
        self.after = nullptr;  // ends this lambda's captures: only locals from here
        throw data::DbError(data::kServerLost, "Lost connection to server during query");
    };
    const QString id = sending::NewSendId();
    const sending::SendResult r = SendOrder(*w, TestOrder("35", 6, "tb-lost"), id, Options(2));
    ASSERT_TRUE(r.Stored()) << r.lastError.toStdString();
    EXPECT_EQ(r.wholeSendRuns, 1);
    EXPECT_EQ(Stored("tb-lost"), QStringList{"6\t6\t" + r.numero});
    EXPECT_EQ(cluster.Query(3, "select numero from envios where id_envio='" + id + "'"), QStringList{r.numero});

    // ENVIAR pressed again under the same key: the block meets the key's row
    // (at the send record's write, which it must name) and stores nothing.
    const sending::SendResult again = SendOrder(*w, TestOrder("35", 6, "tb-lost"), id, Options(2));
    ASSERT_TRUE(again.Stored()) << again.lastError.toStdString();
    EXPECT_EQ(again.numero, r.numero);
    EXPECT_EQ(Stored("tb-lost"), QStringList{"6\t6\t" + r.numero});
}

TEST_F(ClusterWriteBlock, AValueItsColumnCannotHoldIsNamedAndNothingOfTheOrderIsStored) {
    auto w = OnNode(2);
    const QString before = cluster.Query(3, "select control_Comanda from mantenimiento").value(0);
    order::Order p = TestOrder("33", 4, "tb-bad");
    p.lineas[2].costo = 1e12;  // DECIMAL(14,3) holds less
    const sending::SendResult r = SendOrder(*w, p, sending::NewSendId(), Options(2));
    EXPECT_EQ(r.outcome, sending::Verdict::NotStored);
    EXPECT_EQ(r.causa, sending::FailureCause::BadValue);
    EXPECT_TRUE(r.detalle.contains("costo de D_Fact_r")) << r.detalle.toStdString();
    EXPECT_EQ(r.wholeSendRuns, 1);
    EXPECT_EQ(Stored("tb-bad"), QStringList{"0\t0\tNULL"});
    EXPECT_EQ(cluster.Query(3, "select control_Comanda from mantenimiento"), QStringList{before});
}

// A session in Oracle mode cannot parse the block: the writes go one by one,
// in the same transaction, and the connection does not try the block again.
TEST_F(ClusterWriteBlock, ANodeThatCannotRunTheBlockGetsEachStatementAloneAndTheWholeOrder) {
    auto w = OnNode(3);
    w->Real().Execute("SET SESSION sql_mode='ORACLE'");
    for (const char* mark : {"tb-alone-1", "tb-alone-2"}) {
        SCOPED_TRACE(mark);
        w->statements.clear();
        const sending::SendResult r = SendOrder(*w, TestOrder("34", 3, mark), sending::NewSendId(), Options(3));
        ASSERT_TRUE(r.Stored()) << r.lastError.toStdString();
        EXPECT_EQ(r.wholeSendRuns, 1);
        EXPECT_GT(w->statements.size(), 2);
        EXPECT_EQ(Stored(mark), QStringList{"3\t3\t" + r.numero});
    }
}

}  // namespace
