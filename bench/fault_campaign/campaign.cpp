#include "fault_campaign/campaign.h"

#include "order_screen/order_lines.h"
#include "support/orders.h"

namespace campaign {

namespace {

// Longer than comanda.mesonero (60) and the chef's note columns (500) of the
// demo installation: a waiter's full name, and a note written at length.
// The note's own key stays in front, where the cut keeps it.
const QString kLongWaiter = QString::fromUtf8("María Fernández de los Santos Rodríguez y Pérez de la Concepción Ávila");
constexpr int kLongNoteChars = 700;

}  // namespace

bool OverlongOrder(int k) { return k % 9 == 5; }

order::Order CampaignOrderContent(const QString& notePrefix, int k, bool overlong) {
    order::Order p = bench::DemoOrder(QString::number(1 + k % 30), 1 + k % 3,
                                              QStringLiteral("%1%2").arg(notePrefix).arg(k));
    if (overlong) {
        p.mesonero = kLongWaiter;
        for (order::Line& linea : p.lineas)
            linea.observacion = (linea.observacion + QLatin1Char(' ')).leftJustified(kLongNoteChars, QLatin1Char('x'));
    }
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
