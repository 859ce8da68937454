#pragma once
#include <QImage>

namespace testsupport {

// The weakest side of `control` (its rectangle in `shot`): at each side's
// middle, the stronger against `page` of its two outermost pixels.
double WeakestEdge(const QImage& shot, const QRect& control, const QColor& page);
// The same against what the shot shows just outside each side (sides at the
// shot's border are not judged).
double WeakestEdgeOnSurroundings(const QImage& shot, const QRect& control);

}  // namespace testsupport
