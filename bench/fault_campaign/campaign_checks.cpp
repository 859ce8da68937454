#include "fault_campaign/campaign_checks.h"

#include <QTime>
#include <map>

#include "sending/ticket_layout.h"
#include "support/orders.h"

namespace campaign {
namespace {

// How many tickets the layout makes of the order (each carries its number).
int TicketsOf(const CampaignOrder& o, const QStringList& modelo) {
    sending::TicketInput in;
    in.numero = o.numero;
    in.mesonero = o.pedido.mesonero;
    in.mesa = o.pedido.mesa;
    in.lineas = o.pedido.lineas;
    in.reloj = [] { return QTime::currentTime(); };
    return static_cast<int>(sending::LayOutTickets(in, modelo).size());
}

}  // namespace

std::vector<bench::SentOrder> AsSent(const std::vector<CampaignOrder>& orders, int noteWidth) {
    std::vector<bench::SentOrder> sent;
    sent.reserve(orders.size());
    for (const CampaignOrder& o : orders) {
        std::vector<order::Line> lineas = o.pedido.lineas;
        if (noteWidth > 0)
            for (order::Line& l : lineas) l.observacion.truncate(noteWidth);
        sent.push_back({std::move(lineas), o.idEnvio, o.numero, o.reported});
    }
    return sent;
}

TicketCheck CheckTickets(const std::vector<CampaignOrder>& orders, const bench::KitchenPrinter& printer, int seconds) {
    const QStringList modelo = bench::DemoModelo();
    std::map<QString, int> expected, orderOf;
    for (size_t i = 0; i < orders.size(); ++i) {
        const CampaignOrder& o = orders[i];
        if (!o.reported) continue;
        expected[o.numero] += TicketsOf(o, modelo);
        orderOf[o.numero] = static_cast<int>(i);
    }
    const std::map<QString, int> received = printer.WaitForTickets(expected, seconds);
    TicketCheck c;
    for (const auto& [numero, count] : expected) {
        c.expected += count;
        const auto it = received.find(numero);
        const int got = it == received.end() ? 0 : it->second;
        c.missing += got < count ? 1 : 0;
        c.twice += got > count ? 1 : 0;
        c.ticketsMissing += std::max(0, count - got);
        if (got != count) c.problems.push_back({numero, count, got, orderOf[numero]});
    }
    for (const auto& [numero, count] : received) {
        if (expected.count(numero)) continue;
        ++c.strays;
        c.problems.push_back({numero, 0, count, -1});
    }
    return c;
}

QString Describe(const CampaignOrder& o) {
    return QStringLiteral("order %1 (table %2, terminal %3, send %4, ticket %5%6): %7")
        .arg(o.key, o.pedido.mesa)
        .arg(o.terminal)
        .arg(o.idEnvio.isEmpty() ? QStringLiteral("-") : o.idEnvio, o.numero.isEmpty() ? QStringLiteral("-") : o.numero,
             o.reported ? QStringLiteral(", reported stored") : QString(),
             o.story.isEmpty() ? QStringLiteral("nothing logged") : o.story.join(QStringLiteral("; ")));
}

QStringList DescribeTickets(const std::vector<TicketProblem>& problems, const std::vector<CampaignOrder>& orders) {
    QStringList lines;
    for (const TicketProblem& p : problems) {
        const QString head = QStringLiteral("ticket number %1: %2 expected, %3 at the printer")
                                 .arg(p.numero).arg(p.expected).arg(p.received);
        const bool known = p.order >= 0 && static_cast<size_t>(p.order) < orders.size();
        lines << head + QStringLiteral(" — ") +
                     (known ? Describe(orders[static_cast<size_t>(p.order)]) : QStringLiteral("of no stored order"));
    }
    return lines;
}

}  // namespace campaign
