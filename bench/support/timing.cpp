#include "support/timing.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace bench {

double Percentile(std::vector<double> samples, double p) {
    if (samples.empty()) return NAN;
    std::sort(samples.begin(), samples.end());
    const double rank = std::ceil(p / 100.0 * static_cast<double>(samples.size()));
    const std::size_t index = rank < 1 ? 0 : static_cast<std::size_t>(rank) - 1;
    return samples[std::min(index, samples.size() - 1)];
}

double Mean(const std::vector<double>& samples) {
    if (samples.empty()) return NAN;
    return std::accumulate(samples.begin(), samples.end(), 0.0) / static_cast<double>(samples.size());
}

}  // namespace bench
