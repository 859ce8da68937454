#include "fault_campaign/lock_waits.h"

#include <algorithm>

namespace campaign {

void LockWaitClock::TryStarts(Clock::time_point now) {
    waiting_ = true;
    since_ = now;
}

std::optional<double> LockWaitClock::TryEnded(Clock::time_point now) {
    if (!waiting_) return std::nullopt;
    waiting_ = false;
    return std::chrono::duration<double>(now - since_).count();
}

void LockWaits::Add(double seconds, const QString& who, int error) {
    const double from = Since(Clock::now()) - seconds;
    std::lock_guard lock(mutex_);
    if (seconds > 10) s_.overTen.push_back({seconds, from, who, error});
    s_.longest = std::max(s_.longest, seconds);
    ++s_.count;
    s_.overOneSecond += seconds > 1 ? 1 : 0;
    s_.overFiveSeconds += seconds > 5 ? 1 : 0;
    s_.overTenSeconds += seconds > 10 ? 1 : 0;
    s_.timedOut += error == kLockWaitTimeout ? 1 : 0;
}

LockWaits::Summary LockWaits::Summarize() const {
    std::lock_guard lock(mutex_);
    return s_;
}

}  // namespace campaign
