#pragma once
// What the campaign's terminals were told, against what the database and
// the kitchen printer got, and the orders each verdict concerns.
#include <QStringList>
#include <vector>

#include "fault_campaign/campaign.h"
#include "fault_campaign/campaign_run.h"
#include "support/kitchen_printer.h"
#include "support/stored_orders.h"

namespace campaign {

// The orders as the check reads them back: each chef's note as the
// installation's note columns hold it (`noteWidth` characters; 0: whole).
std::vector<bench::SentOrder> AsSent(const std::vector<CampaignOrder>& orders, int noteWidth);

// Every stored order's tickets at the printer once (as many as its layout
// has), waiting up to `seconds` for the kitchen queue to catch up; each
// ticket number that is not so is named with its order.
TicketCheck CheckTickets(const std::vector<CampaignOrder>& orders, const bench::KitchenPrinter& printer, int seconds);

// One order as a failed check names it: its key, table, terminal, send,
// ticket number and what its terminal did with it.
QString Describe(const CampaignOrder& o);
// The lines naming `problems` of the tickets check.
QStringList DescribeTickets(const std::vector<TicketProblem>& problems, const std::vector<CampaignOrder>& orders);

}  // namespace campaign
