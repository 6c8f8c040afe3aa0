#include "gps/Camm.h"

#include "gps/GpsTime.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace orvo::gps {

namespace {

// 1980-01-06 00:00:00 UTC, the GPS epoch, in seconds since 1970.
constexpr std::int64_t kGpsEpoch = 315964800;

// Days (since 1970) on which UTC had taken one more leap second than GPS
// time counts since its epoch; the last was 2017-01-01.
constexpr CivilTime kLeapSeconds[] = {
    {1981, 7, 1}, {1982, 7, 1}, {1983, 7, 1}, {1985, 7, 1}, {1988, 1, 1}, {1990, 1, 1},
    {1991, 1, 1}, {1992, 7, 1}, {1993, 7, 1}, {1994, 7, 1}, {1996, 1, 1}, {1997, 7, 1},
    {1999, 1, 1}, {2006, 1, 1}, {2009, 1, 1}, {2012, 7, 1}, {2015, 7, 1}, {2017, 1, 1}};

} // namespace

Bytes CammSampleEntry() {
  Bytes box = StartSampleEntry("camm");
  FinishBox(box);
  return box;
}

double GpsEpochSeconds(std::int64_t utcMs) {
  int leap = 0;
  for (const CivilTime &t : kLeapSeconds)
    leap += utcMs >= CivilToMs(t);
  return static_cast<double>(utcMs) / 1000.0 - static_cast<double>(kGpsEpoch) + leap;
}

Bytes CammSample(const GpsFix &fix) {
  Bytes out;
  PutLe(out, 0, 2);
  PutLe(out, 6, 2);
  PutLeFloat(out, GpsEpochSeconds(fix.utcMs));
  PutLe(out, fix.elevation ? 3 : 2, 4);
  PutLeFloat(out, fix.latitude);
  PutLeFloat(out, fix.longitude);
  PutLeFloat(out, static_cast<float>(fix.elevation.value_or(0)));
  PutLeFloat(out, 0.0f);
  PutLeFloat(out, 0.0f);
  const double course = fix.course.value_or(0) * std::numbers::pi / 180;
  const double speed = fix.course ? fix.speed : 0;
  PutLeFloat(out, static_cast<float>(speed * std::sin(course)));
  PutLeFloat(out, static_cast<float>(speed * std::cos(course)));
  PutLeFloat(out, 0.0f);
  PutLeFloat(out, 0.0f);
  return out;
}

std::vector<TimedSample> CammSamples(const std::vector<PartFix> &fixes,
                                     std::int64_t partDurationMs) {
  std::vector<TimedSample> samples;
  for (std::size_t i = 0; i < fixes.size() && fixes[i].timeMs < partDurationMs; ++i) {
    const std::int64_t end =
        i + 1 < fixes.size() ? std::min(fixes[i + 1].timeMs, partDurationMs) : partDurationMs;
    samples.push_back({fixes[i].timeMs, std::max<std::int64_t>(end - fixes[i].timeMs, 1),
                       CammSample(fixes[i].fix)});
  }
  return samples;
}

} // namespace orvo::gps
