#include "widgets/screen_scale.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>
#include <cstring>
#include <memory>

namespace widgets {
namespace {

double& Factor() {
    static double factor = 1;
    return factor;
}

// A title bar and the frame's borders, what a maximised window loses of the
// available area when a window manager decorates it.
constexpr int kDecorationHeight = 32;

constexpr double kMillimetresPerInch = 25.4;
constexpr double kTouchMillimetres = 9;
constexpr double kPlainDotsPerInch = 96;

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

double LayoutScale() { return Factor(); }

void SetLayoutScale(double factor) { Factor() = factor > 0 ? factor : 1; }

double FitScale(QSize design, QSize available) {
    if (design.isEmpty() || available.isEmpty()) return 1;
    return std::min(double(available.width()) / design.width(), double(available.height()) / design.height());
}

double ScaleForScreen(const QScreen* screen, bool windowManager) {
    if (screen == nullptr || QtScalesItself()) return 1;
    QSize room = screen->availableGeometry().size();
    if (windowManager) room.rheight() -= kDecorationHeight;
    return FitScale(kDesignSize, room);
}

int Scaled(int pixels) { return static_cast<int>(std::lround(pixels * Factor())); }

double ScaledPoints(double points) { return points * Factor(); }

int TouchMinimumAt(double dotsPerInch) {
    const bool plausible = dotsPerInch >= 50 && dotsPerInch <= 600;
    const double dpi = plausible ? dotsPerInch : kPlainDotsPerInch;
    return static_cast<int>(std::ceil(kTouchMillimetres / kMillimetresPerInch * dpi));
}

int TouchMinimum() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return TouchMinimumAt(screen ? screen->physicalDotsPerInchY() : kPlainDotsPerInch);
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
