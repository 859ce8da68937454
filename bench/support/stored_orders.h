#pragma once
// Reading back what terminals sent: every order found in the order tables
// (D_Fact_r, comanda and the send record envios) as often as it should be.
// Each line of each order carries a chef's note no other line carries, the
// way its rows are found again.
#include <QString>
#include <QStringList>
#include <map>
#include <vector>

#include "order/order.h"
#include "support/bare_client.h"

namespace bench {

struct SentOrder {
    std::vector<order::Line> lineas;  // its lines, as sent
    QString idEnvio;                 // the send that stored it, when known
    QString numero;                  // the ticket number the terminal was given
    bool reported = false;           // the terminal was told it is stored
};

struct StoredCheck {
    int storedOnce = 0;          // reported orders found once, under their number
    int lost = 0;                // reported stored, not found
    int doubled = 0;             // orders (reported or not) found more than once
    int torn = 0;                // orders found with some of their rows only
    int wrongNumber = 0;         // found under another ticket number than reported
    int unreportedStored = 0;    // not reported, found once (an outcome not settled yet)
    int ticketNumbersTwice = 0;  // ticket numbers drawn by more than one send
    QString firstProblem;
    // Which orders (their places in the list checked): reported and missing;
    // stored twice, in part or under another number.
    std::vector<size_t> lostOrders, brokenOrders;

    bool Clean() const { return lost == 0 && doubled == 0 && torn == 0 && wrongNumber == 0 && ticketNumbersTwice == 0; }
};

// What the order tables hold: rows by key (a line's chef's note, a send's
// id), each with how many there are and the ticket number they carry.
struct StoredRows {
    struct Found {
        int count = 0;
        QString numero;
    };
    std::map<QString, Found> envios;       // by send id
    std::map<QString, Found> lines;        // D_Fact_r by chef's note
    std::map<QString, Found> ticketLines;  // comanda by chef's note
    int numbersTwice = 0;                  // send records beyond one per ticket number
};
StoredRows ReadStoredRows(BareClient& root);

// How often each order is stored.
StoredCheck Classify(const std::vector<SentOrder>& orders, StoredRows rows);
// Both, read as root through `root`.
StoredCheck CheckStored(BareClient& root, const std::vector<SentOrder>& orders);

}  // namespace bench
