// Copy progress in hundredths of a percent: the bar moves one step per whole percent crossed.
#ifndef VK_PROGRESS_H
#define VK_PROGRESS_H

#include <cstddef>
#include <cstdint>

struct CopyProgress {
    std::int32_t count;   // the section's count line, 1 or more
    std::int32_t total;   // progress so far, hundredths of a percent
};

struct ProgressAdvance {
    std::int32_t steps;     // PBM_STEPIT to send
    std::int32_t percent;   // the whole percent reached, for the label
};

// One file line done, copied or found present.
ProgressAdvance advanceProgress(CopyProgress& progress);

// The label "%d %%".
bool formatPercent(char* out, std::size_t size, std::int32_t percent);

#endif
