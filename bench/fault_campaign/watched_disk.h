#pragma once
// The terminal's real disk, counting what a journal changed on it: a
// program that must not touch the journal (a second one on the same folder)
// is seen to have written, renamed or removed nothing.
#include <atomic>

#include "sending/journal_disk.h"

namespace campaign {

class WatchedDisk : public sending::PosixJournalDisk {
public:
    // Files written, renamed or removed, and folders made.
    int Changes() const { return changes_; }

    bool MakeFolder(const QString& folder, QString* error) override;
    bool WriteFile(const QString& path, const QByteArray& data, QString* error) override;
    bool Rename(const QString& from, const QString& to, QString* error) override;
    bool RenameNoReplace(const QString& from, const QString& to, QString* error) override;
    bool Remove(const QString& path, QString* error) override;

private:
    std::atomic<int> changes_{0};
};

}  // namespace campaign
