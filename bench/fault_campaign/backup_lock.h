#pragma once
// A backup as the restaurant's own tools take one: root, over the server's
// local socket, holds FLUSH TABLES WITH READ LOCK for a while. Meanwhile no
// terminal can take the ticket counter or commit; each send waits at most
// the session's lock wait limit, fails, and the waiter presses again. On a
// cluster node the node also stops applying the others' writes, so a settle
// there, which reads what the cluster certified, waits until it is over.
#include <QString>
#include <chrono>
#include <functional>

namespace campaign {

// Takes the global read lock on the server (or cluster node) of `socket`,
// holds it for `hold` and releases it, calling `taken` and `released` at
// those moments. False, with the reason in `error`, when it could not be
// taken or released.
bool HoldBackupLock(const QString& socket, std::chrono::seconds hold, QString* error,
                    const std::function<void()>& taken, const std::function<void()>& released);

}  // namespace campaign
