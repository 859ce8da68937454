#pragma once
// The kitchen tickets of a stored order on the terminal's ticket printer:
// found printer, layout, one job per ticket; tickets that did not reach the
// printing system are offered again until they are out or the waiter gives up.
#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "sending/order_sender.h"
#include "sending/ticket_follower.h"

namespace sending {

// The screen's printing: the ticket printer (Module1::Impresora), business
// name and data folder of this terminal, through the printing system in force.
PrintSetup TerminalPrintSetup();

// Prints the tickets of the stored send `entry` with `setup` and returns
// without waiting for the printer: each ticket handed over is followed by
// `seguidor` until its job completes. When the printer is not installed
// nothing is printed and nothing is said. Tickets that could not be handed
// over (the queue stopped or its printer out of paper, the printing system
// down ...) are kept failed in `seguidor`, to be offered again; true then.
// The order is never sent again for its tickets. `impresas`, when given,
// learns the tickets handed over so far after each one (to keep them in the
// journal should the terminal be switched off meanwhile).
bool ImprimirComanda(const JournalEntry& entry, const PrintSetup& setup, TicketFollower& seguidor,
                     const std::function<void(const std::vector<int>&)>& impresas = nullptr);

// The tickets of the stored send `entry` as `setup` lays them out (its
// Modelo.txt read now), in the order they print.
std::vector<Ticket> TicketsOf(const JournalEntry& entry, const PrintSetup& setup);

// The first of `instalada` whose name in capitals equals `configurada` in
// capitals (no trimming), or an empty text.
QString FindPrinter(const QStringList& instaladas, const QString& configurada);

// What the waiter is told when tickets `fallidos` of ticket number `numero`
// of table `mesa` were not printed on `impresora`, and why (`motivo`).
QString PrintFailureMessage(const QString& numero, const QString& mesa, const QString& impresora,
                            const QStringList& fallidos, const QString& motivo);

// The question that follows it: print the missing tickets again?
QString PrintAgainQuestion();

// Both, for the failed tickets of one send.
QString ReprintQuestion(const FailedPrint& fallida);

}  // namespace sending
