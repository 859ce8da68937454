#pragma once
// The least a send's journal costs on the disk: one file of the entry's
// size, written over and synced once.
#include <QByteArray>
#include <QString>

namespace bench {

// Writes `bytes` over `path` (created 0600 when missing) and waits for them
// to reach the disk (fdatasync). Raises std::runtime_error when it cannot.
void SyncOnce(const QString& path, const QByteArray& bytes);

}  // namespace bench
