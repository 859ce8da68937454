#pragma once
// Database actions that outlive a lost connection: the connection is opened
// again before it is used when it was closed, and a read that lost its
// connection is asked again once on a new one. When the server still cannot
// be reached they raise ConnectionLost, which the screens' guard shows
// without ending the program.
#include <QString>

#include "data/connection.h"
#include "data/result_set.h"

namespace data {

// Opens `c` with `connectionString` when it is closed. Raises ConnectionLost
// when that fails, whatever the reason (no server, no network, login refused).
void EnsureOpen(Connection& c, const QString& connectionString);

// Runs query `sql` on `c`, opened first when closed. A query that loses its
// connection is run once more on a connection opened again (a read changes
// nothing, so asking twice is safe). Raises ConnectionLost when the server
// cannot be reached or the connection is lost again; any other error of the
// server goes to the caller as its DbError.
ResultSet QueryReconnecting(Connection& c, const QString& connectionString, const QString& sql);

// Runs statement `sql` on `c`, opened first when closed. A statement that
// loses its connection may or may not have been applied, so it is not run
// again: the connection is closed (the next action opens it again) and
// ConnectionLost raised. Any other error goes to the caller as its DbError.
void ExecuteReconnecting(Connection& c, const QString& connectionString, const QString& sql);

}  // namespace data
