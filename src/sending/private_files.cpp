#include "sending/private_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <algorithm>
#include <cstring>

#include <QDebug>
#include <QFile>

#include "runtime/bounded_file.h"

namespace sending {
namespace {

constexpr mode_t kFolderMode = 0700;
constexpr mode_t kFileMode = 0600;
// Group and others may write: whoever can may put a link in our place.
constexpr mode_t kOthersWrite = 0022;

QString SystemReason() { return QString::fromLocal8Bit(std::strerror(errno)); }

// Records the reason of the call that just failed; always false.
bool Failed(QString* error) {
    if (error) *error = SystemReason();
    return false;
}

// The name holds something that is not this user's own; always false.
bool Refused(QString* error, bool* refused, const QString& why) {
    if (error) *error = why;
    if (refused) *refused = true;
    return false;
}

QString OtherOwner(uid_t uid) { return QStringLiteral("pertenece a otro usuario (uid %1)").arg(uid); }

// Closes `fd` keeping the errno of an earlier failure.
void CloseKeepingErrno(int fd) {
    const int saved = errno;
    ::close(fd);
    errno = saved;
}

int OpenFolder(const QByteArray& path) {
    return ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// mkdir of one folder; one this call made is set to 0700 through a
// descriptor of its own, never through a name someone may have swapped for
// a link. True when it exists afterwards, whoever made it.
bool MakeOne(const QByteArray& path) {
    if (::mkdir(path.constData(), kFolderMode) != 0) return errno == EEXIST;
    const int fd = OpenFolder(path);
    if (fd < 0) return false;
    const bool set = ::fchmod(fd, kFolderMode) == 0;
    CloseKeepingErrno(fd);
    return set;
}

// The folder at `path`, looked at itself (lstat): this user's own folder,
// or refused. Found with other rights it is set to 0700 (when `fix`) through
// a descriptor that is checked to be the folder just looked at.
bool CheckFolder(const QString& folder, const QByteArray& path, bool fix, QString* error, bool* refused) {
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0) return Failed(error);
    if (S_ISLNK(st.st_mode)) return Refused(error, refused, QStringLiteral("es un enlace simbólico, no una carpeta"));
    if (!S_ISDIR(st.st_mode)) return Refused(error, refused, QStringLiteral("no es una carpeta"));
    if (st.st_uid != ::geteuid()) return Refused(error, refused, OtherOwner(st.st_uid));
    const mode_t mode = st.st_mode & 07777;
    if (mode == kFolderMode) return true;
    if (!fix && (mode & kOthersWrite) != 0)
        return Refused(error, refused, QStringLiteral("otros usuarios pueden escribir en ella"));
    if (!fix) return true;
    const int fd = OpenFolder(path);
    if (fd < 0) return Failed(error);
    struct stat opened {};
    const bool same = ::fstat(fd, &opened) == 0 && opened.st_dev == st.st_dev && opened.st_ino == st.st_ino;
    const bool set = same && ::fchmod(fd, kFolderMode) == 0;
    const QString why = same ? SystemReason() : QStringLiteral("cambió mientras se revisaba");
    ::close(fd);
    if (!set && (mode & kOthersWrite) != 0)
        return Refused(error, refused, QStringLiteral("otros usuarios pueden escribir en ella (%1)").arg(why));
    if (!set) {
        if (error) *error = why;
        return false;
    }
    qWarning().noquote() << "terminal files: the folder" << folder << "had mode" << QString::number(mode, 8)
                         << "; set to 700 (this user's alone)";
    return true;
}

// The open file `fd` is a regular file of this user's with no other name
// (truncating or changing the mode of a file linked elsewhere would change
// that file too); set to 0600 through the descriptor.
bool OwnRegularFile(int fd, QString* error, bool* refused) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return Failed(error);
    if (!S_ISREG(st.st_mode)) return Refused(error, refused, QStringLiteral("no es un archivo normal"));
    if (st.st_uid != ::geteuid()) return Refused(error, refused, OtherOwner(st.st_uid));
    if (st.st_nlink > 1)
        return Refused(error, refused, QStringLiteral("tiene otro nombre en el disco (un enlace duro)"));
    if ((st.st_mode & 07777) != kFileMode && ::fchmod(fd, kFileMode) != 0) return Failed(error);
    return true;
}

// open()'s refusal of a name that holds no regular file: a link (O_NOFOLLOW),
// a folder, a pipe nobody reads (O_NONBLOCK). -1 either way.
int OpenFailed(QString* error, bool* refused) {
    if (errno == ELOOP) Refused(error, refused, QStringLiteral("es un enlace simbólico"));
    else if (errno == EISDIR) Refused(error, refused, QStringLiteral("es una carpeta"));
    else if (errno == ENXIO) Refused(error, refused, QStringLiteral("no es un archivo normal"));
    else Failed(error);
    return -1;
}

}  // namespace

bool MakePrivateFolder(const QString& folder, QString* error, bool* refused) {
    if (refused) *refused = false;
    const QByteArray path = QFile::encodeName(folder);
    // Each missing folder from the top down, so none is ever open to others.
    for (qsizetype slash = path.indexOf('/', 1); slash >= 0; slash = path.indexOf('/', slash + 1))
        if (!MakeOne(path.left(slash))) return Failed(error);
    if (!MakeOne(path)) return Failed(error);
    return CheckFolder(folder, path, true, error, refused);
}

bool PrivateFolderUsable(const QString& folder, QString* error) {
    error->clear();
    const QByteArray path = QFile::encodeName(folder);
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0) {
        if (errno != ENOENT) Failed(error);
        return false;
    }
    return CheckFolder(folder, path, false, error, nullptr);
}

int OpenPrivateFile(const QString& path, int flags, QString* error, bool* refused) {
    if (refused) *refused = false;
    // O_NONBLOCK: a pipe in the file's place answers at once instead of
    // holding start-up; on a regular file it changes nothing.
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                          kFileMode);
    if (fd < 0) return OpenFailed(error, refused);
    if (!OwnRegularFile(fd, error, refused)) {
        CloseKeepingErrno(fd);
        return -1;
    }
    return fd;
}

int CreatePrivateFile(const QString& path, int flags, QString* error) {
    const QByteArray native = QFile::encodeName(path);
    // unlink removes a link itself, never what it points to.
    const int fd = ::unlink(native.constData()) == 0 || errno == ENOENT
                       ? ::open(native.constData(), flags | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kFileMode)
                       : -1;
    if (fd < 0) {
        Failed(error);
        return -1;
    }
    // open's mode is narrowed by the umask: set it on the file just made.
    if (::fchmod(fd, kFileMode) != 0) {
        Failed(error);
        ::close(fd);
        return -1;
    }
    return fd;
}

std::optional<QByteArray> ReadPrivateFile(const QString& path, qint64 maxBytes, QString* error) {
    error->clear();
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT) OpenFailed(error, nullptr);
        return std::nullopt;
    }
    // The outside files' reader, on a file opened without following a link.
    rt::BoundedFile f = rt::ReadBoundedDescriptor(fd, maxBytes);
    ::close(fd);
    if (f.refusal != rt::FileRefusal::kNone) *error = f.problem;
    else if (f.owner != ::geteuid()) *error = OtherOwner(f.owner);
    if (!error->isEmpty()) return std::nullopt;
    return std::move(f.bytes);
}

bool NameExists(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

bool RenameNoReplace(const QString& from, const QString& to, QString* error) {
    const QByteArray a = QFile::encodeName(from), b = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return Failed(error);
    // A file system without RENAME_NOREPLACE: link refuses a name taken too.
    if (::link(a.constData(), b.constData()) != 0 || ::unlink(a.constData()) != 0) return Failed(error);
    return true;
}

}  // namespace sending
