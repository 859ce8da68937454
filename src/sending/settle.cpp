#include "sending/settle.h"

#include <QDebug>

#include "sending/send_writes.h"

namespace sending {
namespace {

using data::NextStep;

// A try that wrote the send record: its row exists exactly when it
// committed, also for an order without lines. The record's number is the
// one its lines carry, whatever the journal last held.
SettleAnswer FromRecord(SendStatements& s, const SendTry& d) {
    SettleAnswer out{Verdict::NotStored, {}, {}, {}};
    const data::ResultSet registro = s.Ask(BuscarEnvio(d.idEnvio, s.Values()), data::ErrorSite::Settle);
    if (registro.IsEof()) return out;
    out.verdict = Verdict::Stored;
    out.numero = registro.Field(0).ToTextOrEmpty();
    const bool sameTry = d.Numbered() && out.numero == d.numero;
    out.reloj = sameTry ? d.reloj : data::ClockFromResult(s.Ask(data::kSqlReloj, data::ErrorSite::Settle));
    return out;
}

// A try without it, from its ticket lines as it wrote them. A terminal that
// may not read comanda can still learn "not stored" from the counter (still
// at the number the try drew, which its COMMIT would have advanced).
SettleAnswer FromTicketLines(SendStatements& s, const SendTry& d, const order::Order& p,
                             const data::ResultSet& contador) {
    SettleAnswer out{Verdict::NotStored, d.numero, d.reloj, {}};
    const WrittenTicket escrito =
        d.escrito ? *d.escrito : TicketAsWritten(TicketOf(p, d.numero, d.reloj), s.Values());
    try {
        const data::ResultSet lineas = s.Ask(ContarComanda(escrito, s.Values()), data::ErrorSite::Settle);
        if (!lineas.IsEof() && lineas.Field(0).ToDouble() > 0) out.verdict = Verdict::Stored;
        return out;
    } catch (const SendFailure& f) {
        const bool counterUnmoved = !contador.IsEof() && contador.Field(0).ToTextOrEmpty() == d.numero;
        if (f.meaning.next == NextStep::Refused && counterUnmoved) return out;
        throw;
    }
}

}  // namespace

// Asked under the counter lock: a try whose COMMIT is still on its way to
// the server holds that lock, so the answer waits until that try has ended
// one way or the other (where mantenimiento has its row; without it there is
// nothing to lock, and a COMMIT still on its way can land after the answer).
// On a cluster node the reads first wait for every write the cluster has
// certified, so a try committed through another node is seen.
//
// A try looked for by its lines: a send that rolled back freed its number for
// another terminal, but that one's lines carry its own table, waiter and
// time. An order without lines leaves no line to find; it is sent again,
// which stores no row twice (the header is only inserted when missing) and at
// worst skips one ticket number. Once the counter has moved, a terminal that
// may not read comanda cannot tell; nor can it for a try whose number was
// lost with the power.
//
// An error that will come back on every try cannot tell either: the waiter
// checks at the till instead of being stopped for ever.
SettleAnswer Settle(SendStatements& s, const SendTry& d, const order::Order& p) {
    struct EndTransaction {
        SendStatements& s;
        bool syncWait = false;
        ~EndTransaction() {
            s.RollBack();
            if (syncWait) s.RestoreSyncWait();
        }
    } end{s};
    try {
        if (s.OnClusterNode()) {
            end.syncWait = true;
            s.SyncWait();
        }
        s.Ask(kSqlInicio, data::ErrorSite::Settle);
        const data::ResultSet contador = s.Ask(kSqlContador, data::ErrorSite::Settle);
        if (d.conRegistro) return FromRecord(s, d);
        if (!d.Numbered()) return {Verdict::CannotTell, {}, {}, {}};
        if (!order::HasOrderLines(p)) return {Verdict::NotStored, {}, {}, {}};
        return FromTicketLines(s, d, p, contador);
    } catch (const SendFailure& f) {
        if (f.meaning.next == NextStep::RunAgain) throw;
        qWarning().noquote() << "send: cannot tell now whether ticket" << d.numero << "of send" << d.idEnvio
                             << "was stored:" << f.number << f.description;
        return {f.meaning.next == NextStep::AskLater ? Verdict::NoAnswer : Verdict::CannotTell, {}, {},
                f.description};
    }
}

}  // namespace sending
