#include "player/AxisSteps.h"

#include <cmath>
#include <cstdio>

namespace orvo::player {

double niceStep(double range, int maxSteps) {
  if (!(range > 0) || maxSteps < 1)
    return 1;
  const double least = range / maxSteps;
  double decade = std::pow(10.0, std::floor(std::log10(least)));
  for (;; decade *= 10)
    for (double m : {1.0, 2.0, 5.0})
      if (m * decade >= least * (1 - 1e-9))
        return m * decade;
}

std::int64_t niceTimeStepMs(std::int64_t rangeMs, int maxSteps) {
  constexpr std::int64_t s = 1000, min = 60 * s, h = 60 * min, day = 24 * h;
  static constexpr std::int64_t kSteps[] = {s,   2 * s,   5 * s,   10 * s,   15 * s,   30 * s,
                                            min, 2 * min, 5 * min, 10 * min, 15 * min, 30 * min,
                                            h,   2 * h,   3 * h,   6 * h,    12 * h};
  if (maxSteps < 1)
    maxSteps = 1;
  for (std::int64_t step : kSteps)
    if (rangeMs <= step * maxSteps)
      return step;
  const std::int64_t days = (rangeMs + day * maxSteps - 1) / (day * maxSteps);
  return days * day;
}

std::vector<double> stepValues(double from, double to, double step) {
  std::vector<double> values;
  if (!(step > 0) || from > to)
    return values;
  const double tolerance = step * 1e-9;
  for (double k = std::ceil((from - tolerance) / step); k * step <= to + tolerance; k += 1)
    values.push_back(k * step == 0 ? 0.0 : k * step);
  return values;
}

std::string timeText(std::int64_t ms, bool withHours) {
  const bool negative = ms <= -1000;
  const std::int64_t total = (negative ? -ms : ms) / 1000;
  const long long hours = total / 3600, minutes = total / 60 % 60, seconds = total % 60;
  char text[40];
  if (withHours)
    std::snprintf(text, sizeof text, "%s%lld:%02lld:%02lld", negative ? "-" : "", hours, minutes,
                  seconds);
  else
    std::snprintf(text, sizeof text, "%s%lld:%02lld", negative ? "-" : "", hours * 60 + minutes,
                  seconds);
  return text;
}

} // namespace orvo::player
