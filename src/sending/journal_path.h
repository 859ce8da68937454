#pragma once
// Where a terminal keeps its send journal, and for which installation: a
// terminal may be pointed at another server or database (a second
// restaurant, a test copy), and a send of one must never be settled, printed
// or reported against the other. Each installation has a journal file of its
// own in the terminal's data folder.
#include <QString>

namespace sending {

// The server and database a terminal sends to, as its connection string
// names them.
struct Installation {
    QString servidor;
    QString base;

    bool IsNone() const { return servidor.isEmpty() && base.isEmpty(); }
    // Host names do not tell case apart; database names may.
    bool SameAs(const QString& otroServidor, const QString& otraBase) const {
        return servidor.compare(otroServidor, Qt::CaseInsensitive) == 0 && base == otraBase;
    }
};

// SERVER and DATABASE of a connection string.
Installation InstallationOf(const QString& connectionString);

// The terminal's data folder (QStandardPaths' application data location):
// its journals and the lock that keeps a second program off them.
QString JournalFolder();

// "<JournalFolder>/envio_en_curso-<server>_<database>.json", the names in
// lower case and anything outside [a-z0-9._-] written as "_".
QString DefaultJournalPath(const QString& servidor, const QString& base);
QString DefaultJournalPath(const Installation& instalacion);
// Beside it, the tickets of that installation not yet known to be printed.
QString DefaultTicketsPath(const Installation& instalacion);

// The one journal file of earlier programs, which kept no installation.
QString LegacyJournalPath();

}  // namespace sending
