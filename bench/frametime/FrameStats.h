#pragma once

#include <cstddef>
#include <vector>

// Summary of a series of durations in milliseconds.
struct TimeSummary {
    std::size_t count = 0;
    double mean = 0.0;
    double median = 0.0;
    double p95 = 0.0;
    double p99 = 0.0;
    double max = 0.0;
};

// Percentiles by the nearest-rank rule on a sorted copy; an empty series
// gives all zeros.
TimeSummary summarise(const std::vector<double>& milliseconds);
