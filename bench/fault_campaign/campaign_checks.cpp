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

std::vector<bench::SentOrder> AsSent(const std::vector<CampaignOrder>& orders) {
    std::vector<bench::SentOrder> sent;
    sent.reserve(orders.size());
    for (const CampaignOrder& o : orders) sent.push_back({o.pedido.lineas, o.idEnvio, o.numero, o.reported});
    return sent;
}

TicketCheck CheckTickets(const std::vector<CampaignOrder>& orders, const bench::KitchenPrinter& printer, int seconds) {
    const QStringList modelo = bench::DemoModelo();
    std::map<QString, int> expected;
    for (const CampaignOrder& o : orders)
        if (o.reported) expected[o.numero] += TicketsOf(o, modelo);
    const std::map<QString, int> received = printer.WaitForTickets(expected, seconds);
    TicketCheck c;
    for (const auto& [numero, count] : expected) {
        c.expected += count;
        const auto it = received.find(numero);
        const int got = it == received.end() ? 0 : it->second;
        c.missing += got < count ? 1 : 0;
        c.twice += got > count ? 1 : 0;
    }
    for (const auto& [numero, count] : received) c.strays += expected.count(numero) ? 0 : 1;
    return c;
}

}  // namespace campaign
