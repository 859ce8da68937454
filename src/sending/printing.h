#pragma once
// The kitchen tickets of a stored order: found printer, layout, one job per
// ticket, and one message when tickets did not reach the printing system.
#include <QDate>
#include <QString>
#include <QStringList>

#include "sending/send_order.h"

namespace sending {

// Prints the tickets of the send `numero` of `pedido` (the lines as they were
// sent), dated `fecha`, on the terminal's ticket printer (Module1::Impresora),
// found among the installed printers without regard to letter case. When no
// installed printer has that name nothing is printed and nothing is said.
// Tickets the printing system did not take are named in one message; the
// order is stored all the same and is never sent again.
void ImprimirComanda(const QString& numero, const OrderToSend& pedido, const QDate& fecha);

// The first of `instalada` whose name in capitals equals `configurada` in
// capitals (no trimming), or an empty text.
QString FindPrinter(const QStringList& instaladas, const QString& configurada);

// What the waiter is told when tickets `fallidos` of ticket number `numero`
// did not reach `impresora`; `error` is the printing system's reason.
QString PrintFailureMessage(const QString& numero, const QString& impresora,
                            const QStringList& fallidos, const QString& error);

}  // namespace sending
