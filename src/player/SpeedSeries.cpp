#include "player/SpeedSeries.h"

#include "player/AxisSteps.h"

#include <algorithm>
#include <cmath>

namespace orvo::player {

SpeedSeries::SpeedSeries(const TrackTimeline &timeline, std::int64_t durationMs) {
  times_.reserve(timeline.fixes().size());
  speeds_.reserve(timeline.fixes().size());
  for (const TimedFix &f : timeline.fixes()) {
    times_.push_back(f.timeMs);
    speeds_.push_back(f.speedKmh);
  }
  if (durationMs > 0) {
    toMs_ = durationMs;
  } else if (!times_.empty()) {
    fromMs_ = times_.front();
    // One second at least, so that one fix still spans some pixels.
    toMs_ = std::max(times_.back(), fromMs_ + 1000);
  }
}

double SpeedSeries::maxKmh() const {
  double top = 0;
  for (std::size_t i = 0; i < times_.size(); ++i)
    if (times_[i] >= fromMs_ && times_[i] <= toMs_)
      top = std::max(top, speeds_[i]);
  for (std::int64_t end : {fromMs_, toMs_})
    top = std::max(top, valueAt(end).value_or(0));
  return top;
}

std::optional<double> SpeedSeries::valueAt(std::int64_t timeMs) const {
  if (times_.empty() || timeMs < times_.front() || timeMs > times_.back())
    return std::nullopt;
  const auto next = std::lower_bound(times_.begin(), times_.end(), timeMs);
  const auto i = static_cast<std::size_t>(next - times_.begin());
  if (*next == timeMs)
    return speeds_[i];
  const double f =
      static_cast<double>(timeMs - times_[i - 1]) / static_cast<double>(times_[i] - times_[i - 1]);
  return speeds_[i - 1] + (speeds_[i] - speeds_[i - 1]) * f;
}

SpeedAxis speedAxis(double maxKmh, int maxSteps) {
  const double top = std::max(maxKmh, 10.0);
  const double step = niceStep(top, std::max(maxSteps, 1));
  return {std::ceil(top / step - 1e-9) * step, step};
}

double TimeScale::xAt(std::int64_t ms) const {
  if (toMs <= fromMs)
    return left;
  return left + width * static_cast<double>(ms - fromMs) / static_cast<double>(toMs - fromMs);
}

std::int64_t TimeScale::timeAt(double x) const {
  if (toMs <= fromMs || !(width > 0))
    return fromMs;
  const double f = std::clamp((x - left) / width, 0.0, 1.0);
  return fromMs + std::llround(f * static_cast<double>(toMs - fromMs));
}

} // namespace orvo::player
