#include "sending/send_order.h"

#include <QDebug>
#include <QRandomGenerator>
#include <QThread>
#include <QUuid>
#include <algorithm>
#include <optional>

#include "data/db_error.h"
#include "sending/send_statements.h"
#include "sending/send_writes.h"
#include "sending/settle.h"

namespace sending {
namespace {

using data::NextStep;

// One run of the whole send, from START TRANSACTION to COMMIT, in two round
// trips: first what the send must know (the ticket number, under the counter
// lock; whether the table has its header; the server clock), then everything
// it writes with the COMMIT, and after the COMMIT the reads the screen makes
// next (`o.lecturasDespues`). `attempt` receives what identifies this run in
// the database: announced before the transaction begins (to
// `o.antesDeEmpezar`, which may wait for the disk) and numbered before its
// COMMIT goes out (to `o.antesDeConfirmar`, which may not: every other
// terminal waits for the counter meanwhile).
SendResult RunOnce(SendStatements& s, const order::Order& p, bool conRegistro, SendTry& attempt,
                   const SendOptions& o) {
    attempt = SendTry{attempt.idEnvio, {}, {}, conRegistro, TryPhase::Announced, {}};
    if (o.antesDeEmpezar) o.antesDeEmpezar(attempt);
    const FirstAnswers antes = ReadFirstAnswers(s.Together(FirstRoundTrip(p.mesa, s.Values())));
    PlannedWrites w = PlanWrites(p, antes, attempt.idEnvio, conRegistro, s.Values());
    w.writes.after = o.lecturasDespues;
    attempt = SendTry{attempt.idEnvio, antes.numero, antes.reloj, conRegistro, TryPhase::Numbered, w.escrito};
    if (o.antesDeConfirmar) o.antesDeConfirmar(attempt);
    SendResult r;
    try {
        r.lecturas = s.WriteAndCommit(w.writes);
    } catch (SendFailure& f) {
        if (f.meaning.cause == data::FailureCause::BadValue) f.detalle = w.BadValueDetail(f, s.Values());
        throw;
    }
    r.outcome = Verdict::Stored;
    r.numero = antes.numero;
    r.reloj = antes.reloj;
    return r;
}

bool Reconnect(data::Connection& c, const SendOptions& o, QString& lastError) {
    for (int intento = 1; intento <= o.intentosConexion; ++intento) {
        try {
            c.Open(o.connectionString);
            return true;
        } catch (const rt::RuntimeError& e) {
            lastError = e.description();
            qWarning().noquote() << "send: reconnect failed, attempt" << intento << ":" << e.number()
                                 << e.description();
        }
        if (intento < o.intentosConexion && o.pausaConexionMs > 0) QThread::msleep(o.pausaConexionMs);
    }
    return false;
}

// A number that cannot be written stops the send before anything is stored.
void CheckNumbers(const order::Order& p) {
    for (const order::Line& linea : p.lineas) {
        if (!order::IsOrderLine(linea)) continue;
        for (double n : {linea.cantidad, linea.precio, linea.iva, linea.costo}) SqlNumber(n);
    }
}

// The result of a settle that answered anything but "not stored".
SendResult Settled(SendResult result, const SettleAnswer& a, const SendTry& doubt) {
    result.outcome = a.verdict;
    result.lastError = a.error;
    if (a.verdict == Verdict::Stored) {
        result.numero = a.numero;
        result.reloj = a.reloj;
    } else {
        result.enDuda = doubt;
    }
    return result;
}

}  // namespace

int CollisionPauseMs(int run, quint32 random) {
    constexpr int kFirstWindowMs = 20;
    constexpr int kLargestWindowMs = 320;
    const int doublings = std::clamp(run - 2, 0, 4);
    const int window = std::min(kFirstWindowMs << doublings, kLargestWindowMs);
    return window / 2 + static_cast<int>(random % static_cast<quint32>(window / 2 + 1));
}

QString NewSendId() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

namespace {

// One send from its first round to its end. Each round either settles the
// try in doubt, or runs the send, or learns from its failure that it must
// reconnect, settle or run again; the bound keeps a connection that drops on
// every check from looping for ever.
class Protocol {
public:
    Protocol(data::Connection& c, const order::Order& p, const QString& idEnvio, const SendOptions& o)
        : c_(c), p_(p), o_(o), s_(c), doubt_(o.enDuda), attempt_{idEnvio, {}, {}, false, TryPhase::Announced, {}} {}

    SendResult Run() {
        for (int round = 0; round < 2 * o_.intentosEnvio + 1; ++round) {
            try {
                if (reconnect_ || !c_.IsOpen()) {
                    if (!Reconnect(c_, o_, result_.lastError)) break;
                    reconnect_ = false;
                }
                if (std::optional<SendResult> done = Round()) return *done;
                if (result_.wholeSendRuns >= o_.intentosEnvio) break;
            } catch (const SendFailure& f) {
                s_.RollBack();
                if (std::optional<SendResult> done = After(f)) return *done;
            } catch (...) {
                s_.RollBack();  // a value that is no number, say: nothing stays
                throw;
            }
        }
        if (doubt_) result_.outcome = Verdict::NoAnswer;
        result_.enDuda = doubt_;
        return result_;
    }

private:
    // The facts of the connection, the try in doubt settled, the send run:
    // a result when the send ends here.
    std::optional<SendResult> Round() {
        s_.LearnServer();
        const bool conRegistro = s_.SendRecordsAvailable();
        s_.LearnWidths();
        if (doubt_) {
            const SettleAnswer a = Settle(s_, *doubt_, p_);
            if (a.verdict != Verdict::NotStored) return Settled(result_, a, *doubt_);
            doubt_.reset();
        }
        if (o_.soloComprobar) return SendResult{};
        if (result_.wholeSendRuns >= o_.intentosEnvio) return std::nullopt;
        ++result_.wholeSendRuns;
        SendResult done = RunOnce(s_, p_, conRegistro, attempt_, o_);
        done.wholeSendRuns = result_.wholeSendRuns;
        return done;
    }

    // What a failed round leaves for the next one; a result when the send
    // ends here.
    std::optional<SendResult> After(const SendFailure& f) {
        result_.lastError = f.description;
        reconnect_ = f.meaning.connectionGone || !c_.IsOpen();
        switch (f.meaning.next) {
            case NextStep::Settle:  // only a COMMIT whose answer was lost can have stored it
                doubt_ = attempt_;
                return std::nullopt;
            case NextStep::AlreadyStored:
                // An earlier try of this order committed: its send record
                // holds the ticket number it printed under; this run stores
                // nothing.
                qInfo().noquote() << "send:" << attempt_.idEnvio << "was already stored by an earlier try";
                doubt_ = SendTry{attempt_.idEnvio, attempt_.numero, attempt_.reloj, true, TryPhase::Announced, {}};
                return std::nullopt;
            case NextStep::RunAgain:
                // Terminals that collided on the counter row try again at
                // different moments (no pause when no run is left).
                if (f.meaning.collision && result_.wholeSendRuns < o_.intentosEnvio)
                    QThread::msleep(static_cast<unsigned long>(
                        CollisionPauseMs(result_.wholeSendRuns + 1, QRandomGenerator::global()->generate())));
                return std::nullopt;
            default:
                // TellWaiter: the server answered and the transaction is
                // rolled back, nothing of this run committed. A try still in
                // doubt stays so.
                result_.causa = f.meaning.cause;
                result_.detalle = f.detalle;
                if (doubt_) result_.outcome = Verdict::NoAnswer;
                result_.enDuda = doubt_;
                return result_;
        }
    }

    data::Connection& c_;
    const order::Order& p_;
    const SendOptions& o_;
    SendStatements s_;
    std::optional<SendTry> doubt_;  // a try whose COMMIT answer was lost
    SendTry attempt_;
    SendResult result_;
    bool reconnect_ = false;
};

}  // namespace

SendResult SendOrder(data::Connection& conexion, const order::Order& pedido, const QString& idEnvio,
                     const SendOptions& o) {
    if (o.soloComprobar && !o.enDuda) return SendResult{};  // nothing in doubt: nothing can have been stored
    if (!o.soloComprobar) CheckNumbers(pedido);
    return Protocol(conexion, pedido, idEnvio, o).Run();
}

}  // namespace sending
