#pragma once
// A kitchen ticket as it goes on paper: the operations a ticket printer is
// given, in order (sizes, positions, printed lines, the end of the document).
// ESC/POS text and a driver's page are both drawn from these.
#include <QString>
#include <vector>

#include "sending/ticket.h"

namespace sending {

struct TicketPaper {
    QString title;  // the ticket's title, which names its job
    std::vector<PrintOp> ops;

    bool operator==(const TicketPaper&) const = default;
};

// The ticket's header, its lines (rules, quantities, names split at 29
// characters, side dishes, cooking point, note) and its end.
TicketPaper PaperOf(const Ticket& ticket);

}  // namespace sending
