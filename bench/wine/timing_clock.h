// The clock and the summary of the Windows timing programs (Google Benchmark is not built
// for Windows here): milliseconds from the performance counter, and the median of runs.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

namespace orv::bench {

inline double nowMs() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return counter.QuadPart * 1000.0 / frequency.QuadPart;
}

// The middle sample, -1 for none.
inline double median(std::vector<double> samples) {
    if (samples.empty()) return -1;
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

}  // namespace orv::bench
