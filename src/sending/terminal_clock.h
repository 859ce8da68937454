#pragma once
// The terminal's own clocks behind one seam, so a test can set them: the
// wall clock for a time a file keeps across a restart, the monotonic clock
// for every wait (it never steps back nor jumps when the wall clock is set).
#include <QtGlobal>
#include <chrono>
#include <functional>

namespace sending {

struct TerminalClock {
    using Monotonic = std::chrono::steady_clock;
    std::function<qint64()> wallMs;  // ms since the epoch
    std::function<Monotonic::time_point()> monotonic;

    // The process's own clocks.
    static TerminalClock System();
};

// The monotonic time of what the wall clock put at `atMs`, read now as
// `wallNowMs` and `monotonicNow`: that long ago, and never later than now (a
// wall clock set back since puts it in the future: it is taken as just now).
// Nothing is put more than a day back; every wait is far shorter.
TerminalClock::Monotonic::time_point MonotonicAt(qint64 atMs, qint64 wallNowMs,
                                                 TerminalClock::Monotonic::time_point monotonicNow);

}  // namespace sending
