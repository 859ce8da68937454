#include "data/sql_text.h"

#include "data/module1.h"

namespace data {
namespace {

// mysql_real_escape_string's rules for a server in its default mode, for
// when there is no connection to ask (the client library cannot escape
// before it has been initialised by a connection) - except the quote, which
// is doubled: a server in NO_BACKSLASH_ESCAPES mode would end the text at a
// quote after a backslash, and doubling is safe in every mode.
QString EscapeForDefaultServer(const QString& text) {
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
            case 0: out += QStringLiteral("\\0"); break;
            case '\n': out += QStringLiteral("\\n"); break;
            case '\r': out += QStringLiteral("\\r"); break;
            case 0x1A: out += QStringLiteral("\\Z"); break;
            case '\\': out += QStringLiteral("\\\\"); break;
            case '\'': out += QStringLiteral("''"); break;
            case '"': out += QStringLiteral("\\\""); break;
            default: out += c;
        }
    }
    return out;
}

}  // namespace

QString SqlText(const Connection& connection, const QString& text) {
    return connection.IsOpen() ? connection.Escape(text) : EscapeForDefaultServer(text);
}

QString SqlText(const QString& text) {
    return Module1::Conexion ? SqlText(*Module1::Conexion, text) : EscapeForDefaultServer(text);
}

}  // namespace data
