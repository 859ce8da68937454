#pragma once
// Opening a file that comes from outside the program (configuration, the
// shared data folder, option files, icons): only a regular file is read,
// never a named pipe, a device, a socket or a folder (a pipe would keep
// start-up waiting for ever, /dev/zero would fill the memory), and never
// more than the caller's bound. Opening never blocks.
#include <QByteArray>
#include <QString>

namespace rt {

// Why a file was not read.
enum class FileRefusal {
    kNone,
    kMissing,     // no such file (or an empty path)
    kNoFolder,    // its folder does not exist
    kUnreadable,  // no permission, or the system refused it (detail says why)
    kFolder,      // a folder, not a file
    kNotRegular,  // a named pipe, a device or a socket
    kTooLarge,    // more than the bound
};

struct BoundedFile {
    QByteArray bytes;
    FileRefusal refusal = FileRefusal::kNone;
    QString problem;  // Spanish, without the path: "es una tubería con nombre (FIFO)"
    // What was opened (read files only): the same two numbers are the same
    // file, whatever path led to it; its permission bits.
    quint64 device = 0;
    quint64 inode = 0;
    uint mode = 0;
    uint owner = 0;  // its owner's user id
};

// Reads the whole file at `path`, at most `maxBytes` bytes. A file that holds
// more is refused without reading it all (the size the system reports is not
// trusted: /proc files say 0). Refusals other than a missing file are logged
// with the path.
BoundedFile ReadBoundedFile(const QString& path, qint64 maxBytes);

// The same checks and bound on a file the caller opened itself (with flags
// of its own: O_NOFOLLOW, say; O_NONBLOCK so that a pipe answers at once).
// Logs nothing; the descriptor stays open.
BoundedFile ReadBoundedDescriptor(int fd, qint64 maxBytes);

// The bound for the small text files terminals share (Ruta_Datos.txt,
// Modelo.txt, Contorno.txt, Termino.txt, Empresa.txt, option files).
inline constexpr qint64 kSharedTextBound = 256 * 1024;

}  // namespace rt
