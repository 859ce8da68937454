#include "sending/send_order.h"

#include <QDebug>
#include <QRandomGenerator>
#include <QThread>
#include <QUuid>
#include <algorithm>
#include <map>
#include <optional>

#include "data/db_error.h"
#include "data/sql_text.h"
#include "sending/order_statements.h"
#include "data/module1.h"

namespace sending {
namespace {

// Statement tries before a send gives up, as for every other statement.
constexpr int kIntentosSentencia = Module1::kIntentosSql;

using data::IsLostConnection;

// Errors after which the transaction no longer exists, so retrying the one
// statement would run it outside the send: the whole send starts again.
// 1213 is a deadlock, and also how a Galera cluster reports a certification
// failure at COMMIT. Other errors (a lock wait timeout, 1205, say) undo only
// the statement, which is tried again on the same connection.
bool RestartsWholeSend(int number) {
    return number == data::kDeadlock || IsLostConnection(number);
}

struct WholeSendAborted {
    QString description;
    int number = 0;
    bool atCommit = false;  // the COMMIT itself failed: its outcome may be unknown
};
struct StatementFailed {
    QString description;
};

// Errors that asking again will not mend: the terminal may not read the
// table, or the table or column is not there.
bool IsPermanentRefusal(int number) {
    switch (number) {
        case data::kDbAccessDenied:
        case data::kBadField:
        case data::kTableAccessDenied:
        case data::kColumnAccessDenied:
        case data::kNoSuchTable:
            return true;
        default:
            return false;
    }
}

// Whether the optional send record can be used on this connection, learnt
// once per connection by a probe that stores nothing.
const QString kFactEnvios = QStringLiteral("envios");

// Whether the connection's server is a Galera cluster node, learnt once per
// connection. A node can abort a local transaction at any moment when another
// node's write to the same row arrives (to it, a deadlock), and in the middle
// of statements sent together it tells the client nothing: the statements
// after that moment run on their own, each committed alone, and part of an
// order would be stored. There every statement of a send travels alone, and
// the statement after the abort is refused with the deadlock error.
const QString kFactNodoCluster = QStringLiteral("wsrep_on");
const QString kSqlSondaCluster = QStringLiteral("select @@wsrep_on");

// Runs statements of one send with the statement-level tries.
class Statements {
public:
    Statements(data::Connection& c, const data::ColumnWidths* anchos)
        : c_(c), values_([this](const QString& t) { return data::SqlText(c_, t); }, anchos) {}

    const TextValues& Values() const { return values_; }

    // Runs `sqls` in one round trip. A statement the server refuses while the
    // transaction stays open is tried again, with those after it, up to the
    // statement tries; an error that ends the transaction starts the whole
    // send again. With `commitAt` the COMMIT travels among them: it is never
    // tried twice (after a failed COMMIT the server has rolled back, and a
    // second one would report success with nothing stored), and once it may
    // have run, a lost connection leaves the outcome to be settled.
    // Statements after the COMMIT are reads; when one of them fails the send
    // stands, and the answers returned are fewer than `sqls`.
    std::vector<data::ResultSet> Together(const QStringList& sqls, int commitAt = -1) {
        std::vector<data::ResultSet> answers;
        int from = 0, failing = -1, tries = 0;
        for (;;) {
            try {
                for (data::ResultSet& rs : Run(sqls.mid(from))) answers.push_back(std::move(rs));
                return answers;
            } catch (const data::BatchError& e) {
                const int at = from + e.failedAt();
                answers.insert(answers.end(), e.answered().begin(), e.answered().end());
                qWarning().noquote() << "send: statement failed:" << e.number() << e.description()
                                     << "|" << sqls.value(at).section(QLatin1Char(' '), 0, 2);  // no customer text
                if (commitAt >= 0 && at > commitAt) return answers;
                if (commitAt >= 0 && (at == commitAt || IsLostConnection(e.number())))
                    throw WholeSendAborted{e.description(), e.number(), true};
                if (RestartsWholeSend(e.number()) || !InTransaction())
                    throw WholeSendAborted{e.description(), e.number()};
                tries = at == failing ? tries + 1 : 1;
                failing = at;
                if (tries >= kIntentosSentencia) throw StatementFailed{e.description()};
                from = at;
            }
        }
    }
    // One try outside the send's transaction: a lost connection aborts the
    // round (the caller reconnects); any other error is the server's answer
    // and goes to the caller as a DbError.
    data::ResultSet Ask(const QString& sql) {
        try {
            return c_.Query(sql);
        } catch (const data::DbError& e) {
            if (IsLostConnection(e.number())) throw WholeSendAborted{e.description(), e.number()};
            throw;
        }
    }
    // On a cluster node each statement travels alone (see kFactNodoCluster).
    void LearnServer() {
        std::map<QString, bool>& facts = c_.SessionFacts();
        if (const auto it = facts.find(kFactNodoCluster); it != facts.end()) {
            oneByOne_ = it->second;
            return;
        }
        bool node = false;
        try {
            const data::ResultSet rs = Ask(kSqlSondaCluster);
            node = !rs.IsEof() && rs.Field(0).IsNonZero();
        } catch (const data::DbError& e) {
            if (e.number() != data::kUnknownSystemVariable) throw WholeSendAborted{e.description(), e.number()};
        }
        if (node) qInfo().noquote() << "send: a cluster node; each statement of a send travels alone";
        facts[kFactNodoCluster] = oneByOne_ = node;
    }

    bool SendRecordsAvailable() {
        std::map<QString, bool>& facts = c_.SessionFacts();
        if (const auto it = facts.find(kFactEnvios); it != facts.end()) return it->second;
        bool available = true;
        try {
            Ask(kSqlSondaEnvios);
        } catch (const data::DbError& e) {
            // Only a refusal that asking again will not change says the table
            // is not there; a server that cannot answer yet (a cluster node
            // still joining, 1047) ends the round and is asked again.
            if (!IsPermanentRefusal(e.number())) throw WholeSendAborted{e.description(), e.number()};
            available = false;
            qInfo().noquote() << "send: no send record on this connection (" << e.number()
                              << e.description() << "); lost answers are settled from comanda";
        }
        facts[kFactEnvios] = available;
        return available;
    }
    // ROLLBACK, whatever state the connection is in; never raises.
    void RollBack() {
        try {
            if (c_.IsOpen()) c_.Execute(kSqlDeshacer);
        } catch (const rt::RuntimeError& e) {
            qWarning().noquote() << "send: rollback failed:" << e.number() << e.description();
        }
    }

private:
    // Whether the send's transaction is still open after a failed statement:
    // a server may roll the whole transaction back on some errors (a lock wait
    // timeout with innodb_rollback_on_timeout, say), and retrying the one
    // statement would then store the rest of the order outside any transaction.
    bool InTransaction() {
        try {
            const data::ResultSet rs = c_.Query(QStringLiteral("select @@in_transaction"));
            return !rs.IsEof() && rs.Field(0).ToDouble() != 0;
        } catch (const rt::RuntimeError&) {
            return false;
        }
    }

    std::vector<data::ResultSet> Run(const QStringList& sqls) {
        // The base class's way: one statement per round trip, a failure
        // reported at the statement it happened at, as together.
        return oneByOne_ ? c_.Connection::RunTogether(sqls) : c_.RunTogether(sqls);
    }

    data::Connection& c_;
    TextValues values_;
    bool oneByOne_ = false;
};

TicketContext TicketOf(const order::Order& p, const QString& numero,
                       const data::ServerClock& reloj) {
    return TicketContext{numero, p.mesonero, reloj.hora.mid(11), reloj.fecha, p.mesa};
}

// One run of the whole send, from START TRANSACTION to COMMIT, in two round
// trips: first what the send must know (the ticket number, under the counter
// lock; whether the table has its header; the server clock), then everything
// it writes with the COMMIT, and after the COMMIT the reads the screen makes
// next (`o.lecturasDespues`). `attempt` receives what identifies this run in
// the database before its COMMIT goes out.
SendResult RunOnce(Statements& s, const order::Order& p, bool conRegistro, SendInDoubt& attempt,
                   const SendOptions& o) {
    const TextValues& esc = s.Values();
    SendResult r;
    // The counter lock is taken first, so no other send can insert this
    // table's header between the test and the insert.
    const std::vector<data::ResultSet> antes =
        s.Together({kSqlInicio, kSqlContador, BuscarCabecera(p.mesa, esc), data::kSqlReloj});
    const data::ResultSet& contador = antes.at(1);
    const data::ResultSet& cabecera = antes.at(2);
    r.reloj = data::ClockFromResult(antes.at(3));

    QStringList escribir;
    if (contador.RecordCount() > 0) {
        r.numero = contador.Field(0).ToTextOrEmpty();
        try {
            escribir << ActualizarContador(r.numero, esc);
        } catch (const rt::RuntimeError&) {
            // A counter the back office left empty or not a number: the order
            // cannot get a ticket number, and stays on the screen.
            throw StatementFailed{QStringLiteral("El contador de comandas (mantenimiento.control_Comanda) "
                                                 "no es un número: '") +
                                  r.numero + QLatin1Char('\'')};
        }
    }
    // The header carries this send's date, read above.
    if (cabecera.RecordCount() == 0) escribir << InsertarCabecera(p.mesa, p.codVendedor, r.reloj.fecha, esc);
    const TicketContext ticket = TicketOf(p, r.numero, r.reloj);
    for (const order::Line& linea : p.lineas) {
        if (!order::IsOrderLine(linea)) continue;
        escribir << InsertarLinea(p.mesa, linea, esc) << InsertarComanda(ticket, linea, esc);
    }
    if (conRegistro) escribir << RegistrarEnvio(attempt.idEnvio, r.numero, p.mesa, esc);
    attempt.numero = r.numero;
    attempt.reloj = r.reloj;
    attempt.conRegistro = conRegistro;
    if (o.antesDeConfirmar) o.antesDeConfirmar(attempt);
    const int commitAt = static_cast<int>(escribir.size());
    escribir << kSqlConfirmar << o.lecturasDespues;
    std::vector<data::ResultSet> respuestas = s.Together(escribir, commitAt);
    r.outcome = SendOutcome::Stored;
    for (size_t i = static_cast<size_t>(commitAt) + 1; i < respuestas.size(); ++i)
        r.lecturas.push_back(std::move(respuestas[i]));
    return r;
}

enum class Settled { Committed, NotCommitted, CannotTell, NoAnswerNow };

// Did the send in doubt commit? Asked under the counter lock: a try whose
// COMMIT is still on its way to the server holds that lock, so the answer
// waits until that try has ended one way or the other (where mantenimiento
// has its row; without it there is nothing to lock, and a COMMIT still on its
// way can land after the answer).
//
// A try that wrote the send record: its row exists exactly when it committed,
// also for an order without lines. It is looked for by what the try wrote,
// not by what this connection finds: a table applied in between must not make
// a stored order look unsent.
//
// A try without it, from the installation's own tables: the ticket lines of
// its number, table, waiter and server time. A send that rolled back freed
// its number for another terminal, but that one's lines carry its own table,
// waiter and time. An order without lines leaves no line to find; it is sent
// again, which stores no row twice (the header is only inserted when missing)
// and at worst skips one ticket number. A terminal that may not read comanda
// can still learn "not stored" from the counter (still at the number the try
// drew, which its COMMIT would have advanced); once the counter has moved it
// cannot tell.
Settled Settle(Statements& s, const SendInDoubt& d, const order::Order& p) {
    struct EndTransaction {
        Statements& s;
        ~EndTransaction() { s.RollBack(); }
    } end{s};
    try {
        s.Ask(kSqlInicio);
        const data::ResultSet contador = s.Ask(kSqlContador);
        if (d.conRegistro)
            return s.Ask(BuscarEnvio(d.idEnvio, s.Values())).IsEof() ? Settled::NotCommitted
                                                                       : Settled::Committed;
        if (!order::HasOrderLines(p)) return Settled::NotCommitted;
        try {
            const data::ResultSet lineas =
                s.Ask(ContarComanda(TicketOf(p, d.numero, d.reloj), s.Values()));
            return !lineas.IsEof() && lineas.Field(0).ToDouble() > 0 ? Settled::Committed
                                                                      : Settled::NotCommitted;
        } catch (const data::DbError& e) {
            // Not allowed to read comanda: only the counter can still answer.
            const bool counterUnmoved =
                !contador.IsEof() && contador.Field(0).ToTextOrEmpty() == d.numero;
            if (IsPermanentRefusal(e.number()) && counterUnmoved) return Settled::NotCommitted;
            throw;
        }
    } catch (const data::DbError& e) {
        qWarning().noquote() << "send: cannot tell now whether ticket" << d.numero
                             << "was stored:" << e.number() << e.description();
        return IsPermanentRefusal(e.number()) ? Settled::CannotTell : Settled::NoAnswerNow;
    }
}

bool Reconnect(data::Connection& c, const SendOptions& o, QString& lastError) {
    for (int intento = 1; intento <= o.intentosConexion; ++intento) {
        try {
            c.Open(o.connectionString);
            return true;
        } catch (const rt::RuntimeError& e) {
            lastError = e.description();
            qWarning().noquote() << "send: reconnect failed, attempt" << intento << ":"
                                 << e.number() << e.description();
        }
        if (intento < o.intentosConexion && o.pausaConexionMs > 0)
            QThread::msleep(o.pausaConexionMs);
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

SendResult SendOrder(data::Connection& conexion, const order::Order& pedido, const QString& idEnvio,
                     const SendOptions& o) {
    SendResult result;
    if (o.soloComprobar && !o.enDuda) {
        result.outcome = SendOutcome::NotStored;  // nothing in doubt: nothing can have been stored
        return result;
    }
    if (!o.soloComprobar) CheckNumbers(pedido);
    Statements s(conexion, o.anchos);
    std::optional<SendInDoubt> doubt = o.enDuda;  // a try whose COMMIT answer was lost
    SendInDoubt attempt{idEnvio, {}, {}, false};
    bool reconnect = false;
    // Each round either runs the send or reconnects and settles; the bound
    // keeps a connection that drops on every check from looping for ever.
    for (int round = 0; round < 2 * o.intentosEnvio + 1; ++round) {
        try {
            if (reconnect || !conexion.IsOpen()) {
                if (!Reconnect(conexion, o, result.lastError)) break;
                reconnect = false;
            }
            s.LearnServer();
            const bool conRegistro = s.SendRecordsAvailable();
            if (doubt) {
                switch (Settle(s, *doubt, pedido)) {
                    case Settled::Committed:
                        result.outcome = SendOutcome::Stored;
                        result.numero = doubt->numero;
                        result.reloj = doubt->reloj;
                        result.lastError.clear();
                        return result;
                    case Settled::CannotTell:
                        result.outcome = SendOutcome::Undecidable;
                        result.enDuda = doubt;
                        return result;
                    case Settled::NoAnswerNow:
                        result.outcome = SendOutcome::Unknown;
                        result.enDuda = doubt;
                        return result;
                    case Settled::NotCommitted:
                        doubt.reset();
                        break;
                }
            }
            if (o.soloComprobar) {
                result.outcome = SendOutcome::NotStored;
                result.lastError.clear();
                return result;
            }
            if (result.wholeSendRuns >= o.intentosEnvio) break;
            ++result.wholeSendRuns;
            SendResult done = RunOnce(s, pedido, conRegistro, attempt, o);
            done.wholeSendRuns = result.wholeSendRuns;
            return done;
        } catch (const WholeSendAborted& e) {
            result.lastError = e.description;
            s.RollBack();
            reconnect = IsLostConnection(e.number) || !conexion.IsOpen();
            // Only a COMMIT whose answer was lost can have stored the order;
            // one that the server refused as a deadlock (a Galera certification
            // failure) was rolled back. A statement before it that lost its
            // connection took the whole transaction with it.
            if (e.atCommit && e.number != data::kDeadlock) doubt = attempt;
            // Terminals that collided on the counter row try again at
            // different moments (no pause when no run is left).
            if (e.number == data::kDeadlock && result.wholeSendRuns < o.intentosEnvio)
                QThread::msleep(static_cast<unsigned long>(CollisionPauseMs(
                    result.wholeSendRuns + 1, QRandomGenerator::global()->generate())));
        } catch (const StatementFailed& e) {
            // The server answered every try and the transaction is still
            // open: nothing committed.
            s.RollBack();
            result.lastError = e.description;
            return result;
        } catch (...) {
            s.RollBack();  // a value that is no number, say: nothing stays
            throw;
        }
    }
    if (doubt) result.outcome = SendOutcome::Unknown;
    result.enDuda = doubt;
    return result;
}

}  // namespace sending
