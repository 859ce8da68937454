#pragma once
// The soak: terminals (threads, each with its own connection) send orders
// through SendOrder and print their tickets through CUPS while the database
// server is restarted twice and the kitchen printer is switched off once.
// An order that fails stays "on the screen" and is sent again, under the
// same send id and checked first, until it is stored.
#include <QString>
#include <QStringList>
#include <atomic>
#include <vector>

#include "sending/send_order.h"
#include "support/stored_orders.h"

namespace soak {

constexpr int kTerminals = 8;
constexpr int kOrders = 2000;
// A busy waiter, not a loop: 8 terminals send about 30 orders a second,
// which the kitchen queue's one job at a time still keeps up with (CUPS
// refuses new jobs beyond 500 waiting).
constexpr int kPauseBetweenOrdersMs = 250;
constexpr int kRetryPauseMs = 300;          // ENVIAR pressed again

struct SoakOrder {
    QString idEnvio;
    order::Order pedido;
    QString numero;        // as the send reported it
    bool stored = false;   // the terminal was told it is stored
    int failedSends = 0;   // sends that returned without storing it
    bool ticketPrinted = false;  // CUPS took its ticket
    double ms = 0;         // from the first ENVIAR until stored
};

struct Shared {
    std::atomic<int> stored{0};
    std::atomic<bool> giveUp{false};
    QStringList modelo;    // the lines of Modelo.txt
    QString cupsServer, queue;
};

// The orders of terminal `t`, decided before anything starts.
std::vector<SoakOrder> OrdersOf(int t, int count);
// Terminal `t`'s loop over its orders.
void RunTerminal(int t, std::vector<SoakOrder>& orders, Shared& shared);

// What the check reads back: the orders of every terminal.
std::vector<bench::SentOrder> AsSent(const std::vector<std::vector<SoakOrder>>& all);

}  // namespace soak
