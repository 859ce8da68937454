#pragma once
// The forms are drawn in twips and points for one design size. On the
// terminal's panel the order screen is stretched to the whole available area,
// with a factor of its own across and one down, so that every control keeps
// its place relative to the others and the extra room of a squarer panel goes
// to taller buttons, lists and grid. Fonts, icons and the boxes follow the
// smaller of the two factors, and no text is drawn smaller than a waiter can
// read at arm's length.
#include <QSize>

class QScreen;
class QWidget;

namespace widgets {

// The order screen's size at factor 1, in pixels: the grid reaches 20175
// twips across and the button bar 9615 down, inside a 20400 x 9840 window.
inline constexpr QSize kDesignSize{1360, 656};

// How far one direction may be stretched beyond the other: a 5:4 panel needs
// 1.66; a panel on its side would need more, and then the screen keeps this
// shape and is centred.
inline constexpr double kMostStretch = 1.75;

struct LayoutFactors {
    double across = 1;  // horizontal positions and widths
    double down = 1;    // vertical positions and heights
    // Fonts, icons, spacing and the boxes, which keep their shape.
    double Uniform() const { return across < down ? across : down; }
    bool operator==(const LayoutFactors&) const = default;
};

// The factors in force (1 and 1 until start-up chooses them).
LayoutFactors Layout();
void SetLayout(LayoutFactors factors);
// The same factor both ways (the design's own shape).
void SetLayoutScale(double factor);
// The smaller factor: the one fonts, icons and boxes follow.
double LayoutScale();

// The factors that stretch `design` over `available` (1 and 1 for an empty
// size), one direction held to at most kMostStretch times the other. Pure:
// the rule the start-up applies to the screen.
LayoutFactors FillFactors(QSize design, QSize available);

// The factors for `screen`: its available area, less a title bar when a
// window manager decorates the window, filled by kDesignSize. 1 and 1 when
// one of Qt's own scaling variables (QT_SCALE_FACTOR,
// QT_SCREEN_SCALE_FACTORS) is set: then Qt scales the design, and the program
// does not scale it again.
LayoutFactors FactorsForScreen(const QScreen* screen, bool windowManager);

// A form that keeps its shape (the start-up form) drawn as large as the
// available area of `screen` allows, `design` being its size in pixels at
// factor 1; 1 under Qt's own scaling, as above. FitFactor is the pure rule.
double FitFactor(QSize design, QSize available);
double FormFactorOnScreen(QSize design, const QScreen* screen, bool windowManager);
// A font's design points at `factor`, never below MinimumTextPixels.
double PointsAt(double points, double factor);

// What start-up does for the panel `screen`: the factors of
// FactorsForScreen, and an application font no smaller than
// MinimumTextPixels for every control that has none of its own.
void FitToScreen(const QScreen* screen, bool windowManager);

// Design pixels at the uniform factor, and at `factor`.
int Scaled(int pixels);
int ScaledAt(int pixels, double factor);
// A font's design points at the uniform factor, never below the least size
// that reads (MinimumTextPixels).
double ScaledPoints(double points);

// The least height, in pixels, of a control a finger presses: 9 mm on the
// panel (from its physical resolution; 96 dots per inch when the screen
// reports none that is plausible).
int TouchMinimum();
// The same rule for a screen's reported dots per inch (pure).
int TouchMinimumAt(double dotsPerInch);

// The least em height, in pixels, of any text on the panel: 3.2 mm, what
// reads at arm's length (12 pixels at 96 dots per inch).
int MinimumTextPixels();
int MinimumTextPixelsAt(double dotsPerInch);
// MinimumTextPixels in points, as fonts are given (Qt turns points into
// pixels at the screen's logical dots per inch).
double MinimumTextPoints();

// True when a window manager runs on the display (X11: a client announces
// itself on the root window; Wayland always has a compositor). Without one
// Qt's full-screen and maximise requests are not honoured.
bool HasWindowManager();

// Moves a window to the middle of its screen's available area (without a
// window manager nobody else places it).
void CentreOnScreen(QWidget* window);

}  // namespace widgets
