#pragma once

#include <string>

// The map's scale bar: a round length (10 m, 20 m, 50 m, 100 m, ..., 1 km,
// 2 km, 5 km, ...) as long as fits in the room given.
namespace orvo::player {

// The longest round length at most `maxPixels` long; never under 10 m.
double niceScaleLength(double metresPerPixel, double maxPixels);

// "50 m", "500 m", "1 km", "20 km".
std::string scaleLengthText(double metres);

} // namespace orvo::player
