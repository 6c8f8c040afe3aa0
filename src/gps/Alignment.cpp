#include "gps/Alignment.h"

#include <algorithm>
#include <cstdlib>

namespace orvo::gps {

namespace {

constexpr std::int64_t kSameClockMs = 2 * 60 * 1000;
constexpr std::int64_t kQuarterMs = 15 * 60 * 1000;
constexpr std::int64_t kFarthestZoneMs = 14 * 3600 * 1000;

std::int64_t NearestQuarter(std::int64_t ms) {
  const std::int64_t half = kQuarterMs / 2;
  return (ms >= 0 ? (ms + half) / kQuarterMs : -((-ms + half) / kQuarterMs)) * kQuarterMs;
}

} // namespace

TrackAlignment AlignTrack(const GpsTrack &track, const CivilTime &recordStart,
                          std::uint32_t durationMs,
                          std::optional<std::int64_t> configuredOffsetSeconds) {
  TrackAlignment a;
  if (!IsValidCivil(recordStart)) {
    a.note = "the record's date and time are not a valid time";
    return a;
  }
  const std::int64_t clockMs = CivilToMs(recordStart);
  a.utcStartMs = clockMs;
  if (track.fixes.empty()) {
    a.note = "the track has no fixes";
    return a;
  }
  const std::int64_t difference = clockMs - track.fixes.front().utcMs;
  std::int64_t offsetMs = 0;
  if (std::llabs(difference) <= kSameClockMs) {
    offsetMs = 0;
  } else if (configuredOffsetSeconds &&
             std::llabs(difference - *configuredOffsetSeconds * 1000) <= kQuarterMs) {
    offsetMs = *configuredOffsetSeconds * 1000;
  } else if (std::llabs(NearestQuarter(difference)) <= kFarthestZoneMs) {
    offsetMs = NearestQuarter(difference);
  } else {
    a.note = "the recorder's clock and the track are more than 14 h apart";
    a.remainderMs = difference;
    return a;
  }
  a.aligned = true;
  a.clockOffsetSeconds = offsetMs / 1000;
  a.utcStartMs = clockMs - offsetMs;
  a.remainderMs = difference - offsetMs;
  a.confirmed = configuredOffsetSeconds && *configuredOffsetSeconds == a.clockOffsetSeconds;
  if (track.fixes.back().utcMs < a.utcStartMs ||
      track.fixes.front().utcMs >= a.utcStartMs + durationMs)
    a.note = "the track does not cover the recording";
  return a;
}

std::optional<std::int64_t> ConfiguredClockOffset(int gpsTime, int gpsDst, int gpsTimezone) {
  if (!(gpsTime & 1) || gpsTimezone < 0 || gpsTimezone > 24 || gpsDst < 0 || gpsDst > 1)
    return std::nullopt;
  return (gpsTimezone - 12 + gpsDst) * std::int64_t(3600);
}

std::vector<PartFix> SelectPartFixes(const GpsTrack &track, std::int64_t partStartUtcMs,
                                     std::int64_t partEndUtcMs) {
  const auto before = [](const GpsFix &f, std::int64_t t) { return f.utcMs < t; };
  auto it = std::lower_bound(track.fixes.begin(), track.fixes.end(), partStartUtcMs, before);
  std::vector<PartFix> part;
  for (; it != track.fixes.end() && it->utcMs < partEndUtcMs; ++it)
    part.push_back({*it, it->utcMs - partStartUtcMs});
  return part;
}

} // namespace orvo::gps
