#include "sending/journal_disk.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <QFile>

namespace sending {
namespace {

constexpr mode_t kFolderMode = 0700;
constexpr mode_t kFileMode = 0600;

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
    const int fd = ::open(Native(path).constData(), flags | O_CLOEXEC);
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
    const QByteArray path = Native(folder);
    // Each missing folder from the top down, so none is ever open to others
    // (mkdir's mode is narrowed by the umask, never widened).
    for (qsizetype slash = path.indexOf('/', 1); slash >= 0; slash = path.indexOf('/', slash + 1)) {
        const QByteArray above = path.left(slash);
        if (::mkdir(above.constData(), kFolderMode) != 0 && errno != EEXIST) return Failed(error);
    }
    if (::mkdir(path.constData(), kFolderMode) != 0 && errno != EEXIST) return Failed(error);
    struct stat st {};
    if (::stat(path.constData(), &st) != 0) return Failed(error);
    if (!S_ISDIR(st.st_mode)) {
        errno = ENOTDIR;  // a file where the folder should be
        return Failed(error);
    }
    if ((st.st_mode & 07777) != kFolderMode && ::chmod(path.constData(), kFolderMode) != 0) return Failed(error);
    return true;
}

bool PosixJournalDisk::WriteFile(const QString& path, const QByteArray& data, QString* error) {
    const int fd = ::open(Native(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, kFileMode);
    if (fd < 0) return Failed(error);
    // A file left by an earlier run keeps its mode through O_TRUNC: set it.
    if (::fchmod(fd, kFileMode) != 0) {
        CloseKeepingErrno(fd);
        return Failed(error);
    }
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
