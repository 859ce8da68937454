#pragma once
// Disks for the send journal that misbehave on demand, over the real one:
//  - PowerCutDisk remembers what a journalling file system has made durable
//    and can lose power, putting its folder back to exactly that;
//  - SlowDisk takes its time over every sync, like a worn flash card;
// and what a hostile user may plant in the journal's folder (LinkTarget).
#include <QByteArray>
#include <QString>
#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <optional>

#include "sending/journal_disk.h"

namespace testsupport {

// The journal's operations in one real folder, and what of them survives a
// power cut: a file's data once the file is synced, a name created,
// replaced or removed once its folder is synced (the folder itself counts as
// durable, and so does what was in it when the disk was made).
class PowerCutDisk : public sending::JournalDisk {
public:
    explicit PowerCutDisk(QString folder);

    bool MakeFolder(const QString& folder, QString* error) override;
    bool WriteFile(const QString& path, const QByteArray& data, QString* error) override;
    bool SyncFile(const QString& path, QString* error) override;
    bool Rename(const QString& from, const QString& to, QString* error) override;
    bool RenameNoReplace(const QString& from, const QString& to, QString* error) override;
    bool Remove(const QString& path, QString* error) override;
    bool SyncFolder(const QString& folder, QString* error) override;

    // The power goes: the folder holds the durable names again, each with
    // its file's durable data (empty for a file never synced); every
    // rename, removal and write not synced is forgotten.
    void PowerCut();

private:
    // A file as the disk knows it, whatever its names.
    struct File {
        QByteArray data;     // as the program sees it
        QByteArray durable;  // as a power cut leaves it
    };
    // The file named `path` in the folder, or none (a path elsewhere).
    std::optional<QString> NameIn(const QString& path) const;
    // `from`'s file takes the name `to` in the record of names.
    void Renamed(const QString& from, const QString& to);

    // The journal syncs on a thread of its own too.
    std::mutex mutex_;
    QString folder_;
    sending::PosixJournalDisk real_;
    std::map<int, File> files_;
    std::map<QString, int> names_;         // name in the folder -> file, now
    std::map<QString, int> durableNames_;  // the same, as a power cut leaves it
    int nextFile_ = 0;
};

// The real disk whose file and folder syncs each take `SetSyncTime` (none
// at first), and that counts them.
class SlowDisk : public sending::PosixJournalDisk {
public:
    void SetSyncTime(std::chrono::milliseconds t) { syncTime_ = t; }
    int Syncs() const { return syncs_; }

    bool SyncFile(const QString& path, QString* error) override;
    bool SyncFolder(const QString& folder, QString* error) override;

private:
    void Wait();

    std::atomic<std::chrono::milliseconds> syncTime_{std::chrono::milliseconds(0)};
    std::atomic<int> syncs_{0};
};

// A file (or a folder holding one file) outside the journal's folder, for a
// link planted in it to point to: made with known bytes and mode, and found
// the same afterwards or told what changed.
class LinkTarget {
public:
    LinkTarget(const QString& path, bool folder);
    const QString& Path() const { return path_; }
    // "" when its bytes and mode (and a folder's names) are as made.
    QString Changed() const;

private:
    QString State() const;

    QString path_;
    bool folder_;
    QString made_;
};

}  // namespace testsupport
