#include "support/disk_floor.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace bench {

void SyncOnce(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) throw std::runtime_error(std::string("open: ") + std::strerror(errno));
    const bool ok = ::pwrite(fd, bytes.constData(), static_cast<size_t>(bytes.size()), 0) == bytes.size() &&
                    ::fdatasync(fd) == 0;
    const int error = errno;
    ::close(fd);
    if (!ok) throw std::runtime_error(std::string("write and sync: ") + std::strerror(error));
}

}  // namespace bench
