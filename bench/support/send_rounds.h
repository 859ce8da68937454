#pragma once
// Rounds of concurrent sends: terminals, each a thread with its own
// connection, sending the same order over and over for a fixed time, on
// order tables emptied before the round (ticket counter back to 1). After
// the round the ticket numbers drawn twice are counted, among the sends and
// among the stored ones.
#include <QString>
#include <functional>
#include <vector>

#include "sending/send_order.h"

namespace bench {

// The orders of a round: 10 lines, terminal t on table 1 + t % 20.
constexpr int kRoundLines = 10;
constexpr int kRoundTables = 20;
order::Order RoundOrder(int terminal);

// What one send gave: its ticket number ("" when it did not go through) and
// how many times it was run as a whole.
struct Sent {
    QString numero;
    int runs = 1;
};
using Sender = std::function<Sent()>;
// Gives terminal t its sender, its connection opened before the clock starts.
using MakeSender = std::function<Sender(int terminal)>;

// A terminal's send through SendOrder, with the product's default options
// apart from where to reconnect.
Sender OrderSender(const QString& connectionString, const order::Order& order);

struct SendRound {
    std::vector<double> latencies;  // ms of each send that went through
    std::vector<QString> tickets;   // their ticket numbers
    int failed = 0;
    int mostRuns = 0;  // whole-send runs of the unluckiest send
    double seconds = 0;
    int duplicates = 0;  // ticket numbers drawn twice
    int stored = 0;      // sends found in table envios afterwards

    void Add(const SendRound& r);
    double PerSecond() const;
};

// Where a round's sends go: the senders, and root's local socket on the
// database they store into (any node of a cluster).
struct SendTarget {
    QString rootSocket;
    MakeSender makeSender;
};

// A round of `terminals` for `seconds` on emptied order tables.
SendRound RunSendRound(const SendTarget& target, int terminals, int seconds);

// The figures' value and floor, measured for SecondsPerRound() each, split
// in two halves taking turns, so that both meet the same moments of the machine.
struct SendComparison {
    SendRound value;
    SendRound floor;
};
SendComparison CompareSends(const SendTarget& value, const SendTarget& floor, int terminals);

}  // namespace bench
