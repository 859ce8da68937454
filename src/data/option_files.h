#pragma once
// The MariaDB client option files, read as the MariaDB client library reads
// them: /etc/my.cnf, /etc/mysql/my.cnf, $MARIADB_HOME/my.cnf (or
// $MYSQL_HOME/my.cnf) and ~/.my.cnf, in that order, following "!include FILE"
// and "!includedir FOLDER", groups [client], [client-server], [client-mariadb]
// and [pedidos]. A later value replaces an earlier one, except that a value
// of the terminal's own group [pedidos] is never replaced by one of the
// groups every client reads (a technician's [client] user=root for the
// mariadb command must not become the terminals' log-in).
//
// Only the keys the terminal's link uses are kept (user, password, port and
// the TLS keys). The library's own reading would also apply any other client
// option a file holds (reconnect, time-outs, character set, ...), which the
// terminal sets itself for its sends to stay all-or-nothing; and it cannot
// say which file or line is wrong. Here each problem is named.
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>

namespace data {

// One kept key: its value as written (quotes and escapes resolved) and
// where it was found ("/root/.my.cnf:3").
struct OptionSetting {
    QString value;
    bool hasValue = true;  // "ssl-verify-server-cert" alone has none
    QString where;
    bool own = false;      // from [pedidos]
};

// Something the terminal could not use, and where.
struct OptionProblem {
    QString where;
    QString text;  // Spanish, for the technician
};

struct OptionFiles {
    QMap<QString, OptionSetting> settings;  // key as written, '_' read as '-'
    QStringList read;                       // the files read, in order
    QList<OptionProblem> problems;          // the first kKeptOptionProblems
    int problemsLeftOut = 0;                // how many more there were
};

// At most this many problems are kept; the rest are only counted.
inline constexpr int kKeptOptionProblems = 20;
// At most this many files are read in one reading, includes and every file
// of an included folder counted.
inline constexpr int kMaxOptionFiles = 64;

// Adds a problem to `into`, or counts it once kKeptOptionProblems are kept.
void AddOptionProblem(OptionFiles& into, const QString& where, const QString& text);

// The keys the terminal takes from the option files.
const QStringList& KeptOptionKeys();

// What a file of options asks to be read as well: a file ("!include") or
// every *.cnf file of a folder ("!includedir"), the path as written.
struct OptionInclude {
    QString path;
    bool folder = false;
    QString where;
};

// Reads the text of one option file named `file` into `into`. Includes are
// handed to `include` at the point they appear, so that what they set is
// replaced by what comes after them.
void ReadOptionText(const QString& text, const QString& file, OptionFiles& into,
                    const std::function<void(const OptionInclude&)>& include);

// The files a MariaDB client reads, for this environment.
QStringList DefaultOptionFiles(const QString& home, const QString& mariadbHome,
                               const QString& mysqlHome);

// Reads `files` from disk in order (a missing one is skipped, one that exists
// but cannot be read is a problem), following includes (relative paths from
// the including file's folder, a folder's files in name order, ten levels
// at most). A file anyone may change is not used: whoever can write it could
// send the terminal to another server. Each file is read once: one reached
// again (a cycle, or included twice) is named once and skipped. Only regular
// files are read (a named pipe would wait for ever), each of 256 KB at most,
// kMaxOptionFiles in all.
OptionFiles ReadOptionFiles(const QStringList& files);

// ReadOptionFiles(DefaultOptionFiles(...)) for this process's environment,
// read once: a connection made again takes what the first one read (the
// files are read again only when the environment names other files).
OptionFiles ReadClientOptionFiles();

}  // namespace data
