#pragma once
// The kitchen tickets of one send, laid out without a printer: the full copy
// ("ASISTENTE"), the chef copy ("CHEF") and one ticket per print group, from
// the order and the lines of Modelo.txt: which lines go on which ticket.
#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>
#include <functional>
#include <optional>
#include <vector>

#include "order/order.h"
#include "sending/ticket.h"

namespace sending {

struct TicketInput {
    QString numero;    // ticket number of the send (may be empty)
    QString empresa;   // business name
    QDate fecha;       // the server date refreshed by the send
    QString mesonero;  // waiter name
    QString mesa;      // table number
    // The order's lines; one without a code is not printed.
    std::vector<order::Line> lineas;
    // The terminal's own clock, read once for every ticket laid out.
    std::function<QTime()> reloj;
};

// `modelo`: the lines of Modelo.txt as read from the top (empty lines and all),
// or nullopt when the file could not be opened or read.
std::vector<Ticket> LayOutTickets(const TicketInput& entrada,
                                  const std::optional<QStringList>& modelo);

}  // namespace sending
