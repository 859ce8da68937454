#include "support/concurrent_orders.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <set>
#include <thread>

#include "support/test_orders.h"

namespace testsupport {

size_t ConcurrentOrders::Sends() const {
    size_t n = 0;
    for (const auto& o : orders) n += o.size();
    return n;
}

void ConcurrentOrders::KeepFirst(int terminal, int count) {
    if (orders[terminal].size() > static_cast<size_t>(count)) orders[terminal].resize(count);
    std::erase_if(expected, [&](const auto& e) {
        return e.second.terminal == terminal && e.second.order >= count;
    });
}

int ConcurrentLineCount(int t, int o) { return 1 + (t * 5 + o * 7) % 12; }

order::Line ConcurrentLine(int t, int o, int l) {
    const QString note = QString("t%1-o%2-l%3").arg(t).arg(o).arg(l);
    return TestLine(QString("P%1").arg(l), "PLATO " + note, (l + 1) + (t % 10) / 10.0, 1100.25 + o, note);
}

ConcurrentOrders MakeConcurrentOrders(int terminals, int ordersEach, int tables) {
    ConcurrentOrders c;
    c.orders.resize(terminals);
    for (int t = 0; t < terminals; ++t) {
        for (int o = 0; o < ordersEach; ++o) {
            const QString mesa = QString::number(1 + (t * 7 + o * 3) % tables);
            order::Order p{
                mesa, QString("Mesero %1").arg(t), QString("%1").arg(t, 3, 10, QChar('0')), {}};
            for (int l = 0; l < ConcurrentLineCount(t, o); ++l) {
                const order::Line line = ConcurrentLine(t, o, l);
                p.lineas.push_back(line);
                c.expected[line.observacion] = {mesa, QString("%1.%2").arg(l + 1).arg(t % 10) + "00",
                                                QString("1%1.250").arg(100 + o, 3, 10, QChar('0')), t, o};
            }
            c.orders[t].push_back(p);
        }
    }
    return c;
}

SendsAtOnce SendAtOnce(std::vector<std::unique_ptr<data::MariaDbConnection>>& connections,
                       const ConcurrentOrders& sent,
                       const std::function<sending::SendOptions(int)>& options) {
    const int terminals = static_cast<int>(sent.orders.size());
    SendsAtOnce out;
    out.results.resize(terminals);
    out.failures.resize(terminals);
    QElapsedTimer timer;
    timer.start();
    std::vector<std::thread> threads;
    for (int t = 0; t < terminals; ++t) {
        threads.emplace_back([&, t] {
            const sending::SendOptions o = options(t);
            try {
                for (const order::Order& p : sent.orders[t])
                    out.results[t].push_back(
                        sending::SendOrder(*connections[t], p, sending::NewSendId(), o));
            } catch (const std::exception& e) {
                out.failures[t] = e.what();
            }
        });
    }
    for (std::thread& th : threads) th.join();
    out.elapsedMs = timer.elapsed();
    return out;
}

namespace {

// Every row of `rows` (note first, then three columns) is one expected line,
// seen once, whose other columns read `want(line)`.
void ExpectLinesOnce(const QStringList& rows, const ConcurrentOrders& sent,
                     const std::function<QString(const ExpectedLine&)>& want) {
    ASSERT_EQ(rows.size(), static_cast<qsizetype>(sent.expected.size()));
    std::set<QString> seen;
    for (const QString& row : rows) {
        const QStringList f = row.split('\t');
        ASSERT_EQ(f.size(), 4) << row.toStdString();
        const auto e = sent.expected.find(f[0]);
        ASSERT_NE(e, sent.expected.end()) << row.toStdString();
        EXPECT_TRUE(seen.insert(f[0]).second) << "line twice: " << row.toStdString();
        EXPECT_EQ(f[1] + "|" + f[2] + "|" + f[3], want(e->second));
    }
}

}  // namespace

void ExpectEverySendStoredOnce(const QueryFn& query, const ConcurrentOrders& sent,
                               const std::vector<std::vector<QString>>& tickets, int firstTicket,
                               int tables) {
    std::set<int> drawn;
    for (const auto& terminal : tickets)
        for (const QString& n : terminal)
            EXPECT_TRUE(drawn.insert(n.toInt()).second) << "ticket twice: " << n.toStdString();
    const int sends = static_cast<int>(sent.Sends());
    ASSERT_EQ(drawn.size(), static_cast<size_t>(sends));
    EXPECT_EQ(*drawn.begin(), firstTicket);
    EXPECT_EQ(*drawn.rbegin(), firstTicket + sends - 1);
    EXPECT_EQ(query("select control_Comanda from mantenimiento"),
              QStringList{QString::number(firstTicket + sends)});
    EXPECT_EQ(query("select count(*), count(distinct N_Factura) from Factura_r"),
              QStringList{QString("%1\t%1").arg(tables)});
    EXPECT_EQ(query("select count(*) from envios"), QStringList{QString::number(sends)});

    ExpectLinesOnce(query("select observacion, n_factura, cantidad, monto from D_Fact_r"), sent,
                    [](const ExpectedLine& e) { return e.mesa + "|" + e.cantidad + "|" + e.monto; });
    ExpectLinesOnce(query("select observacion, numero, mesa, cantidad from comanda"), sent,
                    [&](const ExpectedLine& e) {
                        return tickets[e.terminal][e.order] + "|" + e.mesa + "|" + e.cantidad;
                    });
}

}  // namespace testsupport
