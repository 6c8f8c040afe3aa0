#include "gps/GpsTrack.h"

#include <cmath>
#include <numbers>

namespace orvo::gps {

namespace {

constexpr double kEarthRadius = 6371008.8; // mean radius, metres
constexpr double kRadian = std::numbers::pi / 180;

// Great-circle distance (haversine) and initial bearing from a to b.
double Distance(const GpsFix &a, const GpsFix &b) {
  const double dLat = (b.latitude - a.latitude) * kRadian;
  const double dLon = (b.longitude - a.longitude) * kRadian;
  const double h = std::sin(dLat / 2) * std::sin(dLat / 2) +
                   std::cos(a.latitude * kRadian) * std::cos(b.latitude * kRadian) *
                       std::sin(dLon / 2) * std::sin(dLon / 2);
  return 2 * kEarthRadius * std::asin(std::sqrt(std::fmin(1.0, h)));
}

double Bearing(const GpsFix &a, const GpsFix &b) {
  const double lat1 = a.latitude * kRadian, lat2 = b.latitude * kRadian;
  const double dLon = (b.longitude - a.longitude) * kRadian;
  const double y = std::sin(dLon) * std::cos(lat2);
  const double x = std::cos(lat1) * std::sin(lat2) - std::sin(lat1) * std::cos(lat2) * std::cos(dLon);
  return std::fmod(std::atan2(y, x) / kRadian + 360.0, 360.0);
}

} // namespace

void ComputeMissingMotion(std::vector<GpsFix> &fixes) {
  for (std::size_t i = 0; i < fixes.size(); ++i) {
    GpsFix &f = fixes[i];
    if (!f.speedComputed && f.course)
      continue;
    if (fixes.size() < 2)
      continue;
    const GpsFix &a = i ? fixes[i - 1] : fixes[0];
    const GpsFix &b = i ? fixes[i] : fixes[1];
    const double metres = Distance(a, b);
    // Times strictly increase, so the interval is never 0.
    if (f.speedComputed)
      f.speed = metres * 1000.0 / static_cast<double>(b.utcMs - a.utcMs);
    // Standing still has no direction.
    if (!f.course && metres >= 1.0) {
      f.course = Bearing(a, b);
      f.courseComputed = true;
    }
  }
}

} // namespace orvo::gps
