#include "player/TrackTimeline.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace orvo::player {

namespace {

constexpr double kKmhPerMetrePerSecond = 3.6;

// Longitudes on either side of the 180th meridian are close neighbours.
double LongitudeBetween(double from, double to, double fraction) {
  const double step = std::remainder(to - from, 360.0);
  return std::remainder(from + step * fraction, 360.0);
}

} // namespace

TrackTimeline::TrackTimeline(const gps::GpsTrack &track, std::int64_t utcStartMs) {
  fixes_.reserve(track.fixes.size());
  for (const gps::GpsFix &f : track.fixes)
    fixes_.push_back(
        {f.utcMs - utcStartMs, f.latitude, f.longitude, f.speed * kKmhPerMetrePerSecond});
}

TrackTimeline::TrackTimeline(std::vector<TimedFix> fixes) : fixes_(std::move(fixes)) {}

std::int64_t TrackTimeline::startMs() const {
  return fixes_.empty() ? 0 : fixes_.front().timeMs;
}

std::int64_t TrackTimeline::endMs() const {
  return fixes_.empty() ? 0 : fixes_.back().timeMs;
}

TrackPlace TrackTimeline::placeAt(std::int64_t timeMs) const {
  if (fixes_.empty() || timeMs <= fixes_.front().timeMs)
    return {};
  if (timeMs >= fixes_.back().timeMs)
    return {fixes_.size() - 1, 0};
  const auto next =
      std::upper_bound(fixes_.begin(), fixes_.end(), timeMs,
                       [](std::int64_t t, const TimedFix &f) { return t < f.timeMs; });
  const auto index = static_cast<std::size_t>(next - fixes_.begin()) - 1;
  const TimedFix &a = fixes_[index];
  return {index,
          static_cast<double>(timeMs - a.timeMs) / static_cast<double>(next->timeMs - a.timeMs)};
}

TrackSample TrackTimeline::sampleAt(std::int64_t timeMs) const {
  if (fixes_.empty())
    return {};
  const TrackPlace p = placeAt(timeMs);
  const TimedFix &a = fixes_[p.index];
  const TimedFix &b = fixes_[std::min(p.index + 1, fixes_.size() - 1)];
  const double f = p.fraction;
  return {a.latitude + (b.latitude - a.latitude) * f, LongitudeBetween(a.longitude, b.longitude, f),
          a.speedKmh + (b.speedKmh - a.speedKmh) * f,
          timeMs >= fixes_.front().timeMs && timeMs <= fixes_.back().timeMs};
}

} // namespace orvo::player
