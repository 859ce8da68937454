#include "data/connection_string.h"

namespace data {

QMap<QString, QString> ParseConnectionString(const QString& text) {
    QMap<QString, QString> pairs;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const qsizetype eq = text.indexOf('=', i);
        const qsizetype semi = text.indexOf(';', i);
        if (eq < 0 || (semi >= 0 && semi < eq)) {  // a piece without '=': skip it
            if (semi < 0) break;
            i = semi + 1;
            continue;
        }
        const QString key = text.mid(i, eq - i).trimmed().toLower();
        qsizetype valueStart = eq + 1;
        QString value;
        if (valueStart < n && text[valueStart] == '{') {
            const qsizetype close = text.indexOf('}', valueStart + 1);
            if (close < 0) {
                value = text.mid(valueStart + 1);
                i = n;
            } else {
                value = text.mid(valueStart + 1, close - valueStart - 1);
                const qsizetype next = text.indexOf(';', close + 1);
                i = next < 0 ? n : next + 1;
            }
        } else {
            const qsizetype end = text.indexOf(';', valueStart);
            value = text.mid(valueStart, end < 0 ? -1 : end - valueStart);
            i = end < 0 ? n : end + 1;
        }
        if (!key.isEmpty()) pairs.insert(key, value);
    }
    return pairs;
}

ConnectionSettings SettingsFromConnectionString(const QString& text) {
    const QMap<QString, QString> pairs = ParseConnectionString(text);
    ConnectionSettings s;
    s.host = pairs.value("server");
    s.database = pairs.value("database");
    s.user = pairs.contains("uid") ? pairs.value("uid") : pairs.value("user");
    s.password = pairs.contains("password") ? pairs.value("password") : pairs.value("pwd");
    bool ok = false;
    const uint port = pairs.value("port").trimmed().toUInt(&ok);
    if (ok && port >= 1 && port <= 65535) s.port = port;
    return s;
}

}  // namespace data
