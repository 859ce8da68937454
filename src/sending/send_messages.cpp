#include "sending/send_messages.h"

#include "data/module1.h"
#include "data/session_limits.h"
#include "sending/order_statements.h"

namespace sending {
namespace {

const QChar kCr(13);

// The ticket number a try drew, empty when it is not known (the power went
// before the journal had it).
QString Numero(const std::optional<SendTry>& d) {
    return d && d->Numbered() ? d->numero : QString();
}
QString Numero(const JournalEntry& e) { return Numero(e.intento); }

// " (comanda N° 57)", or nothing when the number is not known.
QString InParentheses(const QString& numero) {
    return numero.isEmpty() ? QString() : QStringLiteral(" (comanda N° ") + numero + QLatin1Char(')');
}

// "Mesa 12, Mesero(a) Ana, comanda N° 57"
QString Identity(const JournalEntry& e) {
    QString text = QStringLiteral("Mesa ") + e.pedido.mesa + QStringLiteral(", Mesero(a) ") + e.pedido.mesonero;
    if (!Numero(e).isEmpty()) text += QStringLiteral(", comanda N° ") + Numero(e);
    return text;
}

// One line per order line: its quantity and name, as the ticket shows them.
QString OrderLines(const order::Order& p) {
    QString text;
    for (const order::Line& linea : p.lineas)
        if (order::IsOrderLine(linea))
            text += kCr + QStringLiteral("   ") + order::QuantityText(linea.cantidad) + QStringLiteral("  ") +
                    linea.nombre;
    return text;
}

QString WithError(QString text, const QString& error) {
    if (!error.isEmpty()) text += kCr + error;
    return text;
}

}  // namespace

QString SendFailureMessage(const SendResult& r, const QString& mesa) {
    QString text;
    if (r.outcome == Verdict::CannotTell && r.enDuda) {
        // Nobody can tell from this terminal: the waiter finds out and decides.
        text = QStringLiteral("No se puede confirmar si el pedido de la Mesa ") + mesa +
               QStringLiteral(" quedó guardado") + InParentheses(Numero(r.enDuda)) + QStringLiteral(".") + kCr +
               QStringLiteral("Verifique en caja si la comanda está registrada;") + kCr +
               QStringLiteral("si no lo está, presione ENVIAR de nuevo.");
    } else if (r.outcome == Verdict::NoAnswer) {
        text = QStringLiteral("Error en Base de datos...") + kCr +
               QStringLiteral("No se pudo confirmar si el pedido quedó guardado; sigue en pantalla.") + kCr +
               QStringLiteral("Presione ENVIAR de nuevo: si ya se guardó, no se guardará dos veces.");
    } else if (r.causa == FailureCause::CounterBusy) {
        // The server's own words are in the log; the waiter gets the cause.
        return QStringLiteral("Error en Base de datos...") + kCr +
               QStringLiteral("Las tablas de pedidos están ocupadas: otra terminal o una copia de seguridad") +
               kCr + QStringLiteral("las retiene desde hace más de ") + QString::number(data::kLockWaitSeconds) +
               QStringLiteral(" segundos.") + kCr + QStringLiteral("El pedido no se guardó y sigue en pantalla.") +
               kCr + QStringLiteral("Presione ENVIAR de nuevo en unos momentos.");
    } else if (r.causa == FailureCause::BadValue) {
        // The same value would be refused again: pressing ENVIAR cannot help.
        return QStringLiteral("Error en Base de datos...") + kCr +
               (r.detalle.isEmpty() ? r.lastError : r.detalle) + kCr +
               QStringLiteral("El pedido no se guardó y sigue en pantalla.") + kCr +
               QStringLiteral("Corrija ese dato en el pedido, o avise al encargado, antes de enviarlo.");
    } else {
        text = QStringLiteral("Error en Base de datos...") + kCr +
               QStringLiteral("El pedido no se guardó y sigue en pantalla.") + kCr +
               QStringLiteral("Presione ENVIAR de nuevo.");
    }
    return WithError(text, r.lastError);
}

void ReportSendFailure(const SendResult& r, const QString& mesa) {
    Module1::Mensaje = SendFailureMessage(r, mesa);
    Module1::Mostrar_Mensaje();
}

QString StoredAfterAllMessage(const SettleReport& r) {
    if (r.enPantalla)
        return QStringLiteral("El pedido de la Mesa ") + r.entry.pedido.mesa +
               QStringLiteral(" sí quedó guardado") + InParentheses(Numero(r.entry)) + QStringLiteral(".") + kCr +
               QStringLiteral("Se imprimen sus comandas y la pantalla queda lista para otro pedido.");
    return QStringLiteral("El último pedido de esta terminal quedó guardado y faltan sus comandas:") + kCr +
           Identity(r.entry) + QStringLiteral(".") + kCr + QStringLiteral("Se imprimen ahora.");
}

QString NotStoredMessage(const JournalEntry& e) {
    return QStringLiteral("El último pedido de esta terminal no llegó a guardarse:") + kCr +
           QStringLiteral("Mesa ") + e.pedido.mesa + QStringLiteral(", Mesero(a) ") + e.pedido.mesonero +
           QStringLiteral(".") + OrderLines(e.pedido) + kCr + QStringLiteral("Tome el pedido de nuevo.");
}

QString CannotTellMessage(const SettleReport& r) {
    if (r.enPantalla) {
        SendResult undecidable;
        undecidable.outcome = Verdict::CannotTell;
        undecidable.enDuda = r.entry.intento;
        undecidable.lastError = r.lastError;
        return SendFailureMessage(undecidable, r.entry.pedido.mesa);
    }
    return WithError(QStringLiteral("No se puede confirmar si el último pedido de esta terminal quedó guardado:") +
                         kCr + Identity(r.entry) + QStringLiteral(".") + OrderLines(r.entry.pedido) + kCr +
                         QStringLiteral("Verifique en caja si la comanda está registrada;") + kCr +
                         QStringLiteral("si no lo está, tome el pedido de nuevo."),
                     r.lastError);
}

QString NoAnswerMessage(const SettleReport& r) {
    const QString text =
        r.enPantalla
            ? QStringLiteral("Error en Base de datos...") + kCr +
                  QStringLiteral("No se pudo comprobar si el pedido de la Mesa ") + r.entry.pedido.mesa +
                  QStringLiteral(" quedó guardado") + InParentheses(Numero(r.entry)) + QStringLiteral(".") + kCr +
                  QStringLiteral("El pedido sigue en pantalla; intente de nuevo en unos momentos.")
            : QStringLiteral("Error en Base de datos...") + kCr +
                  QStringLiteral("No se pudo comprobar si el último pedido de esta terminal quedó guardado:") +
                  kCr + Identity(r.entry) + QStringLiteral(".") + kCr +
                  QStringLiteral("Se comprobará antes del próximo envío.");
    return WithError(text, r.lastError);
}

QString LeaveAnywayQuestion(const SettleReport& r) {
    return NoAnswerMessage(r) + kCr + QStringLiteral("¿Salir de todos modos? Se comprobará al volver a entrar.");
}

QString UnreadableJournalMessage(const QString& keptAs, const QString& error) {
    return QStringLiteral("No se pudo leer el registro del último envío de esta terminal") + kCr + keptAs + kCr +
           QStringLiteral("Verifique en caja que el último pedido enviado esté registrado.") + kCr +
           QStringLiteral("Motivo: ") + error;
}

QString UnreadableTicketsMessage(const QString& keptAs, const QString& error) {
    return QStringLiteral("No se pudo leer la lista de comandas de esta terminal que la impresora aún no había "
                          "impreso") + kCr + keptAs + kCr +
           QStringLiteral("Pregunte en la cocina si llegaron las últimas comandas.") + kCr +
           QStringLiteral("Motivo: ") + error;
}

QString ForeignJournalMessage(const JournalEntry& e) {
    return QStringLiteral("El último pedido de esta terminal se envió a otra base de datos:") + kCr +
           QStringLiteral("Servidor ") + e.servidor + QStringLiteral(", base de datos ") + e.base +
           QStringLiteral(".") + kCr + Identity(e) + QStringLiteral(".") + kCr +
           QStringLiteral("Verifique en la caja de esa base de datos si la comanda está registrada") +
           (e.Stored() ? QStringLiteral(" y sus comandas impresas.") : QStringLiteral(".")) + kCr +
           QStringLiteral("Desde aquí no se comprueba ni se imprime.");
}

QString OtherProgramMessage(const QString& folder) {
    return QStringLiteral("Ya hay otro programa Pedidos abierto en esta terminal") + kCr + folder + kCr +
           QStringLiteral("Use ese programa, o ciérrelo antes de abrir otro.");
}

QString RefusedFolderMessage(const QString& folder, const QString& reason) {
    return QStringLiteral("La carpeta de los registros de esta terminal no es segura y no se usa") + kCr + folder +
           kCr + QStringLiteral("Motivo: ") + reason + QStringLiteral(".") + kCr +
           QStringLiteral("Los pedidos se envían igual, pero si la terminal se apaga durante un envío no se podrá "
                          "comprobar al volver a entrar.") + kCr +
           QStringLiteral("Avise al técnico.");
}

QString RefusedLockMessage(const QString& path, const QString& reason) {
    return QStringLiteral("No se pudo asegurar que un solo programa Pedidos use los registros de esta terminal") +
           kCr + path + kCr + QStringLiteral("Motivo: ") + reason + QStringLiteral(".") + kCr +
           QStringLiteral("No abra otro programa Pedidos en esta terminal, y avise al técnico.");
}

}  // namespace sending
