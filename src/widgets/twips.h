#pragma once
// Control geometry is kept in twips, 15 to a pixel on a standard screen at
// the design size. The order screen's controls are stretched to the panel
// (a factor across and one down, screen_scale.h); the boxes and the start-up
// form keep their shape (the uniform factor).
#include <QWidget>
#include <cmath>

#include "widgets/screen_scale.h"

namespace widgets {

constexpr int kTwipsPerPixel = 15;

inline int TwipsAt(int twips, double factor) {
    return static_cast<int>(std::lround(twips * factor / kTwipsPerPixel));
}

// Twips to pixels, to the nearest pixel: at the uniform factor, across and
// down.
inline int Twips(int twips) { return TwipsAt(twips, LayoutScale()); }
inline int TwipsAcross(int twips) { return TwipsAt(twips, Layout().across); }
inline int TwipsDown(int twips) { return TwipsAt(twips, Layout().down); }

// Places `w` at (left, top) with (width, height), all in twips, at the
// factors given. Sizes are taken between rounded edges, so controls that meet
// in the design still meet.
inline void PlaceTwipsAt(QWidget* w, LayoutFactors f, int left, int top, int width, int height) {
    const int x = TwipsAt(left, f.across), y = TwipsAt(top, f.down);
    w->setGeometry(x, y, TwipsAt(left + width, f.across) - x, TwipsAt(top + height, f.down) - y);
}

// A box or form that keeps its shape.
inline void PlaceTwips(QWidget* w, int left, int top, int width, int height) {
    const double u = LayoutScale();
    PlaceTwipsAt(w, {u, u}, left, top, width, height);
}

// A control of the order screen, stretched with the panel.
inline void PlaceOnPanel(QWidget* w, int left, int top, int width, int height) {
    PlaceTwipsAt(w, Layout(), left, top, width, height);
}

}  // namespace widgets
