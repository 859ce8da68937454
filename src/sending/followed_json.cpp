// The file of the tickets at the printer: each ticket followed or failed, with
// the ticket as data, so a restart follows the same jobs and prints a failed
// ticket again exactly as it was laid out.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "sending/ticket_follower.h"
#include "sending/ticket_json.h"

namespace sending {
namespace {

// Version 1 kept each ticket as the printer operations that made it; those
// cannot be printed as data again, so such a list is refused by name.
constexpr int kVersion = 2;
constexpr int kVersionOps = 1;

const std::vector<std::pair<PrinterFault, QString>>& FaultNames() {
    static const std::vector<std::pair<PrinterFault, QString>> names = {
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

QString FaultName(PrinterFault fault) {
    for (const auto& [v, n] : FaultNames())
        if (v == fault) return n;
    return {};
}

std::optional<PrinterFault> FaultOf(const QString& name) {
    for (const auto& [v, n] : FaultNames())
        if (n == name) return v;
    return std::nullopt;
}

QJsonObject ToJson(const FollowedTicket& t) {
    return {{"idEnvio", t.idEnvio},       {"numero", t.numero},
            {"mesa", t.mesa},             {"impresora", t.impresora},
            {"comanda", t.id.Text()},     {"ticket", TicketToJson(t.ticket)},
            {"trabajo", t.trabajo},       {"desde", QString::number(t.desde)},
            {"fallida", t.fallida},       {"causa", FaultName(t.causa)},
            {"motivo", t.motivo}};
}

std::optional<FollowedTicket> FromJson(const QJsonValue& v, QString* error) {
    const QJsonObject o = v.toObject();
    *error = QStringLiteral("comanda ilegible");
    if (!v.isObject()) return std::nullopt;
    for (const char* key : {"idEnvio", "numero", "mesa", "impresora", "comanda", "desde", "causa", "motivo"})
        if (!o.value(QLatin1String(key)).isString()) return std::nullopt;
    const auto text = [&o](const char* key) { return o.value(QLatin1String(key)).toString(); };
    FollowedTicket t;
    t.idEnvio = text("idEnvio");
    t.numero = text("numero");
    t.mesa = text("mesa");
    t.impresora = text("impresora");
    t.trabajo = o.value(QLatin1String("trabajo")).toInt(-1);
    bool ok = false;
    t.desde = text("desde").toLongLong(&ok);
    t.fallida = o.value(QLatin1String("fallida")).toBool();
    t.motivo = text("motivo");
    const std::optional<TicketId> id = TicketId::FromText(text("comanda"));
    const std::optional<PrinterFault> causa = FaultOf(text("causa"));
    if (!ok || !id || t.trabajo < 0 || !causa) return std::nullopt;
    t.id = *id;
    t.causa = *causa;
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
    if (version == kVersionOps) {
        *error = QStringLiteral("lista de una versión anterior del programa (comandas como órdenes de impresora)");
        return std::nullopt;
    }
    if (version != kVersion) {
        *error = QStringLiteral("versión desconocida");
        return std::nullopt;
    }
    std::vector<FollowedTicket> out;
    for (const QJsonValue& v : o.value(QLatin1String("comandas")).toArray()) {
        std::optional<FollowedTicket> t = FromJson(v, error);
        if (!t) return std::nullopt;
        out.push_back(std::move(*t));
    }
    return out;
}

}  // namespace sending
