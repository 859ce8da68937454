#include "sending/send_order.h"

#include <QDebug>
#include <QRandomGenerator>
#include <QThread>
#include <QUuid>
#include <algorithm>
#include <map>
#include <optional>

#include "data/column_widths.h"
#include "data/db_error.h"
#include "data/module1.h"
#include "data/sql_text.h"
#include "sending/bad_values.h"
#include "sending/order_statements.h"
#include "sending/write_block.h"

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

// A COMMIT the server answered with an error may have been stored (an engine
// error, a node losing its cluster): it is settled before the send runs
// again. Not a lock wait that ran out (a backup's read lock holds every
// COMMIT): nothing was committed, and the waiter is told the counter is busy
// after that one wait, as at any other statement.
bool CommitOutcomeUnknown(int number) { return number != data::kLockWaitTimeout; }

// What the waiter is told of a statement that failed with `number`.
FailureCause CauseOf(int number) {
    return number == data::kLockWaitTimeout ? FailureCause::CounterBusy : FailureCause::Other;
}

struct WholeSendAborted {
    QString description;
    int number = 0;
    bool atCommit = false;  // the COMMIT itself failed: its outcome may be unknown
};
struct StatementFailed {
    QString description;
    int number = 0;
    int at = -1;  // the statement that failed, in the texts run together
    FailureCause causa = FailureCause::Other;
    QString detalle;
};
// The send record's insert found its id taken: an earlier try of this same
// order committed (its answer lost, or a settle that could not see it yet).
struct AlreadyStored {};

// A statement the server refused for a reason that the same statement will
// meet again: a value its column cannot hold, a missing column, no right. Or
// a lock wait that ran out: its wait already took the longest a send may
// wait for the counter, and another try would double it.
bool TriedOnce(int number) {
    return number == data::kLockWaitTimeout || IsBadValue(number) || number == data::kDuplicateKey ||
           number == data::kBadField || number == data::kNoSuchTable || number == data::kTableAccessDenied ||
           number == data::kColumnAccessDenied;
}

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

// Errors after which asking again soon may get an answer: the connection or
// the server's momentary state. Any other error a settle meets will come back
// on every try (a collation the installation's table cannot compare, say).
bool PassesSoon(int number) {
    return IsLostConnection(number) || number == data::kLockWaitTimeout || number == data::kDeadlock ||
           number == data::kNodeNotReady;
}

// Whether the optional send record can be used on this connection, learnt
// once per connection by a probe that stores nothing.
const QString kFactEnvios = QStringLiteral("envios");

// Whether the connection's server is a Galera cluster node, learnt once per
// connection. A node can abort a local transaction at any moment when another
// node's write to the same row arrives (to it, a deadlock), and in the middle
// of statements sent together it tells the client nothing: the statements
// after that moment run on their own, each committed alone, and part of an
// order would be stored. There the writes and the COMMIT go as one compound
// statement, which stops at the abort (write_block.h).
const QString kFactNodoCluster = QStringLiteral("wsrep_on");
const QString kSqlSondaCluster = QStringLiteral("select @@wsrep_on");
// Whether this connection's node refused such a block (a server without
// compound statements), learnt at the first send that tried one. There every
// statement of a send travels alone, and the statement after an abort is
// refused with the deadlock error.
const QString kFactSinBloque = QStringLiteral("no write block");
// A settle on a cluster node reads only after the node has applied every
// write the cluster certified before it (a try committed through another
// node, say); the session's own setting comes back afterwards.
const QString kSqlEsperarCertificados =
    QStringLiteral("SET @pedidos_sync_wait=@@session.wsrep_sync_wait, @@session.wsrep_sync_wait=1");
const QString kSqlRestaurarEspera = QStringLiteral("SET @@session.wsrep_sync_wait=@pedidos_sync_wait");

// Runs statements of one send with the statement-level tries.
class Statements {
public:
    explicit Statements(data::Connection& c) : c_(c), values_(Escaper()) {}

    const TextValues& Values() const { return values_; }
    bool OnClusterNode() const { return clusterNode_; }

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
                if (commitAt >= 0 &&
                    ((at == commitAt && CommitOutcomeUnknown(e.number())) || IsLostConnection(e.number())))
                    throw WholeSendAborted{e.description(), e.number(), true};
                if (RestartsWholeSend(e.number())) throw WholeSendAborted{e.description(), e.number()};
                const StatementFailed failed{e.description(), e.number(), at, CauseOf(e.number()), {}};
                // Not tried again, whether or not the server rolled the whole
                // transaction back with it: the caller rolls back in any case.
                if (TriedOnce(e.number())) throw failed;
                if (!InTransaction()) throw WholeSendAborted{e.description(), e.number()};
                tries = at == failing ? tries + 1 : 1;
                failing = at;
                if (tries >= kIntentosSentencia) throw failed;
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
    // On a cluster node the writes go as one block (see kFactNodoCluster),
    // or each statement alone where the node cannot run one.
    void LearnServer() {
        std::map<QString, bool>& facts = c_.SessionFacts().flags;
        if (const auto it = facts.find(kFactNodoCluster); it != facts.end()) {
            clusterNode_ = it->second;
        } else {
            bool node = false;
            try {
                const data::ResultSet rs = Ask(kSqlSondaCluster);
                node = !rs.IsEof() && rs.Field(0).IsNonZero();
            } catch (const data::DbError& e) {
                if (e.number() != data::kUnknownSystemVariable)
                    throw WholeSendAborted{e.description(), e.number()};
            }
            if (node) qInfo().noquote() << "send: a cluster node; a send's writes go as one block";
            facts[kFactNodoCluster] = clusterNode_ = node;
        }
    }

    // Runs the send's writes, then COMMIT, then the reads `after`, in one
    // round trip; returns the answers to `after`. A write the server refuses
    // comes back as StatementFailed with its index in `writes`.
    std::vector<data::ResultSet> WriteAndCommit(const QStringList& writes, const QStringList& after) {
        if (clusterNode_ && !OneByOne()) return AsBlock(writes, after);
        const int commitAt = static_cast<int>(writes.size());
        std::vector<data::ResultSet> answers = Together(writes + QStringList{kSqlConfirmar} + after, commitAt);
        const auto firstRead = std::min(answers.size(), static_cast<size_t>(commitAt) + 1);
        answers.erase(answers.begin(), answers.begin() + static_cast<std::ptrdiff_t>(firstRead));
        return answers;
    }

    // The widths of the installation's text columns, learnt on the first
    // send of each connection (after a reconnect, again: a column may have
    // been widened). A server that cannot list them leaves values whole.
    void LearnWidths() {
        data::SessionFacts& facts = c_.SessionFacts();
        if (!facts.anchos) {
            data::ColumnWidths anchos;
            try {
                anchos = data::ColumnWidthsFrom(Ask(data::kSqlColumnWidths));
            } catch (const data::DbError& e) {
                if (PassesSoon(e.number())) throw WholeSendAborted{e.description(), e.number()};
                qWarning().noquote() << "send: cannot learn the column widths:" << e.number() << e.description()
                                     << "; values are written whole";
            }
            facts.anchos = std::make_shared<const data::ColumnWidths>(std::move(anchos));
        }
        anchos_ = facts.anchos;
        values_ = TextValues(Escaper(), anchos_.get());
    }

    bool SendRecordsAvailable() {
        std::map<QString, bool>& facts = c_.SessionFacts().flags;
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
    void RollBack() { Quietly(kSqlDeshacer, "rollback"); }
    // The session's own causality wait again, after a settle (never raises).
    void RestoreSyncWait() { Quietly(kSqlRestaurarEspera, "restoring wsrep_sync_wait"); }

private:
    // The writes and the COMMIT as one compound statement (write_block.h).
    // Whatever the server answers, the block either committed whole or
    // stored nothing; only a lost connection leaves the outcome unknown.
    std::vector<data::ResultSet> AsBlock(const QStringList& writes, const QStringList& after) {
        try {
            std::vector<data::ResultSet> answers = Run(QStringList{WritesInOneBlock(writes)} + after);
            answers.erase(answers.begin());
            return answers;
        } catch (const data::BatchError& e) {
            if (e.failedAt() > 0) {  // a read after the COMMIT: the send stands
                qWarning().noquote() << "send: a read after the stored send failed:" << e.number()
                                     << e.description() << "|" << after.value(e.failedAt() - 1).section(' ', 0, 2);
                return {e.answered().begin() + 1, e.answered().end()};
            }
            qWarning().noquote() << "send: the writes' block failed:" << e.number() << e.description();
            if (IsLostConnection(e.number())) throw WholeSendAborted{e.description(), e.number(), true};
            if (ServerCannotRunBlock(e.number())) {
                qInfo().noquote() << "send: this node cannot run the writes as one block; each statement"
                                  << "of a send travels alone on this connection";
                c_.SessionFacts().flags[kFactSinBloque] = true;
                // The server refused the block before running any of it: the
                // transaction of the first round trip goes on, one by one.
                if (!InTransaction()) throw WholeSendAborted{e.description(), e.number()};
                return WriteAndCommit(writes, after);
            }
            if (RestartsWholeSend(e.number())) throw WholeSendAborted{e.description(), e.number()};
            const int at = FailedWrite(e);
            if (at == writes.size() && CommitOutcomeUnknown(e.number()))  // the COMMIT itself
                throw WholeSendAborted{e.description(), e.number(), true};
            const StatementFailed failed{e.description(), e.number(), at, CauseOf(e.number()), {}};
            // The block rolled the whole transaction back: an error that may
            // pass runs the whole send again, as often as a statement would
            // be tried.
            if (TriedOnce(e.number()) || ++blockFailures_ >= kIntentosSentencia) throw failed;
            throw WholeSendAborted{e.description(), e.number()};
        }
    }
    // A cluster node that cannot run the writes as one block, as learnt on
    // this connection.
    bool OneByOne() const { return clusterNode_ && c_.SessionFacts().flags.count(kFactSinBloque) > 0; }
    // The index of the statement the block failed at with `failure`
    // (kSqlPasoFallido), -1 when unknown. The block has rolled back: a
    // connection lost now runs the whole send again, which meets the same
    // failure with its index (a send record already there, say).
    int FailedWrite(const data::DbError& failure) {
        try {
            const data::ResultSet rs = c_.Query(kSqlPasoFallido);
            if (!rs.IsEof() && !rs.Field(0).IsNull()) return static_cast<int>(rs.Field(0).ToDouble());
        } catch (const rt::RuntimeError& e) {
            qWarning().noquote() << "send: cannot read which write failed:" << e.number() << e.description();
            if (IsLostConnection(e.number())) throw WholeSendAborted{failure.description(), e.number()};
        }
        return -1;
    }

    void Quietly(const QString& sql, const char* what) {
        try {
            if (c_.IsOpen()) c_.Execute(sql);
        } catch (const rt::RuntimeError& e) {
            qWarning().noquote() << "send:" << what << "failed:" << e.number() << e.description();
        }
    }

    EscapeFn Escaper() {
        return [this](const QString& t) { return data::SqlText(c_, t); };
    }

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
        return OneByOne() ? c_.Connection::RunTogether(sqls) : c_.RunTogether(sqls);
    }

    data::Connection& c_;
    std::shared_ptr<const data::ColumnWidths> anchos_;
    TextValues values_;
    bool clusterNode_ = false;
    int blockFailures_ = 0;  // blocks refused with an error that may pass, in this send
};

TicketContext TicketOf(const order::Order& p, const QString& numero,
                       const data::ServerClock& reloj) {
    return TicketContext{numero, p.mesonero, reloj.hora.mid(11), reloj.fecha, p.mesa};
}

// Which line and table each written statement belongs to, so that a value
// the server refuses can be named.
struct WrittenBy {
    const char* table;
    const order::Line* linea;  // nullptr: the header, the counter, the send record
};

// The value of `column` in `table` that the send wrote for `w`, cut as written.
QString ValueWritten(const WrittenBy& w, const QString& column, const order::Order& p, const TicketContext& t,
                     const TextValues& esc) {
    const QString c = column.toLower();
    const auto cut = [&](const QString& v) { return esc.Cut(w.table, column.toLatin1().constData(), v); };
    if (c == QLatin1String("mesonero")) return cut(t.mesonero);
    if (c == QLatin1String("mesa") || c == QLatin1String("n_factura") || c == QLatin1String("ced_cliente"))
        return cut(p.mesa);
    if (c == QLatin1String("cod_vendedor") && w.linea == nullptr) return cut(p.codVendedor);
    if (w.linea == nullptr) return {};
    const order::Line& l = *w.linea;
    if (c == QLatin1String("nom_producto")) return cut(l.nombre);
    if (c == QLatin1String("cod_producto")) return cut(l.codigo);
    if (c.startsWith(QLatin1String("contorno"))) return cut(l.contornos.value(c.mid(8).toInt() - 1));
    if (c == QLatin1String("termino")) return cut(l.termino);
    if (c == QLatin1String("observacion")) return cut(l.observacion);
    if (c == QLatin1String("deposito")) return cut(l.deposito);
    if (c == QLatin1String("cod_vendedor")) return cut(l.codVendedor);
    return {};
}

// One run of the whole send, from START TRANSACTION to COMMIT, in two round
// trips: first what the send must know (the ticket number, under the counter
// lock; whether the table has its header; the server clock), then everything
// it writes with the COMMIT, and after the COMMIT the reads the screen makes
// next (`o.lecturasDespues`). `attempt` receives what identifies this run in
// the database: before the transaction begins (announced to
// `o.antesDeEmpezar`, which may wait for the disk) and, numbered, before its
// COMMIT goes out (to `o.antesDeConfirmar`, which may not: every other
// terminal waits for the counter meanwhile).
SendResult RunOnce(Statements& s, const order::Order& p, bool conRegistro, SendInDoubt& attempt,
                   const SendOptions& o) {
    attempt.conRegistro = conRegistro;
    attempt.numerado = false;
    attempt.escrito.reset();
    if (o.antesDeEmpezar) o.antesDeEmpezar(attempt);
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
    std::vector<WrittenBy> autores;
    if (contador.RecordCount() > 0) {
        r.numero = contador.Field(0).ToTextOrEmpty();
        try {
            escribir << ActualizarContador(r.numero, esc);
            autores.push_back({"mantenimiento", nullptr});
        } catch (const rt::RuntimeError&) {
            // A counter the back office left empty or not a number: the order
            // cannot get a ticket number, and stays on the screen.
            throw StatementFailed{QStringLiteral("El contador de comandas (mantenimiento.control_Comanda) "
                                                 "no es un número: '") +
                                      r.numero + QLatin1Char('\''),
                                  0, -1, FailureCause::BadValue, {}};
        }
    }
    // The header carries this send's date, read above.
    if (cabecera.RecordCount() == 0) {
        escribir << InsertarCabecera(p.mesa, p.codVendedor, r.reloj.fecha, esc);
        autores.push_back({"Factura_r", nullptr});
    }
    const TicketContext ticket = TicketOf(p, r.numero, r.reloj);
    for (const order::Line& linea : p.lineas) {
        if (!order::IsOrderLine(linea)) continue;
        escribir << InsertarLinea(p.mesa, linea, esc) << InsertarComanda(ticket, linea, esc);
        autores.push_back({"D_Fact_r", &linea});
        autores.push_back({"comanda", &linea});
    }
    const int registroAt = conRegistro ? static_cast<int>(escribir.size()) : -1;
    if (conRegistro) {
        escribir << RegistrarEnvio(attempt.idEnvio, r.numero, p.mesa, esc);
        autores.push_back({"envios", nullptr});
    }
    attempt.numero = r.numero;
    attempt.reloj = r.reloj;
    attempt.numerado = true;
    attempt.escrito = TicketAsWritten(ticket, esc);
    if (o.antesDeConfirmar) o.antesDeConfirmar(attempt);
    const int commitAt = static_cast<int>(escribir.size());
    try {
        r.lecturas = s.WriteAndCommit(escribir, o.lecturasDespues);
    } catch (StatementFailed& e) {
        if (e.at == registroAt && e.number == data::kDuplicateKey) throw AlreadyStored{};
        if (IsBadValue(e.number) && e.at >= 0 && e.at < commitAt) {
            const WrittenBy& w = autores.at(static_cast<size_t>(e.at));
            const QString column = ColumnInError(e.description);
            e.causa = FailureCause::BadValue;
            e.detalle = BadValueText(e.number, QString::fromLatin1(w.table), column,
                                     column.isEmpty() ? QString() : ValueWritten(w, column, p, ticket, esc));
        }
        throw;
    }
    r.outcome = SendOutcome::Stored;
    return r;
}

enum class Settled { Committed, NotCommitted, CannotTell, NoAnswerNow };
struct SettleAnswer {
    Settled settled = Settled::NoAnswerNow;
    QString numero;           // Committed: its ticket number
    data::ServerClock reloj;  // Committed: its clock (read now when it was not known)
    QString error;            // CannotTell, NoAnswerNow: what the server said
};

// Did the send in doubt commit? Asked under the counter lock: a try whose
// COMMIT is still on its way to the server holds that lock, so the answer
// waits until that try has ended one way or the other (where mantenimiento
// has its row; without it there is nothing to lock, and a COMMIT still on its
// way can land after the answer). On a cluster node the reads first wait for
// every write the cluster has certified, so a try committed through another
// node is seen.
//
// A try that wrote the send record: its row exists exactly when it committed,
// also for an order without lines. It is looked for by what the try wrote,
// not by what this connection finds: a table applied in between must not make
// a stored order look unsent.
//
// A try without it, from the installation's own tables: the ticket lines of
// its number, table, waiter and server time, as it wrote them. A send that
// rolled back freed its number for another terminal, but that one's lines
// carry its own table, waiter and time. An order without lines leaves no line
// to find; it is sent again, which stores no row twice (the header is only
// inserted when missing) and at worst skips one ticket number. A terminal
// that may not read comanda can still learn "not stored" from the counter
// (still at the number the try drew, which its COMMIT would have advanced);
// once the counter has moved it cannot tell. Nor can it for a try whose
// number was lost with the power.
//
// An error that will come back on every try (not a lost connection, a lock
// wait, a node not ready) cannot tell either: the waiter checks at the till
// instead of being stopped for ever.
SettleAnswer Settle(Statements& s, const SendInDoubt& d, const order::Order& p) {
    struct EndTransaction {
        Statements& s;
        bool syncWait = false;
        ~EndTransaction() {
            s.RollBack();
            if (syncWait) s.RestoreSyncWait();
        }
    } end{s};
    SettleAnswer out;
    try {
        if (s.OnClusterNode()) {
            end.syncWait = true;
            s.Ask(kSqlEsperarCertificados);
        }
        s.Ask(kSqlInicio);
        const data::ResultSet contador = s.Ask(kSqlContador);
        out.settled = Settled::NotCommitted;
        if (d.conRegistro) {
            const data::ResultSet registro = s.Ask(BuscarEnvio(d.idEnvio, s.Values()));
            if (registro.IsEof()) return out;
            // The record's number is the one its lines carry, whatever the
            // journal last held.
            out.settled = Settled::Committed;
            out.numero = registro.Field(0).ToTextOrEmpty();
            const bool sameTry = d.numerado && out.numero == d.numero;
            out.reloj = sameTry ? d.reloj : data::ClockFromResult(s.Ask(data::kSqlReloj));
            return out;
        }
        if (!d.numerado) {
            out.settled = Settled::CannotTell;
            return out;
        }
        if (!order::HasOrderLines(p)) return out;
        out.numero = d.numero;
        out.reloj = d.reloj;
        try {
            const WrittenTicket escrito =
                d.escrito ? *d.escrito : TicketAsWritten(TicketOf(p, d.numero, d.reloj), s.Values());
            const data::ResultSet lineas = s.Ask(ContarComanda(escrito, s.Values()));
            if (!lineas.IsEof() && lineas.Field(0).ToDouble() > 0) out.settled = Settled::Committed;
            return out;
        } catch (const data::DbError& e) {
            // Not allowed to read comanda: only the counter can still answer.
            const bool counterUnmoved =
                !contador.IsEof() && contador.Field(0).ToTextOrEmpty() == d.numero;
            if (IsPermanentRefusal(e.number()) && counterUnmoved) return out;
            throw;
        }
    } catch (const data::DbError& e) {
        qWarning().noquote() << "send: cannot tell now whether ticket" << d.numero << "of send" << d.idEnvio
                             << "was stored:" << e.number() << e.description();
        out.settled = PassesSoon(e.number()) ? Settled::NoAnswerNow : Settled::CannotTell;
        out.error = e.description();
        return out;
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
    Statements s(conexion);
    std::optional<SendInDoubt> doubt = o.enDuda;  // a try whose COMMIT answer was lost
    SendInDoubt attempt{idEnvio, {}, {}, false, false, {}};
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
            s.LearnWidths();
            if (doubt) {
                const SettleAnswer settled = Settle(s, *doubt, pedido);
                switch (settled.settled) {
                    case Settled::Committed:
                        result.outcome = SendOutcome::Stored;
                        result.numero = settled.numero;
                        result.reloj = settled.reloj;
                        result.lastError.clear();
                        return result;
                    case Settled::CannotTell:
                        result.outcome = SendOutcome::Undecidable;
                        result.enDuda = doubt;
                        result.lastError = settled.error;
                        return result;
                    case Settled::NoAnswerNow:
                        result.outcome = SendOutcome::Unknown;
                        result.enDuda = doubt;
                        result.lastError = settled.error;
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
        } catch (const AlreadyStored&) {
            // An earlier try of this order committed: its send record holds
            // the ticket number it printed under; this run stores nothing.
            s.RollBack();
            qInfo().noquote() << "send:" << idEnvio << "was already stored by an earlier try";
            SendInDoubt earlier = attempt;
            earlier.numerado = false;
            earlier.conRegistro = true;
            doubt = earlier;
        } catch (const StatementFailed& e) {
            // The server answered and the transaction is still open: nothing
            // committed.
            s.RollBack();
            result.lastError = e.description;
            result.causa = e.causa;
            result.detalle = e.detalle;
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
