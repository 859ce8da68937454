#include "sending/send_messages.h"

#include "startup/module1.h"

namespace sending {

QString SendFailureMessage(const SendResult& r, const QString& mesa) {
    const QChar cr(13);
    QString text;
    if (r.undecidable && r.enDuda) {
        // Nobody can tell from this terminal: the waiter finds out and decides.
        text = QStringLiteral("No se puede confirmar si el pedido de la Mesa ") + mesa +
               QStringLiteral(" quedó guardado (comanda N° ") + r.enDuda->numero +
               QStringLiteral(").") + cr +
               QStringLiteral("Verifique en caja si la comanda está registrada;") + cr +
               QStringLiteral("si no lo está, presione ENVIAR de nuevo.");
    } else if (r.outcomeUnknown) {
        text = QStringLiteral("Error en Base de datos...") + cr +
               QStringLiteral("No se pudo confirmar si el pedido quedó guardado; sigue en pantalla.") +
               cr + QStringLiteral("Presione ENVIAR de nuevo: si ya se guardó, no se guardará dos veces.");
    } else {
        text = QStringLiteral("Error en Base de datos...") + cr +
               QStringLiteral("El pedido no se guardó y sigue en pantalla.") + cr +
               QStringLiteral("Presione ENVIAR de nuevo.");
    }
    if (!r.lastError.isEmpty()) text += cr + r.lastError;
    return text;
}

void ReportSendFailure(const SendResult& r, const QString& mesa) {
    Module1::Mensaje = SendFailureMessage(r, mesa);
    Module1::Mostrar_Mensaje();
}

}  // namespace sending
