#include "sending/terminal_clock.h"

#include <QDateTime>

namespace sending {

TerminalClock TerminalClock::System() {
    return {[] { return QDateTime::currentMSecsSinceEpoch(); }, [] { return Monotonic::now(); }};
}

TerminalClock::Monotonic::time_point MonotonicAt(qint64 atMs, qint64 wallNowMs,
                                                 TerminalClock::Monotonic::time_point monotonicNow) {
    constexpr qint64 kDayMs = 24 * 3600 * 1000;
    if (atMs >= wallNowMs) return monotonicNow;
    // Compared before subtracting: a time far back never overflows.
    const qint64 ago = atMs < wallNowMs - kDayMs ? kDayMs : wallNowMs - atMs;
    return monotonicNow - std::chrono::milliseconds(ago);
}

}  // namespace sending
