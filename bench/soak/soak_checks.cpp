#include <QSet>

#include "order_screen/order_lines.h"
#include "soak/soak.h"
#include "support/bare_client.h"

namespace soak {
namespace {

// "key\tcount\tvalue" rows into key → (count, value).
std::map<QString, std::pair<int, QString>> Grouped(bench::BareClient& root, const QString& sql) {
    std::map<QString, std::pair<int, QString>> out;
    for (const QString& row : root.Rows(sql)) {
        const QStringList f = row.split(QLatin1Char('\t'));
        out[f.value(0)] = {f.value(1).toInt(), f.value(2)};
    }
    return out;
}

void Problem(CheckResult& r, const QString& text) {
    if (r.firstProblem.isEmpty()) r.firstProblem = text;
}

// One order: its send once with its number, each line once in D_Fact_r
// and once in comanda under that number.
bool StoredOnce(const SoakOrder& o, std::map<QString, std::pair<int, QString>>& envios,
                std::map<QString, std::pair<int, QString>>& lines,
                std::map<QString, std::pair<int, QString>>& ticketLines, CheckResult& r) {
    const auto send = envios.find(o.idEnvio);
    if (send == envios.end()) {
        ++r.lost;
        Problem(r, QStringLiteral("send %1 (ticket %2) not in envios").arg(o.idEnvio, o.numero));
        return false;
    }
    bool ok = send->second.second == o.numero;
    if (!ok) Problem(r, QStringLiteral("send %1 stored as %2, reported %3").arg(o.idEnvio, send->second.second, o.numero));
    for (const QStringList& fila : o.pedido.filas) {
        const QString note = fila[order_screen::kColObservacion];
        const auto line = lines[note], ticket = ticketLines[note];
        if (line.first != 1 || ticket.first != 1) {
            (line.first > 1 || ticket.first > 1 ? r.doubled : r.lost) += 1;
            Problem(r, QStringLiteral("line %1: %2 in D_Fact_r, %3 in comanda").arg(note).arg(line.first).arg(ticket.first));
            ok = false;
        } else if (ticket.second != o.numero) {
            Problem(r, QStringLiteral("line %1 under ticket %2, not %3").arg(note, ticket.second, o.numero));
            ok = false;
        }
    }
    return ok;
}

}  // namespace

CheckResult CheckStored(const std::vector<std::vector<SoakOrder>>& all) {
    bench::BareClient root;
    bench::ConnectAsRoot(root);
    auto envios = Grouped(root, QStringLiteral("select id_envio, count(*), max(numero) from envios group by id_envio"));
    auto lines = Grouped(root, QStringLiteral("select observacion, count(*), max(n_factura) from D_Fact_r group by observacion"));
    auto ticketLines = Grouped(root, QStringLiteral("select observacion, count(*), max(numero) from comanda group by observacion"));
    CheckResult r;
    QSet<QString> numbers;
    for (const std::vector<SoakOrder>& orders : all) {
        for (const SoakOrder& o : orders) {
            if (!o.stored) continue;
            if (StoredOnce(o, envios, lines, ticketLines, r)) ++r.storedOnce;
            if (numbers.contains(o.numero)) ++r.ticketNumbersTwice;
            numbers.insert(o.numero);
        }
    }
    r.ticketNumbersTwice += root.Value(QStringLiteral("select count(*) - count(distinct numero) from envios")).toInt();
    return r;
}

}  // namespace soak
