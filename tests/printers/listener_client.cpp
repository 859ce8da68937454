#include "printers/listener_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace printerstest {

ListenerClient::~ListenerClient() {
    if (fd_ >= 0) ::close(fd_);
}

bool ListenerClient::Connect(const QString& host, quint16 port, QString* error) {
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(port);
    ::inet_pton(AF_INET, host.toLatin1().constData(), &where.sin_addr);
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0 || ::connect(fd_, reinterpret_cast<const sockaddr*>(&where), sizeof where) != 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    return true;
}

bool ListenerClient::Send(const QByteArray& bytes) {
    return ::send(fd_, bytes.constData(), static_cast<std::size_t>(bytes.size()), MSG_NOSIGNAL) ==
           bytes.size();
}

QByteArray ListenerClient::Read(int count, std::chrono::milliseconds limit) {
    QByteArray got;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (got.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd wait{fd_, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&wait, 1, static_cast<int>(left.count())) <= 0) break;
        char buffer[64];
        const ssize_t n = ::recv(fd_, buffer, std::min<std::size_t>(sizeof buffer, count - got.size()), 0);
        if (n <= 0) break;
        got.append(buffer, n);
    }
    return got;
}

QByteArray ListenerClient::Finish(std::chrono::milliseconds limit) {
    ::shutdown(fd_, SHUT_WR);
    return Read(1 << 20, limit);
}

QByteArray StatusRequest(char n) {
    return QByteArray("\x10\x04", 2).append(n);
}

}  // namespace printerstest
