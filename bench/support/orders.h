#pragma once
// Orders for the benchmarks: lines of the demo restaurant's products as the
// screen's grid holds them, and the regional formats start-up forces (the
// threads that send without a screen need them too).
#include <QString>
#include <QStringList>

#include "order_screen/order_lines.h"
#include "sending/send_order.h"

namespace bench {

// Day-first dates, decimal comma, thousands point.
void UseTerminalFormats();

// Line `i` of an order: a demo product (kitchen, grill and bar dishes in
// turn), quantity 1, with `note` as the chef's note.
order::Line DemoLine(int i, const QString& note = QString());

// An order of `lines` demo lines for table `mesa`; each note is
// `notePrefix` + "-l" + line number (a way to find the lines once stored).
order::Order DemoOrder(const QString& mesa, int lines, const QString& notePrefix = QString());

// The lines of the demo's Modelo.txt (print groups), as the terminal reads them.
QStringList DemoModelo();

// Puts `lines` demo lines on the order screen's grid, as item entry does.
void PutLinesOnScreen(int lines);

}  // namespace bench
