#pragma once
// How long terminals waited for the ticket counter that another terminal
// (or a backup's global read lock) held: each wait runs from a try of the
// counter's locking read until it is answered or fails. A lock wait
// time-out (1205) ends the send too: the waiter presses ENVIAR again, and
// that press's wait is a new one.
#include <chrono>
#include <mutex>
#include <optional>
#include <vector>

#include <QString>

namespace campaign {

using Clock = std::chrono::steady_clock;

// One terminal's wait in progress.
class LockWaitClock {
public:
    // A try of the locking read goes out.
    void TryStarts(Clock::time_point now);
    // The try ended, answered or failed: the wait in seconds; nothing when
    // no try was going on.
    std::optional<double> TryEnded(Clock::time_point now);

private:
    bool waiting_ = false;
    Clock::time_point since_;
};

constexpr int kLockWaitTimeout = 1205;

// The waits of every terminal.
class LockWaits {
public:
    // A wait over 10 s: who waited, from when (seconds since the waits were
    // first counted) and how it ended (0: answered; else the error).
    struct Long {
        double seconds = 0, from = 0;
        QString who;
        int error = 0;
    };
    struct Summary {
        double longest = 0;  // seconds
        int count = 0, overOneSecond = 0, overFiveSeconds = 0, overTenSeconds = 0;
        int timedOut = 0;  // waits ended by the lock wait limit (1205)
        std::vector<Long> overTen;
    };
    LockWaits() : start_(Clock::now()) {}
    void Add(double seconds, const QString& who = QString(), int error = 0);
    Summary Summarize() const;
    // Seconds since the waits were first counted.
    double Since(Clock::time_point t) const { return std::chrono::duration<double>(t - start_).count(); }

private:
    mutable std::mutex mutex_;
    const Clock::time_point start_;
    Summary s_;
};

}  // namespace campaign
