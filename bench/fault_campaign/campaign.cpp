#include "fault_campaign/campaign.h"

#include "order_screen/order_lines.h"
#include "support/orders.h"

namespace campaign {

order::Order CampaignOrderContent(const QString& notePrefix, int k) {
    order::Order p = bench::DemoOrder(QString::number(1 + k % 30), 1 + k % 3,
                                              QStringLiteral("%1%2").arg(notePrefix).arg(k));
    // A print group Modelo.txt does not list: the full copy is the only ticket.
    if (k % 4 != 0)
        for (order::Line& linea : p.lineas) linea.imprimir = QStringLiteral("CAMPANA");
    return p;
}

void Shared::Problem(const QString& text) {
    std::lock_guard lock(mutex_);
    if (!problems_.contains(text)) problems_ << text;
}

QStringList Shared::Problems() const {
    std::lock_guard lock(mutex_);
    return problems_;
}

}  // namespace campaign
