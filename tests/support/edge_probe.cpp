#include "support/edge_probe.h"

#include <algorithm>

#include "widgets/contrast.h"

double testsupport::WeakestEdge(const QImage& shot, const QRect& r, const QColor& page) {
    const auto at = [&](int x, int y) { return widgets::ContrastRatio(shot.pixelColor(x, y), page); };
    const QPoint c = r.center();
    return std::min({std::max(at(r.left(), c.y()), at(r.left() + 1, c.y())),
                     std::max(at(r.right(), c.y()), at(r.right() - 1, c.y())),
                     std::max(at(c.x(), r.top()), at(c.x(), r.top() + 1)),
                     std::max(at(c.x(), r.bottom()), at(c.x(), r.bottom() - 1))});
}
