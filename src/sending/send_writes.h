#pragma once
// What one run of a send writes, built from the order in one pass once the
// first round trip has answered: the statements in order, the row each one
// writes (to name a value the server refuses), and the ticket lines' values
// as written (for a later settle).
#include <QString>
#include <QStringList>
#include <vector>

#include "data/result_set.h"
#include "data/server_clock.h"
#include "order/order.h"
#include "sending/order_statements.h"
#include "sending/send_statements.h"

namespace sending {

// The first round trip: the transaction, the counter under its lock (first,
// so no other send can insert this table's header between the test and the
// insert), whether the table has its header, the server clock.
QStringList FirstRoundTrip(const QString& mesa, const TextValues& esc);

// What the first round trip answered.
struct FirstAnswers {
    bool counterRow = false;  // mantenimiento has its row (its counter)
    QString numero;           // the counter as read: this send's ticket number
    bool header = false;      // the table has its header already
    data::ServerClock reloj;
};
FirstAnswers ReadFirstAnswers(const std::vector<data::ResultSet>& answers);

// What the ticket lines of a send carry besides their order lines.
TicketContext TicketOf(const order::Order& p, const QString& numero, const data::ServerClock& reloj);

struct PlannedWrites {
    Writes writes;          // texts and the send record's place; `after` is the caller's
    std::vector<Row> rows;  // the row each text writes, in the same order
    TicketContext ticket;
    WrittenTicket escrito;  // the ticket lines' values as written

    // What the waiter reads of a value the server refused at write `f.at`,
    // naming its table, column and value.
    QString BadValueDetail(const SendFailure& f, const TextValues& esc) const;
};

// The writes of a send of `p` under `idEnvio`, after `a`. A counter that is
// not a number stops the send as a value its column cannot hold
// (SendFailure): the order cannot get a ticket number, and stays on the screen.
PlannedWrites PlanWrites(const order::Order& p, const FirstAnswers& a, const QString& idEnvio, bool conRegistro,
                         const TextValues& esc);

}  // namespace sending
