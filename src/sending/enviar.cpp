// ENVIAR on the order screen.
#include <QDebug>

#include "order_screen/pedido_r.h"

namespace order_screen {

void Pedido_R::Enviar() {
    // Storing and printing the order are not built yet: the order stays on the
    // screen, so nothing is lost.
    qWarning() << "Enviar: sending orders is not available in this build";
}

}  // namespace order_screen
