#include "runtime/bounded_file.h"

#include <QDebug>
#include <algorithm>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rt {
namespace {

// What a file that is not regular is, in the words of the message.
QString KindOf(mode_t mode) {
    if (S_ISFIFO(mode)) return QStringLiteral("es una tubería con nombre (FIFO), no un archivo");
    if (S_ISCHR(mode) || S_ISBLK(mode)) return QStringLiteral("es un dispositivo, no un archivo");
    if (S_ISSOCK(mode)) return QStringLiteral("es un socket, no un archivo");
    return QStringLiteral("no es un archivo normal");
}

BoundedFile Refused(FileRefusal why, const QString& problem = QString()) {
    BoundedFile f;
    f.refusal = why;
    f.problem = problem;
    return f;
}

// The refusal for a file whose status says what it is; kNone for a regular file.
BoundedFile ByMode(mode_t mode) {
    if (S_ISREG(mode)) return {};
    if (S_ISDIR(mode)) return Refused(FileRefusal::kFolder, QStringLiteral("es una carpeta, no un archivo"));
    return Refused(FileRefusal::kNotRegular, KindOf(mode));
}

BoundedFile FromOpenError(const QString& path, int error) {
    switch (error) {
        case ENOENT:
            return Refused(QFileInfo(QFileInfo(path).absolutePath()).isDir() ? FileRefusal::kMissing
                                                                            : FileRefusal::kNoFolder);
        case ENOTDIR:
            return Refused(FileRefusal::kNoFolder);
        case EACCES:
        case EPERM:
            return Refused(FileRefusal::kUnreadable, QStringLiteral("no hay permiso para leerlo"));
        case ELOOP:
            return Refused(FileRefusal::kUnreadable, QStringLiteral("es un enlace que da vueltas sobre sí mismo"));
        case ENXIO:  // a socket, or a device without its driver
            return Refused(FileRefusal::kNotRegular, QStringLiteral("no es un archivo normal"));
        default:
            return Refused(FileRefusal::kUnreadable, QString::fromLocal8Bit(std::strerror(error)));
    }
}

// Reads up to bound + 1 bytes, growing as the file does: one more than the
// bound says the file is too large.
BoundedFile ReadOpen(int fd, qint64 maxBytes) {
    BoundedFile f;
    qint64 got = 0;
    while (got <= maxBytes) {
        f.bytes.resize(static_cast<qsizetype>(std::min<qint64>(maxBytes + 1, got + 65536)));
        const ssize_t n = ::read(fd, f.bytes.data() + got, static_cast<size_t>(f.bytes.size() - got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Refused(FileRefusal::kUnreadable, QString::fromLocal8Bit(std::strerror(errno)));
        if (n == 0) break;
        got += n;
    }
    if (got > maxBytes)
        return Refused(FileRefusal::kTooLarge,
                       QStringLiteral("tiene más de %1 KB, más de lo que puede tener este archivo")
                           .arg(maxBytes / 1024));
    f.bytes.truncate(got);
    return f;
}

}  // namespace

BoundedFile ReadBoundedDescriptor(int fd, qint64 maxBytes) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return Refused(FileRefusal::kUnreadable, QString::fromLocal8Bit(std::strerror(errno)));
    BoundedFile f = ByMode(st.st_mode);
    if (f.refusal != FileRefusal::kNone) return f;
    f = ReadOpen(fd, maxBytes);
    f.device = st.st_dev;
    f.inode = st.st_ino;
    f.mode = st.st_mode & 07777;
    f.owner = st.st_uid;
    return f;
}

namespace {

BoundedFile Read(const QString& path, qint64 maxBytes) {
    if (path.isEmpty()) return Refused(FileRefusal::kMissing);
    const QByteArray name = QFile::encodeName(path);
    // What the path is, before opening it: a device is never opened at all.
    struct stat st {};
    if (::stat(name.constData(), &st) != 0) return FromOpenError(path, errno);
    if (BoundedFile f = ByMode(st.st_mode); f.refusal != FileRefusal::kNone) return f;
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return FromOpenError(path, errno);
    // The path may have been replaced since: what counts is what was opened.
    BoundedFile f = ReadBoundedDescriptor(fd, maxBytes);
    ::close(fd);
    return f;
}

}  // namespace

BoundedFile ReadBoundedFile(const QString& path, qint64 maxBytes) {
    BoundedFile f = Read(path, maxBytes);
    if (f.refusal != FileRefusal::kNone && f.refusal != FileRefusal::kMissing &&
        f.refusal != FileRefusal::kNoFolder)
        qWarning().noquote() << "file not read:" << path << "-" << f.problem;
    return f;
}

}  // namespace rt
