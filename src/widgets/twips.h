#pragma once
// Control geometry is kept in twips, 15 to a pixel on a standard screen at
// the design size; the layout factor chosen at start-up (screen_scale.h)
// multiplies every one of them.
#include <QWidget>
#include <cmath>

#include "widgets/screen_scale.h"

namespace widgets {

constexpr int kTwipsPerPixel = 15;

// Twips to pixels at the layout factor, to the nearest pixel.
inline int Twips(int twips) {
    return static_cast<int>(std::lround(twips * LayoutScale() / kTwipsPerPixel));
}

// Places `w` at (left, top) with (width, height), all in twips. Sizes are
// taken between rounded edges, so controls that meet in the design still meet.
inline void PlaceTwips(QWidget* w, int left, int top, int width, int height) {
    const int x = Twips(left), y = Twips(top);
    w->setGeometry(x, y, Twips(left + width) - x, Twips(top + height) - y);
}

}  // namespace widgets
