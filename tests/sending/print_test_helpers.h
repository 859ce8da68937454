#pragma once
// Small tickets for the print tests, shaped as the layout makes them, and a
// look into the PDF documents drawn from them.
#include <QByteArray>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include "sending/ticket.h"

namespace sendingtest {

// A header at size 12 and `lines` at size 10, ended (EndDoc) like every ticket.
inline sending::Ticket SampleTicket(const QString& title, const QStringList& lines) {
    using Kind = sending::PrintOp::Kind;
    sending::Ticket t;
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
