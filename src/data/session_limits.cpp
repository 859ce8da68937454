#include "data/session_limits.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <QDebug>
#include <cerrno>
#include <cstring>

#include "data/db_error.h"

namespace data {
namespace {

QString Assignment(const SessionSetting& s) {
    return QStringLiteral("%1=%2").arg(QLatin1String(s.name)).arg(s.seconds);
}

// Sets one variable; false (logged) when the server refuses it.
bool ApplyOne(Connection& c, const SessionSetting& s) {
    try {
        c.Execute(QStringLiteral("SET SESSION ") + Assignment(s));
        return true;
    } catch (const DbError& e) {
        if (IsLostConnection(e.number())) throw;
        qWarning().noquote() << "database session: cannot set" << s.name << "to" << s.seconds
                             << "- error" << e.number() << e.description()
                             << "; the server's own value stays";
        return false;
    }
}

// Sets one option of the socket; what the kernel refuses is logged.
void SetSocketOption(int fd, int level, int option, int value, const char* name) {
    if (setsockopt(fd, level, option, &value, sizeof value) == 0) return;
    qWarning().noquote() << "database connection: cannot set" << name << "to" << value << "-"
                         << std::strerror(errno) << "; a dead server or network is noticed later";
}

bool IsTcpSocket(int fd) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) return false;
    return address.ss_family == AF_INET || address.ss_family == AF_INET6;
}

}  // namespace

QString SessionSettingsStatement(std::span<const SessionSetting> settings) {
    QStringList assignments;
    for (const SessionSetting& s : settings) assignments << Assignment(s);
    return QStringLiteral("SET SESSION ") + assignments.join(QStringLiteral(", "));
}

QStringList ApplyEachSessionSetting(Connection& c, std::span<const SessionSetting> settings,
                                    const DbError& refusal) {
    qInfo().noquote() << "database session: the server refused the session limits together"
                      << "- error" << refusal.number() << refusal.description() << "; setting each alone";
    QStringList notSet;
    for (const SessionSetting& s : settings)
        if (!ApplyOne(c, s)) notSet << QLatin1String(s.name);
    return notSet;
}

QStringList ApplySessionSettings(Connection& c, std::span<const SessionSetting> settings) {
    try {
        c.Execute(SessionSettingsStatement(settings));
        return {};
    } catch (const DbError& e) {
        if (IsLostConnection(e.number())) throw;
        return ApplyEachSessionSetting(c, settings, e);
    }
}

void EnableKeepAlive(int fd) {
    if (fd < 0 || !IsTcpSocket(fd)) return;
    // Unacknowledged data gives up after the same time the probes take, so a
    // statement sent into a cut network fails as soon as an idle wait would.
    constexpr int kGiveUpMs =
        (kKeepAliveIdleSeconds + kKeepAliveIntervalSeconds * kKeepAliveProbes) * 1000;
    SetSocketOption(fd, SOL_SOCKET, SO_KEEPALIVE, 1, "SO_KEEPALIVE");
    SetSocketOption(fd, IPPROTO_TCP, TCP_KEEPIDLE, kKeepAliveIdleSeconds, "TCP_KEEPIDLE");
    SetSocketOption(fd, IPPROTO_TCP, TCP_KEEPINTVL, kKeepAliveIntervalSeconds, "TCP_KEEPINTVL");
    SetSocketOption(fd, IPPROTO_TCP, TCP_KEEPCNT, kKeepAliveProbes, "TCP_KEEPCNT");
    SetSocketOption(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, kGiveUpMs, "TCP_USER_TIMEOUT");
}

}  // namespace data
