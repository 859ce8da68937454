#include "data/reconnecting.h"

#include <QDebug>

#include "data/connection_string.h"
#include "data/db_error.h"
#include "data/error_meaning.h"

namespace data {
namespace {

// What the log says about a statement: its start, enough to find the action.
QString Brief(const QString& sql) {
    return sql.simplified().left(80);
}

// Opens `c` again; ConnectionLost (logged with the server's address, never
// the password) when the server cannot be reached.
void Reopen(Connection& c, const QString& connectionString, const char* why) {
    const QString host = SettingsFromConnectionString(connectionString).host;
    try {
        c.Open(connectionString);
        qInfo().noquote() << "database: connected again to" << host
                          << QStringLiteral("(%1)").arg(QLatin1String(why));
    } catch (const DbError& e) {
        qWarning().noquote() << "database: cannot connect to" << host
                             << QStringLiteral("(%1):").arg(QLatin1String(why)) << e.number()
                             << e.description();
        throw ConnectionLost(e.number(), e.description());
    }
}

// Closes `c`, so the next action connects again instead of using a
// connection the server has dropped, and raises ConnectionLost.
[[noreturn]] void GiveUp(Connection& c, const DbError& e, const QString& sql) {
    qWarning().noquote() << "database: connection lost running" << Brief(sql) << ":" << e.number()
                         << e.description() << "; the next action connects again";
    c.Close();
    throw ConnectionLost(e.number(), e.description());
}

// The server cannot serve this connection now: it is gone, or it is a
// cluster node still joining after a restart, where a new connection
// (perhaps through the balancer to another node) may answer.
bool Unreachable(int number) {
    return MeaningOf(number, ErrorSite::Read).next == NextStep::RunAgain;
}

}  // namespace

void EnsureOpen(Connection& c, const QString& connectionString) {
    if (!c.IsOpen()) Reopen(c, connectionString, "the connection was closed");
}

ResultSet QueryReconnecting(Connection& c, const QString& connectionString, const QString& sql) {
    const bool wasOpen = c.IsOpen();
    EnsureOpen(c, connectionString);
    try {
        return c.Query(sql);
    } catch (const DbError& e) {
        if (!Unreachable(e.number())) throw;
        // One connection attempt per action: a connection just opened and
        // lost at once is not opened a second time.
        if (!wasOpen) GiveUp(c, e, sql);
        qWarning().noquote() << "database: connection lost running" << Brief(sql) << ":"
                             << e.number() << e.description() << "; connecting again";
    }
    Reopen(c, connectionString, "the query lost its connection");
    try {
        return c.Query(sql);
    } catch (const DbError& e) {
        if (Unreachable(e.number())) GiveUp(c, e, sql);
        throw;
    }
}

void ExecuteReconnecting(Connection& c, const QString& connectionString, const QString& sql) {
    EnsureOpen(c, connectionString);
    try {
        c.Execute(sql);
    } catch (const DbError& e) {
        if (Unreachable(e.number())) GiveUp(c, e, sql);
        throw;
    }
}

}  // namespace data
