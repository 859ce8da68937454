#include "support/bare_send.h"

#include <QDate>
#include <QRandomGenerator>
#include <QThread>

#include "sending/order_statements.h"
#include "data/server_clock.h"

namespace bench {
namespace {

// The send in the terminal's two round trips: what it must know, then all
// it writes with the COMMIT and `afterCommit` behind it.
BareSendResult RunStatements(BareClient& c, const order::Order& p, const QString& idEnvio,
                             const QStringList& afterCommit) {
    using namespace sending;
    const EscapeFn esc = [&c](const QString& t) { return c.Escape(t); };
    BareSendResult r;
    const QStringList read{kSqlInicio, kSqlContador, BuscarCabecera(p.mesa, esc), data::kSqlReloj};
    const std::vector<QStringList> answers = c.RowsTogether(read);
    r.numero = answers.at(1).value(0).section(QLatin1Char('\t'), 0, 0);
    const bool header = !answers.at(2).isEmpty();
    const QString now = answers.at(3).value(0);  // "yyyy-MM-dd HH:mm:ss"
    const QDate fecha = QDate::fromString(now.left(10), QStringLiteral("yyyy-MM-dd"));
    QStringList write{ActualizarContador(r.numero, esc)};
    if (!header) write << InsertarCabecera(p.mesa, p.codVendedor, fecha, esc);
    const TicketContext ticket{r.numero, p.mesonero, now.mid(11), fecha, p.mesa};
    for (const order::Line& linea : p.lineas) {
        if (!order::IsOrderLine(linea)) continue;
        write << InsertarLinea(p.mesa, linea, esc) << InsertarComanda(ticket, linea, esc);
    }
    write << RegistrarEnvio(idEnvio, r.numero, p.mesa, esc) << kSqlConfirmar << afterCommit;
    c.RowsTogether(write);
    r.statements = static_cast<int>(read.size() + write.size());
    return r;
}

}  // namespace

BareSendResult BareSend(BareClient& c, const order::Order& pedido, const QString& idEnvio,
                        const QStringList& afterCommit) {
    try {
        return RunStatements(c, pedido, idEnvio, afterCommit);
    } catch (const BareError&) {
        try {
            c.Run(sending::kSqlDeshacer);
        } catch (const BareError&) {
        }
        throw;
    }
}

BareSendResult BareSendRetrying(BareClient& c, const order::Order& pedido) {
    const QString id = sending::NewSendId();
    for (int attempt = 1;; ++attempt) {
        try {
            return BareSend(c, pedido, id);
        } catch (const BareError& e) {
            if (e.number != 1213 || attempt >= 3) throw;
            QThread::msleep(QRandomGenerator::global()->bounded(20, 120));
        }
    }
}

}  // namespace bench
