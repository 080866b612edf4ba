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

// How often the copy loop repaints the bar and the label. Under Wine a repaint of the two costs
// more than copying a large file (several milliseconds under the 32-bit loader), and a percent
// can pass in under a millisecond. Ten repaints a second already read as a continuous display,
// as in every file-copy display; more are paid in copy time. The bar and the label still take
// every step and text as the files pass, unpainted in between, so what they hold is current
// at any moment. Messages waiting for the dialog are still taken after every file, so a cancel
// is noticed after the current file.
const std::uint32_t displayInterval = 100;   // milliseconds

struct DisplayThrottle {
    std::uint32_t shownAt;   // millisecond tick of the last repaint
};

// Whether the screen is due for a repaint at millisecond tick now; the tick may wrap around.
bool displayDue(const DisplayThrottle& throttle, std::uint32_t now);

// The label "%d %%".
bool formatPercent(char* out, std::size_t size, std::int32_t percent);

#endif
