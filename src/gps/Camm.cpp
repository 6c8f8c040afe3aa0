#include "gps/Camm.h"

#include "gps/GpsTime.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace orvo::gps {

namespace {

// 1980-01-06 00:00:00 UTC, the GPS epoch, in seconds since 1970.
constexpr std::int64_t kGpsEpoch = 315964800;

} // namespace

Bytes CammSampleEntry() {
  Bytes box = StartSampleEntry("camm");
  FinishBox(box);
  return box;
}

// Counted as UTC seconds since the GPS epoch, without the leap seconds GPS
// time has gained since (18 in 2017): the readers of camm (Street View's
// upload, exiftool) turn it back into a date that way, and would otherwise
// place every fix 18 s late.
double GpsEpochSeconds(std::int64_t utcMs) {
  return static_cast<double>(utcMs) / 1000.0 - static_cast<double>(kGpsEpoch);
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
