#pragma once
// The floor of a send: the statements of one send, built by the same
// statement functions the terminal uses, run in one transaction on a bare
// Connector/C client, in the same two round trips. No retries inside; a deadlock is the caller's to handle.
#include <QString>

#include "sending/send_order.h"
#include "support/bare_client.h"

namespace bench {

struct BareSendResult {
    QString numero;
    int statements = 0;
};

// Raises BareError; the transaction is rolled back first. `afterCommit`
// travels behind the COMMIT, as the screen's clearing reads do.
BareSendResult BareSend(BareClient& c, const order::Order& pedido, const QString& idEnvio,
                        const QStringList& afterCommit = {});

// BareSend, run again after a deadlock (1213) as the terminal does.
BareSendResult BareSendRetrying(BareClient& c, const order::Order& pedido);

}  // namespace bench
