// A ticket drawn as pages for a driver's printer.
#include "printers/ticket_drawing.h"

#include <gtest/gtest.h>

#include <QPageLayout>
#include <QPageSize>
#include <QRegularExpression>
#include <QSizeF>

#include "sending/print_test_helpers.h"

namespace {

QStringList Lines(int count) {
    QStringList lines;
    for (int i = 0; i < count; ++i) lines << QStringLiteral("--> Plato %1").arg(i);
    return lines;
}

QPageLayout Page(double width_mm, double height_mm) {
    return QPageLayout(QPageSize(QSizeF(width_mm, height_mm), QPageSize::Millimeter),
                       QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

QByteArray Pdf(const sending::TicketPaper& ticket, const QPageLayout& layout) {
    QString error;
    const QByteArray pdf = printers::TicketPdf(ticket, layout, &error);
    EXPECT_FALSE(pdf.isEmpty()) << error.toStdString();
    return pdf;
}

TEST(TicketDrawing, TicketThatFitsIsOnePage) {
    const QByteArray pdf =
        Pdf(sendingtest::SamplePaper(QStringLiteral("ASISTENTE"), Lines(20)), Page(148, 210));
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_EQ(sendingtest::PdfPages(pdf), 1);
}

TEST(TicketDrawing, LinesThatDoNotFitGoOnNewPages) {
    // 10-point lines are 4 to 6 mm apart: a 100 mm page holds 16 to 25 of them.
    const QPageLayout page = Page(80, 100);
    const int pages_30 =
        sendingtest::PdfPages(Pdf(sendingtest::SamplePaper(QStringLiteral("A"), Lines(30)), page));
    const int pages_120 = sendingtest::PdfPages(
        Pdf(sendingtest::SamplePaper(QStringLiteral("A"), Lines(120)), page));
    EXPECT_GE(pages_30, 2);
    EXPECT_LE(pages_30, 3);
    EXPECT_GE(pages_120, 5);
    EXPECT_LE(pages_120, 9);
}

TEST(TicketDrawing, DocumentIsNamedAfterTheTicket) {
    EXPECT_EQ(printers::TicketJobTitle(sendingtest::SampleTicket(QStringLiteral("CHEF"), {})),
              QStringLiteral("Comanda CHEF"));
}

}  // namespace
