#include "support/server_control.h"

#include <signal.h>

#include <QFile>
#include <QProcess>
#include <QThread>

#include "support/bench_env.h"

namespace bench {
namespace {

bool ProcessAlive(pid_t pid) { return pid > 0 && kill(pid, 0) == 0; }

pid_t ServerPid(const QString& dir) {
    QFile f(dir + QStringLiteral("/mariadbd.pid"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    return static_cast<pid_t>(f.readAll().trimmed().toLongLong());
}

// Runs `command` in bash after sourcing scripts/lib/`lib`; $1.. are `args`.
bool RunShell(const QString& lib, const QString& command, const QStringList& args, QString* error) {
    QProcess shell;
    shell.setStandardOutputFile(QProcess::nullDevice());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PEDIDOS_ROOT"), SourcePath(QString()));
    env.insert(QStringLiteral("CLUSTER_HOSTS"), ClusterHosts().join(QLatin1Char(' ')));
    shell.setProcessEnvironment(env);
    shell.start(QStringLiteral("bash"), QStringList{QStringLiteral("-c"), QStringLiteral("source \"$0\" && ") + command,
                                                    SourcePath(QStringLiteral("scripts/lib/") + lib)} + args);
    if (!shell.waitForFinished(180000) || shell.exitCode() != 0) {
        *error = command.section(QLatin1Char(' '), 0, 0) + QStringLiteral(" failed: ") +
                 QString::fromUtf8(shell.readAllStandardError()).trimmed().right(400);
        return false;
    }
    return true;
}

}  // namespace

bool RestartServer(bool crash, QString* error) { return StopServer(crash, error) && StartServer(error); }

bool StopServer(bool crash, QString* error) {
    const QString dir = qEnvironmentVariable("PEDIDOS_BENCH_DB_DIR");
    const pid_t pid = ServerPid(dir);
    if (!ProcessAlive(pid)) {
        *error = QStringLiteral("no server running in %1").arg(dir);
        return false;
    }
    kill(pid, crash ? SIGKILL : SIGTERM);
    for (int i = 0; i < 600 && ProcessAlive(pid); ++i) QThread::msleep(50);
    if (ProcessAlive(pid)) {
        *error = QStringLiteral("the server did not stop");
        return false;
    }
    return true;
}

bool StartServer(QString* error) {
    const QString dir = qEnvironmentVariable("PEDIDOS_BENCH_DB_DIR");
    return RunShell(QStringLiteral("mariadb.sh"), QStringLiteral("db_start \"$1\" \"$2\""), {dir, DbHost()}, error);
}

bool KillClusterNode(int k, QString* error) {
    return RunShell(QStringLiteral("cluster.sh"), QStringLiteral("cluster_node_kill \"$1\" \"$2\""),
                    {qEnvironmentVariable("PEDIDOS_BENCH_CLUSTER_DIR"), QString::number(k)}, error);
}

bool StartClusterNode(int k, QString* error) {
    return RunShell(QStringLiteral("cluster.sh"), QStringLiteral("cluster_node_start \"$1\" \"$2\""),
                    {qEnvironmentVariable("PEDIDOS_BENCH_CLUSTER_DIR"), QString::number(k)}, error);
}

}  // namespace bench
