#include "fault_campaign/watched_disk.h"

namespace campaign {

bool WatchedDisk::MakeFolder(const QString& folder, QString* error) {
    ++changes_;
    return PosixJournalDisk::MakeFolder(folder, error);
}

bool WatchedDisk::WriteFile(const QString& path, const QByteArray& data, QString* error) {
    ++changes_;
    return PosixJournalDisk::WriteFile(path, data, error);
}

bool WatchedDisk::Rename(const QString& from, const QString& to, QString* error) {
    ++changes_;
    return PosixJournalDisk::Rename(from, to, error);
}

bool WatchedDisk::RenameNoReplace(const QString& from, const QString& to, QString* error) {
    ++changes_;
    return PosixJournalDisk::RenameNoReplace(from, to, error);
}

bool WatchedDisk::Remove(const QString& path, QString* error) {
    ++changes_;
    return PosixJournalDisk::Remove(path, error);
}

}  // namespace campaign
