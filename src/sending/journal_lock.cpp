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
    const QString path = folder + QStringLiteral("/pedidos.lock");
    // Nothing in a folder that is not ours is opened; nor is a lock file
    // that is not a file of ours (a link is never followed, so its target
    // keeps its contents and rights, and it is not removed either: a
    // second program starting at the same moment could have just put a
    // lock file of its own in its place).
    if (!MakePrivateFolder(folder, &error_, &refused_)) {
        if (refused_) error_ = RefusedFolderMessage(folder, error_);
        return;
    }
    const int fd = OpenPrivateFile(path, O_RDWR, &error_, &refused_);
    if (fd < 0) {
        if (refused_) error_ = RefusedLockMessage(path, error_);
        return;
    }
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
      refused_(other.refused_),
      error_(std::move(other.error_)) {}

JournalLock& JournalLock::operator=(JournalLock&& other) noexcept {
    if (this != &other) {
        Release();
        fd_ = std::exchange(other.fd_, -1);
        heldByAnother_ = other.heldByAnother_;
        refused_ = other.refused_;
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
