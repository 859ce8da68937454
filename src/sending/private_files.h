#pragma once
// The terminal's own files on the tablet (the send journal, the tickets not
// yet printed, the lock, the temporary files before a rename) hold orders and
// the installation's names: this user's alone, whatever the process umask.
// Every folder and file of them is made through these two.
#include <QString>

namespace sending {

// Creates `folder` and any missing folder above it, each exactly 0700 (the
// umask may only narrow mkdir's mode; it is set after). `folder` found with
// other rights is set to 0700 and the change logged; folders above it that
// already exist are not ours and are left as they are. False with the
// system's reason in `error`.
bool MakePrivateFolder(const QString& folder, QString* error);

// Opens `path` with `flags` (O_WRONLY, O_RDWR, O_TRUNC...), creating it when
// missing; the file is 0600 when this returns, a file left by an earlier run
// with wider rights included. The descriptor (close-on-exec), or -1 with the
// system's reason in `error`.
int OpenPrivateFile(const QString& path, int flags, QString* error);

}  // namespace sending
