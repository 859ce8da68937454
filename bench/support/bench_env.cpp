#include "support/bench_env.h"

#include "runtime/configuration.h"

namespace bench {

QString DbHost() { return qEnvironmentVariable("PEDIDOS_BENCH_DB_HOST", "127.0.0.7"); }
QString DelayProxyHost() { return qEnvironmentVariable("PEDIDOS_BENCH_DELAY_HOST", "127.0.0.17"); }
QString DbName() { return qEnvironmentVariable("PEDIDOS_BENCH_DB_NAME", "restaurante"); }
QString DbSocket() { return qEnvironmentVariable("PEDIDOS_BENCH_DB_SOCKET"); }
QString PrinterQueue() { return qEnvironmentVariable("PEDIDOS_BENCH_PRINTER", "Cocina"); }
QString PrinterHost() { return qEnvironmentVariable("PEDIDOS_BENCH_PRINTER_HOST", "127.0.0.7"); }

int PrinterPort() {
    bool ok = false;
    const int port = qEnvironmentVariableIntValue("PEDIDOS_BENCH_PRINTER_PORT", &ok);
    return ok && port > 0 && port < 65536 ? port : 9100;
}

int SecondsPerRound() {
    bool ok = false;
    const int s = qEnvironmentVariableIntValue("PEDIDOS_BENCH_SECONDS", &ok);
    return ok && s > 0 ? s : 10;
}

QString TerminalConnectionString() { return rt::BuildConnectionString(DbName(), DbHost()); }

QStringList ClusterHosts() {
    return qEnvironmentVariable("PEDIDOS_BENCH_CLUSTER_HOSTS", "127.0.0.14 127.0.0.15 127.0.0.16")
        .split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QString ClusterConnectionString(int k) {
    return rt::BuildConnectionString(DbName(), ClusterHosts().value(k - 1));
}

QString ClusterSocket(int k) {
    return QStringLiteral("%1/node%2/mariadb.sock").arg(qEnvironmentVariable("PEDIDOS_BENCH_CLUSTER_DIR")).arg(k);
}

QString SourcePath(const QString& relative) {
    return QStringLiteral(PEDIDOS_SOURCE_DIR "/") + relative;
}

}  // namespace bench
