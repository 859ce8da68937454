#pragma once
// One program per terminal's journals: two programs on one journal would
// each take the other's send in flight for their own, settle it twice or
// drop it. The lock is an exclusive flock on "pedidos.lock" in the journal
// folder, held while the object lives; the system drops it when the program
// ends, however it ends.
//
// flock locks belong to an open file: two JournalLock objects conflict even
// in one process, so a program takes one, in main, and nothing else does.
#include <QString>

namespace sending {

class JournalLock {
public:
    // Tries once, without waiting.
    explicit JournalLock(const QString& folder);
    ~JournalLock();
    JournalLock(JournalLock&& other) noexcept;
    JournalLock& operator=(JournalLock&& other) noexcept;
    JournalLock(const JournalLock&) = delete;
    JournalLock& operator=(const JournalLock&) = delete;

    bool Held() const { return fd_ >= 0; }
    // Another program holds it: this one must not touch the journal.
    bool HeldByAnother() const { return heldByAnother_; }
    // The folder is not this user's own (a link, another user's, open to
    // others): nothing in it is used. Or "pedidos.lock" in it is not a file
    // of this user's: it is left alone and the lock is not held.
    bool Refused() const { return refused_; }
    // Why it is not held: for the waiter when another program holds it
    // (OtherProgramMessage) or it was refused (RefusedFolderMessage,
    // RefusedLockMessage), the
    // system's reason otherwise.
    const QString& Error() const { return error_; }

private:
    void Release();

    int fd_ = -1;
    bool heldByAnother_ = false;
    bool refused_ = false;
    QString error_;
};

}  // namespace sending
