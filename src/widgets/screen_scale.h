#pragma once
// The forms are drawn in twips and points for one design size; on the
// terminal's panel every position, size and font is multiplied by one factor,
// chosen at start-up so that the order screen fits the screen and fills it as
// far as its shape allows.
#include <QSize>

class QScreen;
class QWidget;

namespace widgets {

// The order screen's size at factor 1, in pixels: the grid reaches 20175
// twips across and the button bar 9615 down, inside a 20400 x 9840 window.
inline constexpr QSize kDesignSize{1360, 656};

// The factor in force (1 until start-up chooses one).
double LayoutScale();
void SetLayoutScale(double factor);

// The largest factor at which `design` fits inside `available` (1 for an
// empty size). Pure: the rule the start-up applies to the screen.
double FitScale(QSize design, QSize available);

// The factor for `screen`: its available area, less a title bar when a window
// manager decorates the window, fitted to kDesignSize. 1 when one of Qt's own
// scaling variables (QT_SCALE_FACTOR, QT_SCREEN_SCALE_FACTORS) is set: then
// Qt scales the design, and the program does not scale it again.
double ScaleForScreen(const QScreen* screen, bool windowManager);

// Design pixels and points at the factor in force.
int Scaled(int pixels);
double ScaledPoints(double points);

// The least height, in pixels, of a control a finger presses: 9 mm on the
// panel (from its physical resolution; 96 dots per inch when the screen
// reports none that is plausible).
int TouchMinimum();
// The same rule for a screen's reported dots per inch (pure).
int TouchMinimumAt(double dotsPerInch);

// True when a window manager runs on the display (X11: a client announces
// itself on the root window; Wayland always has a compositor). Without one
// Qt's full-screen and maximise requests are not honoured.
bool HasWindowManager();

// Moves a window to the middle of its screen's available area (without a
// window manager nobody else places it).
void CentreOnScreen(QWidget* window);

}  // namespace widgets
