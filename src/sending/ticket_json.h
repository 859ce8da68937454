#pragma once
// Kitchen tickets as the terminal's own files keep them (the send journal and
// the list of tickets at the printer), and back: every value the ticket
// prints, so that it prints again exactly as it was laid out.
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <optional>

#include "sending/ticket.h"

namespace sending {

QJsonObject TicketToJson(const Ticket& ticket);
// nullopt, with what is wrong in `error` (the field, by its place in the
// file: `where` is the ticket's own), for anything but a whole ticket.
std::optional<Ticket> TicketFromJson(const QJsonValue& json, QString* error);
std::optional<Ticket> TicketFromJson(const QJsonValue& json, const QString& where, QString* error);

// A list of texts; nullopt for anything else (a list holding a number, say).
std::optional<QStringList> TextsFromJson(const QJsonValue& json);

// Printer operations as an earlier program's list of failed tickets kept
// them ([{"k": "línea", "t": "...", "s": 0}, ...]), and back; nullopt, with
// the reason naming the field at `where`, for anything else (an empty list
// too: no ticket was ever kept as none).
QJsonArray OpsToJson(const std::vector<PrintOp>& ops);
std::optional<std::vector<PrintOp>> OpsFromJson(const QJsonValue& json, const QString& where, QString* error);

}  // namespace sending
