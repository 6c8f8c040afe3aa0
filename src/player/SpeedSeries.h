#pragma once

#include "player/TrackTimeline.h"

#include <cstdint>
#include <optional>
#include <vector>

// Speed over the record's time for the chart beside the player.
namespace orvo::player {

class SpeedSeries {
public:
  SpeedSeries() = default;
  // The chart spans the video, [0, durationMs]; without a duration (0), the
  // track's own span.
  SpeedSeries(const TrackTimeline &timeline, std::int64_t durationMs);

  const std::vector<std::int64_t> &times() const { return times_; }
  const std::vector<double> &speedsKmh() const { return speeds_; }
  bool isEmpty() const { return times_.empty(); }
  std::int64_t fromMs() const { return fromMs_; }
  std::int64_t toMs() const { return toMs_; }
  // The fastest speed within the span, the ends interpolated.
  double maxKmh() const;

  // Linear between the neighbouring fixes; nothing before the first fix or
  // after the last.
  std::optional<double> valueAt(std::int64_t timeMs) const;

private:
  std::vector<std::int64_t> times_;
  std::vector<double> speeds_;
  std::int64_t fromMs_ = 0;
  std::int64_t toMs_ = 0;
};

// The speed axis: from 0 up to a round top at or above the fastest speed
// (and at least 10 km/h, so a car standing still still gets an axis), in
// round steps.
struct SpeedAxis {
  double topKmh = 10;
  double stepKmh = 5;
};
SpeedAxis speedAxis(double maxKmh, int maxSteps);

// A time span laid over a span of pixels.
struct TimeScale {
  std::int64_t fromMs = 0;
  std::int64_t toMs = 0;
  double left = 0;
  double width = 0;

  double xAt(std::int64_t ms) const;
  // The time at `x`, kept within the span.
  std::int64_t timeAt(double x) const;
};

} // namespace orvo::player
