#pragma once
// Where the program's log lines go. Started from a desktop menu or a kiosk
// session, nobody sees a program's stderr; so every message (qDebug, qInfo,
// qWarning, qCritical) also goes to the system log under the program's
// identifier (journalctl -t pedidos) and to a file of the program's own
// beside its journal, renamed aside when it passes a bound so that it never
// fills the disk. Nothing secret is logged anywhere: the messages themselves
// already leave passwords out.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QtGlobal>

namespace rt {

// The log file's name in its folder, and the name the previous one keeps.
inline constexpr const char* kLogFileName = "pedidos.log";
inline constexpr const char* kOldLogFileName = "pedidos.log.1";
// A month of a busy terminal's warnings; one older file is kept beside it.
inline constexpr qint64 kLogFileBytes = 1024 * 1024;

// Installs the handler: stderr as before, and the system log under
// `identifier` (kept for the life of the program).
void InstallProgramLog(const char* identifier);

// From now on lines also go to `folder`/pedidos.log (this user's alone, never
// through a symlink), renamed to pedidos.log.1 when it passes `maxBytes`. The
// lines logged before this call are written first. False, logged, when the
// file cannot be opened: the other two places still get every line.
bool LogToFolder(const QString& folder, qint64 maxBytes = kLogFileBytes);

// One line of the file: local time to the millisecond, the kind, the text;
// a text of several lines keeps them, each further one indented by a tab so
// that each entry still starts at a line's first column.
QByteArray LogFileLine(QtMsgType type, const QString& text, const QDateTime& when);

}  // namespace rt
