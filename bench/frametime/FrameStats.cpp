#include "FrameStats.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

double nearestRank(const std::vector<double>& sorted, double fraction) {
    const auto rank =
        static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

}  // namespace

TimeSummary summarise(const std::vector<double>& milliseconds) {
    TimeSummary summary;
    if (milliseconds.empty()) {
        return summary;
    }
    std::vector<double> sorted = milliseconds;
    std::sort(sorted.begin(), sorted.end());
    summary.count = sorted.size();
    summary.mean =
        std::accumulate(sorted.begin(), sorted.end(), 0.0) / static_cast<double>(sorted.size());
    summary.median = nearestRank(sorted, 0.5);
    summary.p95 = nearestRank(sorted, 0.95);
    summary.p99 = nearestRank(sorted, 0.99);
    summary.max = sorted.back();
    return summary;
}
