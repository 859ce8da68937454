#pragma once
// One small file of the terminal's own state on its local disk, replaced as a
// whole at every write: a power cut leaves the old contents or the new ones,
// never half of either. The send journal and the list of tickets the printer
// has not yet printed both keep their state this way.
#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

#include "sending/disk_queue.h"
#include "sending/journal_disk.h"

namespace sending {

class DurableFile {
public:
    // The most a file of this kind may hold: the journal of one order with
    // its tickets laid out is a few tens of KB, the tickets of a day that
    // failed to print no more. Read refuses a larger file without reading it
    // whole, so Write never writes one it could not read back.
    static constexpr qint64 kMaxBytes = 4 * 1024 * 1024;

    enum class Sync {
        // On the disk when the call returns: the new file's data, then its
        // name in the folder. A power cut after it finds these contents.
        ToDisk,
        // No waiting for the disk, for where nothing may wait: a power cut
        // may bring back the contents of the last ToDisk write.
        CacheOnly,
        // Written at once as CacheOnly (a program that dies keeps it), then
        // taken to the disk by the file's own thread while the caller goes on.
        Later,
    };

    // `what` names the file in the log ("send journal"). `disk`: the file
    // operations (nullptr: the process's POSIX disk).
    DurableFile(QString path, QString what, JournalDisk* disk = nullptr);

    const QString& Path() const { return path_; }
    QString Folder() const;
    JournalDisk& Disk() { return disk_; }

    // False when the write failed (logged); a Later write answers true and
    // logs its own failure. Every file made is this user's alone (0600, in
    // a 0700 folder); nothing is written in a folder that is not this
    // user's own.
    bool Write(const QByteArray& contents, Sync sync);
    // The file is gone, for good on the disk unless `sync` says otherwise.
    bool Remove(Sync sync);
    // The file's contents; nullopt with an empty `error` when there is no
    // file, with the reason (Spanish) when it cannot be read: not a regular
    // file of this user's, a link, larger than kMaxBytes. Waits for Later
    // work. A folder that is not this user's own is not looked into: it
    // reads as no file (logged; start-up has told the technician).
    std::optional<QByteArray> Read(QString* error);
    // The file is renamed to its path + `suffix` (kept for a person to read),
    // or + `suffix` + ".2", ".3"... when an earlier one has that name: one
    // kept never replaces another. The path the file has now: the name it
    // was kept under, or its own when it could not be moved (logged).
    QString MoveAside(const QString& suffix);
    // The file an earlier program kept at `earlier` becomes this one when
    // this one has no file (`why` says in the log why it is taken as ours).
    // True when it was taken over.
    bool TakeOver(const QString& earlier, const QString& why);
    // Returns once every Later write or removal has reached the disk.
    void Flush() { later_->Drain(); }

private:
    // The folder is there and this user's own, looked at without changing
    // it; logged when it is there and is not.
    bool FolderUsable();
    bool WriteNow(const QByteArray& contents, bool toDisk);
    bool RemoveNow(bool toDisk);
    // The file (when there is one) and its folder to the disk, as they are now.
    void SyncNow();

    QString path_;
    QString what_;
    JournalDisk& disk_;
    // Declared last: destroyed first, finishing its work while the rest lives.
    std::unique_ptr<DiskQueue> later_;
};

}  // namespace sending
