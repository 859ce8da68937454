#include "support/proxy_sockets.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace bench {
namespace {

bool Address(const std::string& host, int port, sockaddr_in* a) {
    *a = sockaddr_in{};
    a->sin_family = AF_INET;
    a->sin_port = htons(static_cast<uint16_t>(port));
    return inet_pton(AF_INET, host.c_str(), &a->sin_addr) == 1;
}

}  // namespace

int ListenOn(const std::string& host, int& port, std::string* error) {
    sockaddr_in a;
    if (!Address(host, port, &a)) {
        *error = "not an IPv4 address: " + host;
        return -1;
    }
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    if (fd >= 0) setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(fd, 64) != 0) {
        *error = "cannot listen on " + host + ":" + std::to_string(port) + ": " + std::strerror(errno);
        if (fd >= 0) close(fd);
        return -1;
    }
    socklen_t length = sizeof a;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length) == 0) port = ntohs(a.sin_port);
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    return fd;
}

void Tune(int fd) {
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
}

int ConnectTo(const std::string& host, int port) {
    sockaddr_in a;
    if (!Address(host, port, &a)) return -1;
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        close(fd);
        return -1;
    }
    Tune(fd);
    return fd;
}

bool Flush(int fd, std::string& pending) {
    while (!pending.empty()) {
        const ssize_t n = send(fd, pending.data(), pending.size(), MSG_NOSIGNAL);
        if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
        pending.erase(0, static_cast<std::size_t>(n));
    }
    return true;
}

bool ReadInto(int fd, std::string& into) {
    char buffer[16384];
    const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    if (n > 0) {
        into.append(buffer, static_cast<std::size_t>(n));
        return true;
    }
    return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR);
}

}  // namespace bench
