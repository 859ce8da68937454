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
                          << (loaded.entry.guardado ? "(stored)" : "(outcome unknown)");
    }
    return loaded;
}

void OrderSender::Drop() {
    journal_.Close();
    pending_.reset();
    pendingOnScreen_ = false;
}

void OrderSender::TicketsOut() { Drop(); }

void OrderSender::TicketsPrinted(const std::vector<int>& impresas) {
    if (!pending_ || pending_->impresas == impresas) return;
    pending_->impresas = impresas;
    journal_.Write(*pending_);
}

SettleReport OrderSender::SettlePending(data::Connection& conexion, SendOptions options) {
    SettleReport report;
    if (!pending_) return report;
    report.entry = *pending_;
    report.enPantalla = pendingOnScreen_;
    if (pending_->guardado) {
        report.settlement = Settlement::Stored;
        return report;
    }
    if (!pending_->intento) {
        // No COMMIT ever went out for it: it cannot have been stored.
        Drop();
        return report;
    }
    options.enDuda = pending_->intento;
    options.soloComprobar = true;
    options.antesDeConfirmar = nullptr;
    const SendResult r = SendOrder(conexion, pending_->pedido, pending_->idEnvio, options);
    report.lastError = r.lastError;
    if (r.Stored()) {
        pending_->guardado = true;
        journal_.Write(*pending_);
        report.entry = *pending_;
        report.settlement = Settlement::Stored;
    } else if (r.outcome == SendOutcome::NotStored) {
        Drop();
    } else if (r.outcome == SendOutcome::Undecidable) {
        Drop();
        report.settlement = Settlement::CannotTell;
    } else {
        report.settlement = Settlement::NoAnswer;
    }
    return report;
}

SendResult OrderSender::Send(data::Connection& conexion, const order::Order& pedido,
                             SendOptions options) {
    JournalEntry entry{NewSendId(), pedido, std::nullopt, false, {}, instalacion_.servidor, instalacion_.base};
    journal_.Write(entry);
    options.enDuda.reset();
    options.soloComprobar = false;
    options.antesDeConfirmar = [&](const SendInDoubt& intento) {
        entry.intento = intento;
        // An entry without its try would say "not stored" of a send that may
        // commit now: better no entry at all than a false one. The ticket
        // counter is locked now: the entry is not waited for on the disk.
        if (!journal_.Write(entry, SendJournal::Sync::CacheOnly)) journal_.Close();
    };
    SendResult r;
    try {
        r = SendOrder(conexion, pedido, entry.idEnvio, options);
    } catch (const rt::RuntimeError&) {
        // A value that is no number stops the send before anything is
        // stored; once a COMMIT has gone out the entry stays to be settled.
        if (entry.intento) {
            pending_ = entry;
            pendingOnScreen_ = true;
        } else {
            journal_.Close();
        }
        throw;
    }
    if (r.Stored()) {
        entry.intento = SendInDoubt{entry.idEnvio, r.numero, r.reloj,
                                    entry.intento ? entry.intento->conRegistro : false};
        entry.guardado = true;
        journal_.Write(entry);
        pending_ = entry;
        pendingOnScreen_ = true;
    } else if (r.outcome == SendOutcome::Unknown && r.enDuda) {
        entry.intento = r.enDuda;
        journal_.Write(entry);
        pending_ = entry;
        pendingOnScreen_ = true;
    } else {
        // Not stored, or the waiter was told to check it at the till.
        Drop();
    }
    return r;
}

}  // namespace sending
