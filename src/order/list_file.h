#pragma once
// The list files of the shared data folder (Contorno.txt, Termino.txt): one
// entry per line, in file order. Reading stops at the first empty line or at
// the end; a line whose first character is "/" is a comment; every other line
// is offered exactly as written, blanks included.
#include <QString>
#include <QStringList>

namespace order {

// The entries of the lines of a list file.
QStringList ListEntries(const QStringList& lines);

// The entries of the file at `path`; a file that is missing or cannot be read
// gives no entries (the reason is logged).
QStringList ReadListFile(const QString& path);

}  // namespace order
