#pragma once

#include "player/TrackTimeline.h"

#include <cstddef>
#include <limits>
#include <optional>
#include <vector>

// The route flattened for drawing: an equirectangular projection around the
// track's centre, in metres east (x) and north (y) of it. Over the few
// kilometres of a record its distances differ from the great circle's by far
// less than a pixel.
namespace orvo::player {

struct MapPoint {
  double x = 0; // metres east of the centre
  double y = 0; // metres north of it
};

struct MapBounds {
  double minX = 0;
  double minY = 0;
  double maxX = 0;
  double maxY = 0;
  double width() const { return maxX - minX; }
  double height() const { return maxY - minY; }
};

class RouteGeometry {
public:
  RouteGeometry() = default;
  explicit RouteGeometry(const TrackTimeline &timeline);

  // One point per fix of the timeline, in its order.
  const std::vector<MapPoint> &points() const { return points_; }
  bool isEmpty() const { return points_.empty(); }
  MapBounds bounds() const { return bounds_; }
  double centreLatitude() const { return centreLatitude_; }
  double centreLongitude() const { return centreLongitude_; }

  MapPoint project(double latitude, double longitude) const;
  // The point `place` names, between two fixes' points.
  MapPoint pointAt(const TrackPlace &place) const;
  // The fix closest to `p`, if one lies within `maxDistance` metres.
  std::optional<std::size_t>
  nearestFix(MapPoint p, double maxDistance = std::numeric_limits<double>::infinity()) const;

private:
  std::vector<MapPoint> points_;
  MapBounds bounds_;
  double centreLatitude_ = 0;
  double centreLongitude_ = 0;
  double metresPerDegreeEast_ = 0;
};

} // namespace orvo::player
