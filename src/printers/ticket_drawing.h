#pragma once
// A kitchen ticket drawn as pages, for printers that have a driver: lines go
// down the printable area in millimetres from its top-left corner, in the
// ticket's font ("Draft 6cpi", which the font system replaces by a fixed-pitch
// font where it does not exist), and a line that does not fit on the page
// starts a new one.
#include <QByteArray>
#include <QPageLayout>
#include <QString>

#include "sending/ticket.h"
#include "sending/ticket_paper.h"

class QPagedPaintDevice;

namespace printers {

using sending::Ticket;
using sending::TicketPaper;

// The name the ticket's job and document carry: "Comanda ASISTENTE", ...
QString TicketJobTitle(const Ticket& ticket);

// The ticket as it goes on paper, drawn:

// on `device` (a QPrinter, a QPdfWriter). False, with the reason in `error`,
// when the device cannot be painted on.
bool DrawTicket(QPagedPaintDevice& device, const TicketPaper& ticket, QString* error);

// As a PDF document with pages of `layout`; empty, with the reason in
// `error`, when it cannot be drawn.
QByteArray TicketPdf(const TicketPaper& ticket, const QPageLayout& layout, QString* error);

}  // namespace printers
