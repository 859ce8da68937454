#pragma once
// The few file operations the send journal makes, behind one seam: the real
// ones on the terminal's disk, and in the tests a disk that can lose power or
// take its time over a sync. Each answers whether it worked and, when not,
// why (the system's error text).
#include <QByteArray>
#include <QString>

namespace sending {

class JournalDisk {
public:
    virtual ~JournalDisk() = default;

    // Creates `folder` and any missing folder above it, readable by this
    // user alone (0700); an existing one of this user's is set to 0700, one
    // that is not this user's own folder (a link, another user's) refused.
    virtual bool MakeFolder(const QString& folder, QString* error) = 0;
    // Writes `data` as the whole of a file `path` made anew, readable by this
    // user alone (0600): whatever had the name (a file, a link) is removed
    // first, never followed. Nothing is synced.
    virtual bool WriteFile(const QString& path, const QByteArray& data, QString* error) = 0;
    // The file's data reaches the disk (fdatasync).
    virtual bool SyncFile(const QString& path, QString* error) = 0;
    // `from` takes the place of `to` in one step (rename).
    virtual bool Rename(const QString& from, const QString& to, QString* error) = 0;
    // `from` takes the name `to` only while nothing has it (EEXIST otherwise).
    virtual bool RenameNoReplace(const QString& from, const QString& to, QString* error) = 0;
    // The file is removed; a file that is not there is no error.
    virtual bool Remove(const QString& path, QString* error) = 0;
    // The folder's names (files created, replaced or removed in it) reach the
    // disk: until then a power cut may undo them.
    virtual bool SyncFolder(const QString& folder, QString* error) = 0;
};

// The terminal's own disk, through POSIX calls.
class PosixJournalDisk : public JournalDisk {
public:
    bool MakeFolder(const QString& folder, QString* error) override;
    bool WriteFile(const QString& path, const QByteArray& data, QString* error) override;
    bool SyncFile(const QString& path, QString* error) override;
    bool Rename(const QString& from, const QString& to, QString* error) override;
    bool RenameNoReplace(const QString& from, const QString& to, QString* error) override;
    bool Remove(const QString& path, QString* error) override;
    bool SyncFolder(const QString& folder, QString* error) override;
};

// The one POSIX disk of the process, for journals given none.
JournalDisk& ProcessJournalDisk();

}  // namespace sending
