#include "sending/send_journal.h"

#include <QDebug>

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
        out.keptAs = file_.MoveAside(QStringLiteral(".ilegible"));
        qWarning().noquote() << "send journal: unreadable" << Path() << ":" << error << "; kept as" << out.keptAs;
        return out;
    }
    out.entry = *entry;
    out.state = State::Found;
    if (!expected) return out;
    if (entry->servidor.isEmpty() && entry->base.isEmpty()) {
        // An earlier program's entry: its file was this installation's.
        out.entry.servidor = expected->servidor;
        out.entry.base = expected->base;
    } else if (!expected->SameAs(entry->servidor, entry->base, entry->puerto)) {
        // Settling it here would ask (and print against) the wrong server.
        out.state = State::Foreign;
        out.keptAs = file_.MoveAside(QStringLiteral(".otra-base"));
        qWarning().noquote() << "send journal: send" << entry->idEnvio << "in" << Path() << "went to server"
                             << entry->servidor << "port" << entry->puerto << "database" << entry->base << ", not"
                             << expected->servidor << expected->puerto << expected->base << "; kept as" << out.keptAs;
    }
    if (out.state == State::Found && out.entry.puerto == 0) out.entry.puerto = expected->puerto;
    return out;
}

bool SendJournal::TakeOverEarlier(const QString& earlierPath) {
    return file_.TakeOver(earlierPath, QStringLiteral("an earlier name of this installation's journal; an entry "
                                                      "of another server or database is told by what it records"));
}

}  // namespace sending
