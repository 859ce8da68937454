#pragma once
// What the campaign's terminals were told, against what the database and
// the kitchen printer got.
#include <vector>

#include "fault_campaign/campaign.h"
#include "fault_campaign/campaign_run.h"
#include "support/kitchen_printer.h"
#include "support/stored_orders.h"

namespace campaign {

std::vector<bench::SentOrder> AsSent(const std::vector<CampaignOrder>& orders);

// Every stored order's tickets at the printer once (as many as its layout
// has), waiting up to `seconds` for the kitchen queue to catch up.
TicketCheck CheckTickets(const std::vector<CampaignOrder>& orders, const bench::KitchenPrinter& printer, int seconds);

}  // namespace campaign
