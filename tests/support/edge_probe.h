#pragma once
#include <QImage>

namespace testsupport {

// The weakest side of `control` (its rectangle in `shot`): at each side's
// middle, the stronger against `page` of its two outermost pixels.
double WeakestEdge(const QImage& shot, const QRect& control, const QColor& page);

}  // namespace testsupport
