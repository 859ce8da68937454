#pragma once
// Strict reading of the terminal's own files (the send journal and the list
// of tickets at the printer): each field of an object is taken only with the
// JSON type and the range the program writes, and the first one that does
// not fit becomes the reason the file is damaged, naming the field by its
// place in the file ("pedido.lineas[2].cantidad no es un número"). A field
// the file's version did not write is asked for as optional; any other
// missing field is damage too.
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <optional>

namespace sending {

class JsonFields {
public:
    // `where`: the object's place in the file ("intento", "comandas[3]").
    // A value that is no object fails at once.
    JsonFields(const QJsonValue& value, QString where, QString* error);

    // False once a field did not fit; the first reason is in `error`.
    bool Ok() const { return ok_; }
    const QString& Where() const { return where_; }
    bool Has(const char* key) const { return object_.contains(QLatin1String(key)); }
    // The place of a field or of one item of a list field, for nested readers.
    QString Place(const char* key) const;
    QString Place(const char* key, qsizetype index) const;

    QString Text(const char* key);
    QString NonEmptyText(const char* key);
    bool Bool(const char* key);
    double Number(const char* key);  // finite
    qint64 Integer(const char* key, qint64 min, qint64 max);
    QJsonArray Array(const char* key);
    QStringList Texts(const char* key);
    QJsonValue Value(const char* key) const { return object_.value(QLatin1String(key)); }

    // Records that the field does not fit, with the reason; false.
    bool Fail(const QString& place, const QString& problem);
    // A nested object read by a reader of its own (sharing `error`, and only
    // while this one is Ok, so the first reason stays): its outcome is this
    // object's too.
    void Adopt(bool nestedOk) { ok_ = ok_ && nestedOk; }

private:
    bool Take(const char* key, bool fits, const char* expected);

    QJsonObject object_;
    QString where_;
    QString* error_;
    bool ok_ = true;
};

// A list of texts at `place`; nullopt, with the reason in `error`, for
// anything else (a list holding a number, say).
std::optional<QStringList> TextsAt(const QJsonValue& value, const QString& place, QString* error);

// An integer held as a number in [min, max]; nullopt for anything else (a
// text, a fraction, a number out of range).
std::optional<qint64> IntegerOf(const QJsonValue& value, qint64 min, qint64 max);

}  // namespace sending
