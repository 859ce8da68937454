#include "fault_campaign/watched_disk.h"

namespace campaign {

bool WatchedDisk::MakeFolder(const QString& folder, QString* error) {
    ++changes_;
    return real_.MakeFolder(folder, error);
}

bool WatchedDisk::WriteFile(const QString& path, const QByteArray& data, QString* error) {
    ++changes_;
    return real_.WriteFile(path, data, error);
}

bool WatchedDisk::SyncFile(const QString& path, QString* error) { return real_.SyncFile(path, error); }

bool WatchedDisk::Rename(const QString& from, const QString& to, QString* error) {
    ++changes_;
    return real_.Rename(from, to, error);
}

bool WatchedDisk::Remove(const QString& path, QString* error) {
    ++changes_;
    return real_.Remove(path, error);
}

bool WatchedDisk::SyncFolder(const QString& folder, QString* error) { return real_.SyncFolder(folder, error); }

}  // namespace campaign
