#include "sending/printing.h"

namespace sending {

void ImprimirComanda(const QString& /*numero*/, const OrderToSend& /*pedido*/,
                     const QDate& /*fecha*/) {}

}  // namespace sending
