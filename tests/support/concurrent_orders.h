#pragma once
// Many terminals sending at once: the orders they send, decided before any
// thread starts, and the check that the database holds every send once.
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "data/mariadb_connection.h"
#include "order/order.h"
#include "sending/send_order.h"

namespace testsupport {

// What one line must look like once stored, keyed by its note (unique).
struct ExpectedLine {
    QString mesa, cantidad, monto;
    int terminal = 0, order = 0;
};

struct ConcurrentOrders {
    std::vector<std::vector<order::Order>> orders;  // [terminal][order]
    std::map<QString, ExpectedLine> expected;
    size_t Sends() const;
    // Forgets the orders of `terminal` from `count` on (never sent).
    void KeepFirst(int terminal, int count);
};

// The lines (1 to 12) of order o of terminal t, and line l of it as item entry fills it.
int ConcurrentLineCount(int t, int o);
order::Line ConcurrentLine(int t, int o, int l);

// `ordersEach` orders of 1 to 12 lines for each of `terminals`, over `tables`
// tables that the terminals share.
ConcurrentOrders MakeConcurrentOrders(int terminals, int ordersEach, int tables);

// What the terminals' threads got back: results[t][o] for order o of
// terminal t, the exception that stopped a terminal (empty when none), and
// the time all of them took.
struct SendsAtOnce {
    std::vector<std::vector<sending::SendResult>> results;
    std::vector<QString> failures;
    qint64 elapsedMs = 0;
};

// Every terminal sends its orders one after the other on connections[t] with
// options(t), all terminals at once, each in a thread of its own.
SendsAtOnce SendAtOnce(std::vector<std::unique_ptr<data::MariaDbConnection>>& connections,
                       const ConcurrentOrders& sent,
                       const std::function<sending::SendOptions(int)>& options);

// Runs SQL on the database to check; the rows, columns joined by tabs.
using QueryFn = std::function<QStringList(const QString&)>;

// Expects (gtest) every ticket number drawn once, from `firstTicket` on and
// without gaps, one header per table, every line once with its own values
// under its send's ticket, and one send record per send. `tickets[t][o]` is
// the number the send of order o of terminal t was given.
void ExpectEverySendStoredOnce(const QueryFn& query, const ConcurrentOrders& sent,
                               const std::vector<std::vector<QString>>& tickets, int firstTicket,
                               int tables);

}  // namespace testsupport
