#pragma once
// The kitchen tickets of a stored order on the terminal's ticket printer:
// found printer, layout, one job per ticket; tickets that did not reach the
// printing system are offered again until they are out or the waiter gives up.
#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "sending/printer_faults.h"
#include "sending/send_journal.h"
#include "sending/ticket.h"
#include "sending/ticket_follower.h"

namespace sending {

class PrintingSystem;

// Where and how a terminal prints.
struct PrintSetup {
    // nullptr: the printing system in force (ImprimirComanda: the follower's).
    std::shared_ptr<PrintingSystem> sistema;
    QString impresora;     // the configured ticket printer
    QString empresa;       // business name on every ticket
    QString carpetaDatos;  // folder of Modelo.txt
};

struct PrintReport {
    bool installed = false;          // the printer was found (else nothing printed)
    std::vector<Ticket> tickets;     // the send's tickets, as laid out
    std::vector<TicketId> impresas;  // tickets taken by the printing system in this run
    std::vector<int> trabajos;       // the job each of those became, in the same order
    std::vector<TicketId> fallidos;  // tickets not taken
    QStringList titulos;             // their titles
    QString impresora;               // the printer's name as installed
    QString motivo;                  // why they were not taken, as the waiter reads it
    PrinterFault causa = PrinterFault::None;  // the same as a fault (Other: see motivo)
    bool ok() const { return fallidos.empty(); }
};

// Learns each ticket (by its identity) and its job as the printing system takes it.
using TicketTaken = std::function<void(const TicketId&, int trabajo)>;

// Prints the tickets of the stored send `entry` (those it recorded as laid
// out, else laid out now from its number, clock and lines as sent) but those
// in `omitir` (already printed). Never shows anything. The queue is asked
// first: one that cannot print now (stopped, rejecting, its printer out of
// paper ...) gets no ticket, and every wanted ticket is reported not taken
// with that fault.
PrintReport PrintTickets(const JournalEntry& entry, const PrintSetup& setup, const std::vector<TicketId>& omitir = {},
                         const TicketTaken& impresa = nullptr);

// The same for tickets already laid out (`porEnviar`: identity and ticket)
// on the installed printer `impresora` of `sistema`.
PrintReport SendTickets(PrintingSystem& sistema, const QString& impresora,
                        const std::vector<std::pair<TicketId, Ticket>>& porEnviar,
                        const TicketTaken& impresa = nullptr);

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
// learns the send's tickets and those handed over so far after each one (to
// keep them in the journal should the terminal be switched off meanwhile).
bool ImprimirComanda(
    const JournalEntry& entry, const PrintSetup& setup, TicketFollower& seguidor,
    const std::function<void(const std::vector<Ticket>&, const std::vector<TicketId>&)>& impresas = nullptr);

// The tickets of the stored send `entry`, in the order they print: those it
// recorded as laid out, else as `setup` lays them out now (its Modelo.txt
// read now).
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
