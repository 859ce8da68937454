#include "startup/x_watch.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <poll.h>

namespace bench {

XWatch::XWatch() {
    display_ = XOpenDisplay(nullptr);
    if (!display_) return;
    int event = 0, error = 0, major = 0, minor = 0;
    xtest_ = XTestQueryExtension(display_, &event, &error, &major, &minor);
    XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);
    XSync(display_, False);
}

XWatch::~XWatch() {
    if (display_) XCloseDisplay(display_);
}

bool XWatch::Ok(QString* why) const {
    if (!display_) *why = QStringLiteral("no X server at DISPLAY=%1").arg(qEnvironmentVariable("DISPLAY"));
    else if (!xtest_) *why = QStringLiteral("the X server has no XTEST extension");
    return display_ && xtest_;
}

bool XWatch::Matches(unsigned long window, const QString& title) {
    char* name = nullptr;
    if (!XFetchName(display_, window, &name) || !name) return false;
    const bool match = QString::fromLatin1(name).startsWith(title);
    XFree(name);
    return match;
}

void XWatch::Place(MappedWindow& w) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(display_, w.id, &a)) return;
    Window child = 0;
    XTranslateCoordinates(display_, w.id, DefaultRootWindow(display_), 0, 0, &w.x, &w.y, &child);
    w.width = a.width;
    w.height = a.height;
}

std::optional<MappedWindow> XWatch::WaitMapped(const QString& title, std::chrono::milliseconds limit) {
    const Clock::time_point until = Clock::now() + limit;
    while (Clock::now() < until) {
        while (XPending(display_)) {
            XEvent e;
            XNextEvent(display_, &e);
            if (e.type != MapNotify) continue;
            const Clock::time_point when = Clock::now();
            if (!Matches(e.xmap.window, title)) continue;
            MappedWindow w{e.xmap.window, when};
            Place(w);
            return w;
        }
        pollfd p{ConnectionNumber(display_), POLLIN, 0};
        poll(&p, 1, 5);
    }
    return std::nullopt;
}

void XWatch::Click(const MappedWindow& w, int x, int y) {
    XTestFakeMotionEvent(display_, DefaultScreen(display_), w.x + x, w.y + y, CurrentTime);
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XFlush(display_);
}

void XWatch::Drain() {
    XSync(display_, False);
    while (XPending(display_)) {
        XEvent e;
        XNextEvent(display_, &e);
    }
}

}  // namespace bench
