#include "escpos_backend/printer_link.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace escposbackend {
namespace {

using Clock = std::chrono::steady_clock;

std::string SystemError(int code) {
    return std::strerror(code);
}

// Waits for `events` on `fd` until `deadline`; the poll result (0: time out).
int WaitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd wait{fd, events, 0};
        const int ready = ::poll(&wait, 1, left > 0 ? static_cast<int>(left) : 0);
        if (ready < 0 && errno == EINTR) continue;
        return ready;
    }
}

// One non-blocking connect to `address` within `deadline`; the socket or -1.
int ConnectTo(const addrinfo& address, Clock::time_point deadline, std::string* error) {
    const int fd = ::socket(address.ai_family, address.ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK,
                            address.ai_protocol);
    if (fd < 0) {
        *error = "socket: " + SystemError(errno);
        return -1;
    }
    if (::connect(fd, address.ai_addr, address.ai_addrlen) != 0 && errno != EINPROGRESS) {
        *error = SystemError(errno);
        ::close(fd);
        return -1;
    }
    const int ready = WaitFor(fd, POLLOUT, deadline);
    int code = 0;
    socklen_t size = sizeof code;
    if (ready <= 0) {
        *error = ready == 0 ? "no contesta (tiempo agotado)" : SystemError(errno);
    } else if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &code, &size) != 0 || code != 0) {
        *error = SystemError(code != 0 ? code : errno);
    } else {
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        return fd;
    }
    ::close(fd);
    return -1;
}

}  // namespace

std::unique_ptr<PrinterLink> PrinterLink::Connect(const std::string& host, int port,
                                                  std::chrono::milliseconds wait, std::string* error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (const int code = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found); code != 0) {
        *error = "no se encuentra " + host + ": " + ::gai_strerror(code);
        return nullptr;
    }
    const auto deadline = Clock::now() + wait;
    int fd = -1;
    for (const addrinfo* a = found; a && fd < 0; a = a->ai_next) fd = ConnectTo(*a, deadline, error);
    ::freeaddrinfo(found);
    if (fd < 0) return nullptr;
    return std::unique_ptr<PrinterLink>(new PrinterLink(fd));
}

PrinterLink::~PrinterLink() {
    ::close(fd_);
}

void PrinterLink::DropUnasked() {
    char buffer[256];
    while (::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT) > 0) {
    }
}

PrinterLink::Asked PrinterLink::AskStatus(std::chrono::milliseconds wait,
                                          std::array<std::uint8_t, 3>* answers, std::string* error) {
    DropUnasked();
    static constexpr char kWhich[3] = {1, 2, 4};
    for (std::size_t i = 0; i < 3; ++i) {
        const char request[3] = {0x10, 0x04, kWhich[i]};
        if (!Send(std::string(request, 3), wait, error)) return Asked::Lost;
        const auto deadline = Clock::now() + wait;
        for (;;) {
            const int ready = WaitFor(fd_, POLLIN, deadline);
            if (ready < 0) {
                *error = SystemError(errno);
                return Asked::Lost;
            }
            if (ready == 0) return Asked::Silent;
            std::uint8_t byte = 0;
            const ssize_t n = ::recv(fd_, &byte, 1, 0);
            if (n == 1) {
                (*answers)[i] = byte;
                break;
            }
            if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
            *error = n == 0 ? "la impresora cerró la conexión" : SystemError(errno);
            return Asked::Lost;
        }
    }
    return Asked::Answered;
}

bool PrinterLink::Send(const std::string& data, std::chrono::milliseconds stall, std::string* error) {
    std::size_t sent = 0;
    while (sent < data.size()) {
        const int ready = WaitFor(fd_, POLLOUT, Clock::now() + stall);
        if (ready <= 0) {
            *error = ready == 0 ? "la impresora no toma datos" : SystemError(errno);
            return false;
        }
        const ssize_t n = ::send(fd_, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            *error = SystemError(errno);
            return false;
        }
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

void PrinterLink::Close(std::chrono::milliseconds wait) {
    ::shutdown(fd_, SHUT_WR);
    const auto deadline = Clock::now() + wait;
    char buffer[256];
    while (WaitFor(fd_, POLLIN, deadline) > 0) {
        const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
        if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) return;
    }
}

}  // namespace escposbackend
