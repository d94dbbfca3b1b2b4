#pragma once

// What every benchmark program prints: medians, minima and maxima of repeated runs, one line a
// case, in milliseconds unless another unit is named.

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace Bench {

struct Summary {
    double median = 0;
    double min = 0;
    double max = 0;
};

inline Summary summarise(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    Summary s;
    s.min = samples.front();
    s.max = samples.back();
    const std::size_t n = samples.size();
    s.median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    return s;
}

inline void report(const char *name, int runs, const Summary &s, const char *unit = "ms") {
    std::printf("%-52s runs %5d  median %8.3f %s  min %8.3f  max %8.3f\n", name, runs, s.median,
                unit, s.min, s.max);
    std::fflush(stdout);
}

inline void report(const char *name, const std::vector<double> &samples, const char *unit = "ms") {
    report(name, static_cast<int>(samples.size()), summarise(samples), unit);
}

// Milliseconds a body takes, run after run; the body is told which run it is.
inline Summary timeIt(int runs, const std::function<void(int)> &body) {
    std::vector<double> samples;
    samples.reserve(static_cast<std::size_t>(runs));
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        body(i);
        samples.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    return summarise(samples);
}

} // namespace Bench
