#pragma once
// The terminal's own files on the tablet (the send journal, the tickets not
// yet printed, the lock, the temporary files before a rename) hold orders and
// the installation's names: this user's alone, whatever the process umask,
// and never anything else put in their place. Their folder must be a real
// folder of this user's (not a link, not another user's); every file in it is
// opened without following a link, and only a regular file of this user's is
// used. Every folder and file of them is made and opened through these.
#include <QByteArray>
#include <QString>
#include <optional>

namespace sending {

// Creates `folder` and any missing folder above it, each exactly 0700 (the
// umask may only narrow mkdir's mode; it is set after). `folder` itself,
// found with other rights and this user's, is set to 0700 and the change
// logged; folders above it that already exist are not ours and are left as
// they are. False with the reason in `error`; `refused` (when given) says
// whether the folder is there but is not this user's own (a link, not a
// folder, another user's, or open to others and cannot be closed), with the
// reason in Spanish for the technician.
bool MakePrivateFolder(const QString& folder, QString* error, bool* refused = nullptr);

// Whether `folder` may be looked into, changing nothing: this user's own
// folder that others cannot write. False with an empty `error` when it is
// not there; with the reason (Spanish when refused) otherwise.
bool PrivateFolderUsable(const QString& folder, QString* error);

// Opens `path` with `flags` (O_WRONLY, O_RDWR, O_TRUNC...), creating it when
// missing, never through a link; the file is 0600 when this returns, a file
// left by an earlier run with wider rights included. A name that holds
// something else (a link, a folder, a device, another user's file) is
// refused, with the reason in Spanish in `error` and `refused` set. The
// descriptor (close-on-exec), or -1 with the reason in `error`.
int OpenPrivateFile(const QString& path, int flags, QString* error, bool* refused = nullptr);

// Makes `path` anew, exclusively: whatever had its name (a file left by an
// earlier run, a link) is removed first, never followed. The descriptor,
// or -1 with the reason in `error`.
int CreatePrivateFile(const QString& path, int flags, QString* error);

// The whole of the regular file `path` of this user's, read without
// following a link nor waiting on a pipe or a device, when it holds at most
// `maxBytes`. nullopt with an empty `error` when there is no file; with the
// reason in Spanish when it is something else or too large (nothing more
// than `maxBytes` + 1 is read).
std::optional<QByteArray> ReadPrivateFile(const QString& path, qint64 maxBytes, QString* error);

// Whether anything at all has the name `path` (a link included, unfollowed).
bool NameExists(const QString& path);

// `from` is renamed `to` unless `to` is taken (then false with EEXIST's
// reason): a file kept aside never replaces another.
bool RenameNoReplace(const QString& from, const QString& to, QString* error);

}  // namespace sending
