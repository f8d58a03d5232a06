// SPDX-License-Identifier: MIT
#pragma once

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace tarnwick::bench {

// Median, p99 and range of a set of samples, printed as one line that
// tools/bench.sh reads: "<name> n=<count> median=<x> p99=<x> min=<x> max=<x>".
struct Summary {
    std::size_t count = 0;
    double median = 0;
    double p99 = 0;
    double min = 0;
    double max = 0;
};

inline Summary summarize(std::vector<double> samples) {
    Summary s;
    if (samples.empty()) return s;
    std::sort(samples.begin(), samples.end());
    s.count = samples.size();
    const auto at = [&](double q) {
        // Nearest rank: the smallest sample with at least q of them at or below it.
        std::size_t rank =
            static_cast<std::size_t>(q * static_cast<double>(samples.size()) + 0.999999);
        rank = std::clamp<std::size_t>(rank, 1, samples.size());
        return samples[rank - 1];
    };
    s.median = at(0.5);
    s.p99 = at(0.99);
    s.min = samples.front();
    s.max = samples.back();
    return s;
}

inline void printSummary(const std::string& name, const std::vector<double>& samples) {
    const Summary s = summarize(samples);
    std::printf("%s n=%zu median=%.4g p99=%.4g min=%.4g max=%.4g\n", name.c_str(), s.count,
                s.median, s.p99, s.min, s.max);
    std::fflush(stdout);
}

}  // namespace tarnwick::bench
