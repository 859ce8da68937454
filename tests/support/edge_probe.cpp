#include "support/edge_probe.h"

#include <algorithm>
#include <array>

#include "widgets/contrast.h"

double testsupport::WeakestEdge(const QImage& shot, const QRect& r, const QColor& page) {
    const auto at = [&](int x, int y) { return widgets::ContrastRatio(shot.pixelColor(x, y), page); };
    const QPoint c = r.center();
    return std::min({std::max(at(r.left(), c.y()), at(r.left() + 1, c.y())),
                     std::max(at(r.right(), c.y()), at(r.right() - 1, c.y())),
                     std::max(at(c.x(), r.top()), at(c.x(), r.top() + 1)),
                     std::max(at(c.x(), r.bottom()), at(c.x(), r.bottom() - 1))});
}

double testsupport::WeakestEdgeOnSurroundings(const QImage& shot, const QRect& r) {
    const QPoint c = r.center();
    // Each side: its two outermost pixels, then the one just outside.
    const std::array<std::array<QPoint, 3>, 4> sides = {{{QPoint(r.left(), c.y()), {r.left() + 1, c.y()}, {r.left() - 1, c.y()}},
                                                          {QPoint(r.right(), c.y()), {r.right() - 1, c.y()}, {r.right() + 1, c.y()}},
                                                          {QPoint(c.x(), r.top()), {c.x(), r.top() + 1}, {c.x(), r.top() - 1}},
                                                          {QPoint(c.x(), r.bottom()), {c.x(), r.bottom() - 1}, {c.x(), r.bottom() + 1}}}};
    double weakest = 21;
    for (const auto& side : sides) {
        if (!shot.rect().contains(side[2])) continue;
        const QColor outside = shot.pixelColor(side[2]);
        weakest = std::min(weakest, std::max(widgets::ContrastRatio(shot.pixelColor(side[0]), outside),
                                             widgets::ContrastRatio(shot.pixelColor(side[1]), outside)));
    }
    return weakest;
}
