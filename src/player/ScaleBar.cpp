#include "player/ScaleBar.h"

#include <cmath>

namespace orvo::player {

double niceScaleLength(double metresPerPixel, double maxPixels) {
  const double room = metresPerPixel * maxPixels;
  double best = 10;
  for (double decade = 10; decade <= 1e8; decade *= 10)
    for (double m : {1.0, 2.0, 5.0})
      if (m * decade <= room)
        best = m * decade;
  return best;
}

std::string scaleLengthText(double metres) {
  const auto whole = static_cast<long long>(std::llround(metres));
  if (whole >= 1000 && whole % 1000 == 0)
    return std::to_string(whole / 1000).append(" km");
  return std::to_string(whole).append(" m");
}

} // namespace orvo::player
