#pragma once
// The kitchen tickets of a stored order.
#include <QDate>
#include <QString>

#include "sending/send_order.h"

namespace sending {

// Prints the tickets of the send `numero` of `pedido` (the lines as they were
// sent), dated `fecha`. Not built yet: the ticket printing comes with its own
// change; until then a stored order prints nothing.
void ImprimirComanda(const QString& numero, const OrderToSend& pedido, const QDate& fecha);

}  // namespace sending
