#include "sending/json_fields.h"

#include <cmath>

namespace sending {

JsonFields::JsonFields(const QJsonValue& value, QString where, QString* error)
    : object_(value.toObject()), where_(std::move(where)), error_(error) {
    if (!value.isObject()) Fail(where_, QStringLiteral("no es un objeto"));
}

QString JsonFields::Place(const char* key) const {
    const QString name = QString::fromUtf8(key);
    return where_.isEmpty() ? name : where_ + u'.' + name;
}

QString JsonFields::Place(const char* key, qsizetype index) const {
    return Place(key) + u'[' + QString::number(index) + u']';
}

bool JsonFields::Fail(const QString& place, const QString& problem) {
    if (ok_ && error_) *error_ = place + u' ' + problem;
    ok_ = false;
    return false;
}

// A field that is missing or of another type fails, naming what was expected.
bool JsonFields::Take(const char* key, bool fits, const char* expected) {
    if (!ok_) return false;
    if (!Has(key)) return Fail(Place(key), QStringLiteral("falta"));
    if (!fits) return Fail(Place(key), QStringLiteral("no es ") + QString::fromUtf8(expected));
    return true;
}

QString JsonFields::Text(const char* key) {
    const QJsonValue v = Value(key);
    return Take(key, v.isString(), "un texto") ? v.toString() : QString();
}

QString JsonFields::NonEmptyText(const char* key) {
    const QString text = Text(key);
    if (ok_ && text.isEmpty()) Fail(Place(key), QStringLiteral("está vacío"));
    return text;
}

bool JsonFields::Bool(const char* key) {
    const QJsonValue v = Value(key);
    return Take(key, v.isBool(), "sí o no (true o false)") && v.toBool();
}

double JsonFields::Number(const char* key) {
    const QJsonValue v = Value(key);
    return Take(key, v.isDouble() && std::isfinite(v.toDouble()), "un número") ? v.toDouble() : 0;
}

qint64 JsonFields::Integer(const char* key, qint64 min, qint64 max) {
    const std::optional<qint64> n = IntegerOf(Value(key), min, max);
    const QString range = QStringLiteral("un número entero de %1 a %2").arg(min).arg(max);
    return Take(key, n.has_value(), range.toUtf8().constData()) ? *n : min;
}

QJsonArray JsonFields::Array(const char* key) {
    const QJsonValue v = Value(key);
    return Take(key, v.isArray(), "una lista") ? v.toArray() : QJsonArray();
}

QStringList JsonFields::Texts(const char* key) {
    if (!Take(key, true, "")) return {};
    QString why;
    const std::optional<QStringList> texts = TextsAt(Value(key), Place(key), &why);
    if (!texts) {
        if (ok_ && error_) *error_ = why;
        ok_ = false;
        return {};
    }
    return *texts;
}

std::optional<QStringList> TextsAt(const QJsonValue& value, const QString& place, QString* error) {
    const auto fail = [&](const QString& what) {
        if (error) *error = what;
        return std::optional<QStringList>();
    };
    if (!value.isArray()) return fail(place + QStringLiteral(" no es una lista"));
    QStringList out;
    for (const QJsonValue& t : value.toArray()) {
        if (!t.isString())
            return fail(place + u'[' + QString::number(out.size()) + QStringLiteral("] no es un texto"));
        out << t.toString();
    }
    return out;
}

std::optional<qint64> IntegerOf(const QJsonValue& value, qint64 min, qint64 max) {
    if (!value.isDouble()) return std::nullopt;
    const double d = value.toDouble();
    // Compared as doubles first: a value past the range never reaches the cast.
    if (!(d >= static_cast<double>(min) && d <= static_cast<double>(max)) || std::floor(d) != d)
        return std::nullopt;
    return static_cast<qint64>(d);
}

}  // namespace sending
