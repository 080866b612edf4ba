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

// When the copy loop brings the screen up to date. Under Wine a repaint of the bar costs more
// than copying a large file, and a percent can pass in under a millisecond: painting more often
// than a screen shows its frames is paid in copy time and seen by nobody. Messages waiting for
// the dialog are still taken after every file, so a cancel is noticed after the current file.
const std::uint32_t displayInterval = 16;   // milliseconds, about one frame of a 60 Hz screen

struct DisplayThrottle {
    std::uint32_t shownAt;   // millisecond tick of the last repaint
};

// Whether the screen is due for a repaint at millisecond tick now; the tick may wrap around.
bool displayDue(const DisplayThrottle& throttle, std::uint32_t now);

// The label "%d %%".
bool formatPercent(char* out, std::size_t size, std::int32_t percent);

#endif
