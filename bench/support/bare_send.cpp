#include "support/bare_send.h"

#include <QDate>
#include <QRandomGenerator>
#include <QThread>

#include "sending/order_statements.h"
#include "startup/server_clock.h"

namespace bench {
namespace {

BareSendResult RunStatements(BareClient& c, const sending::OrderToSend& p, const QString& idEnvio) {
    using namespace sending;
    const EscapeFn esc = [&c](const QString& t) { return c.Escape(t); };
    BareSendResult r;
    auto run = [&](const QString& sql) {
        c.Run(sql);
        ++r.statements;
    };
    run(kSqlInicio);
    r.numero = c.Value(kSqlContador);
    ++r.statements;
    run(ActualizarContador(r.numero, esc));
    const bool header = !c.Rows(BuscarCabecera(p.mesa, esc)).isEmpty();
    const QString now = c.Value(startup::kSqlReloj);  // "yyyy-MM-dd HH:mm:ss"
    r.statements += 2;
    const QDate fecha = QDate::fromString(now.left(10), QStringLiteral("yyyy-MM-dd"));
    if (!header) run(InsertarCabecera(p.mesa, p.codVendedor, fecha, esc));
    const TicketContext ticket{r.numero, p.mesonero, now.mid(11), fecha, p.mesa};
    for (const QStringList& fila : p.filas) {
        if (!IsOrderLine(fila)) continue;
        run(InsertarLinea(p.mesa, fila, esc));
        run(InsertarComanda(ticket, fila, esc));
    }
    run(RegistrarEnvio(idEnvio, r.numero, p.mesa, esc));
    run(kSqlConfirmar);
    return r;
}

}  // namespace

BareSendResult BareSend(BareClient& c, const sending::OrderToSend& pedido, const QString& idEnvio) {
    try {
        return RunStatements(c, pedido, idEnvio);
    } catch (const BareError&) {
        try {
            c.Run(sending::kSqlDeshacer);
        } catch (const BareError&) {
        }
        throw;
    }
}

BareSendResult BareSendRetrying(BareClient& c, const sending::OrderToSend& pedido) {
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
