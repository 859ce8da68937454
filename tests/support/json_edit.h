#pragma once
// Damaging a file of the terminal's own one field at a time: the JSON text of
// an object with the value at a path ("intento.numerado", "comandas.0.ticket")
// set, or removed when the value is undefined.
#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

namespace testsupport {

inline QJsonValue WithField(const QJsonValue& at, QStringList path, const QJsonValue& value) {
    const QString key = path.takeFirst();
    if (at.isArray()) {
        QJsonArray a = at.toArray();
        const int i = key.toInt();
        if (i == a.size()) a.append(QJsonValue());  // one more item
        a[i] = path.isEmpty() ? value : WithField(a[i], path, value);
        return a;
    }
    QJsonObject o = at.toObject();
    if (path.isEmpty() && value.isUndefined())
        o.remove(key);
    else
        o[key] = path.isEmpty() ? value : WithField(o.value(key), path, value);
    return o;
}

inline QByteArray WithField(const QByteArray& json, const QString& path, const QJsonValue& value) {
    const QJsonValue changed = WithField(QJsonDocument::fromJson(json).object(), path.split(u'.'), value);
    return QJsonDocument(changed.toObject()).toJson(QJsonDocument::Compact);
}

}  // namespace testsupport
