#include "cluster/test_cluster.h"

#include <QProcess>
#include <QProcessEnvironment>

#include "runtime/configuration.h"
#include "support/test_database.h"

namespace clustertest {

TestCluster::TestCluster()
    : dir_(testsupport::RequiredSetting("PEDIDOS_TEST_CLUSTER_DIR")),
      hosts_(testsupport::RequiredSetting("PEDIDOS_TEST_CLUSTER_HOSTS")
                 .split(' ', Qt::SkipEmptyParts)) {}

QString TestCluster::Host(int k) const { return hosts_.value(k - 1); }

QString TestCluster::Socket(int k) const { return QString("%1/node%2/mariadb.sock").arg(dir_).arg(k); }

QString TestCluster::ConnectionString(int k) const {
    return rt::BuildConnectionString(testsupport::DbName(), Host(k));
}

void TestCluster::ResetDatabase() const {
    testsupport::ResetDatabaseOn(Socket(1), testsupport::DbName());
    // The other nodes may apply it a moment later: a terminal connecting
    // there at once must find the user and the counter row.
    for (int k = 2; k <= kNodes; ++k) Query(k, "select count(*) from mantenimiento");
}

QStringList TestCluster::Query(int k, const QString& sql) const {
    // wsrep_sync_wait: the read waits until this node has applied what the
    // cluster committed before it.
    return testsupport::RootQueryOn(Socket(k), testsupport::DbName(),
                                    "SET SESSION wsrep_sync_wait=1;\n" + sql);
}

QStringList TestCluster::Checksums(int k) const {
    const QStringList tables = Query(k, "show tables");
    QString sql;
    for (const QString& t : tables) sql += "CHECKSUM TABLE `" + t + "`;\n";
    return Query(k, sql);
}

bool TestCluster::Script(const QString& function, int k, QString& error) const {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("CLUSTER_HOSTS", hosts_.join(' '));
    p.setProcessEnvironment(env);
    p.start("bash", {"-c", "source \"$0\" && " + function + " \"$1\" \"$2\"",
                     testsupport::SourcePath("scripts/lib/cluster.sh"), dir_, QString::number(k)});
    if (!p.waitForFinished(240000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        error = function + " " + QString::number(k) + " failed: " +
                QString::fromUtf8(p.readAllStandardError());
        return false;
    }
    return true;
}

bool TestCluster::KillNode(int k, QString& error) const { return Script("cluster_node_kill", k, error); }

bool TestCluster::StartNode(int k, QString& error) const {
    return Script("cluster_node_start", k, error);
}

}  // namespace clustertest
