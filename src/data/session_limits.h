#pragma once
// How long the server and the network may keep a terminal's session waiting.
// A send holds the ticket counter row locked from its first statement to its
// COMMIT; a terminal that freezes, loses its network or dies in between must
// not keep every other terminal from sending. Each value below is one piece
// of that: together, a vanished terminal delays another's send by about
// kIdleTransactionSeconds, and whatever holds a lock (a terminal, a backup's
// global read lock, a change to a table) never past kLockWaitSeconds: a send
// that waits that long stops and is not tried again. A send may meet two
// such waits one after the other (the counter, behind a send that itself
// waits for a table a backup holds, then that table): twice
// kLockWaitSeconds stays under the 10 s a waiter may be kept.
#include <QStringList>
#include <span>

#include "data/connection.h"
#include "data/db_error.h"

namespace data {

// A session idle inside a transaction for this long is ended by the server
// (MariaDB's idle_transaction_timeout), which rolls it back and frees the
// counter lock. A send runs its statements back to back, so a session idle
// this long inside one belongs to a terminal that froze or lost its network.
constexpr int kIdleTransactionSeconds = 3;

// A statement waits this long for a row another session holds
// (innodb_lock_wait_timeout), or for a table or the whole server another
// session locked (lock_wait_timeout: FLUSH TABLES WITH READ LOCK, an ALTER
// TABLE; the server's own default is a day), before it fails with 1205. Above
// kIdleTransactionSeconds, so a send waiting behind a
// vanished terminal gets the lock as soon as that one is ended, without a
// failed try; far below the client's read time-out (Connection::
// CommandTimeout, 30 s or more), so the wait ends as the server's answer and
// not as a connection given up for lost.
constexpr int kLockWaitSeconds = 4;

// The server waits this long for the rest of a packet a terminal started
// sending (net_read_timeout) or for a terminal to take an answer
// (net_write_timeout) before dropping the connection. Statements and answers
// are a few kilobytes, which even a poor Wi-Fi link carries in well under a
// second; a terminal frozen mid-packet would otherwise hold its locks for
// the server's default 30 or 60 s.
constexpr int kNetTimeoutSeconds = 5;

// The client's socket asks a silent server whether it is still there after
// kKeepAliveIdleSeconds, then every kKeepAliveIntervalSeconds; after
// kKeepAliveProbes unanswered probes (about 11 s in all) the connection
// fails with "lost connection", also while data the terminal sent is still
// unacknowledged. A terminal then notices a dead server or network in
// seconds instead of after the kernel's two hours, or the read time-out.
constexpr int kKeepAliveIdleSeconds = 5;
constexpr int kKeepAliveIntervalSeconds = 2;
constexpr int kKeepAliveProbes = 3;

// One session variable and the value it is given.
struct SessionSetting {
    const char* name;
    int seconds;
};

// The session variables every connection of the terminal sets on opening.
// Plain SESSION variables: any user may set them.
inline constexpr SessionSetting kSessionLimits[] = {
    {"idle_transaction_timeout", kIdleTransactionSeconds},
    {"innodb_lock_wait_timeout", kLockWaitSeconds},
    {"lock_wait_timeout", kLockWaitSeconds},
    {"net_read_timeout", kNetTimeoutSeconds},
    {"net_write_timeout", kNetTimeoutSeconds},
};

// Sets `settings` on the session of `c`, all in one statement. When the
// server refuses that statement (MySQL has no idle_transaction_timeout, say)
// each is set on its own, and each that still cannot be set is logged and
// left as the server has it. Returns the names of those not set. A lost
// connection raises its DbError.
QStringList ApplySessionSettings(Connection& c, std::span<const SessionSetting> settings);
// Its two halves: the one statement that sets them all, and, after the
// server refused it with `refusal`, each set on its own.
QString SessionSettingsStatement(std::span<const SessionSetting> settings);
QStringList ApplyEachSessionSetting(Connection& c, std::span<const SessionSetting> settings,
                                    const DbError& refusal);

// Turns TCP keepalive on for socket `fd` with the times above. A socket that
// is not a TCP one (a local socket) is left alone; an option the kernel
// refuses is logged and the connection goes on without it.
void EnableKeepAlive(int fd);

}  // namespace data
