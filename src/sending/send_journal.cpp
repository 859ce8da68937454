#include "sending/send_journal.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

namespace sending {
namespace {

// The file's own version: a later program that changes the layout can still
// tell an old entry. Version 1 kept each line as the 15 texts of its grid
// row; version 2 keeps its numbers as numbers. Both are read, so an entry
// left by the earlier program is settled by this one.
constexpr int kVersion = 2;
constexpr int kVersionGridRows = 1;

QJsonObject LineToJson(const order::Line& l) {
    return {{"codigo", l.codigo},
            {"nombre", l.nombre},
            {"cantidad", l.cantidad},
            {"precio", l.precio},
            {"subtotal", l.subtotal},
            {"iva", l.iva},
            {"costo", l.costo},
            {"contornos", QJsonArray::fromStringList(l.contornos)},
            {"termino", l.termino},
            {"codVendedor", l.codVendedor},
            {"deposito", l.deposito},
            {"observacion", l.observacion},
            {"imprimir", l.imprimir}};
}

QJsonObject OrderToJson(const order::Order& p) {
    QJsonArray lineas;
    for (const order::Line& l : p.lineas) lineas.append(LineToJson(l));
    return {{"mesa", p.mesa}, {"mesonero", p.mesonero}, {"codVendedor", p.codVendedor}, {"lineas", lineas}};
}

bool IsText(const QJsonObject& o, const char* key) { return o.value(QLatin1String(key)).isString(); }

QJsonObject TryToJson(const SendInDoubt& d) {
    QJsonObject o{{"numero", d.numero},
                  {"fecha", d.reloj.fecha.toString(Qt::ISODate)},
                  {"hora", d.reloj.hora},
                  {"conRegistro", d.conRegistro},
                  {"numerado", d.numerado}};
    if (d.escrito)
        o.insert(QStringLiteral("escrito"), QJsonObject{{"numero", d.escrito->numero},
                                                        {"mesa", d.escrito->mesa},
                                                        {"mesonero", d.escrito->mesonero},
                                                        {"hora", d.escrito->hora},
                                                        {"fecha", d.escrito->fecha}});
    return o;
}

// The ticket lines' values as a try wrote them; absent in entries of older
// programs (nullopt, and `ok` stays true), unreadable sets `ok` false.
std::optional<WrittenTicket> WrittenFromJson(const QJsonValue& v, bool& ok) {
    if (v.isUndefined()) return std::nullopt;
    const QJsonObject o = v.toObject();
    for (const char* key : {"numero", "mesa", "mesonero", "hora", "fecha"})
        if (!IsText(o, key)) {
            ok = false;
            return std::nullopt;
        }
    const auto text = [&o](const char* key) { return o.value(QLatin1String(key)).toString(); };
    return WrittenTicket{text("numero"), text("mesa"), text("mesonero"), text("hora"), text("fecha")};
}


std::optional<QStringList> TextsFromJson(const QJsonValue& v) {
    if (!v.isArray()) return std::nullopt;
    QStringList texts;
    for (const QJsonValue& t : v.toArray()) {
        if (!t.isString()) return std::nullopt;
        texts << t.toString();
    }
    return texts;
}

std::optional<order::Line> LineFromJson(const QJsonValue& v) {
    if (!v.isObject()) return std::nullopt;
    const QJsonObject o = v.toObject();
    for (const char* key : {"codigo", "nombre", "termino", "codVendedor", "deposito", "observacion", "imprimir"})
        if (!IsText(o, key)) return std::nullopt;
    for (const char* key : {"cantidad", "precio", "subtotal", "iva", "costo"})
        if (!o.value(QLatin1String(key)).isDouble()) return std::nullopt;
    const std::optional<QStringList> contornos = TextsFromJson(o.value(QLatin1String("contornos")));
    if (!contornos) return std::nullopt;
    const auto text = [&o](const char* key) { return o.value(QLatin1String(key)).toString(); };
    const auto number = [&o](const char* key) { return o.value(QLatin1String(key)).toDouble(); };
    order::Line l;
    l.codigo = text("codigo");
    l.nombre = text("nombre");
    l.cantidad = number("cantidad");
    l.precio = number("precio");
    l.subtotal = number("subtotal");
    l.iva = number("iva");
    l.costo = number("costo");
    l.contornos = *contornos;
    l.termino = text("termino");
    l.codVendedor = text("codVendedor");
    l.deposito = text("deposito");
    l.observacion = text("observacion");
    l.imprimir = text("imprimir");
    return l;
}

// A line of a version 1 entry: its grid row's texts, numbers under the
// regional formats the program forces.
std::optional<order::Line> LineFromGridRow(const QJsonValue& v) {
    const std::optional<QStringList> cells = TextsFromJson(v);
    return cells ? order::LineFromRow(*cells) : std::nullopt;
}

std::optional<order::Order> OrderFromJson(const QJsonObject& o, int version) {
    const QLatin1String linesKey(version == kVersionGridRows ? "filas" : "lineas");
    if (!IsText(o, "mesa") || !IsText(o, "mesonero") || !IsText(o, "codVendedor") ||
        !o.value(linesKey).isArray())
        return std::nullopt;
    order::Order p{o.value(QLatin1String("mesa")).toString(), o.value(QLatin1String("mesonero")).toString(),
                   o.value(QLatin1String("codVendedor")).toString(), {}};
    for (const QJsonValue& v : o.value(linesKey).toArray()) {
        const std::optional<order::Line> l = version == kVersionGridRows ? LineFromGridRow(v) : LineFromJson(v);
        if (!l) return std::nullopt;
        p.lineas.push_back(*l);
    }
    return p;
}

std::optional<SendInDoubt> TryFromJson(const QString& id, const QJsonObject& o) {
    if (!IsText(o, "numero") || !IsText(o, "fecha") || !IsText(o, "hora") ||
        !o.value(QLatin1String("conRegistro")).isBool())
        return std::nullopt;
    const QString fecha = o.value(QLatin1String("fecha")).toString();
    const QJsonValue numerado = o.value(QLatin1String("numerado"));
    if (!numerado.isUndefined() && !numerado.isBool()) return std::nullopt;
    bool ok = true;
    SendInDoubt d{id,
                  o.value(QLatin1String("numero")).toString(),
                  {QDate::fromString(fecha, Qt::ISODate), o.value(QLatin1String("hora")).toString()},
                  o.value(QLatin1String("conRegistro")).toBool(),
                  numerado.toBool(true),  // older programs wrote a try only once numbered
                  WrittenFromJson(o.value(QLatin1String("escrito")), ok)};
    if (!ok || (!fecha.isEmpty() && !d.reloj.fecha.isValid())) return std::nullopt;
    return d;
}

}  // namespace

QByteArray JournalToJson(const JournalEntry& e) {
    QJsonObject o{{"version", kVersion},
                  {"idEnvio", e.idEnvio},
                  {"pedido", OrderToJson(e.pedido)},
                  {"guardado", e.guardado}};
    if (e.intento) o.insert(QStringLiteral("intento"), TryToJson(*e.intento));
    QJsonArray impresas;
    for (int i : e.impresas) impresas.append(i);
    o.insert(QStringLiteral("impresas"), impresas);
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}

std::optional<JournalEntry> JournalFromJson(const QByteArray& json, QString* error) {
    auto fail = [error](const QString& why) {
        if (error) *error = why;
        return std::optional<JournalEntry>();
    };
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parse);
    if (parse.error != QJsonParseError::NoError) return fail(parse.errorString());
    const QJsonObject o = doc.object();
    const int version = o.value(QLatin1String("version")).toInt();
    if (version != kVersion && version != kVersionGridRows) return fail(QStringLiteral("versión desconocida"));
    if (!IsText(o, "idEnvio") || o.value(QLatin1String("idEnvio")).toString().isEmpty() ||
        !o.value(QLatin1String("guardado")).isBool() || !o.value(QLatin1String("pedido")).isObject())
        return fail(QStringLiteral("faltan datos del envío"));
    JournalEntry e;
    e.idEnvio = o.value(QLatin1String("idEnvio")).toString();
    e.guardado = o.value(QLatin1String("guardado")).toBool();
    const std::optional<order::Order> pedido =
        OrderFromJson(o.value(QLatin1String("pedido")).toObject(), version);
    if (!pedido) return fail(QStringLiteral("pedido ilegible"));
    e.pedido = *pedido;
    if (o.contains(QLatin1String("intento"))) {
        e.intento = TryFromJson(e.idEnvio, o.value(QLatin1String("intento")).toObject());
        if (!e.intento) return fail(QStringLiteral("intento ilegible"));
    }
    for (const QJsonValue& i : o.value(QLatin1String("impresas")).toArray()) {
        if (!i.isDouble() || i.toInt(-1) < 0) return fail(QStringLiteral("comandas impresas ilegibles"));
        e.impresas.push_back(i.toInt());
    }
    // A stored send without the try that stored it has no ticket number.
    if (e.guardado && !e.intento) return fail(QStringLiteral("envío guardado sin número de comanda"));
    return e;
}

bool SendJournal::Write(const JournalEntry& entry, Sync sync) {
    const QFileInfo info(path_);
    QDir().mkpath(info.absolutePath());
    // A power cut must leave the old entry or the new one, never half of one:
    // the new entry goes to a file of its own, reaches the disk, and only
    // then takes the old one's place. One sync per write, and a sync that
    // fails is told (QSaveFile syncs too, but does not say when that fails).
    const QString temp = path_ + QStringLiteral(".nuevo");
    QFile file(temp);
    QString error;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(JournalToJson(entry)) < 0 ||
        !file.flush())
        error = file.errorString();
    else if (sync == Sync::ToDisk && ::fdatasync(file.handle()) != 0)
        error = QString::fromLocal8Bit(std::strerror(errno));
    file.close();
    if (error.isEmpty() && std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(path_).constData()) != 0)
        error = QString::fromLocal8Bit(std::strerror(errno));
    if (error.isEmpty()) return true;
    qWarning().noquote() << "send journal: cannot write" << path_ << ":" << error
                         << "(the send goes on without it)";
    QFile::remove(temp);
    return false;
}

void SendJournal::Close() {
    QFile file(path_);
    if (file.exists() && !file.remove())
        qWarning().noquote() << "send journal: cannot remove" << path_ << ":" << file.errorString();
}

SendJournal::Loaded SendJournal::Load() {
    Loaded out;
    QFile file(path_);
    if (!file.exists()) return out;
    QString error;
    std::optional<JournalEntry> entry;
    if (!file.open(QIODevice::ReadOnly))
        error = file.errorString();
    else
        entry = JournalFromJson(file.readAll(), &error);
    file.close();
    if (entry) {
        out.state = State::Found;
        out.entry = *entry;
        return out;
    }
    out.state = State::Unreadable;
    out.error = error;
    const QString aside = path_ + QStringLiteral(".ilegible");
    QFile::remove(aside);
    if (!QFile::rename(path_, aside))
        qWarning().noquote() << "send journal: cannot move aside" << path_;
    qWarning().noquote() << "send journal: unreadable" << path_ << ":" << error << "; kept as" << aside;
    return out;
}

QString DefaultJournalPath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
           QStringLiteral("/envio_en_curso.json");
}

}  // namespace sending
