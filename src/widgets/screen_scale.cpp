#include "widgets/screen_scale.h"

#include <xcb/xcb.h>

#include <QFont>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace widgets {
namespace {

LayoutFactors& Factors() {
    static LayoutFactors factors;
    return factors;
}

// A title bar and the frame's borders, what a maximised window loses of the
// available area when a window manager decorates it.
constexpr int kDecorationHeight = 32;

constexpr double kMillimetresPerInch = 25.4;
constexpr double kTouchMillimetres = 9;
constexpr double kTextMillimetres = 3.2;
constexpr double kPlainDotsPerInch = 96;
constexpr double kPointsPerInch = 72;

// A screen's reported resolution when it is one a panel can have; 96 dots
// per inch otherwise (many report none, or a made-up size).
double PlausibleDpi(double dotsPerInch) {
    return dotsPerInch >= 50 && dotsPerInch <= 600 ? dotsPerInch : kPlainDotsPerInch;
}

double PhysicalDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->physicalDotsPerInchY() : kPlainDotsPerInch;
}

bool QtScalesItself() {
    return !qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR") ||
           !qEnvironmentVariableIsEmpty("QT_SCREEN_SCALE_FACTORS");
}

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};

// An X server runs a window manager when a client set the EWMH check window
// on the root window.
bool X11HasWindowManager(xcb_connection_t* c) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(setup).data;
    if (screen == nullptr) return false;
    static const char kCheck[] = "_NET_SUPPORTING_WM_CHECK";
    std::unique_ptr<xcb_intern_atom_reply_t, FreeDeleter> atom(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, std::strlen(kCheck), kCheck), nullptr));
    if (!atom || atom->atom == XCB_ATOM_NONE) return false;
    std::unique_ptr<xcb_get_property_reply_t, FreeDeleter> property(xcb_get_property_reply(
        c, xcb_get_property(c, 0, screen->root, atom->atom, XCB_ATOM_WINDOW, 0, 1), nullptr));
    return property && xcb_get_property_value_length(property.get()) > 0;
}

}  // namespace

LayoutFactors Layout() { return Factors(); }

void SetLayout(LayoutFactors factors) {
    Factors() = {factors.across > 0 ? factors.across : 1, factors.down > 0 ? factors.down : 1};
}

void SetLayoutScale(double factor) { SetLayout({factor, factor}); }

double LayoutScale() { return Factors().Uniform(); }

LayoutFactors FillFactors(QSize design, QSize available) {
    if (design.isEmpty() || available.isEmpty()) return {};
    LayoutFactors f{double(available.width()) / design.width(), double(available.height()) / design.height()};
    f.across = std::min(f.across, f.down * kMostStretch);
    f.down = std::min(f.down, f.across * kMostStretch);
    return f;
}

namespace {

// The room a window has on `screen`, title bar taken off when a window
// manager decorates it; empty when the program does not scale its forms.
QSize RoomOn(const QScreen* screen, bool windowManager) {
    if (screen == nullptr || QtScalesItself()) return {};
    QSize room = screen->availableGeometry().size();
    if (windowManager) room.rheight() -= kDecorationHeight;
    return room;
}

}  // namespace

LayoutFactors FactorsForScreen(const QScreen* screen, bool windowManager) {
    return FillFactors(kDesignSize, RoomOn(screen, windowManager));
}

double FitFactor(QSize design, QSize available) {
    if (design.isEmpty() || available.isEmpty()) return 1;
    return std::min(double(available.width()) / design.width(), double(available.height()) / design.height());
}

double FormFactorOnScreen(QSize design, const QScreen* screen, bool windowManager) {
    return FitFactor(design, RoomOn(screen, windowManager));
}

void FitToScreen(const QScreen* screen, bool windowManager) {
    SetLayout(FactorsForScreen(screen, windowManager));
    QFont font = QGuiApplication::font();
    if (font.pointSizeF() > 0 && font.pointSizeF() < MinimumTextPoints()) {
        font.setPointSizeF(MinimumTextPoints());
        QGuiApplication::setFont(font);
    }
}

int ScaledAt(int pixels, double factor) { return static_cast<int>(std::lround(pixels * factor)); }

int Scaled(int pixels) { return ScaledAt(pixels, LayoutScale()); }

double PointsAt(double points, double factor) { return std::max(points * factor, MinimumTextPoints()); }

double ScaledPoints(double points) { return PointsAt(points, LayoutScale()); }

int TouchMinimumAt(double dotsPerInch) {
    return static_cast<int>(std::ceil(kTouchMillimetres / kMillimetresPerInch * PlausibleDpi(dotsPerInch)));
}

int TouchMinimum() { return TouchMinimumAt(PhysicalDpi()); }

int MinimumTextPixelsAt(double dotsPerInch) {
    return static_cast<int>(std::lround(kTextMillimetres / kMillimetresPerInch * PlausibleDpi(dotsPerInch)));
}

int MinimumTextPixels() { return MinimumTextPixelsAt(PhysicalDpi()); }

double MinimumTextPoints() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double logical = screen && screen->logicalDotsPerInchY() > 0 ? screen->logicalDotsPerInchY() : kPlainDotsPerInch;
    return MinimumTextPixels() * kPointsPerInch / logical;
}

bool HasWindowManager() {
    const QString platform = QGuiApplication::platformName();
    if (platform.startsWith(QLatin1String("wayland"))) return true;
    if (platform != QLatin1String("xcb")) return false;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr && x11->connection() != nullptr && X11HasWindowManager(x11->connection());
}

void CentreOnScreen(QWidget* window) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect room = screen->availableGeometry();
    window->move(room.x() + std::max(0, (room.width() - window->width()) / 2),
                 room.y() + std::max(0, (room.height() - window->height()) / 2));
}

}  // namespace widgets
