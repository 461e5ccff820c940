// What the hand-run benchmarks share: milliseconds between two clock
// readings, the median of a run's timings, and the heap and resident
// memory of the process (after handing freed memory back).
#pragma once

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double Ms(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double, std::milli>(b - a).count();
}

inline double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

struct Memory {
    double heapMiB, rssMiB;
};

inline Memory Measure()
{
    malloc_trim(0);
    struct mallinfo2 mi = mallinfo2();
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return {double(mi.uordblks + mi.hblkhd) / 1048576.0, double(resident) * 4096.0 / 1048576.0};
}

} // namespace bench
