#include "sending/private_server.h"

#include <signal.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QThread>

#include "support/test_database.h"

namespace sendingtest {

PrivateServer::PrivateServer()
    : dir_(QCoreApplication::applicationDirPath() + "/kill-test-db"),
      host_(qEnvironmentVariable("PEDIDOS_TEST_DB_KILL_HOST", "127.0.0.10")) {}

PrivateServer::~PrivateServer() {
    if (server_ && server_->state() != QProcess::NotRunning) {
        server_->terminate();
        if (!server_->waitForFinished(30000)) server_->kill();
        server_->waitForFinished(5000);
    }
}

QString PrivateServer::Client(const QStringList& args, const QByteArray& input, bool* ok) {
    QProcess p;
    QStringList all{
        "--no-defaults",       "--socket=" + dir_ + "/mariadb.sock", "-uroot", "--batch",
        "--skip-column-names", "--default-character-set=utf8mb4"};
    p.start("mariadb", all + args);
    p.waitForStarted();
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(60000);
    if (ok) *ok = p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    return QString::fromUtf8(p.readAllStandardOutput()) +
           QString::fromUtf8(p.readAllStandardError());
}

bool PrivateServer::Answers() {
    QProcess p;
    p.start("mariadb-admin",
            {"--no-defaults", "--socket=" + dir_ + "/mariadb.sock", "-uroot", "ping"});
    p.waitForFinished(10000);
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// A server left running by an earlier run of this program that died before
// stopping it holds the address: stop it by the id in its own pid file.
void PrivateServer::StopStale() {
    QFile pidFile(dir_ + "/mariadbd.pid");
    if (!pidFile.open(QIODevice::ReadOnly)) return;
    const pid_t pid = static_cast<pid_t>(pidFile.readAll().trimmed().toLongLong());
    if (pid <= 0 || ::kill(pid, 0) != 0) return;
    // Only our own server: mariadbd on this data folder.
    QFile cmdline(QString("/proc/%1/cmdline").arg(pid));
    if (!cmdline.open(QIODevice::ReadOnly)) return;
    const QByteArray args = cmdline.readAll();
    if (!args.contains("mariadbd") || !args.contains((dir_ + "/data").toUtf8())) return;
    ::kill(pid, SIGKILL);
    for (int i = 0; i < 100 && ::kill(pid, 0) == 0; ++i) QThread::msleep(50);
}

bool PrivateServer::Start(QString& error) {
    QDir().mkpath(dir_);
    if (!QDir(dir_ + "/data/mysql").exists()) {
        QDir(dir_ + "/data").removeRecursively();
        QProcess install;
        install.start("mariadb-install-db",
                      {"--no-defaults", "--datadir=" + dir_ + "/data",
                       "--auth-root-authentication-method=normal", "--skip-test-db",
                       "--lower-case-table-names=1", "--user=root"});
        install.waitForFinished(120000);
        if (install.exitStatus() != QProcess::NormalExit || install.exitCode() != 0) {
            error =
                "mariadb-install-db failed: " + QString::fromUtf8(install.readAllStandardError());
            return false;
        }
    }
    StopStale();
    server_ = std::make_unique<QProcess>();
    server_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server_->setStandardOutputFile(QProcess::nullDevice());
    server_->start(
        "mariadbd",
        {"--no-defaults", "--datadir=" + dir_ + "/data", "--socket=" + dir_ + "/mariadb.sock",
         "--port=3306", "--bind-address=" + host_, "--lower-case-table-names=1",
         "--skip-name-resolve", "--user=root", "--skip-log-bin",
         "--pid-file=" + dir_ + "/mariadbd.pid", "--log-error=" + dir_ + "/error.log",
         "--innodb-buffer-pool-size=32M", "--innodb-log-file-size=16M"});
    if (!server_->waitForStarted(10000)) {
        error = "mariadbd did not start";
        return false;
    }
    // Waits for the server process to be ready, not for a result to change.
    for (int i = 0; i < 200; ++i) {
        if (server_->state() == QProcess::NotRunning) break;
        if (Answers()) return true;
        QThread::msleep(100);
    }
    error = "the private server did not answer; see " + dir_ + "/error.log";
    return false;
}

void PrivateServer::Kill() {
    if (!server_) return;
    // A statement hook calls this on the thread ENVIAR sends from, while the
    // screen's thread, which owns the server process, waits in its event
    // loop: the process is killed and reaped there.
    if (QThread::currentThread() != server_->thread()) {
        QMetaObject::invokeMethod(server_.get(), [this] { Kill(); }, Qt::BlockingQueuedConnection);
        return;
    }
    if (server_->state() == QProcess::NotRunning) return;
    ::kill(static_cast<pid_t>(server_->processId()), SIGKILL);
    server_->waitForFinished(10000);
}

bool PrivateServer::LoadDatabase(const QString& name, QString& error,
                                 testsupport::Installation installation) {
    bool ok = false;
    error =
        Client({},
               QString("DROP DATABASE IF EXISTS `%1`; CREATE DATABASE `%1` CHARACTER SET utf8mb4;")
                   .arg(name)
                   .toUtf8(),
               &ok);
    if (!ok) return false;
    QByteArray script;
    try {
        script = testsupport::InstallationScript(installation);
    } catch (const std::exception& e) {
        error = QString::fromUtf8(e.what());
        return false;
    }
    error = Client({"--database=" + name}, script, &ok);
    return ok;
}

QStringList PrivateServer::Query(const QString& name, const QString& sql) {
    bool ok = false;
    const QString out = Client({"--database=" + name}, sql.toUtf8(), &ok);
    if (!ok) return {"error: " + out};
    QStringList rows = out.split('\n');
    if (!rows.isEmpty() && rows.last().isEmpty()) rows.removeLast();
    return rows;
}

}  // namespace sendingtest
