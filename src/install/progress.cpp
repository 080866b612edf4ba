#include "install/progress.h"

#include "shell/base/text_format.h"

ProgressAdvance advanceProgress(CopyProgress& progress)
{
    // A section with far more file lines than its count would overflow the total; it stays
    // at the largest value instead, where the bar no longer moves.
    std::int64_t next = std::int64_t{progress.total} + 10000 / progress.count;
    if (next > INT32_MAX)
        next = INT32_MAX;
    ProgressAdvance advance;
    advance.steps = static_cast<std::int32_t>(next / 100 - progress.total / 100);
    advance.percent = static_cast<std::int32_t>(next / 100);
    progress.total = static_cast<std::int32_t>(next);
    return advance;
}

bool displayDue(const DisplayThrottle& throttle, std::uint32_t now)
{
    // Unsigned subtraction gives the time elapsed across a wrap of the tick as well.
    return now - throttle.shownAt >= displayInterval;
}

bool formatPercent(char* out, std::size_t size, std::int32_t percent)
{
    return formatText(out, size, "%d %%", static_cast<int>(percent));
}
