#pragma once
// An order line as the 15 cells of its grid row, for tests that build orders
// without going through the screen.
#include <QStringList>

#include "order_screen/order_lines.h"

namespace testsupport {

inline QStringList OrderRow(const order_screen::OrderLine& l, const QStringList& contornos = {}) {
    return order_screen::RowCells(l, contornos);
}

}  // namespace testsupport
