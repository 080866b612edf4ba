// What every benchmark program measures with: a monotonic clock in seconds and the median of runs.
#ifndef VK_BENCH_TIMING_H
#define VK_BENCH_TIMING_H

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <vector>

inline double now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

#endif
