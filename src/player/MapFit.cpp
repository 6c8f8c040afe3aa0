#include "player/MapFit.h"

#include <algorithm>

namespace orvo::player {

PixelPoint MapFit::toPixel(MapPoint p) const {
  return {origin.x + p.x * pixelsPerMetre, origin.y - p.y * pixelsPerMetre};
}

MapPoint MapFit::toMap(PixelPoint p) const {
  return {(p.x - origin.x) / pixelsPerMetre, (origin.y - p.y) / pixelsPerMetre};
}

MapFit fitBounds(const MapBounds &bounds, const PixelRect &rect, double minExtent) {
  const double least = std::max(minExtent, 1e-3);
  MapFit fit;
  fit.pixelsPerMetre = std::max(std::min(rect.width / std::max(bounds.width(), least),
                                         rect.height / std::max(bounds.height(), least)),
                                1e-9);
  const double centreX = (bounds.minX + bounds.maxX) / 2;
  const double centreY = (bounds.minY + bounds.maxY) / 2;
  fit.origin = {rect.left + rect.width / 2 - centreX * fit.pixelsPerMetre,
                rect.top + rect.height / 2 + centreY * fit.pixelsPerMetre};
  return fit;
}

} // namespace orvo::player
