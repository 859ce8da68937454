#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

#include "soak/soak.h"
#include "support/bench_env.h"

extern char** environ;

namespace soak {
namespace {

// True when something accepts connections on ADDRESS:9100.
bool Answers(const QString& address) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(9100);
    inet_pton(AF_INET, address.toLatin1().constData(), &a.sin_addr);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    close(fd);
    return ok;
}

bool ProcessAlive(pid_t pid) { return pid > 0 && kill(pid, 0) == 0; }

pid_t ServerPid(const QString& dir) {
    QFile f(dir + QStringLiteral("/mariadbd.pid"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    return static_cast<pid_t>(f.readAll().trimmed().toLongLong());
}

}  // namespace

bool KitchenPrinter::Start() {
    const QByteArray program = QByteArrayLiteral(PRINTER_LISTENER_BINARY);
    const QByteArray address = bench::PrinterHost().toLatin1(), file = file_.toLocal8Bit();
    char* argv[] = {const_cast<char*>(program.constData()), const_cast<char*>(address.constData()),
                    const_cast<char*>("9100"), const_cast<char*>(file.constData()), nullptr};
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, program.constData(), &files, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&files);
    if (rc != 0) return false;
    pid_ = pid;
    for (int i = 0; i < 100; ++i) {
        if (Answers(bench::PrinterHost())) return true;
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) break;
        QThread::msleep(20);
    }
    pid_ = 0;
    return false;
}

void KitchenPrinter::Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = 0;
}

std::map<QString, int> KitchenPrinter::Received() const {
    std::map<QString, int> count;
    QFile f(file_);
    if (!f.open(QIODevice::ReadOnly)) return count;
    static const QRegularExpression kNumber(QStringLiteral("COMANDA: (\\d+)"));
    const QString text = QString::fromLatin1(f.readAll());
    for (auto it = kNumber.globalMatch(text); it.hasNext();) ++count[it.next().captured(1)];
    return count;
}

bool RestartServer(bool crash, QString* error) {
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
    // Started again by the same shell function that started it.
    QProcess start;
    start.setStandardOutputFile(QProcess::nullDevice());
    start.start(QStringLiteral("bash"),
                {QStringLiteral("-c"), QStringLiteral("source \"$0\" && db_start \"$1\" \"$2\""),
                 bench::SourcePath(QStringLiteral("scripts/lib/mariadb.sh")), dir, bench::DbHost()});
    if (!start.waitForFinished(120000) || start.exitCode() != 0) {
        *error = QStringLiteral("db_start failed: ") + QString::fromUtf8(start.readAllStandardError());
        return false;
    }
    return true;
}

}  // namespace soak
