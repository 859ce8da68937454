#pragma once
// How readable one colour is on another: the contrast ratio of their
// relative luminances (sRGB), 1 (none) to 21 (black on white). Text wants at
// least 4.5, the edge that shows where a control ends at least 3. Pure
// functions.
#include <QColor>

namespace widgets {

inline constexpr double kTextContrast = 4.5;
inline constexpr double kEdgeContrast = 3.0;
// What outlines are drawn for: a little over the least, so that an edge
// still shows where a frame's one-pixel line, a shade darker than the page,
// runs beside it.
inline constexpr double kEdgeAim = 3.3;

double ContrastRatio(const QColor& a, const QColor& b);

// Black or white, whichever reads better on `background`: on any colour
// one of the two reaches at least 4.5.
QColor ReadableTextOn(const QColor& background);

// `wanted` when it stands at least `ratio` against `against`; otherwise the
// nearest shade of it, mixed towards black or towards white (whichever needs
// less), that does. Black or white reaches 4.58 against any colour, so every
// ratio up to that is met; a higher one gets black or white.
QColor ShadeReaching(const QColor& wanted, const QColor& against, double ratio);

}  // namespace widgets
