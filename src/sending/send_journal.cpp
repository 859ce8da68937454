#include "sending/send_journal.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>

namespace sending {

SendJournal::SendJournal(QString path, JournalDisk* disk)
    : file_(std::move(path), QStringLiteral("send journal"), disk) {}

bool SendJournal::Write(const JournalEntry& entry, Sync sync) { return file_.Write(JournalToJson(entry), sync); }

bool SendJournal::Close(Sync sync) { return file_.Remove(sync); }

SendJournal::Loaded SendJournal::Load(const std::optional<Installation>& expected) {
    Loaded out;
    QString error;
    const std::optional<QByteArray> text = file_.Read(&error);
    if (!text && error.isEmpty()) return out;
    std::optional<JournalEntry> entry;
    if (text) entry = JournalFromJson(*text, &error);
    if (!entry) {
        out.state = State::Unreadable;
        out.error = error;
        file_.MoveAside(QStringLiteral(".ilegible"));
        qWarning().noquote() << "send journal: unreadable" << Path() << ":" << error << "; kept as"
                             << Path() + QStringLiteral(".ilegible");
        return out;
    }
    out.entry = *entry;
    out.state = State::Found;
    if (!expected) return out;
    if (entry->servidor.isEmpty() && entry->base.isEmpty()) {
        // An earlier program's entry: its file was this installation's.
        out.entry.servidor = expected->servidor;
        out.entry.base = expected->base;
    } else if (!expected->SameAs(entry->servidor, entry->base)) {
        // Settling it here would ask (and print against) the wrong server.
        out.state = State::Foreign;
        file_.MoveAside(QStringLiteral(".otra-base"));
        qWarning().noquote() << "send journal: send" << entry->idEnvio << "in" << Path() << "went to server"
                             << entry->servidor << "database" << entry->base << ", not" << expected->servidor
                             << expected->base << "; kept as" << Path() + QStringLiteral(".otra-base");
    }
    return out;
}

bool SendJournal::TakeOverLegacy(const QString& legacyPath) {
    file_.Flush();
    if (QFile::exists(Path()) || !QFile::exists(legacyPath)) return false;
    QString error;
    if (!file_.Disk().MakeFolder(file_.Folder(), &error) || !file_.Disk().Rename(legacyPath, Path(), &error) ||
        !file_.Disk().SyncFolder(file_.Folder(), &error) ||
        (QFileInfo(legacyPath).absolutePath() != file_.Folder() &&
         !file_.Disk().SyncFolder(QFileInfo(legacyPath).absolutePath(), &error))) {
        qWarning().noquote() << "send journal: cannot take over" << legacyPath << "as" << Path() << ":" << error;
        return QFile::exists(Path());
    }
    qWarning().noquote() << "send journal:" << legacyPath << "records no server nor database; taken over as"
                         << Path() << "(nothing else tells whose it is)";
    return true;
}

}  // namespace sending
