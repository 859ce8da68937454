#pragma once
// The floor of a send: the statements of one send, built by the same
// statement functions the terminal uses, run in one transaction on a bare
// Connector/C client. No retries inside; a deadlock is the caller's to handle.
#include <QString>

#include "sending/send_order.h"
#include "support/bare_client.h"

namespace bench {

struct BareSendResult {
    QString numero;
    int statements = 0;
};

// Raises BareError; the transaction is rolled back first.
BareSendResult BareSend(BareClient& c, const sending::OrderToSend& pedido, const QString& idEnvio);

// BareSend, run again after a deadlock (1213) as the terminal does.
BareSendResult BareSendRetrying(BareClient& c, const sending::OrderToSend& pedido);

}  // namespace bench
