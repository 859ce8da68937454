#include "sending/journal_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include <QFile>

#include "sending/journal_disk.h"
#include "sending/send_messages.h"

namespace sending {

JournalLock::JournalLock(const QString& folder) {
    if (!ProcessJournalDisk().MakeFolder(folder, &error_)) return;
    const QByteArray path = QFile::encodeName(folder + QStringLiteral("/pedidos.lock"));
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0 || ::fchmod(fd, 0600) != 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int why = errno;
        if (fd >= 0) ::close(fd);
        heldByAnother_ = why == EWOULDBLOCK;
        error_ = heldByAnother_ ? OtherProgramMessage(folder) : QString::fromLocal8Bit(std::strerror(why));
        return;
    }
    fd_ = fd;
}

JournalLock::~JournalLock() { Release(); }

JournalLock::JournalLock(JournalLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      heldByAnother_(other.heldByAnother_),
      error_(std::move(other.error_)) {}

JournalLock& JournalLock::operator=(JournalLock&& other) noexcept {
    if (this != &other) {
        Release();
        fd_ = std::exchange(other.fd_, -1);
        heldByAnother_ = other.heldByAnother_;
        error_ = std::move(other.error_);
    }
    return *this;
}

void JournalLock::Release() {
    // Closing the only descriptor of the open file drops its lock.
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

}  // namespace sending
