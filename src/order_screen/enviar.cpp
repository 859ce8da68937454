// ENVIAR on the order screen: the order is read off the screen, stored in one
// transaction, printed, and the screen cleared. An order that could not be
// stored stays on the screen, so the waiter can press ENVIAR again; one whose
// outcome was lost is settled with the server before anything touches it.
// The server may keep a send waiting for seconds (another terminal holding the
// ticket counter): the talk with it runs off the screen's thread, so the
// screen stays drawn and says what it is doing.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTimer>

#include "order_screen/grid.h"
#include "order_screen/pedido_r.h"
#include "sending/order_sender.h"
#include "sending/order_statements.h"
#include "sending/printing.h"
#include "sending/send_journal.h"
#include "sending/send_messages.h"
#include "sending/ticket_follower.h"
#include "data/module1.h"
#include "runtime/dialogs.h"
#include "widgets/busy_work.h"

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
    data::Connection& conexion = *Module1::Conexion;
    sending::SendResult r;
    widgets::RunBusy(this, QStringLiteral("Enviando el pedido..."),
                     [&] { r = Envios->Send(conexion, pedido, o); });
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
    const bool fallaron = sending::ImprimirComanda(
        entry, sending::TerminalPrintSetup(), *Seguidor,
        [this](const std::vector<sending::Ticket>& comandas, const std::vector<sending::TicketId>& impresas) {
            Envios->TicketsPrinted(comandas, impresas);
        });
    // Handed over or kept by the follower: the send itself is over.
    Envios->TicketsOut();
    if (enPantalla) {
        BlankMenuButtons();
        Limpiar();
    }
    // A queue that could not take them is told at once, on the cleared screen.
    if (fallaron) OfferReprints();
}

void Pedido_R::OfferReprints() {
    if (!Seguidor || ofreciendo_) return;
    // Not over a box the waiter is answering, nor in the middle of a send:
    // asked again in a moment.
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget() || widgets::Busy()) {
        QTimer::singleShot(kReofrecerMs, this, [this] { OfferReprints(); });
        return;
    }
    ofreciendo_ = true;
    const auto done = qScopeGuard([this] { ofreciendo_ = false; });
    for (std::vector<sending::FailedPrint> fallidas = Seguidor->Failed(); !fallidas.empty();
         fallidas = Seguidor->Failed()) {
        const sending::FailedPrint& f = fallidas.front();
        if (dialogs::Current().YesNo(sending::ReprintQuestion(f), Module1::kTituloSistema, dialogs::Icon::Question))
            // On this thread, as ENVIAR's own printing: a driver's page is
            // drawn through Qt's printer support, which belongs to it.
            Seguidor->Reprint(f.idEnvio);
        else
            Seguidor->GiveUp(f.idEnvio);
    }
}

bool Pedido_R::SettlePendingSend(Accion accion) {
    if (!Envios || !Envios->Pending()) return true;
    // A send of an earlier run is not the order on the screen: editing this
    // one does not touch it, but nothing is stored before it is settled.
    if (!Envios->PendingOnScreen() && accion != Accion::Enviar && accion != Accion::Inicio) return true;
    sending::SettleReport r;
    if (Module1::Conexion) {
        data::Connection& conexion = *Module1::Conexion;
        const sending::SendOptions o = Options();
        widgets::RunBusy(this, QString::fromUtf8("Comprobando el último envío..."),
                         [&] { r = Envios->SettlePending(conexion, o); });
    } else {
        r = {sending::Verdict::NoAnswer, *Envios->Pending(), Envios->PendingOnScreen(),
             QStringLiteral("No hay conexión abierta.")};
    }
    switch (r.settlement) {
        case sending::Verdict::Stored:
            Tell(sending::StoredAfterAllMessage(r));
            FinishStoredSend(r.entry, r.enPantalla);
            // SALIR still leaves; anything else had the order it meant to
            // touch. An earlier run's send settled by ENVIAR: the waiter reads
            // what became of it before the screen's order goes.
            return r.enPantalla ? accion == Accion::Salir : accion != Accion::Enviar;
        case sending::Verdict::NotStored:
            if (!r.enPantalla && order::HasOrderLines(r.entry.pedido)) {
                Tell(sending::NotStoredMessage(r.entry));
                return accion != Accion::Enviar;
            }
            return true;
        case sending::Verdict::NoAnswer:
            if (accion == Accion::Salir)
                return dialogs::Current().YesNo(sending::LeaveAnywayQuestion(r), Module1::kTituloSistema,
                                                dialogs::Icon::Question);
            Tell(sending::NoAnswerMessage(r));
            return false;
        case sending::Verdict::CannotTell:
            Tell(sending::CannotTellMessage(r));
            // The waiter checks at the till first, then presses ENVIAR again.
            return accion != Accion::Enviar;
    }
    return false;
}

void Pedido_R::RecoverJournal(bool settleNow) {
    if (!Diario) {
        // The journal of the installation this terminal sends to, under the
        // name an earlier program gave it when it has none yet. The port
        // the option files give now names it for the rest of the run.
        const sending::Installation instalacion = sending::InstallationOf(Module1::Cadena_Conexion);
        Diario = std::make_unique<sending::SendJournal>(sending::DefaultJournalPath(instalacion));
        for (const QString& earlier : sending::EarlierJournalPaths(instalacion)) Diario->TakeOverEarlier(earlier);
        Envios = std::make_unique<sending::OrderSender>(*Diario, instalacion);
        Seguidor = std::make_unique<sending::TicketFollower>(sending::DefaultTicketsPath(instalacion),
                                                             sending::ConfiguredPrintTimeLimit());
        Seguidor->TakeOverEarlier(sending::EarlierTicketsPath(instalacion));
        const QString ilegible = Seguidor->Load();
        if (!ilegible.isEmpty()) Tell(sending::UnreadableTicketsMessage(Seguidor->KeptAs(), ilegible));
        // Called on the follower's thread: the question is asked on this one,
        // a moment later, so that the other tickets of a printer that just
        // failed (the next one asked about) join it in one question.
        Seguidor->SetOnFailure([this] {
            QMetaObject::invokeMethod(
                this, [this] { QTimer::singleShot(kJuntarMs, this, [this] { OfferReprints(); }); },
                Qt::QueuedConnection);
        });
        // Tickets an earlier run could not print are offered once the screen is up.
        if (!Seguidor->Failed().empty())
            QMetaObject::invokeMethod(this, [this] { OfferReprints(); }, Qt::QueuedConnection);
    }
    const sending::SendJournal::Loaded loaded = Envios->Recover();
    if (loaded.state == sending::SendJournal::State::Unreadable)
        Tell(sending::UnreadableJournalMessage(loaded.keptAs, loaded.error));
    else if (loaded.state == sending::SendJournal::State::Foreign)
        Tell(sending::ForeignJournalMessage(loaded.entry));
    else if (loaded.state != sending::SendJournal::State::Found)
        return;
    else if (settleNow || loaded.entry.Stored() || !loaded.entry.intento)
        SettlePendingSend(Accion::Inicio);  // these need no server
    else
        // Told now; the next ENVIAR asks the server before anything is stored.
        Tell(sending::NoAnswerMessage({sending::Verdict::NoAnswer, loaded.entry, false, {}}));
}

}  // namespace order_screen
