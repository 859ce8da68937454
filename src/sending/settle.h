#pragma once
// Did a try whose COMMIT answer was lost commit? Asked of the server under
// the counter lock, from the send record where the installation has it, from
// the try's ticket lines otherwise.
#include <QString>

#include "data/server_clock.h"
#include "order/order.h"
#include "sending/send_order.h"
#include "sending/send_statements.h"

namespace sending {

struct SettleAnswer {
    Verdict verdict = Verdict::NoAnswer;
    QString numero;           // Stored: its ticket number
    data::ServerClock reloj;  // Stored: its clock (read now when it was not known)
    QString error;            // CannotTell, NoAnswer: what the server said
};

// The verdict on try `d` of order `p`. A lost connection comes out as a
// SendFailure (connect again and ask again); the transaction it opens is
// rolled back whatever happens.
SettleAnswer Settle(SendStatements& s, const SendTry& d, const order::Order& p);

}  // namespace sending
