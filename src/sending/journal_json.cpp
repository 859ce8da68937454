// The send journal's entry as its file holds it (JSON), and back. Reading is
// strict: every field of the entry's version is checked for its type and
// range, and the first one that does not fit names the damage.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

#include "sending/json_fields.h"
#include "sending/send_journal.h"
#include "sending/ticket_json.h"

namespace sending {
namespace {

// The file's own version: a later program that changes the layout can still
// tell an old entry. Version 1 kept each line as the 15 texts of its grid
// row (and, at first, no printed tickets); version 2 keeps its numbers as
// numbers; version 3 adds the server and database it was sent to; version 4
// keeps the printed tickets by identity, with the tickets as laid out,
// always says whether the try drew its number, and may name the port it was
// sent to ("puerto"; an entry without it was written before the port was
// kept). All four are read, so an entry left by an earlier program is
// settled by this one.
constexpr int kVersion = 4;
constexpr int kVersionTryPhase = 4;
constexpr int kVersionInstallation = 3;
constexpr int kVersionPrintedAlways = 2;
constexpr int kVersionGridRows = 1;
// A printed ticket of an earlier program by its place among the send's
// tickets: a send never lays out this many.
constexpr qint64 kPlaceMax = 9999;

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

std::optional<order::Line> LineFromJson(const QJsonValue& v, const QString& where, QString* error) {
    JsonFields f(v, where, error);
    order::Line l;
    l.codigo = f.Text("codigo");
    l.nombre = f.Text("nombre");
    l.cantidad = f.Number("cantidad");
    l.precio = f.Number("precio");
    l.subtotal = f.Number("subtotal");
    l.iva = f.Number("iva");
    l.costo = f.Number("costo");
    l.contornos = f.Texts("contornos");
    l.termino = f.Text("termino");
    l.codVendedor = f.Text("codVendedor");
    l.deposito = f.Text("deposito");
    l.observacion = f.Text("observacion");
    l.imprimir = f.Text("imprimir");
    return f.Ok() ? std::optional(l) : std::nullopt;
}

// A line of a version 1 entry: its grid row's texts, numbers under the
// regional formats the program forces.
std::optional<order::Line> LineFromGridRow(const QJsonValue& v, const QString& where, QString* error) {
    const std::optional<QStringList> cells = TextsAt(v, where, error);
    if (!cells) return std::nullopt;
    std::optional<order::Line> l = order::LineFromRow(*cells);
    if (!l && error) *error = where + QStringLiteral(" tiene una cantidad o un importe que no es un número");
    return l;
}

std::optional<order::Order> OrderFromJson(const QJsonValue& v, int version, QString* error) {
    JsonFields f(v, QStringLiteral("pedido"), error);
    const bool rows = version == kVersionGridRows;
    const char* linesKey = rows ? "filas" : "lineas";
    order::Order p{f.Text("mesa"), f.Text("mesonero"), f.Text("codVendedor"), {}};
    const QJsonArray lineas = f.Array(linesKey);
    for (qsizetype i = 0; f.Ok() && i < lineas.size(); ++i) {
        const QString place = f.Place(linesKey, i);
        const std::optional<order::Line> l =
            rows ? LineFromGridRow(lineas[i], place, error) : LineFromJson(lineas[i], place, error);
        if (!l) return std::nullopt;
        p.lineas.push_back(*l);
    }
    return f.Ok() ? std::optional(p) : std::nullopt;
}

// The ticket lines' values as a try wrote them; absent in entries of older
// programs.
std::optional<WrittenTicket> WrittenFromJson(JsonFields& intento, QString* error) {
    if (!intento.Ok() || !intento.Has("escrito")) return std::nullopt;
    JsonFields f(intento.Value("escrito"), intento.Place("escrito"), error);
    WrittenTicket w{f.Text("numero"), f.Text("mesa"), f.Text("mesonero"), f.Text("hora"), f.Text("fecha")};
    intento.Adopt(f.Ok());
    return w;
}

// The try's phase is told by "numerado" (absent in entries of programs
// before version 4 that wrote a try only once numbered) and the entry's
// "guardado".
std::optional<SendTry> TryFromJson(const QString& id, const QJsonValue& v, int version, bool guardado,
                                   QString* error) {
    JsonFields f(v, QStringLiteral("intento"), error);
    SendTry d;
    d.idEnvio = id;
    d.numero = f.Text("numero");
    const QString fecha = f.Text("fecha");
    d.reloj = {QDate::fromString(fecha, Qt::ISODate), f.Text("hora")};
    d.conRegistro = f.Bool("conRegistro");
    const bool numerado = version >= kVersionTryPhase || f.Has("numerado") ? f.Bool("numerado") : true;
    d.escrito = WrittenFromJson(f, error);
    if (f.Ok() && !fecha.isEmpty() && !d.reloj.fecha.isValid())
        f.Fail(f.Place("fecha"), QStringLiteral("no es una fecha"));
    if (f.Ok() && guardado && !numerado)
        f.Fail(f.Place("numerado"), QStringLiteral("es no en un envío guardado"));
    d.fase = guardado ? TryPhase::Stored : numerado ? TryPhase::Numbered : TryPhase::Announced;
    return f.Ok() ? std::optional(d) : std::nullopt;
}

}  // namespace

namespace {

// The printed tickets: by identity, or by place in an earlier program's
// entry. A ticket named twice was printed once: the repeat is merged.
bool PrintedFromJson(JsonFields& f, int version, JournalEntry& e) {
    if (version < kVersionPrintedAlways && !f.Has("impresas")) return true;
    const QJsonArray impresas = f.Array("impresas");
    for (qsizetype i = 0; f.Ok() && i < impresas.size(); ++i) {
        const QJsonValue v = impresas[i];
        const std::optional<TicketId> id = v.isString() ? TicketId::FromText(v.toString()) : std::nullopt;
        const std::optional<qint64> place = IntegerOf(v, 0, kPlaceMax);
        if (id) {
            if (std::find(e.impresas.begin(), e.impresas.end(), *id) == e.impresas.end()) e.impresas.push_back(*id);
        } else if (place) {
            const int p = static_cast<int>(*place);
            if (std::find(e.impresasPorLugar.begin(), e.impresasPorLugar.end(), p) == e.impresasPorLugar.end())
                e.impresasPorLugar.push_back(p);
        } else {
            f.Fail(f.Place("impresas", i), QStringLiteral("no es una comanda (\"grupo:COCINA:1\") ni un lugar de 0 a ") +
                                               QString::number(kPlaceMax));
        }
    }
    return f.Ok();
}

bool TicketsFromJson(JsonFields& f, JournalEntry& e, QString* error) {
    if (!f.Has("comandas")) return true;
    const QJsonArray comandas = f.Array("comandas");
    for (qsizetype i = 0; f.Ok() && i < comandas.size(); ++i) {
        std::optional<Ticket> comanda = TicketFromJson(comandas[i], f.Place("comandas", i), error);
        f.Adopt(comanda.has_value());
        if (comanda) e.comandas.push_back(std::move(*comanda));
    }
    return f.Ok();
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
    QJsonParseError parse{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parse);
    if (!doc.isObject()) {
        if (error)
            *error = parse.error != QJsonParseError::NoError ? parse.errorString() : QStringLiteral("no es un objeto");
        return std::nullopt;
    }
    JsonFields f(doc.object(), {}, error);
    const int version = static_cast<int>(f.Integer("version", kVersionGridRows, kVersion));
    JournalEntry e;
    e.idEnvio = f.NonEmptyText("idEnvio");
    const bool guardado = f.Bool("guardado");
    if (f.Ok() && version >= kVersionInstallation) {
        e.servidor = f.Text("servidor");
        e.base = f.Text("base");
    }
    if (f.Ok() && version >= kVersionTryPhase && f.Has("puerto"))
        e.puerto = static_cast<unsigned int>(f.Integer("puerto", 1, 65535));
    if (!f.Ok()) return std::nullopt;
    const std::optional<order::Order> pedido = OrderFromJson(f.Value("pedido"), version, error);
    if (!pedido) return std::nullopt;
    e.pedido = *pedido;
    if (f.Has("intento")) {
        e.intento = TryFromJson(e.idEnvio, f.Value("intento"), version, guardado, error);
        if (!e.intento) return std::nullopt;
    }
    if (!PrintedFromJson(f, version, e) || !TicketsFromJson(f, e, error)) return std::nullopt;
    // A stored send without the try that stored it has no ticket number.
    if (guardado && !e.intento) f.Fail(QStringLiteral("intento"), QStringLiteral("falta en un envío guardado"));
    return f.Ok() ? std::optional(std::move(e)) : std::nullopt;
}

}  // namespace sending
