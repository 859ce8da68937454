// ENVIAR on the order screen: the order is read off the screen, stored in one
// transaction, printed, and the screen cleared. An order that could not be
// stored stays on the screen, so the waiter can press ENVIAR again.
#include <QLabel>
#include <QLineEdit>
#include <optional>

#include "order_screen/grid.h"
#include "order_screen/pedido_r.h"
#include "sending/printing.h"
#include "sending/send_messages.h"
#include "sending/send_order.h"
#include "startup/module1.h"

namespace order_screen {
namespace {

// A send whose outcome is not known, with the order it carried. When ENVIAR
// sends the same order again, it goes under the same id and the try in doubt
// is settled first: if it did commit after all (its answer was lost), the
// order is not stored twice.
struct PendingSend {
    sending::OrderToSend pedido;
    sending::SendInDoubt enDuda;  // with the send's id
};
std::optional<PendingSend> pendiente;

sending::OrderToSend ReadOrder(const Pedido_R& s) {
    sending::OrderToSend p;
    p.mesa = s.Label1[1]->text();
    p.mesonero = s.Label1[0]->text();
    p.codVendedor = s.cod_V->text();
    for (int row = 1; row < s.Grid1->Rows(); ++row) {
        QStringList cells;
        for (int col = 0; col < s.Grid1->Cols(); ++col) cells << s.Grid1->TextMatrix(row, col);
        p.filas.push_back(cells);
    }
    return p;
}

}  // namespace

void Pedido_R::ForgetUnconfirmedSend() { pendiente.reset(); }

void Pedido_R::Enviar() {
    const sending::OrderToSend pedido = ReadOrder(*this);
    if (!Module1::Conexion) {
        sending::SendResult none;
        none.lastError = QStringLiteral("No hay conexión abierta.");
        sending::ReportSendFailure(none, pedido.mesa);
        return;
    }
    sending::SendOptions opciones;
    opciones.connectionString = Module1::Cadena_Conexion;
    opciones.anchos = &Module1::Anchos;
    QString idEnvio = sending::NewSendId();
    if (pendiente && pendiente->pedido == pedido) {
        idEnvio = pendiente->enDuda.idEnvio;
        opciones.enDuda = pendiente->enDuda;
    }
    const sending::SendResult r = sending::SendOrder(*Module1::Conexion, pedido, idEnvio, opciones);
    if (!r.committed) {
        // Only a send whose outcome the server may still tell is kept; one the
        // installation cannot settle is left to the waiter, who was told so.
        if (r.outcomeUnknown && r.enDuda)
            pendiente = PendingSend{pedido, *r.enDuda};
        else
            pendiente.reset();
        sending::ReportSendFailure(r, pedido.mesa);
        return;
    }
    pendiente.reset();
    if (r.reloj.fecha.isValid()) {
        Module1::Fecha_Servidor = r.reloj.fecha;
        Module1::Hora_Servidor = r.reloj.hora.mid(11);
    }
    sending::ImprimirComanda(r.numero, pedido, Module1::Fecha_Servidor);
    BlankMenuButtons();
    Limpiar();
}

}  // namespace order_screen
