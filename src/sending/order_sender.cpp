#include "sending/order_sender.h"

#include <QDebug>

#include "runtime/runtime_error.h"

namespace sending {

SendJournal::Loaded OrderSender::Recover() {
    SendJournal::Loaded loaded =
        journal_.Load(instalacion_.IsNone() ? std::nullopt : std::optional<Installation>(instalacion_));
    if (loaded.state == SendJournal::State::Found) {
        pending_ = loaded.entry;
        pendingOnScreen_ = false;
        qInfo().noquote() << "send journal: send" << loaded.entry.idEnvio << "of table"
                          << loaded.entry.pedido.mesa << "left by an earlier run"
                          << (loaded.entry.Stored() ? "(stored)" : "(outcome unknown)");
    }
    return loaded;
}

void OrderSender::Drop() {
    // Nothing waits for the removal; whatever the journal does next waits
    // for it.
    journal_.Close(SendJournal::Sync::Later);
    pending_.reset();
    pendingOnScreen_ = false;
}

void OrderSender::TicketsOut() { Drop(); }

void OrderSender::TicketsPrinted(const std::vector<Ticket>& comandas, const std::vector<TicketId>& impresas) {
    if (!pending_ || (pending_->impresas == impresas && pending_->comandas == comandas)) return;
    const bool printedMore = pending_->impresas != impresas;
    pending_->comandas = comandas;
    pending_->impresas = impresas;
    pending_->impresasPorLugar.clear();  // now told by identity
    // A ticket just printed: on the disk before the next one goes, so a
    // power cut now does not bring back an entry that would print it again.
    // Only the tickets as laid out: nobody waits for the disk (a power cut
    // before they get there finds the send with none printed, laid out anew).
    journal_.Write(*pending_, printedMore ? SendJournal::Sync::ToDisk : SendJournal::Sync::Later);
}

SettleReport OrderSender::SettlePending(data::Connection& conexion, SendOptions options) {
    SettleReport report;
    if (!pending_) return report;
    report.entry = *pending_;
    report.enPantalla = pendingOnScreen_;
    if (pending_->Stored()) {
        report.settlement = Verdict::Stored;
        return report;
    }
    if (!pending_->intento) {
        // No COMMIT ever went out for it: it cannot have been stored.
        Drop();
        return report;
    }
    options.enDuda = pending_->intento;
    options.soloComprobar = true;
    options.antesDeEmpezar = nullptr;
    options.antesDeConfirmar = nullptr;
    const SendResult r = SendOrder(conexion, pending_->pedido, pending_->idEnvio, options);
    report.lastError = r.lastError;
    report.settlement = r.outcome;
    switch (r.outcome) {
        case Verdict::Stored:
            pending_->intento->numero = r.numero;
            pending_->intento->reloj = r.reloj;
            pending_->intento->fase = TryPhase::Stored;
            clave_.clear();
            journal_.Write(*pending_);
            report.entry = *pending_;
            break;
        case Verdict::NotStored:
        case Verdict::CannotTell:
            Drop();
            break;
        case Verdict::NoAnswer:
            break;
    }
    return report;
}

SendResult OrderSender::Send(data::Connection& conexion, const order::Order& pedido,
                             SendOptions options) {
    if (clave_.isEmpty() || !(claveDe_ == pedido)) {
        clave_ = NewSendId();
        claveDe_ = pedido;
    }
    // Nothing is written before the try is announced: until then no COMMIT
    // can go out, and an entry would only cost a disk sync.
    JournalEntry entry{clave_, pedido, std::nullopt, {}, instalacion_.servidor, instalacion_.base, {}, {}, instalacion_.puerto};
    bool announced = false;
    options.enDuda.reset();
    options.soloComprobar = false;
    options.antesDeEmpezar = [&](const SendTry& intento) { Announce(entry, intento, announced); };
    options.antesDeConfirmar = [&](const SendTry& intento) {
        entry.intento = intento;
        // The counter is locked: the number it drew goes to the journal
        // without waiting for the disk. A power cut before it gets there
        // leaves the announced try, which its send record settles.
        if (announced && !journal_.Write(entry, SendJournal::Sync::CacheOnly)) journal_.Close();
    };
    SendResult r;
    try {
        r = SendOrder(conexion, pedido, entry.idEnvio, options);
    } catch (const rt::RuntimeError&) {
        // A value that is no number stops the send before anything is
        // stored; once a COMMIT has gone out the entry stays to be settled.
        if (entry.intento && entry.intento->Numbered()) {
            pending_ = entry;
            pendingOnScreen_ = true;
        } else {
            journal_.Close();
        }
        throw;
    }
    Keep(entry, r);
    return r;
}

void OrderSender::Announce(JournalEntry& entry, const SendTry& intento, bool& announced) {
    // Once per send: later runs of the same send keep its key, and the
    // journal already says a COMMIT may go out under it. Again when the send
    // record's use changed after a reconnect, or when an earlier run left its
    // number in the file (it rolled back; its number would settle this run
    // wrongly, should this run commit and the power go).
    if (announced && entry.intento && !entry.intento->Numbered() &&
        entry.intento->conRegistro == intento.conRegistro)
        return;
    entry.intento = intento;
    announced = journal_.Write(entry);
    // An entry that says less than the truth would say "not stored" of a
    // send that may commit now: better none at all than a false one.
    if (!announced) journal_.Close();
}

void OrderSender::Keep(JournalEntry& entry, const SendResult& r) {
    if (r.Stored()) {
        entry.intento = SendTry{entry.idEnvio, r.numero, r.reloj,
                                entry.intento ? entry.intento->conRegistro : false, TryPhase::Stored,
                                entry.intento ? entry.intento->escrito : std::nullopt};
        // The waiter does not wait for this one: until it reaches the disk
        // the announced try stands, which settles the same way.
        journal_.Write(entry, SendJournal::Sync::Later);
        pending_ = entry;
        pendingOnScreen_ = true;
        clave_.clear();
    } else if (r.outcome == Verdict::NoAnswer && r.enDuda) {
        entry.intento = r.enDuda;
        journal_.Write(entry);
        pending_ = entry;
        pendingOnScreen_ = true;
    } else {
        // Not stored, or the waiter was told to check it at the till.
        Drop();
    }
}

}  // namespace sending
