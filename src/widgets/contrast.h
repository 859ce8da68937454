#pragma once
// How readable one colour is on another: the contrast ratio of their
// relative luminances (sRGB), 1 (none) to 21 (black on white). Text wants at
// least 4.5. Pure functions.
#include <QColor>

namespace widgets {

double ContrastRatio(const QColor& a, const QColor& b);

// Black or white, whichever reads better on `background`: on any colour
// one of the two reaches at least 4.5.
QColor ReadableTextOn(const QColor& background);

}  // namespace widgets
