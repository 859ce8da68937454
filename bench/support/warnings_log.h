#pragma once
// Where a benchmark program's Qt messages go: the file PEDIDOS_BENCH_LOG
// (when set; standard error otherwise), warnings counted.

namespace bench {

void RouteWarningsToLog();
int WarningCount();

}  // namespace bench
