#pragma once

#include <QString>
#include <vector>

namespace pellucine {

// Median and 95th percentile of a run of timings in milliseconds. The percentile is the
// nearest rank: the smallest sample at or above 95 % of the sorted run.
struct LatencyFigures {
    int count = 0;
    int failures = 0;
    double median = 0;
    double p95 = 0;
    double worst = 0;

    static LatencyFigures of(std::vector<double> samples, int failures = 0);
    // "median 12.3 ms, p95 20.1 ms, worst 25.0 ms (50 runs)", with the failures when there were.
    QString describe() const;
};

// a / b, or 0 when b is 0.
double ratio(double a, double b);

}  // namespace pellucine
