#include "sending/send_order.h"

#include <QDebug>
#include <QRandomGenerator>
#include <QThread>
#include <QUuid>
#include <algorithm>
#include <optional>

#include "data/db_error.h"
#include "data/sql_text.h"
#include "order_screen/order_lines.h"
#include "sending/order_statements.h"
#include "startup/module1.h"

namespace sending {
namespace {

// Statement tries before a send gives up, as for every other statement.
constexpr int kIntentosSentencia = Module1::kIntentosSql;

// The connection is gone (the server rolled the open transaction back, and
// the outcome of a COMMIT in flight is unknown).
bool IsLostConnection(int number) {
    switch (number) {
        case 1053:  // server shutdown in progress
        case 1927:  // connection killed
        case 2006:  // server has gone away
        case 2013:  // lost connection during query
        case 2055:  // lost connection at reading/writing
        case data::kConnectionClosed:
            return true;
        default:
            return false;
    }
}

// Errors after which the transaction no longer exists, so retrying the one
// statement would run it outside the send: the whole send starts again.
// 1213 is a deadlock, and also how a Galera cluster reports a certification
// failure at COMMIT. Other errors (a lock wait timeout, 1205, say) undo only
// the statement, which is tried again on the same connection.
bool RestartsWholeSend(int number) {
    return number == 1213 || IsLostConnection(number);
}

struct WholeSendAborted {
    QString description;
    int number = 0;
};
struct StatementFailed {
    QString description;
};

// Runs statements of one send with the statement-level tries.
class Statements {
public:
    explicit Statements(data::Connection& c) : c_(c) {}

    EscapeFn Escape() const {
        return [this](const QString& t) { return data::SqlText(c_, t); };
    }
    void Execute(const QString& sql) {
        Try(sql, [&] { c_.Execute(sql); });
    }
    // COMMIT is never tried twice: when it fails the server has already
    // rolled the transaction back, and a second COMMIT would report success
    // with nothing stored. Its outcome is found out from the send record.
    void Commit(const QString& sql) {
        try {
            c_.Execute(sql);
        } catch (const data::DbError& e) {
            qWarning().noquote() << "send: COMMIT failed:" << e.number() << e.description();
            throw WholeSendAborted{e.description(), e.number()};
        }
    }
    data::ResultSet Query(const QString& sql) {
        data::ResultSet rs;
        Try(sql, [&] { rs = c_.Query(sql); });
        return rs;
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
    template <typename F>
    void Try(const QString& sql, F&& run) {
        QString last;
        for (int intento = 1; intento <= kIntentosSentencia; ++intento) {
            try {
                run();
                return;
            } catch (const data::DbError& e) {
                qWarning().noquote() << "send: statement failed, attempt" << intento << "of"
                                     << kIntentosSentencia << ":" << e.number() << e.description()
                                     << "|" << sql.section(QLatin1Char(' '), 0, 2);  // no customer text
                if (RestartsWholeSend(e.number()) || !InTransaction())
                    throw WholeSendAborted{e.description(), e.number()};
                last = e.description();
            }
        }
        throw StatementFailed{last};
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

    data::Connection& c_;
};

startup::ServerClock ReadClock(Statements& s) {
    data::ResultSet rs = s.Query(startup::kSqlReloj);
    if (rs.IsEof()) return {};
    return startup::ClockFromValue(rs.Field(0));
}

// One run of the whole send, from START TRANSACTION to COMMIT.
SendResult RunOnce(Statements& s, const OrderToSend& p, const QString& idEnvio) {
    const EscapeFn esc = s.Escape();
    SendResult r;
    s.Execute(kSqlInicio);
    data::ResultSet contador = s.Query(kSqlContador);
    if (contador.RecordCount() > 0) {
        r.numero = contador.Field(0).ToText();
        s.Execute(ActualizarContador(r.numero, esc));
    }
    // The counter lock is held from here on, so no other send can insert this
    // table's header between the test and the insert.
    const data::ResultSet cabecera = s.Query(BuscarCabecera(p.mesa, esc));
    // The clock before the header, so the header carries this send's date.
    r.reloj = ReadClock(s);
    if (cabecera.RecordCount() == 0)
        s.Execute(InsertarCabecera(p.mesa, p.codVendedor, r.reloj.fecha, esc));
    const TicketContext ticket{r.numero, p.mesonero, r.reloj.hora.mid(11), r.reloj.fecha, p.mesa};
    for (const QStringList& fila : p.filas) {
        if (!IsOrderLine(fila)) continue;
        s.Execute(InsertarLinea(p.mesa, fila, esc));
        s.Execute(InsertarComanda(ticket, fila, esc));
    }
    s.Execute(RegistrarEnvio(idEnvio, r.numero, p.mesa, esc));
    s.Commit(kSqlConfirmar);
    r.committed = true;
    return r;
}

// Why the send is tied to an id stored in its own transaction: after a lost
// connection the only question is "did this send commit?". The ticket number
// cannot answer it (a send that was rolled back frees its number for the
// next terminal, whose lines then carry it), and an order without lines
// writes nothing but the counter and perhaps a header. The row in envios
// exists exactly when the send committed; its primary key also refuses a
// second copy of the same send.
std::optional<QString> CommittedTicket(Statements& s, const QString& idEnvio) {
    data::ResultSet rs = s.Query(BuscarEnvio(idEnvio, s.Escape()));
    if (rs.IsEof()) return std::nullopt;
    return rs.Field(0).ToTextOrEmpty();
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

// A number that is no number stops the send before anything is stored.
void CheckNumbers(const OrderToSend& p) {
    using namespace order_screen;
    for (const QStringList& fila : p.filas) {
        if (!IsOrderLine(fila)) continue;
        for (int col : {kColCant, kColPrecio, kColIva, kColCosto}) SqlNumber(fila.value(col));
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

SendResult SendOrder(data::Connection& conexion, const OrderToSend& pedido, const QString& idEnvio,
                     const SendOptions& o) {
    CheckNumbers(pedido);
    Statements s(conexion);
    SendResult result;
    bool unconfirmed = o.comprobarAntes;  // this id may have committed already
    bool reconnect = false;
    // Each round either runs the send or reconnects and checks; the bound
    // keeps a connection that drops on every check from looping for ever.
    for (int round = 0; round < 2 * o.intentosEnvio + 1; ++round) {
        try {
            if (reconnect || !conexion.IsOpen()) {
                if (!Reconnect(conexion, o, result.lastError)) break;
                reconnect = false;
            }
            if (unconfirmed) {
                if (std::optional<QString> numero = CommittedTicket(s, idEnvio)) {
                    result.committed = true;
                    result.numero = *numero;
                    result.reloj = ReadClock(s);
                    result.lastError.clear();
                    return result;
                }
                unconfirmed = false;
            }
            if (result.wholeSendRuns >= o.intentosEnvio) break;
            ++result.wholeSendRuns;
            SendResult done = RunOnce(s, pedido, idEnvio);
            done.wholeSendRuns = result.wholeSendRuns;
            return done;
        } catch (const WholeSendAborted& e) {
            result.lastError = e.description;
            s.RollBack();
            reconnect = IsLostConnection(e.number) || !conexion.IsOpen();
            unconfirmed = true;
            // Terminals that collided on the counter row try again at
            // different moments (no pause when no run is left).
            if (e.number == 1213 && result.wholeSendRuns < o.intentosEnvio)
                QThread::msleep(static_cast<unsigned long>(CollisionPauseMs(
                    result.wholeSendRuns + 1, QRandomGenerator::global()->generate())));
        } catch (const StatementFailed& e) {
            // The server answered every try and the transaction is still
            // open: nothing committed.
            s.RollBack();
            result.lastError = e.description;
            result.outcomeUnknown = unconfirmed;
            return result;
        } catch (...) {
            s.RollBack();  // a value that is no number, say: nothing stays
            throw;
        }
    }
    result.outcomeUnknown = unconfirmed;
    return result;
}

void ReportSendFailure(const QString& description) {
    Module1::Mensaje = QStringLiteral("Error en Base de datos...") + QChar(13) +
                       QStringLiteral("Se Desconectara del sistema.") + description;
    Module1::Mostrar_Mensaje();
}

}  // namespace sending
