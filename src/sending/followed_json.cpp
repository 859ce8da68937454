// The file of the tickets at the printer: each ticket followed or failed, with
// the ticket as data, so a restart follows the same jobs and prints a failed
// ticket again exactly as it was laid out.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <limits>

#include "sending/json_fields.h"
#include "sending/ticket_follower.h"
#include "sending/ticket_json.h"
#include "sending/value_names.h"

namespace sending {
namespace {

// Version 1 kept each ticket as the printer operations that made it, by its
// place among the send's tickets: such a ticket is kept as those operations
// (it prints again exactly as they say) under the identity its title gives.
constexpr int kVersion = 2;
constexpr int kVersionOps = 1;
// A ticket's place among its send's tickets (version 1): a send never lays
// out this many.
constexpr qint64 kPlaceMax = 9999;

const ValueNames<PrinterFault>& FaultNames() {
    static const ValueNames<PrinterFault> names = {
        {PrinterFault::None, QStringLiteral("ninguna")},
        {PrinterFault::Stopped, QStringLiteral("detenida")},
        {PrinterFault::Rejecting, QStringLiteral("rechaza")},
        {PrinterFault::PaperOut, QStringLiteral("sin-papel")},
        {PrinterFault::CoverOpen, QStringLiteral("tapa-abierta")},
        {PrinterFault::Offline, QStringLiteral("fuera-de-linea")},
        {PrinterFault::NotCompleted, QStringLiteral("sin-terminar")},
        {PrinterFault::JobHeld, QStringLiteral("retenida")},
        {PrinterFault::JobCancelled, QStringLiteral("cancelada")},
        {PrinterFault::JobAborted, QStringLiteral("abortada")},
        {PrinterFault::JobGone, QStringLiteral("desaparecida")},
        {PrinterFault::NoAnswer, QStringLiteral("sin-respuesta")},
        {PrinterFault::Other, QStringLiteral("otra")}};
    return names;
}

QJsonObject ToJson(const FollowedTicket& t) {
    return {{"idEnvio", t.idEnvio},       {"numero", t.numero},
            {"mesa", t.mesa},             {"impresora", t.impresora},
            {"comanda", t.id.Text()},     {"ticket", TicketToJson(t.ticket)},
            {"trabajo", t.trabajo},       {"desde", QString::number(t.desde)},
            {"fallida", t.fallida},       {"causa", NameOf(FaultNames(), t.causa)},
            {"motivo", t.motivo}};
}

// The fields both versions keep alike, each as both wrote it.
void CommonFromJson(JsonFields& f, FollowedTicket& t) {
    t.idEnvio = f.NonEmptyText("idEnvio");
    t.numero = f.Text("numero");
    t.mesa = f.Text("mesa");
    t.impresora = f.Text("impresora");
    t.trabajo = static_cast<int>(f.Integer("trabajo", 0, std::numeric_limits<int>::max()));
    const QString desde = f.Text("desde");
    bool ok = false;
    t.desde = desde.toLongLong(&ok);
    if (f.Ok() && (!ok || t.desde < 0 || desde != QString::number(t.desde)))
        f.Fail(f.Place("desde"), QStringLiteral("no es una hora en milisegundos"));
    t.fallida = f.Bool("fallida");
    const QString causa = f.Text("causa");
    t.causa = ValueOf(FaultNames(), causa).value_or(PrinterFault::Other);
    if (f.Ok() && !ValueOf(FaultNames(), causa))
        f.Fail(f.Place("causa"), QStringLiteral("no es una causa conocida: ") + causa);
    t.motivo = f.Text("motivo");
}

// A ticket of a version 1 list. `before`: the tickets read before it, to
// tell the second ticket of one title in a send from the first.
std::optional<FollowedTicket> EarlierFromJson(JsonFields& f, const std::vector<FollowedTicket>& before,
                                              QString* error) {
    FollowedTicket t;
    CommonFromJson(f, t);
    const QString title = f.Text("titulo");
    f.Integer("indice", 0, kPlaceMax);
    if (!f.Ok()) return std::nullopt;
    std::optional<std::vector<PrintOp>> ops = OpsFromJson(f.Value("ops"), f.Place("ops"), error);
    if (!ops) return std::nullopt;
    const TicketKind kind = title == QLatin1String("ASISTENTE") ? TicketKind::Full
                            : title == QLatin1String("CHEF")    ? TicketKind::Chef
                                                                : TicketKind::Group;
    const auto same = [&](const FollowedTicket& b) { return b.idEnvio == t.idEnvio && b.ticket.title == title; };
    t.id = {kind, title, 1 + static_cast<int>(std::count_if(before.begin(), before.end(), same))};
    t.ticket.kind = kind;
    t.ticket.title = title;
    t.ticket.numero = t.numero;
    t.ticket.mesa = t.mesa;
    t.ticket.papelAnterior = std::move(*ops);
    return t;
}

std::optional<FollowedTicket> FromJson(JsonFields& f, QString* error) {
    FollowedTicket t;
    CommonFromJson(f, t);
    const QString comanda = f.Text("comanda");
    const std::optional<TicketId> id = TicketId::FromText(comanda);
    if (f.Ok() && !id) f.Fail(f.Place("comanda"), QStringLiteral("no es una comanda (\"grupo:COCINA:1\")"));
    if (!f.Ok()) return std::nullopt;
    t.id = *id;
    std::optional<Ticket> ticket = TicketFromJson(f.Value("ticket"), f.Place("ticket"), error);
    if (!ticket) return std::nullopt;
    t.ticket = std::move(*ticket);
    if (t.ticket.kind != t.id.kind || t.ticket.title != t.id.title) {
        f.Fail(f.Place("ticket"), QStringLiteral("no es la comanda ") + comanda);
        return std::nullopt;
    }
    return t;
}

// The same ticket of a send, held twice: one ticket. Copies that disagree
// leave nothing to tell which is right.
bool MergeRepeat(std::vector<FollowedTicket>& out, const FollowedTicket& t, qint64 indice, JsonFields& f,
                 std::vector<qint64>& indices) {
    for (size_t i = 0; i < out.size(); ++i) {
        const bool repeat = out[i].idEnvio == t.idEnvio && (indice >= 0 ? indices[i] == indice : out[i].id == t.id);
        if (!repeat) continue;
        FollowedTicket copy = t;
        copy.id = out[i].id;  // a version 1 copy counts itself as the next of its title
        if (copy != out[i])
            f.Fail(f.Where(), QStringLiteral("repite la comanda ") + out[i].id.Text() + QStringLiteral(" del envío ") +
                                  t.idEnvio + QStringLiteral(" con otros datos"));
        return true;
    }
    return false;
}

}  // namespace

QByteArray FollowedToJson(const std::vector<FollowedTicket>& tickets) {
    QJsonArray list;
    for (const FollowedTicket& t : tickets) list.append(ToJson(t));
    return QJsonDocument(QJsonObject{{"version", kVersion}, {"comandas", list}}).toJson(QJsonDocument::Compact);
}

std::optional<std::vector<FollowedTicket>> FollowedFromJson(const QByteArray& json, QString* error) {
    QJsonParseError parse{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parse);
    if (!doc.isObject()) {
        *error = parse.error != QJsonParseError::NoError ? parse.errorString() : QStringLiteral("no es un objeto");
        return std::nullopt;
    }
    JsonFields list(doc.object(), {}, error);
    const qint64 version = list.Integer("version", kVersionOps, kVersion);
    const QJsonArray comandas = list.Array("comandas");
    std::vector<FollowedTicket> out;
    std::vector<qint64> indices;  // of a version 1 list, by ticket
    for (qsizetype i = 0; list.Ok() && i < comandas.size(); ++i) {
        JsonFields f(comandas[i], list.Place("comandas", i), error);
        std::optional<FollowedTicket> t = version == kVersionOps ? EarlierFromJson(f, out, error) : FromJson(f, error);
        if (!t || !f.Ok()) return std::nullopt;
        const qint64 indice = version == kVersionOps ? f.Integer("indice", 0, kPlaceMax) : -1;
        if (MergeRepeat(out, *t, indice, f, indices)) {
            if (!f.Ok()) return std::nullopt;
            continue;
        }
        out.push_back(std::move(*t));
        indices.push_back(indice);
    }
    if (!list.Ok()) return std::nullopt;
    return out;
}

}  // namespace sending
