#pragma once
// Control geometry is kept in twips, 15 to a pixel on a standard screen.
#include <QWidget>

namespace widgets {

constexpr int kTwipsPerPixel = 15;

// Twips to pixels, to the nearest pixel.
constexpr int Twips(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

// Places `w` at (left, top) with (width, height), all in twips.
inline void PlaceTwips(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(Twips(left), Twips(top), Twips(width), Twips(height));
}

}  // namespace widgets
