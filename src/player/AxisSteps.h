#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Round steps for chart axes, so that labels read 0, 20, 40 km/h or 0:30,
// 1:00, 1:30 rather than wherever the data happens to end.
namespace orvo::player {

// The smallest of 1, 2, 5 times a power of ten that cuts `range` into at
// most `maxSteps` steps.
double niceStep(double range, int maxSteps);

// The same for a time span, in steps a clock reads well: 1, 2, 5, 10, 15,
// 30 s, 1, 2, 5, 10, 15, 30 min, 1, 2, 3, 6, 12 h, then whole days.
std::int64_t niceTimeStepMs(std::int64_t rangeMs, int maxSteps);

// The multiples of `step` from `from` to `to`, both included.
std::vector<double> stepValues(double from, double to, double step);

// "1:05" for 65 s; "1:00:05" with hours. Negative times get a minus sign.
std::string timeText(std::int64_t ms, bool withHours);

} // namespace orvo::player
