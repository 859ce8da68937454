// ENVIAR on the order screen: the order is read off the screen, stored in one
// transaction, printed, and the screen cleared. An order that could not be
// stored stays on the screen, so the waiter can press ENVIAR again; one whose
// outcome was lost is settled with the server before anything touches it.
#include <QLabel>
#include <QLineEdit>

#include "order_screen/grid.h"
#include "order_screen/pedido_r.h"
#include "sending/order_sender.h"
#include "sending/order_statements.h"
#include "sending/printing.h"
#include "sending/send_journal.h"
#include "sending/send_messages.h"
#include "data/module1.h"
#include "runtime/dialogs.h"

namespace order_screen {
namespace {

sending::SendOptions Options() {
    sending::SendOptions o;
    o.connectionString = Module1::Cadena_Conexion;
    return o;
}

void Tell(const QString& text) {
    Module1::Mensaje = text;
    Module1::Mostrar_Mensaje();
}

}  // namespace

void Pedido_R::Enviar() {
    if (!SettlePendingSend(Accion::Enviar)) return;
    const order::Order pedido = Pedido;
    if (!Module1::Conexion) {
        sending::SendResult none;
        none.lastError = QStringLiteral("No hay conexión abierta.");
        sending::ReportSendFailure(none, pedido.mesa);
        return;
    }
    // The screen's clearing reads travel with the COMMIT.
    sending::SendOptions o = Options();
    o.lecturasDespues = {kSqlParametros, kSqlMesoneros};
    sending::SendResult r = Envios->Send(*Module1::Conexion, pedido, o);
    if (!r.Stored()) {
        sending::ReportSendFailure(r, pedido.mesa);
        return;
    }
    const Module1::Leer_Adelantado adelantado(o.lecturasDespues, std::move(r.lecturas));
    const sending::JournalEntry stored = *Envios->Pending();
    FinishStoredSend(stored, true);
}

void Pedido_R::FinishStoredSend(const sending::JournalEntry& entry, bool enPantalla) {
    if (enPantalla && entry.intento && entry.intento->reloj.fecha.isValid()) {
        Module1::Fecha_Servidor = entry.intento->reloj.fecha;
        Module1::Hora_Servidor = entry.intento->reloj.hora.mid(11);
    }
    sending::ImprimirComanda(entry, sending::TerminalPrintSetup(),
                             [this](const std::vector<int>& impresas) { Envios->TicketsPrinted(impresas); });
    Envios->TicketsOut();
    if (!enPantalla) return;
    BlankMenuButtons();
    Limpiar();
}

bool Pedido_R::SettlePendingSend(Accion accion) {
    if (!Envios || !Envios->Pending()) return true;
    // A send of an earlier run is not the order on the screen: editing this
    // one does not touch it, but nothing is stored before it is settled.
    if (!Envios->PendingOnScreen() && accion != Accion::Enviar && accion != Accion::Inicio) return true;
    sending::SettleReport r;
    if (Module1::Conexion) {
        r = Envios->SettlePending(*Module1::Conexion, Options());
    } else {
        r = {sending::Settlement::NoAnswer, *Envios->Pending(), Envios->PendingOnScreen(),
             QStringLiteral("No hay conexión abierta.")};
    }
    switch (r.settlement) {
        case sending::Settlement::Stored:
            Tell(sending::StoredAfterAllMessage(r));
            FinishStoredSend(r.entry, r.enPantalla);
            // SALIR still leaves; anything else had the order it meant to
            // touch. An earlier run's send settled by ENVIAR: the waiter reads
            // what became of it before the screen's order goes.
            return r.enPantalla ? accion == Accion::Salir : accion != Accion::Enviar;
        case sending::Settlement::NotStored:
            if (!r.enPantalla && order::HasOrderLines(r.entry.pedido)) {
                Tell(sending::NotStoredMessage(r.entry));
                return accion != Accion::Enviar;
            }
            return true;
        case sending::Settlement::NoAnswer:
            if (accion == Accion::Salir)
                return dialogs::Current().YesNo(sending::LeaveAnywayQuestion(r), Module1::kTituloSistema,
                                                dialogs::Icon::Question);
            Tell(sending::NoAnswerMessage(r));
            return false;
        case sending::Settlement::CannotTell:
            Tell(sending::CannotTellMessage(r));
            // The waiter checks at the till first, then presses ENVIAR again.
            return accion != Accion::Enviar;
    }
    return false;
}

void Pedido_R::RecoverJournal(bool settleNow) {
    if (!Diario) {
        // The journal of the installation this terminal sends to.
        const sending::Installation instalacion = sending::InstallationOf(Module1::Cadena_Conexion);
        Diario = std::make_unique<sending::SendJournal>(sending::DefaultJournalPath(instalacion));
        Diario->TakeOverLegacy(sending::LegacyJournalPath());
        Envios = std::make_unique<sending::OrderSender>(*Diario, instalacion);
    }
    const sending::SendJournal::Loaded loaded = Envios->Recover();
    if (loaded.state == sending::SendJournal::State::Unreadable)
        Tell(sending::UnreadableJournalMessage(Diario->Path(), loaded.error));
    else if (loaded.state == sending::SendJournal::State::Foreign)
        Tell(sending::ForeignJournalMessage(loaded.entry));
    else if (loaded.state != sending::SendJournal::State::Found)
        return;
    else if (settleNow || loaded.entry.guardado || !loaded.entry.intento)
        SettlePendingSend(Accion::Inicio);  // these need no server
    else
        // Told now; the next ENVIAR asks the server before anything is stored.
        Tell(sending::NoAnswerMessage({sending::Settlement::NoAnswer, loaded.entry, false, {}}));
}

}  // namespace order_screen
