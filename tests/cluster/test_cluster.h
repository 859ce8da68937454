#pragma once
// The private three-node Galera cluster that scripts/test starts for these
// tests (PEDIDOS_TEST_CLUSTER_DIR, nodes on PEDIDOS_TEST_CLUSTER_HOSTS). Nodes
// are killed and started again through scripts/lib/cluster.sh, the same code
// that scripts/cluster uses. Without the cluster the tests fail loudly.
#include <QString>
#include <QStringList>

namespace clustertest {

class TestCluster {
public:
    TestCluster();

    static constexpr int kNodes = 3;
    // Address of node k (1..3).
    QString Host(int k) const;
    // The terminal's connection string for this program's database on node k.
    QString ConnectionString(int k) const;
    // Rebuilds this program's database with the demo data (once, for all nodes).
    void ResetDatabase() const;
    // Runs SQL as root on node k, after the node has applied every write
    // the cluster had committed; the rows, columns joined by tabs.
    QStringList Query(int k, const QString& sql) const;
    // kill -9 of node k's server.
    bool KillNode(int k, QString& error) const;
    // Starts node k again and waits until it is synced with the others.
    bool StartNode(int k, QString& error) const;
    // One line per table: its name and its checksum on node k.
    QStringList Checksums(int k) const;

private:
    bool Script(const QString& function, int k, QString& error) const;
    QString Socket(int k) const;

    QString dir_;
    QStringList hosts_;
};

}  // namespace clustertest
