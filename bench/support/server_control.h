#pragma once
// The private database servers scripts/bench started, stopped and started
// again by the same shell functions that started them (scripts/lib), so a
// restarted server has exactly its first options.
#include <QString>

namespace bench {

// The server of PEDIDOS_BENCH_DB_DIR: stopped (SIGTERM, a clean shutdown;
// or SIGKILL, a crash) and started again. False, with the reason in
// `error`, when it did not come back.
bool RestartServer(bool crash, QString* error);
// Its two halves, for something done while the server is down.
bool StopServer(bool crash, QString* error);
bool StartServer(QString* error);

// Node k (1..kClusterNodes) of the cluster of PEDIDOS_BENCH_CLUSTER_DIR:
// killed with SIGKILL, and started again (waiting until it has caught up
// with the cluster and is synced).
bool KillClusterNode(int k, QString* error);
bool StartClusterNode(int k, QString* error);

}  // namespace bench
