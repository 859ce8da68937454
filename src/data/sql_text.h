#pragma once
// Text values into SQL statements. Every text value that goes between single
// quotes in a statement goes through SqlText, so an apostrophe or a backslash
// in a caption, a name or a note is stored as typed and can never change the
// statement. The connection does the escaping (mysql_real_escape_string), so
// it follows the server's character set and NO_BACKSLASH_ESCAPES mode.
#include <QString>

#include "data/connection.h"

namespace data {

// `text` escaped to stand between single quotes; the quotes are the caller's,
// so statement texts keep their exact shape.
QString SqlText(const Connection& connection, const QString& text);

// The same on the program's connection (Module1::Conexion); without one, by
// the rules of a server in its default mode, so building a statement never
// fails by itself.
QString SqlText(const QString& text);

// The same as one plain function (SqlText has two), to hand to the
// statement builders that take their escape as an argument.
inline QString Escaped(const QString& text) { return SqlText(text); }

}  // namespace data
