// The campaign's verdicts: how often each order is stored, read from the
// rows the order tables hold, and each stored order's tickets at the printer.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTime>

#include "fault_campaign/campaign_checks.h"
#include "sending/escpos.h"
#include "sending/ticket_layout.h"
#include "support/orders.h"
#include "support/stored_orders.h"

namespace {

using bench::SentOrder;
using bench::StoredRows;

SentOrder Order(const QString& prefix, int lines, const QString& numero, bool reported) {
    SentOrder o{bench::DemoOrder(QStringLiteral("5"), lines, prefix).lineas, prefix + QStringLiteral("-send"),
                numero, reported};
    return o;
}

// The order's rows as a send stores them, `times` times.
void Store(StoredRows& rows, const SentOrder& o, const QString& numero, int times = 1) {
    for (const order::Line& linea : o.lineas) {
        const QString note = linea.observacion;
        rows.lines[note] = {rows.lines[note].count + times, QStringLiteral("5")};
        rows.ticketLines[note] = {rows.ticketLines[note].count + times, numero};
    }
    rows.envios[o.idEnvio] = {rows.envios[o.idEnvio].count + times, numero};
}

TEST(StoredOrders, AReportedOrderMustBeThereOnceUnderItsNumber) {
    const SentOrder once = Order("a", 2, "10", true), lost = Order("b", 1, "11", true),
                    renumbered = Order("c", 1, "12", true), unrecorded = Order("d", 1, "13", true);
    StoredRows rows;
    Store(rows, once, "10");
    Store(rows, renumbered, "99");
    Store(rows, unrecorded, "13");
    rows.envios.erase(unrecorded.idEnvio);
    const bench::StoredCheck c = bench::Classify({once, lost, renumbered, unrecorded}, rows);
    EXPECT_EQ(c.storedOnce, 1);
    EXPECT_EQ(c.lost, 1);
    EXPECT_EQ(c.wrongNumber, 2) << "stored under another number, or without its send record";
    EXPECT_EQ(c.lostOrders, (std::vector<size_t>{1})) << "the orders concerned are named by their place";
    EXPECT_EQ(c.brokenOrders, (std::vector<size_t>{2, 3}));
    EXPECT_FALSE(c.Clean());
    EXPECT_FALSE(c.firstProblem.isEmpty());
}

TEST(StoredOrders, AnOrderNotReportedMayBeThereOnceButNeverTwiceNorInPart) {
    const SentOrder pending = Order("e", 2, QString(), false), absent = Order("f", 2, QString(), false),
                    twice = Order("g", 2, QString(), false), torn = Order("h", 2, QString(), false);
    StoredRows rows;
    Store(rows, pending, "20");
    Store(rows, twice, "21", 2);
    Store(rows, torn, "22");
    rows.ticketLines.erase(torn.lineas[1].observacion);
    const bench::StoredCheck c = bench::Classify({pending, absent, twice, torn}, rows);
    EXPECT_EQ(c.unreportedStored, 1);
    EXPECT_EQ(c.doubled, 1);
    EXPECT_EQ(c.torn, 1);
    EXPECT_EQ(c.lost, 0);
    EXPECT_EQ(c.brokenOrders, (std::vector<size_t>{2, 3}));
    EXPECT_EQ(bench::Classify({pending, absent}, rows).Clean(), true);
}

TEST(StoredOrders, ATicketNumberDrawnTwiceIsCaughtFromTheTerminalsAndFromTheTable) {
    const SentOrder a = Order("i", 1, "30", true), b = Order("j", 1, "30", true);
    StoredRows rows;
    Store(rows, a, "30");
    Store(rows, b, "30");
    rows.numbersTwice = 1;
    EXPECT_EQ(bench::Classify({a, b}, rows).ticketNumbersTwice, 2);
}

// The printer's file as it would hold the tickets of `order`, `times` times.
QByteArray Printed(const campaign::CampaignOrder& order, int times) {
    sending::TicketInput in{order.numero, QStringLiteral("Restaurant de prueba"), QDate::currentDate(),
                            order.pedido.mesonero, order.pedido.mesa, order.pedido.lineas,
                            [] { return QTime::currentTime(); }};
    QByteArray bytes;
    for (int i = 0; i < times; ++i)
        for (const sending::Ticket& t : sending::LayOutTickets(in, bench::DemoModelo())) bytes += sending::EscPosBytes(t);
    return bytes;
}

campaign::CampaignOrder Campaign(int k, const QString& numero, bool reported = true) {
    campaign::CampaignOrder o;
    o.pedido = campaign::CampaignOrderContent(QStringLiteral("t"), k);
    o.numero = numero;
    o.reported = reported;
    return o;
}

TEST(CampaignTickets, EveryTicketOfEveryStoredOrderOnceAndNothingElse) {
    bench::UseTerminalFormats();
    // Order 0 prints several tickets (the chef copy and its groups), the others the full copy only.
    const auto whole = Campaign(0, "40"), twice = Campaign(1, "41"), missing = Campaign(2, "42"),
               unstored = Campaign(3, "43", false), stray = Campaign(5, "44");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("comandas.bin"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(Printed(whole, 1) + Printed(twice, 2) + Printed(stray, 1));
    file.close();
    const bench::KitchenPrinter printer(path);
    const campaign::TicketCheck c = campaign::CheckTickets({whole, twice, missing, unstored}, printer, 0);
    EXPECT_GT(Printed(whole, 1).count("COMANDA: 40"), 1);
    EXPECT_EQ(c.missing, 1);
    EXPECT_EQ(c.twice, 1);
    EXPECT_EQ(c.strays, 1);
    EXPECT_EQ(c.ticketsMissing, 1);
    EXPECT_EQ(campaign::CheckTickets({whole}, bench::KitchenPrinter(path), 0).missing, 0);

    // Each wrong number named, with its order's place (none for a stray).
    struct Named {
        const char* numero;
        int expected, received, order;
    };
    const Named named[] = {{"41", 1, 2, 1}, {"42", 1, 0, 2}, {"44", 0, 1, -1}};
    ASSERT_EQ(c.problems.size(), std::size(named));
    for (size_t i = 0; i < std::size(named); ++i) {
        SCOPED_TRACE(named[i].numero);
        EXPECT_EQ(c.problems[i].numero, QString::fromLatin1(named[i].numero));
        EXPECT_EQ(c.problems[i].expected, named[i].expected);
        EXPECT_EQ(c.problems[i].received, named[i].received);
        EXPECT_EQ(c.problems[i].order, named[i].order);
    }
}

TEST(CampaignTickets, AFailedCheckNamesTheOrderItsTerminalAndWhatItDid) {
    campaign::CampaignOrder o = Campaign(2, "42");
    o.key = QStringLiteral("t2");
    o.terminal = 7;
    o.idEnvio = QStringLiteral("abc");
    o.story << QStringLiteral("send: stored as ticket 42") << QStringLiteral("print: tickets [] taken, [0] not taken");
    const QStringList lines = campaign::DescribeTickets({{QStringLiteral("42"), 1, 0, 0}, {QStringLiteral("9"), 0, 1, -1}}, {o});
    ASSERT_EQ(lines.size(), 2);
    for (const char* part : {"ticket number 42", "1 expected, 0 at the printer", "order t2", "table 3", "terminal 7",
                             "send abc", "send: stored as ticket 42", "[0] not taken"})
        EXPECT_TRUE(lines[0].contains(QString::fromUtf8(part))) << part << " in " << qPrintable(lines[0]);
    EXPECT_TRUE(lines[1].contains(QStringLiteral("of no stored order"))) << qPrintable(lines[1]);
}

TEST(CampaignOrders, OverlongOrdersAreReadBackAsTheColumnsCutThem) {
    campaign::CampaignOrder longOne;
    longOne.pedido = campaign::CampaignOrderContent(QStringLiteral("t"), 5, true);
    ASSERT_GT(longOne.pedido.mesonero.size(), 60);
    for (const order::Line& l : longOne.pedido.lineas) ASSERT_GT(l.observacion.size(), 500);
    const std::vector<bench::SentOrder> sent = campaign::AsSent({longOne}, 500);
    for (size_t i = 0; i < sent[0].lineas.size(); ++i) {
        EXPECT_EQ(sent[0].lineas[i].observacion.size(), 500);
        EXPECT_TRUE(sent[0].lineas[i].observacion.startsWith(QStringLiteral("t5-l%1 ").arg(i)))
            << "the note's key survives the cut";
    }
    EXPECT_EQ(campaign::AsSent({longOne}, 0)[0].lineas, longOne.pedido.lineas) << "no width: whole";
}

}  // namespace
