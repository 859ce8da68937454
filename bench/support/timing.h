#pragma once
// Wall-clock timing and the statistics the figures use.
#include <chrono>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

// Milliseconds between two points of the steady clock.
inline double Ms(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}
inline double MsSince(Clock::time_point from) { return Ms(from, Clock::now()); }

// The p-th percentile (0..100) by nearest rank; NaN for no samples.
double Percentile(std::vector<double> samples, double p);
inline double Median(const std::vector<double>& samples) { return Percentile(samples, 50); }
double Mean(const std::vector<double>& samples);

// Runs `f` and returns how long it took, in milliseconds.
template <typename F>
double TimeMs(F&& f) {
    const Clock::time_point start = Clock::now();
    f();
    return MsSince(start);
}

}  // namespace bench
