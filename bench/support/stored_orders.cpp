#include "support/stored_orders.h"

#include <QSet>
#include <algorithm>

#include "order_screen/order_lines.h"

namespace bench {
namespace {

using Found = StoredRows::Found;
using Table = std::map<QString, Found>;

// "key\tcount\tvalue" rows into key → (count, value).
Table Grouped(BareClient& root, const QString& sql) {
    Table out;
    for (const QString& row : root.Rows(sql)) {
        const QStringList f = row.split(QLatin1Char('\t'));
        out[f.value(0)] = {f.value(1).toInt(), f.value(2)};
    }
    return out;
}

void Problem(StoredCheck& r, const QString& text) {
    if (r.firstProblem.isEmpty()) r.firstProblem = text;
}

// How many times the order is stored: its lines' count in D_Fact_r and in
// comanda when they all agree; -1 when they do not (a send stored in part).
int TimesStored(const SentOrder& o, StoredRows& t, QString* numero) {
    int times = -2;
    for (const order::Line& linea : o.lineas) {
        const QString note = linea.observacion;
        const Found line = t.lines[note], ticket = t.ticketLines[note];
        if (line.count != ticket.count || (times != -2 && line.count != times)) return -1;
        times = line.count;
        if (ticket.count > 0) *numero = ticket.numero;
    }
    return std::max(times, 0);
}

void ClassifyOne(const SentOrder& o, size_t at, StoredRows& t, StoredCheck& r) {
    QString numero;
    const int times = TimesStored(o, t, &numero);
    const QString name = o.lineas.empty() ? QString() : o.lineas.front().observacion;
    if (times < 0) {
        ++r.torn;
        r.brokenOrders.push_back(at);
        return Problem(r, QStringLiteral("order of line %1 stored in part").arg(name));
    }
    if (times > 1) {
        ++r.doubled;
        r.brokenOrders.push_back(at);
        return Problem(r, QStringLiteral("order of line %1 stored %2 times").arg(name).arg(times));
    }
    if (!o.reported) {
        r.unreportedStored += times;
        return;
    }
    if (times == 0) {
        ++r.lost;
        r.lostOrders.push_back(at);
        return Problem(r, QStringLiteral("order of line %1 (ticket %2) reported stored, not found").arg(name, o.numero));
    }
    const Found send = o.idEnvio.isEmpty() ? Found{1, numero} : t.envios[o.idEnvio];
    if (numero != o.numero || send.count != 1 || send.numero != o.numero) {
        ++r.wrongNumber;
        r.brokenOrders.push_back(at);
        return Problem(r, QStringLiteral("order of line %1 reported as ticket %2, stored as %3 (%4 send records, as %5)")
                              .arg(name, o.numero, numero).arg(send.count).arg(send.numero));
    }
    ++r.storedOnce;
}

}  // namespace

StoredRows ReadStoredRows(BareClient& root) {
    StoredRows t;
    t.envios = Grouped(root, QStringLiteral("select id_envio, count(*), max(numero) from envios group by id_envio"));
    t.lines = Grouped(root, QStringLiteral("select observacion, count(*), max(n_factura) from D_Fact_r group by observacion"));
    t.ticketLines = Grouped(root, QStringLiteral("select observacion, count(*), max(numero) from comanda group by observacion"));
    t.numbersTwice = root.Value(QStringLiteral("select count(*) - count(distinct numero) from envios")).toInt();
    return t;
}

StoredCheck Classify(const std::vector<SentOrder>& orders, StoredRows rows) {
    StoredCheck r;
    QSet<QString> numbers;
    for (size_t i = 0; i < orders.size(); ++i) {
        const SentOrder& o = orders[i];
        ClassifyOne(o, i, rows, r);
        if (!o.reported) continue;
        if (numbers.contains(o.numero)) ++r.ticketNumbersTwice;
        numbers.insert(o.numero);
    }
    r.ticketNumbersTwice += rows.numbersTwice;
    return r;
}

StoredCheck CheckStored(BareClient& root, const std::vector<SentOrder>& orders) {
    return Classify(orders, ReadStoredRows(root));
}

}  // namespace bench
