// What every benchmark program measures with: a monotonic clock in seconds, the median of runs,
// and the spread of a set's per-run ratios.
#ifndef VK_BENCH_TIMING_H
#define VK_BENCH_TIMING_H

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <string>
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

// How far a set's runs may stray from their median before its figure is no figure to go by.
constexpr double stableSpread = 0.15;

// The end of a set's last line: the median of the per-run ratios, their lowest and highest, and
// a warning when they spread past the stable band (another program's load, the disk's
// write-back landing in one run).
inline std::string ratioSummary(const std::vector<double>& ratios)
{
    if (ratios.empty())
        return "no runs";
    double middle = median(ratios);
    auto range = std::minmax_element(ratios.begin(), ratios.end());
    char text[160];
    std::snprintf(text, sizeof text, "median ratio %.3f, runs %.3f to %.3f", middle, *range.first, *range.second);
    std::string summary = text;
    if (*range.first < middle * (1 - stableSpread) || *range.second > middle * (1 + stableSpread)) {
        std::snprintf(text, sizeof text, ", unstable: the runs spread past %.0f %% of the median",
                      stableSpread * 100);
        summary += text;
    }
    return summary;
}

#endif
