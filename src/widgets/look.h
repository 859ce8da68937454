#pragma once
// Fonts and colours the forms use.
#include <QColor>
#include <QFont>

class QWidget;
class QAbstractButton;

namespace widgets {

// The forms' font, "MS Sans Serif" (fontconfig picks the nearest sans face),
// at `points` of the design multiplied by the layout factor.
QFont SansSerif(double points, bool bold = false, bool italic = false);

// Shrinks the font of a fixed caption until it fits the control's width on
// one line: the forms were drawn for a narrower face than the ones Linux
// offers, and a caption cut off helps nobody. It never goes below the least
// size that reads (MinimumTextPixels); there the letters are narrowed instead.
void FitCaption(QWidget* w, const QString& caption);

// Paints `w`'s background in `color` (labels, frames).
void SetBackColor(QWidget* w, const QColor& color);

// The colour `w` stands on: the background of the nearest widget above it
// that paints one (a frame with a back colour, or the window), shaded as the
// style shades the inside of each framed group box on the way.
QColor BackgroundBehind(const QWidget* w);
// The colour inside a framed group box laid on `under`.
QColor GroupBoxInside(const QColor& under);

// Writes `w`'s text in `color`, or in the nearest shade of it that reads
// (4.5:1) on the background the text stands on.
void SetTextColor(QWidget* w, const QColor& color);

// The face colour of a graphical-style button; its caption turns black or
// white, whichever reads better on it.
void SetFaceColor(QAbstractButton* button, const QColor& color);
QColor FaceColor(const QAbstractButton* button);

}  // namespace widgets
