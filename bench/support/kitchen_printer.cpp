#include "support/kitchen_printer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <QRegularExpression>
#include <QThread>

#include "support/bench_env.h"

extern char** environ;

namespace bench {
namespace {

// True when something accepts connections where the printer listens.
bool Answers() {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(PrinterPort()));
    inet_pton(AF_INET, PrinterHost().toLatin1().constData(), &a.sin_addr);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    close(fd);
    return ok;
}

}  // namespace

bool KitchenPrinter::Start() {
    const QByteArray program = QByteArrayLiteral(PRINTER_LISTENER_BINARY);
    const QByteArray address = PrinterHost().toLatin1(), port = QByteArray::number(PrinterPort()),
                     file = file_.toLocal8Bit();
    char* argv[] = {const_cast<char*>(program.constData()), const_cast<char*>(address.constData()),
                    const_cast<char*>(port.constData()), const_cast<char*>(file.constData()), nullptr};
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    // Nothing of it on the benchmark's output: a listener left behind by a
    // program that crashed must not hold the pipe scripts/bench reads.
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, program.constData(), &files, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&files);
    if (rc != 0) return false;
    pid_ = pid;
    for (int i = 0; i < 100; ++i) {
        if (Answers()) return true;
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = 0;
            return false;
        }
        QThread::msleep(20);
    }
    Stop();  // started but never listening
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

std::map<QString, int> KitchenPrinter::WaitForTickets(const std::map<QString, int>& expected, int seconds) const {
    for (int i = 0;; ++i) {
        std::map<QString, int> received = Received();
        const bool all = std::all_of(expected.begin(), expected.end(), [&](const auto& e) {
            const auto it = received.find(e.first);
            return it != received.end() && it->second >= e.second;
        });
        if (all || i >= seconds * 2) return received;
        QThread::msleep(500);
    }
}

}  // namespace bench
