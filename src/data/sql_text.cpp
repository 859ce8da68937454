#include "data/sql_text.h"

#include <mysql.h>

#include "startup/module1.h"

namespace data {

QString SqlText(const Connection& connection, const QString& text) { return connection.Escape(text); }

QString SqlText(const QString& text) {
    if (Module1::Conexion) return Module1::Conexion->Escape(text);
    // No connection at all: the escaping of a server in its default mode.
    const QByteArray in = text.toUtf8();
    QByteArray out(in.size() * 2 + 1, '\0');
    const unsigned long n =
        mysql_escape_string(out.data(), in.constData(), static_cast<unsigned long>(in.size()));
    out.truncate(static_cast<qsizetype>(n));
    return QString::fromUtf8(out);
}

}  // namespace data
