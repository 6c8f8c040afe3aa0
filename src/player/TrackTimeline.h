#pragma once

#include "gps/GpsTrack.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// A record's GPS track on the player's clock: milliseconds from the record's
// first video frame, which is the fix's UTC time minus the UTC time of the
// record's start (gps::TrackAlignment::utcStartMs). Fixes before the start
// get negative times; the track may also end before or after the video.
namespace orvo::player {

struct TimedFix {
  std::int64_t timeMs = 0;
  double latitude = 0; // degrees
  double longitude = 0;
  double speedKmh = 0;
};

// Where a time falls on the track: `fraction` of the way from fix `index`
// to the next one. Times outside the track stick to its first or last fix.
struct TrackPlace {
  std::size_t index = 0;
  double fraction = 0;
};

struct TrackSample {
  double latitude = 0;
  double longitude = 0;
  double speedKmh = 0;
  bool withinTrack = false; // false: before the first fix or after the last
};

class TrackTimeline {
public:
  TrackTimeline() = default;
  TrackTimeline(const gps::GpsTrack &track, std::int64_t utcStartMs);
  // Fixes strictly increasing in time.
  explicit TrackTimeline(std::vector<TimedFix> fixes);

  const std::vector<TimedFix> &fixes() const { return fixes_; }
  bool isEmpty() const { return fixes_.empty(); }
  std::int64_t startMs() const;
  std::int64_t endMs() const;

  TrackPlace placeAt(std::int64_t timeMs) const;
  // Position and speed interpolated linearly between the neighbouring fixes.
  TrackSample sampleAt(std::int64_t timeMs) const;

private:
  std::vector<TimedFix> fixes_;
};

} // namespace orvo::player
