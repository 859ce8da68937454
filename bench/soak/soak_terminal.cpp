#include <QThread>
#include <QTime>

#include "data/mariadb_connection.h"
#include "runtime/runtime_error.h"
#include "printers/cups_printing.h"
#include "sending/ticket_layout.h"
#include "soak/soak.h"
#include "support/bench_env.h"
#include "support/orders.h"
#include "support/timing.h"

namespace soak {
namespace {

// Lines of print groups Modelo.txt does not list: one ticket per order (the
// full copy), so the printer is not what limits the pace.
order::Order Order(int t, int k) {
    order::Order p =
        bench::DemoOrder(QString::number(1 + (t * 7 + k) % 30), 1 + (t + k) % 3,
                         QStringLiteral("s%1-o%2").arg(t).arg(k));
    for (order::Line& linea : p.lineas) linea.imprimir = QStringLiteral("SOAK");
    return p;
}

// ENVIAR until stored; false only when the run gives up.
bool SendUntilStored(data::MariaDbConnection& c, SoakOrder& o, Shared& shared) {
    sending::SendOptions options;
    options.connectionString = bench::TerminalConnectionString();
    const bench::Clock::time_point start = bench::Clock::now();
    while (!shared.giveUp) {
        const sending::SendResult r = sending::SendOrder(c, o.pedido, o.idEnvio, options);
        if (r.Stored()) {
            o.numero = r.numero;
            o.stored = true;
            o.ms = bench::MsSince(start);
            return true;
        }
        ++o.failedSends;
        options.enDuda = r.enDuda;  // a lost outcome is settled before the next try
        QThread::msleep(kRetryPauseMs);
    }
    return false;
}

void PrintTickets(printers::CupsPrintingSystem& cups, SoakOrder& o, const Shared& shared) {
    sending::TicketInput in;
    in.numero = o.numero;
    in.empresa = QStringLiteral("Restaurant de prueba");
    in.fecha = QDate::currentDate();
    in.mesonero = o.pedido.mesonero;
    in.mesa = o.pedido.mesa;
    in.lineas = o.pedido.lineas;
    in.reloj = [] { return QTime::currentTime(); };
    bool all = true;
    for (const sending::Ticket& t : sending::LayOutTickets(in, shared.modelo)) {
        const sending::JobResult r = cups.PrintTicket(shared.queue, t);
        if (!r.ok) qWarning("soak: ticket %s of %s not taken: %s", qPrintable(t.title), qPrintable(o.numero),
                            qPrintable(r.error));
        all = all && r.ok;
    }
    o.ticketPrinted = all;
}

}  // namespace

std::vector<SoakOrder> OrdersOf(int t, int count) {
    std::vector<SoakOrder> orders;
    orders.reserve(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        SoakOrder o;
        o.idEnvio = sending::NewSendId();
        o.pedido = Order(t, k);
        orders.push_back(std::move(o));
    }
    return orders;
}

std::vector<bench::SentOrder> AsSent(const std::vector<std::vector<SoakOrder>>& all) {
    std::vector<bench::SentOrder> sent;
    for (const std::vector<SoakOrder>& orders : all)
        for (const SoakOrder& o : orders) sent.push_back({o.pedido.lineas, o.idEnvio, o.numero, o.stored});
    return sent;
}

void RunTerminal(int, std::vector<SoakOrder>& orders, Shared& shared) {
    data::MariaDbConnection c;
    try {
        c.Open(bench::TerminalConnectionString());
    } catch (const rt::RuntimeError& e) {
        qWarning("soak: first connection failed: %s", qPrintable(e.description()));  // SendOrder connects again
    }
    printers::CupsPrintingSystem cups(shared.cupsServer);
    for (SoakOrder& o : orders) {
        if (!SendUntilStored(c, o, shared)) return;
        ++shared.stored;
        PrintTickets(cups, o, shared);
        QThread::msleep(kPauseBetweenOrdersMs);
    }
}

}  // namespace soak
