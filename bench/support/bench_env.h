#pragma once
// Where the benchmarks find the private services scripts/bench started.
//   PEDIDOS_BENCH_DB_HOST     the server's address (127.0.0.7)
//   PEDIDOS_BENCH_DB_NAME     the database with the demo restaurant (restaurante)
//   PEDIDOS_BENCH_DB_SOCKET   the server's local socket, for root's checks
//   PEDIDOS_BENCH_PRINTER     the kitchen queue (Cocina), a raw queue to
//   PEDIDOS_BENCH_PRINTER_HOST:PEDIDOS_BENCH_PRINTER_PORT (9100), where the
//                             programs listen themselves
//   PEDIDOS_BENCH_SECONDS     seconds of each concurrent-sends round (10)
//   PEDIDOS_BENCH_CLUSTER_HOSTS  the addresses of the private Galera cluster's
//                                three nodes (127.0.0.14 127.0.0.15 127.0.0.16)
//   PEDIDOS_BENCH_CLUSTER_DIR    its folder: node k's local socket is DIR/nodek/mariadb.sock
//   PEDIDOS_BENCH_DELAY_HOST  where the latency bench's delay proxy listens
//                             (127.0.0.17), on port 3306: the terminal's port is fixed
#include <QString>
#include <QStringList>

namespace bench {

QString DbHost();
// The server port every terminal connects to (fixed in its connection string).
constexpr int kDbPort = 3306;
QString DelayProxyHost();
QString DbName();
QString DbSocket();
QString PrinterQueue();
QString PrinterHost();
int PrinterPort();
int SecondsPerRound();
// The terminal's connection string for the bench database.
QString TerminalConnectionString();
// The cluster's nodes, numbered 1 to kClusterNodes.
constexpr int kClusterNodes = 3;
QStringList ClusterHosts();
// The terminal's connection string for the bench database on node k.
QString ClusterConnectionString(int k);
// Node k's local socket, for root's checks.
QString ClusterSocket(int k);
// A file of the source tree ("demo/Modelo.txt", ...).
QString SourcePath(const QString& relative);

}  // namespace bench
