#pragma once

#include "player/RouteGeometry.h"

// Map metres to pixels with north up: one scale for both axes, so shapes
// and the scale bar stay true, and pixel y growing downwards.
namespace orvo::player {

struct PixelPoint {
  double x = 0;
  double y = 0;
};

struct PixelRect {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;
};

struct MapFit {
  double pixelsPerMetre = 1;
  PixelPoint origin; // where the map's (0, 0) lands

  PixelPoint toPixel(MapPoint p) const;
  MapPoint toMap(PixelPoint p) const;
  double metresPerPixel() const { return 1 / pixelsPerMetre; }
};

// The largest scale that shows all of `bounds` inside `rect`, centred.
// Bounds smaller than `minExtent` metres across (one fix, a car standing
// still) are shown as if they were that large.
MapFit fitBounds(const MapBounds &bounds, const PixelRect &rect, double minExtent = 100);

} // namespace orvo::player
