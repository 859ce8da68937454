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

// The face colour of a graphical-style button; its caption turns black or
// white, whichever reads better on it.
void SetFaceColor(QAbstractButton* button, const QColor& color);
QColor FaceColor(const QAbstractButton* button);

}  // namespace widgets
