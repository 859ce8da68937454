#pragma once
// Small tickets for the print tests, and a look into the PDF documents drawn
// from them.
#include <QByteArray>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include "sending/ticket.h"
#include "sending/ticket_paper.h"

namespace sendingtest {

// A group ticket of table 7 with one of each of `dishes`.
inline sending::Ticket SampleTicket(const QString& title, const QStringList& dishes) {
    sending::Ticket t;
    t.kind = sending::TicketKind::Group;
    t.title = title;
    t.empresa = QStringLiteral("Restaurant El Fogón");
    t.mesa = QStringLiteral("7");
    t.mesonero = QStringLiteral("Yusmary");
    t.numero = QStringLiteral("41");
    t.fecha = QDate(2026, 12, 8);
    t.hora = QTime(12, 0);
    sending::TicketSection seccion{title, {}};
    for (const QString& dish : dishes) seccion.lineas.push_back({1, dish, {}, {}, {}});
    t.secciones.push_back(seccion);
    return t;
}

// Paper shaped as the layout makes it: a header at size 12 and `lines` at
// size 10, ended (EndDoc) like every ticket.
inline sending::TicketPaper SamplePaper(const QString& title, const QStringList& lines) {
    using Kind = sending::PrintOp::Kind;
    sending::TicketPaper t;
    t.title = title;
    t.ops.push_back({Kind::ScaleMillimetres, {}, 0});
    t.ops.push_back({Kind::FontName, QStringLiteral("Draft 6cpi"), 0});
    t.ops.push_back({Kind::FontSize, {}, 12});
    t.ops.push_back({Kind::PrintLine, QStringLiteral("Mesa #: 7"), 0});
    t.ops.push_back({Kind::CurrentX, {}, 0});
    t.ops.push_back({Kind::PrintLine, title, 0});
    t.ops.push_back({Kind::FontSize, {}, 10});
    for (const QString& line : lines) t.ops.push_back({Kind::PrintLine, line, 0});
    t.ops.push_back({Kind::EndDoc, {}, 0});
    return t;
}

// The pages of a PDF document (its page objects, as Qt writes them).
inline int PdfPages(const QByteArray& pdf) {
    static const QRegularExpression kPage(QStringLiteral("/Type\\s*/Page[^s]"));
    return int(QString::fromLatin1(pdf).count(kPage));
}

}  // namespace sendingtest
