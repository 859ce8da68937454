#include "sending/send_journal.h"

#include <QDebug>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "sending/ticket_json.h"

namespace sending {
namespace {

// The file's own version: a later program that changes the layout can still
// tell an old entry. Version 1 kept each line as the 15 texts of its grid
// row; version 2 keeps its numbers as numbers; version 3 adds the server and
// database it was sent to; version 4 keeps the printed tickets by identity,
// with the tickets as laid out, and may name the port it was sent to
// ("puerto"; an entry without it was written before the port was kept). All
// four are read, so an entry left by an earlier program is settled by this
// one.
constexpr int kVersion = 4;
constexpr int kVersionInstallation = 3;
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

QJsonObject TryToJson(const SendTry& d) {
    QJsonObject o{{"numero", d.numero},
                  {"fecha", d.reloj.fecha.toString(Qt::ISODate)},
                  {"hora", d.reloj.hora},
                  {"conRegistro", d.conRegistro},
                  {"numerado", d.Numbered()}};
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

// The try's phase is told by "numerado" (absent in older programs' entries,
// which wrote a try only once numbered) and the entry's "guardado".
std::optional<SendTry> TryFromJson(const QString& id, const QJsonObject& o, bool guardado) {
    if (!IsText(o, "numero") || !IsText(o, "fecha") || !IsText(o, "hora") ||
        !o.value(QLatin1String("conRegistro")).isBool())
        return std::nullopt;
    const QString fecha = o.value(QLatin1String("fecha")).toString();
    const QJsonValue numerado = o.value(QLatin1String("numerado"));
    if (!numerado.isUndefined() && !numerado.isBool()) return std::nullopt;
    bool ok = true;
    const TryPhase fase = guardado ? TryPhase::Stored : numerado.toBool(true) ? TryPhase::Numbered : TryPhase::Announced;
    SendTry d{id,
              o.value(QLatin1String("numero")).toString(),
              {QDate::fromString(fecha, Qt::ISODate), o.value(QLatin1String("hora")).toString()},
              o.value(QLatin1String("conRegistro")).toBool(),
              fase,
              WrittenFromJson(o.value(QLatin1String("escrito")), ok)};
    if (!ok || (!fecha.isEmpty() && !d.reloj.fecha.isValid())) return std::nullopt;
    return d;
}

}  // namespace

QByteArray JournalToJson(const JournalEntry& e) {
    QJsonObject o{{"version", kVersion},
                  {"idEnvio", e.idEnvio},
                  {"pedido", OrderToJson(e.pedido)},
                  {"guardado", e.Stored()},
                  {"servidor", e.servidor},
                  {"base", e.base}};
    if (e.puerto != 0) o.insert(QStringLiteral("puerto"), static_cast<int>(e.puerto));
    if (e.intento) o.insert(QStringLiteral("intento"), TryToJson(*e.intento));
    QJsonArray impresas;
    for (const TicketId& id : e.impresas) impresas.append(id.Text());
    for (int i : e.impresasPorLugar) impresas.append(i);
    o.insert(QStringLiteral("impresas"), impresas);
    QJsonArray comandas;
    for (const Ticket& t : e.comandas) comandas.append(TicketToJson(t));
    if (!e.comandas.empty()) o.insert(QStringLiteral("comandas"), comandas);
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
    if (version < kVersionGridRows || version > kVersion)
        return fail(QStringLiteral("versión desconocida"));
    if (!IsText(o, "idEnvio") || o.value(QLatin1String("idEnvio")).toString().isEmpty() ||
        !o.value(QLatin1String("guardado")).isBool() || !o.value(QLatin1String("pedido")).isObject())
        return fail(QStringLiteral("faltan datos del envío"));
    JournalEntry e;
    e.idEnvio = o.value(QLatin1String("idEnvio")).toString();
    const bool guardado = o.value(QLatin1String("guardado")).toBool();
    if (version >= kVersionInstallation) {
        if (!IsText(o, "servidor") || !IsText(o, "base")) return fail(QStringLiteral("falta la base de datos"));
        e.servidor = o.value(QLatin1String("servidor")).toString();
        e.base = o.value(QLatin1String("base")).toString();
    }
    if (o.contains(QLatin1String("puerto"))) {
        const int puerto = o.value(QLatin1String("puerto")).toInt(0);
        if (puerto < 1 || puerto > 65535) return fail(QStringLiteral("puerto ilegible"));
        e.puerto = static_cast<unsigned int>(puerto);
    }
    const std::optional<order::Order> pedido =
        OrderFromJson(o.value(QLatin1String("pedido")).toObject(), version);
    if (!pedido) return fail(QStringLiteral("pedido ilegible"));
    e.pedido = *pedido;
    if (o.contains(QLatin1String("intento"))) {
        e.intento = TryFromJson(e.idEnvio, o.value(QLatin1String("intento")).toObject(), guardado);
        if (!e.intento) return fail(QStringLiteral("intento ilegible"));
    }
    for (const QJsonValue& i : o.value(QLatin1String("impresas")).toArray()) {
        const std::optional<TicketId> id = TicketId::FromText(i.toString());
        if (id) e.impresas.push_back(*id);
        else if (i.isDouble() && i.toInt(-1) >= 0) e.impresasPorLugar.push_back(i.toInt());
        else return fail(QStringLiteral("comandas impresas ilegibles"));
    }
    for (const QJsonValue& t : o.value(QLatin1String("comandas")).toArray()) {
        std::optional<Ticket> comanda = TicketFromJson(t, error);
        if (!comanda) return std::optional<JournalEntry>();
        e.comandas.push_back(std::move(*comanda));
    }
    // A stored send without the try that stored it has no ticket number.
    if (guardado && !e.intento) return fail(QStringLiteral("envío guardado sin número de comanda"));
    return e;
}

SendJournal::SendJournal(QString path, JournalDisk* disk)
    : file_(std::move(path), QStringLiteral("send journal"), disk) {}

bool SendJournal::Write(const JournalEntry& entry, Sync sync) { return file_.Write(JournalToJson(entry), sync); }

bool SendJournal::Close(Sync sync) { return file_.Remove(sync); }

SendJournal::Loaded SendJournal::Load(const std::optional<Installation>& expected) {
    Loaded out;
    QString error;
    const std::optional<QByteArray> text = file_.Read(&error);
    if (!text && error.isEmpty()) return out;
    std::optional<JournalEntry> entry;
    if (text) entry = JournalFromJson(*text, &error);
    if (!entry) {
        out.state = State::Unreadable;
        out.error = error;
        out.keptAs = file_.MoveAside(QStringLiteral(".ilegible"));
        qWarning().noquote() << "send journal: unreadable" << Path() << ":" << error << "; kept as" << out.keptAs;
        return out;
    }
    out.entry = *entry;
    out.state = State::Found;
    if (!expected) return out;
    if (entry->servidor.isEmpty() && entry->base.isEmpty()) {
        // An earlier program's entry: its file was this installation's.
        out.entry.servidor = expected->servidor;
        out.entry.base = expected->base;
    } else if (!expected->SameAs(entry->servidor, entry->base, entry->puerto)) {
        // Settling it here would ask (and print against) the wrong server.
        out.state = State::Foreign;
        out.keptAs = file_.MoveAside(QStringLiteral(".otra-base"));
        qWarning().noquote() << "send journal: send" << entry->idEnvio << "in" << Path() << "went to server"
                             << entry->servidor << "port" << entry->puerto << "database" << entry->base << ", not"
                             << expected->servidor << expected->puerto << expected->base << "; kept as" << out.keptAs;
    }
    if (out.state == State::Found && out.entry.puerto == 0) out.entry.puerto = expected->puerto;
    return out;
}

bool SendJournal::TakeOverEarlier(const QString& earlierPath) {
    return file_.TakeOver(earlierPath, QStringLiteral("an earlier name of this installation's journal; an entry "
                                                      "of another server or database is told by what it records"));
}

}  // namespace sending
