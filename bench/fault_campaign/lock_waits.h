#pragma once
// How long terminals waited for the ticket counter that another terminal
// held: each wait runs from the first try of the counter's locking read
// until a try of it is answered (or fails for another reason than a lock
// wait time-out, 1205, after which the send tries the read again).
#include <chrono>
#include <mutex>
#include <optional>

namespace campaign {

using Clock = std::chrono::steady_clock;

// One terminal's wait in progress.
class LockWaitClock {
public:
    // A try of the locking read goes out.
    void TryStarts(Clock::time_point now);
    // The try ended: answered (`error` 0) or failed with `error`. The whole
    // wait in seconds when it is over; nothing while a lock wait time-out
    // leaves it to the next try.
    std::optional<double> TryEnded(Clock::time_point now, int error);

private:
    bool waiting_ = false;
    Clock::time_point since_;
};

constexpr int kLockWaitTimeout = 1205;

// The waits of every terminal.
class LockWaits {
public:
    struct Summary {
        double longest = 0;  // seconds
        int count = 0, overOneSecond = 0, overFiveSeconds = 0, overTenSeconds = 0;
    };
    void Add(double seconds);
    Summary Summarize() const;

private:
    mutable std::mutex mutex_;
    Summary s_;
};

}  // namespace campaign
