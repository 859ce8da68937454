#pragma once
// Where a terminal keeps its send journal, and for which installation: a
// terminal may be pointed at another server or database (a second
// restaurant, a test copy), and a send of one must never be settled, printed
// or reported against the other. Each installation has a journal file of its
// own in the terminal's data folder, named so that no two installations
// share one.
#include <QString>
#include <QStringList>

namespace data {
struct OptionFiles;
}

namespace sending {

// The server, port and database a terminal sends to.
struct Installation {
    QString servidor;
    QString base;
    // The connection string's port, or the one the option files set; 0 in
    // a journal entry that recorded none (written before the port was kept).
    unsigned int puerto = 3306;

    bool IsNone() const { return servidor.isEmpty() && base.isEmpty(); }
    // Host names do not tell case apart; database names are compared as
    // written (see DefaultJournalPath). A port 0 on either side is not known
    // and matches any.
    bool SameAs(const QString& otroServidor, const QString& otraBase, unsigned int otroPuerto) const {
        return servidor.compare(otroServidor, Qt::CaseInsensitive) == 0 && base == otraBase &&
               (puerto == 0 || otroPuerto == 0 || puerto == otroPuerto);
    }
};

// SERVER, DATABASE and the port of a connection string, the port as the
// link takes it: PORT, or 3306, unless `files` set another.
Installation InstallationOf(const QString& connectionString, const data::OptionFiles& files);
// The same with this process's MariaDB option files, read now.
Installation InstallationOf(const QString& connectionString);

// The terminal's data folder (QStandardPaths' application data location):
// its journals and the lock that keeps a second program off them.
QString JournalFolder();

// "<JournalFolder>/envio_en_curso-<server>_<port>_<database>.json", each
// part written with the bytes outside [a-z0-9.-] of its UTF-8 as "%XX", so
// '_' joins them unambiguously; the server in lower case first. A name too
// long for the disk is replaced by its SHA-256.
QString DefaultJournalPath(const Installation& instalacion);
// Beside it, the tickets of that installation not yet known to be printed.
QString DefaultTicketsPath(const Installation& instalacion);

// The names earlier programs gave the journal of this installation, newest
// first: "envio_en_curso-<server>_<database>.json" (the names in lower case,
// anything outside [a-z0-9._-] as "_", no port: installations such as
// "a_b"/"c" and "a"/"b_c" shared it), then the one file of the programs
// before, which kept no installation.
QStringList EarlierJournalPaths(const Installation& instalacion);
// The earlier name of the tickets file, as the journal's.
QString EarlierTicketsPath(const Installation& instalacion);

}  // namespace sending
