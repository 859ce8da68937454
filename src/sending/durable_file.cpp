#include "sending/durable_file.h"

#include <QDebug>
#include <QFileInfo>

#include "sending/private_files.h"

namespace sending {

DurableFile::DurableFile(QString path, QString what, JournalDisk* disk)
    : path_(std::move(path)),
      what_(std::move(what)),
      disk_(disk ? *disk : ProcessJournalDisk()),
      later_(std::make_unique<DiskQueue>()) {}

QString DurableFile::Folder() const { return QFileInfo(path_).absolutePath(); }

bool DurableFile::Write(const QByteArray& contents, Sync sync) {
    // Later: the contents replace the file at once, as CacheOnly, so a
    // program that dies now leaves them for the next start; the syncs that
    // take them to the disk follow on the file's own thread.
    const bool written = WriteNow(contents, sync == Sync::ToDisk);
    if (written && sync == Sync::Later) later_->Post([this] { SyncNow(); });
    return written;
}

void DurableFile::SyncNow() {
    QString error;
    if (NameExists(path_) && !disk_.SyncFile(path_, &error))
        qWarning().noquote() << what_ << ": syncing" << path_ << "failed:" << error;
    if (!disk_.SyncFolder(Folder(), &error))
        qWarning().noquote() << what_ << ": syncing the folder of" << path_ << "failed:" << error;
}

bool DurableFile::WriteNow(const QByteArray& contents, bool toDisk) {
    // The new contents go to a file of their own and only then take the old
    // one's place, so the file is always whole. To the disk: the new file's
    // data is synced before the rename, and the folder after it, or a power
    // cut could bring back the old name (or the new name on an empty file).
    // Each step's failure is told.
    const QString temp = path_ + QStringLiteral(".nuevo");
    QString error;
    const auto failed = [&](const char* step) {
        qWarning().noquote() << what_ << ":" << step << path_ << "failed:" << error
                             << "(the terminal goes on without it)";
        QString why;
        if (!disk_.Remove(temp, &why)) qWarning().noquote() << what_ << ": cannot remove" << temp << ":" << why;
        return false;
    };
    if (contents.size() > kMaxBytes) {
        error = QStringLiteral("%1 bytes, more than a read takes back").arg(contents.size());
        return failed("writing");
    }
    if (!disk_.MakeFolder(Folder(), &error)) return failed("making the folder of");
    if (!disk_.WriteFile(temp, contents, &error)) return failed("writing");
    if (toDisk && !disk_.SyncFile(temp, &error)) return failed("syncing");
    if (!disk_.Rename(temp, path_, &error)) return failed("renaming over");
    if (toDisk && !disk_.SyncFolder(Folder(), &error)) return failed("syncing the folder of");
    return true;
}

bool DurableFile::Remove(Sync sync) {
    const bool removed = RemoveNow(sync == Sync::ToDisk);
    if (removed && sync == Sync::Later) later_->Post([this] { SyncNow(); });
    return removed;
}

bool DurableFile::RemoveNow(bool toDisk) {
    if (!NameExists(path_)) return true;
    QString error;
    if (!FolderUsable()) return false;
    if (disk_.Remove(path_, &error) && (!toDisk || disk_.SyncFolder(Folder(), &error))) return true;
    qWarning().noquote() << what_ << ": cannot remove" << path_ << "for good:" << error;
    return false;
}

bool DurableFile::FolderUsable() {
    QString error;
    if (PrivateFolderUsable(Folder(), &error)) return true;
    if (!error.isEmpty()) qWarning().noquote() << what_ << ": the folder of" << path_ << "is not used:" << error;
    return false;
}

std::optional<QByteArray> DurableFile::Read(QString* error) {
    later_->Drain();
    error->clear();
    if (!FolderUsable()) return std::nullopt;
    return ReadPrivateFile(path_, kMaxBytes, error);
}

QString DurableFile::MoveAside(const QString& suffix) {
    later_->Drain();
    QString error = QStringLiteral("its folder is not used");
    // A hundred kept files of one kind is more than anyone reads; past that
    // the file stays where it is, and is told again at the next start.
    for (int n = 1; n <= 100 && FolderUsable(); ++n) {
        const QString aside = path_ + suffix + (n == 1 ? QString() : QStringLiteral(".%1").arg(n));
        if (disk_.RenameNoReplace(path_, aside, &error)) {
            if (!disk_.SyncFolder(Folder(), &error))
                qWarning().noquote() << what_ << ": moved" << path_ << "aside to" << aside
                                     << "; a power cut may undo it:" << error;
            return aside;
        }
        if (!NameExists(aside)) break;  // refused for another reason than the name
    }
    qWarning().noquote() << what_ << ": cannot move" << path_ << "aside to" << path_ + suffix << ":" << error;
    return path_;
}

bool DurableFile::TakeOver(const QString& earlier, const QString& why) {
    later_->Drain();
    if (NameExists(path_) || !NameExists(earlier)) return false;
    QString error;
    const QString earlierFolder = QFileInfo(earlier).absolutePath();
    if (!FolderUsable() || !disk_.RenameNoReplace(earlier, path_, &error) || !disk_.SyncFolder(Folder(), &error) ||
        (earlierFolder != Folder() && !disk_.SyncFolder(earlierFolder, &error))) {
        qWarning().noquote() << what_ << ": cannot take over" << earlier << "as" << path_ << ":" << error;
        return NameExists(path_);
    }
    qWarning().noquote() << what_ << ":" << earlier << "taken over as" << path_ << "(" << why << ")";
    return true;
}

}  // namespace sending
