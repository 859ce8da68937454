#include "sending/journal_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "sending/private_files.h"
#include "sending/send_messages.h"

namespace sending {

JournalLock::JournalLock(const QString& folder) {
    if (!MakePrivateFolder(folder, &error_)) return;
    const int fd = OpenPrivateFile(folder + QStringLiteral("/pedidos.lock"), O_RDWR, &error_);
    if (fd < 0) return;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int why = errno;
        ::close(fd);
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
