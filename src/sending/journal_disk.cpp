#include "sending/journal_disk.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <QFile>

#include "sending/private_files.h"

namespace sending {
namespace {

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

// Records the reason of the call that just failed; always false.
bool Failed(QString* error) {
    if (error) *error = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

// Closes `fd` keeping the errno of an earlier failure.
void CloseKeepingErrno(int fd) {
    const int saved = errno;
    ::close(fd);
    errno = saved;
}

// fsync and friends on a descriptor opened with `flags`, closed after.
bool SyncOpened(const QString& path, int flags, int (*sync)(int), QString* error) {
    const int fd = ::open(Native(path).constData(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return Failed(error);
    if (sync(fd) != 0) {
        CloseKeepingErrno(fd);
        return Failed(error);
    }
    if (::close(fd) != 0) return Failed(error);
    return true;
}

}  // namespace

bool PosixJournalDisk::MakeFolder(const QString& folder, QString* error) {
    return MakePrivateFolder(folder, error);
}

bool PosixJournalDisk::WriteFile(const QString& path, const QByteArray& data, QString* error) {
    const int fd = CreatePrivateFile(path, O_WRONLY, error);
    if (fd < 0) return false;
    for (qsizetype done = 0; done < data.size();) {
        const ssize_t n = ::write(fd, data.constData() + done, static_cast<size_t>(data.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            CloseKeepingErrno(fd);
            return Failed(error);
        }
        done += n;
    }
    if (::close(fd) != 0) return Failed(error);
    return true;
}

bool PosixJournalDisk::SyncFile(const QString& path, QString* error) {
    return SyncOpened(path, O_RDONLY, ::fdatasync, error);
}

bool PosixJournalDisk::Rename(const QString& from, const QString& to, QString* error) {
    if (std::rename(Native(from).constData(), Native(to).constData()) != 0) return Failed(error);
    return true;
}

bool PosixJournalDisk::RenameNoReplace(const QString& from, const QString& to, QString* error) {
    return sending::RenameNoReplace(from, to, error);
}

bool PosixJournalDisk::Remove(const QString& path, QString* error) {
    if (::unlink(Native(path).constData()) != 0 && errno != ENOENT) return Failed(error);
    return true;
}

bool PosixJournalDisk::SyncFolder(const QString& folder, QString* error) {
    return SyncOpened(folder, O_RDONLY | O_DIRECTORY, ::fsync, error);
}

JournalDisk& ProcessJournalDisk() {
    static PosixJournalDisk disk;
    return disk;
}

}  // namespace sending
