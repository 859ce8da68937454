// The file of the tickets at the printer: each ticket followed or failed, with
// the ticket as data, so a restart follows the same jobs and prints a failed
// ticket again exactly as it was laid out.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

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

// The fields both versions keep alike; false when one is missing.
bool CommonFromJson(const QJsonObject& o, FollowedTicket& t) {
    for (const char* key : {"idEnvio", "numero", "mesa", "impresora", "desde", "causa", "motivo"})
        if (!o.value(QLatin1String(key)).isString()) return false;
    const auto text = [&o](const char* key) { return o.value(QLatin1String(key)).toString(); };
    t.idEnvio = text("idEnvio");
    t.numero = text("numero");
    t.mesa = text("mesa");
    t.impresora = text("impresora");
    t.trabajo = o.value(QLatin1String("trabajo")).toInt(-1);
    bool ok = false;
    t.desde = text("desde").toLongLong(&ok);
    t.fallida = o.value(QLatin1String("fallida")).toBool();
    t.motivo = text("motivo");
    const std::optional<PrinterFault> causa = ValueOf(FaultNames(), text("causa"));
    if (!ok || t.trabajo < 0 || !causa) return false;
    t.causa = *causa;
    return true;
}

// A ticket of a version 1 list. `before`: the tickets read before it, to
// tell the second ticket of one title in a send from the first.
std::optional<FollowedTicket> EarlierFromJson(const QJsonValue& v, const std::vector<FollowedTicket>& before) {
    const QJsonObject o = v.toObject();
    FollowedTicket t;
    if (!v.isObject() || !CommonFromJson(o, t) || !o.value(QLatin1String("titulo")).isString() ||
        o.value(QLatin1String("indice")).toInt(-1) < 0)
        return std::nullopt;
    std::optional<std::vector<PrintOp>> ops = OpsFromJson(o.value(QLatin1String("ops")));
    if (!ops || ops->empty()) return std::nullopt;
    const QString title = o.value(QLatin1String("titulo")).toString();
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

std::optional<FollowedTicket> FromJson(const QJsonValue& v, QString* error) {
    const QJsonObject o = v.toObject();
    *error = QStringLiteral("comanda ilegible");
    FollowedTicket t;
    if (!v.isObject() || !CommonFromJson(o, t) || !o.value(QLatin1String("comanda")).isString()) return std::nullopt;
    const std::optional<TicketId> id = TicketId::FromText(o.value(QLatin1String("comanda")).toString());
    if (!id) return std::nullopt;
    t.id = *id;
    std::optional<Ticket> ticket = TicketFromJson(o.value(QLatin1String("ticket")), error);
    if (!ticket) return std::nullopt;
    t.ticket = std::move(*ticket);
    return t;
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
    const QJsonObject o = doc.object();
    const int version = o.value(QLatin1String("version")).toInt();
    if (version != kVersion && version != kVersionOps) {
        *error = QStringLiteral("versión desconocida");
        return std::nullopt;
    }
    std::vector<FollowedTicket> out;
    for (const QJsonValue& v : o.value(QLatin1String("comandas")).toArray()) {
        std::optional<FollowedTicket> t = version == kVersionOps ? EarlierFromJson(v, out) : FromJson(v, error);
        if (!t) {
            if (version == kVersionOps) *error = QStringLiteral("comanda ilegible");
            return std::nullopt;
        }
        out.push_back(std::move(*t));
    }
    return out;
}

}  // namespace sending
