// Sixteen terminals, each on its own connection, sending at once to
// overlapping tables: every ticket number drawn once, one header per table,
// every line stored once with its own values.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <cstdio>
#include <map>
#include <set>
#include <thread>

#include "sending/send_fixture.h"

namespace {

using namespace sendingtest;
using testsupport::RootQuery;

constexpr int kTerminals = 16;
constexpr int kOrdersEach = 50;
constexpr int kTables = 20;

// What one line must look like once stored, keyed by its note (unique).
struct Expected {
    QString mesa, cantidad, monto;
    int terminal = 0, order = 0;
};

class ConcurrentSendsTest : public SendFixture {};

TEST_F(ConcurrentSendsTest, EveryTicketOnceOneHeaderPerTableEveryLineOnce) {
    std::vector<std::unique_ptr<data::MariaDbConnection>> connections;
    for (int t = 0; t < kTerminals; ++t)
        connections.push_back(Connect());  // opened before the threads

    // The orders, 1 to 12 lines each, decided before any thread starts.
    std::vector<std::vector<sending::OrderToSend>> orders(kTerminals);
    std::map<QString, Expected> expected;
    for (int t = 0; t < kTerminals; ++t) {
        for (int o = 0; o < kOrdersEach; ++o) {
            const QString mesa = QString::number(1 + (t * 7 + o * 3) % kTables);
            sending::OrderToSend p{
                mesa, QString("Mesero %1").arg(t), QString("%1").arg(t, 3, 10, QChar('0')), {}};
            const int lines = 1 + (t * 5 + o * 7) % 12;
            for (int l = 0; l < lines; ++l) {
                const QString note = QString("t%1-o%2-l%3").arg(t).arg(o).arg(l);
                const QString cantidad = QString("%1,%2").arg(l + 1).arg(t % 10);
                const QString precio = QString("1.%1,25").arg(100 + o, 3, 10, QChar('0'));
                p.filas.push_back(
                    Row(QString("P%1").arg(l), "PLATO " + note, cantidad, precio, note));
                expected[note] = {mesa, QString("%1.%2").arg(l + 1).arg(t % 10) + "00",
                                  QString("1%1.250").arg(100 + o, 3, 10, QChar('0')), t, o};
            }
            orders[t].push_back(p);
        }
    }

    std::vector<std::vector<sending::SendResult>> results(kTerminals);
    std::vector<QString> failures(kTerminals);
    QElapsedTimer timer;
    timer.start();
    std::vector<std::thread> threads;
    for (int t = 0; t < kTerminals; ++t) {
        threads.emplace_back([&, t] {
            try {
                for (const sending::OrderToSend& p : orders[t])
                    results[t].push_back(
                        sending::SendOrder(*connections[t], p, sending::NewSendId(), Options()));
            } catch (const std::exception& e) {
                failures[t] = e.what();
            }
        });
    }
    for (std::thread& th : threads) th.join();
    const qint64 elapsed = timer.elapsed();
    std::printf("[   INFO   ] %d sends of %zu lines by %d terminals in %lld ms\n",
                kTerminals * kOrdersEach, expected.size(), kTerminals,
                static_cast<long long>(elapsed));

    std::set<int> tickets;
    std::map<std::pair<int, int>, QString> ticketOf;
    int reruns = 0;
    for (int t = 0; t < kTerminals; ++t) {
        EXPECT_EQ(failures[t], QString()) << t;
        ASSERT_EQ(results[t].size(), static_cast<size_t>(kOrdersEach)) << t;
        for (int o = 0; o < kOrdersEach; ++o) {
            const sending::SendResult& r = results[t][o];
            EXPECT_TRUE(r.committed) << t << "/" << o << " " << r.lastError.toStdString();
            EXPECT_TRUE(tickets.insert(r.numero.toInt()).second)
                << "ticket twice: " << r.numero.toStdString();
            ticketOf[{t, o}] = r.numero;
            reruns += r.wholeSendRuns - 1;
        }
    }
    std::printf("[   INFO   ] whole sends run again after a deadlock: %d\n", reruns);
    ASSERT_EQ(tickets.size(), static_cast<size_t>(kTerminals * kOrdersEach));
    EXPECT_EQ(*tickets.begin(), 100);
    EXPECT_EQ(*tickets.rbegin(), 100 + kTerminals * kOrdersEach - 1);
    EXPECT_EQ(Counter(), QString::number(100 + kTerminals * kOrdersEach));
    EXPECT_EQ(RootQuery("select count(*), count(distinct N_Factura) from Factura_r"),
              QStringList{QString("%1\t%1").arg(kTables)});
    EXPECT_EQ(Count("envios"), QString::number(kTerminals * kOrdersEach));

    // Every line once, with its own values, under its send's ticket number.
    const QStringList lines =
        RootQuery("select observacion, n_factura, cantidad, monto from D_Fact_r");
    ASSERT_EQ(lines.size(), static_cast<qsizetype>(expected.size()));
    std::set<QString> seen;
    for (const QString& row : lines) {
        const QStringList f = row.split('\t');
        ASSERT_EQ(f.size(), 4);
        ASSERT_TRUE(expected.count(f[0])) << row.toStdString();
        EXPECT_TRUE(seen.insert(f[0]).second) << "line twice: " << row.toStdString();
        const Expected& e = expected[f[0]];
        EXPECT_EQ(f[1] + "|" + f[2] + "|" + f[3], e.mesa + "|" + e.cantidad + "|" + e.monto);
    }
    const QStringList ticketLines =
        RootQuery("select observacion, numero, mesa, cantidad from comanda");
    ASSERT_EQ(ticketLines.size(), static_cast<qsizetype>(expected.size()));
    seen.clear();
    for (const QString& row : ticketLines) {
        const QStringList f = row.split('\t');
        ASSERT_EQ(f.size(), 4);
        ASSERT_TRUE(expected.count(f[0])) << row.toStdString();
        EXPECT_TRUE(seen.insert(f[0]).second) << "ticket line twice: " << row.toStdString();
        const Expected& e = expected[f[0]];
        const QString ticket = ticketOf[std::make_pair(e.terminal, e.order)];
        EXPECT_EQ(f[1] + "|" + f[2] + "|" + f[3], ticket + "|" + e.mesa + "|" + e.cantidad);
    }
}

}  // namespace
