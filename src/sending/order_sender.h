#pragma once
// What a terminal does with an order from ENVIAR until its tickets are out,
// without any widget or dialog, so the order screen and the benchmarks'
// simulated terminals run the same code:
//  - the send is written to the terminal's journal before it starts and
//    before its COMMIT goes out, and the journal is closed once the tickets
//    are out (or the waiter gives up on them);
//  - a send whose outcome was lost stays pending: it is settled with the
//    server before anything else touches an order, also after a restart.
#include <QDate>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "data/connection.h"
#include "sending/send_journal.h"
#include "sending/send_order.h"

namespace sending {


struct SettleReport {
    // What became of the send in doubt once the server was asked: Stored,
    // print its tickets and clear the order; NotStored, the order may be sent
    // (again); NoAnswer, keep everything and ask later; CannotTell, the
    // waiter checks at the till.
    Verdict settlement = Verdict::NotStored;
    JournalEntry entry;  // the send that was settled (its order, number, clock)
    bool enPantalla = false;  // it is the order still on the screen
    QString lastError;
};

class OrderSender {
public:
    // `instalacion`: the server, port and database this terminal sends to, stamped
    // on every entry it writes (none: entries record none, and any entry is
    // taken as this one's).
    explicit OrderSender(SendJournal& journal, Installation instalacion = {})
        : journal_(journal), instalacion_(std::move(instalacion)) {}

    // At start-up: takes over the send an earlier run left in the journal
    // (not on the screen any more). The caller reports an unreadable one,
    // and one sent to another installation (Foreign, never taken over).
    SendJournal::Loaded Recover();

    // The send whose outcome is not known yet, or whose tickets are not out.
    const std::optional<JournalEntry>& Pending() const { return pending_; }
    bool PendingOnScreen() const { return pending_ && pendingOnScreen_; }

    // Asks the server through `conexion` whether the pending send committed
    // (`options`: where to reconnect, column widths, try bounds; its enDuda
    // and soloComprobar are set here). Stored: the entry is kept, marked
    // stored, until TicketsOut; NotStored and CannotTell: it is dropped and
    // the journal closed; NoAnswer: nothing changes. A stored entry answers
    // Stored without asking. Without a pending send: NotStored, empty entry.
    SettleReport SettlePending(data::Connection& conexion, SendOptions options);

    // Stores `pedido` (the caller has settled any pending send first). A
    // send whose outcome was lost becomes the pending send, on the screen;
    // a stored one stays pending until TicketsOut.
    // Every press of ENVIAR for the same order carries the same key (the id
    // of its send record) until it is stored, so a try that was thought lost
    // but committed after all is found by the next one instead of stored
    // again beside it; an order changed since gets a new key.
    SendResult Send(data::Connection& conexion, const order::Order& pedido, SendOptions options);

    // Tickets `impresas` of the stored pending send's `comandas` are out;
    // kept in the journal, with the tickets, so that a restart prints only
    // the others.
    void TicketsPrinted(const std::vector<Ticket>& comandas, const std::vector<TicketId>& impresas);

    // The stored send's tickets are out (or the waiter gave up on them):
    // the journal is closed and nothing is pending.
    void TicketsOut();

private:
    void Drop();
    // The try of `entry` about to begin reaches the journal (`announced`).
    void Announce(JournalEntry& entry, const SendTry& intento, bool& announced);
    // What the send's result leaves pending, and in the journal.
    void Keep(JournalEntry& entry, const SendResult& r);

    // The key of the order last sent and not stored, and that order.
    QString clave_;
    order::Order claveDe_;
    SendJournal& journal_;
    Installation instalacion_;
    std::optional<JournalEntry> pending_;
    bool pendingOnScreen_ = false;
};

}  // namespace sending
