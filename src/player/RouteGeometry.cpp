#include "player/RouteGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace orvo::player {

namespace {

constexpr double kEarthRadius = 6371008.8; // mean radius, metres
constexpr double kMetresPerDegree = kEarthRadius * std::numbers::pi / 180;

} // namespace

// The centre is the middle of the bounding box; longitudes are taken
// relative to the first fix so that a track across the 180th meridian
// stays in one piece.
RouteGeometry::RouteGeometry(const TrackTimeline &timeline) {
  const auto &fixes = timeline.fixes();
  if (fixes.empty())
    return;
  const double reference = fixes.front().longitude;
  double minLat = fixes.front().latitude, maxLat = minLat;
  double minLon = 0, maxLon = 0;
  for (const TimedFix &f : fixes) {
    const double lon = std::remainder(f.longitude - reference, 360.0);
    minLat = std::min(minLat, f.latitude);
    maxLat = std::max(maxLat, f.latitude);
    minLon = std::min(minLon, lon);
    maxLon = std::max(maxLon, lon);
  }
  centreLatitude_ = (minLat + maxLat) / 2;
  centreLongitude_ = std::remainder(reference + (minLon + maxLon) / 2, 360.0);
  metresPerDegreeEast_ = kMetresPerDegree * std::cos(centreLatitude_ * std::numbers::pi / 180);

  points_.reserve(fixes.size());
  for (const TimedFix &f : fixes)
    points_.push_back(project(f.latitude, f.longitude));
  bounds_ = {points_.front().x, points_.front().y, points_.front().x, points_.front().y};
  for (const MapPoint &p : points_) {
    bounds_.minX = std::min(bounds_.minX, p.x);
    bounds_.minY = std::min(bounds_.minY, p.y);
    bounds_.maxX = std::max(bounds_.maxX, p.x);
    bounds_.maxY = std::max(bounds_.maxY, p.y);
  }
}

MapPoint RouteGeometry::project(double latitude, double longitude) const {
  return {std::remainder(longitude - centreLongitude_, 360.0) * metresPerDegreeEast_,
          (latitude - centreLatitude_) * kMetresPerDegree};
}

MapPoint RouteGeometry::pointAt(const TrackPlace &place) const {
  if (points_.empty())
    return {};
  const std::size_t i = std::min(place.index, points_.size() - 1);
  const MapPoint &a = points_[i];
  const MapPoint &b = points_[std::min(i + 1, points_.size() - 1)];
  return {a.x + (b.x - a.x) * place.fraction, a.y + (b.y - a.y) * place.fraction};
}

std::optional<std::size_t> RouteGeometry::nearestFix(MapPoint p, double maxDistance) const {
  std::optional<std::size_t> best;
  double bestSquare = maxDistance * maxDistance;
  for (std::size_t i = 0; i < points_.size(); ++i) {
    const double dx = points_[i].x - p.x, dy = points_[i].y - p.y;
    const double square = dx * dx + dy * dy;
    if (square < bestSquare || (!best && square <= bestSquare)) {
      best = i;
      bestSquare = square;
    }
  }
  return best;
}

} // namespace orvo::player
