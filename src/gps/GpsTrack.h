#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvo::gps {

struct GpsFix {
  std::int64_t utcMs = 0; // milliseconds since 1970-01-01 UTC
  double latitude = 0;    // degrees, WGS 84
  double longitude = 0;
  std::optional<double> elevation; // metres
  double speed = 0;                // metres per second
  bool speedComputed = false;      // from the positions, not the file
  std::optional<double> course;    // degrees clockwise from north
  bool courseComputed = false;
};

struct GpsTrack {
  std::vector<GpsFix> fixes; // strictly increasing in time
  std::size_t skipped = 0;   // points with broken coordinates or without a time
  std::size_t dropped = 0;   // points whose time did not move forward
  // Why the file was not read whole (too large, not a regular file, damaged
  // XML...); empty when it was. The fixes read before the damage stay.
  std::string note;
};

// Fills the speed (and course) of fixes whose file gave none from the way
// to the neighbouring fix: the previous one, for the first fix the next.
void ComputeMissingMotion(std::vector<GpsFix> &fixes);

} // namespace orvo::gps
