#include "sending/private_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <QDebug>
#include <QFile>

namespace sending {
namespace {

constexpr mode_t kFolderMode = 0700;
constexpr mode_t kFileMode = 0600;

// Records the reason of the call that just failed; always false.
bool Failed(QString* error) {
    if (error) *error = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

// mkdir of one folder, set to 0700 when this call made it. True when it
// exists afterwards, whoever made it.
bool MakeOne(const QByteArray& path) {
    if (::mkdir(path.constData(), kFolderMode) == 0) return ::chmod(path.constData(), kFolderMode) == 0;
    return errno == EEXIST;
}

}  // namespace

bool MakePrivateFolder(const QString& folder, QString* error) {
    const QByteArray path = QFile::encodeName(folder);
    // Each missing folder from the top down, so none is ever open to others.
    for (qsizetype slash = path.indexOf('/', 1); slash >= 0; slash = path.indexOf('/', slash + 1))
        if (!MakeOne(path.left(slash))) return Failed(error);
    if (!MakeOne(path)) return Failed(error);
    struct stat st {};
    if (::stat(path.constData(), &st) != 0) return Failed(error);
    if (!S_ISDIR(st.st_mode)) {
        errno = ENOTDIR;  // a file where the folder should be
        return Failed(error);
    }
    const mode_t mode = st.st_mode & 07777;
    if (mode == kFolderMode) return true;
    if (::chmod(path.constData(), kFolderMode) != 0) return Failed(error);
    qWarning().noquote() << "terminal files: the folder" << folder << "had mode"
                         << QString::number(mode, 8) << "; set to 700 (this user's alone)";
    return true;
}

int OpenPrivateFile(const QString& path, int flags, QString* error) {
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CREAT | O_CLOEXEC, kFileMode);
    if (fd < 0) {
        Failed(error);
        return -1;
    }
    // open's mode is narrowed by the umask, and a file left by an earlier
    // run keeps its own: set it.
    if (::fchmod(fd, kFileMode) != 0) {
        Failed(error);
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace sending
