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

namespace sending {

// The screen's printing: the ticket printer (Module1::Impresora), business
// name and data folder of this terminal, through the printing system in force.
PrintSetup TerminalPrintSetup();

// Prints the tickets of the stored send `entry` with `setup`. When the printer
// is not installed nothing is printed and nothing is said. Tickets the
// printing system did not take are named in a question that offers to print
// just those again, with the same number and lines, until they are out or
// the waiter says no. The order is never sent again for its tickets.
// `impresas`, when given, learns the tickets out so far after each one (to
// keep them in the journal should the terminal be switched off meanwhile).
void ImprimirComanda(const JournalEntry& entry, const PrintSetup& setup,
                     const std::function<void(const std::vector<int>&)>& impresas = nullptr);

// The first of `instalada` whose name in capitals equals `configurada` in
// capitals (no trimming), or an empty text.
QString FindPrinter(const QStringList& instaladas, const QString& configurada);

// What the waiter is told when tickets `fallidos` of ticket number `numero`
// did not reach `impresora`; `error` is the printing system's reason.
QString PrintFailureMessage(const QString& numero, const QString& impresora,
                            const QStringList& fallidos, const QString& error);

// The question that follows it: print the missing tickets again?
QString PrintAgainQuestion();

}  // namespace sending
