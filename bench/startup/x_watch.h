#pragma once
// Watching another program's windows from outside, on the X server of
// DISPLAY: when a top-level window with a given title is mapped, and a real
// mouse click (through the XTEST extension) on a point of it. Without a
// window manager every top-level window is a child of the root window, so
// one event mask on the root sees them all.
#include <QString>
#include <chrono>
#include <optional>

#include "support/timing.h"

struct _XDisplay;

namespace bench {

struct MappedWindow {
    unsigned long id = 0;
    Clock::time_point when;
    int x = 0, y = 0, width = 0, height = 0;  // on the screen
};

class XWatch {
public:
    XWatch();
    ~XWatch();
    XWatch(const XWatch&) = delete;
    XWatch& operator=(const XWatch&) = delete;

    // False, with the reason, when there is no X server or no XTEST.
    bool Ok(QString* why) const;
    // Waits for a top-level window whose title starts with `title` to be
    // mapped; the moment its map event arrived.
    std::optional<MappedWindow> WaitMapped(const QString& title, std::chrono::milliseconds limit);
    // Moves the pointer to (x, y) of `w` and clicks the left button.
    void Click(const MappedWindow& w, int x, int y);
    // Forgets the events received so far.
    void Drain();

private:
    bool Matches(unsigned long window, const QString& title);
    void Place(MappedWindow& w);

    ::_XDisplay* display_ = nullptr;
    bool xtest_ = false;
};

}  // namespace bench
