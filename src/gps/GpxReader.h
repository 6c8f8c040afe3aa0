#pragma once

#include "gps/GpsTrack.h"

#include <cstdint>
#include <string>
#include <string_view>

// The recorder's GPS track: GPX 1.0 or 1.1, the points of every trk/trkseg
// and rte. Speed comes from GPX 1.0's <speed> or from an extension element
// named "speed" (Garmin's TrackPointExtension and the like, in whatever
// namespace), course likewise; both in the file's units (m/s, degrees).
namespace orvo::gps {

inline constexpr std::uint64_t kMaxGpxBytes = 64u << 20;
inline constexpr std::size_t kMaxGpxFixes = 2000000; // 23 days at one fix a second

// Never fails: whatever cannot be read is told in the track's note, and the
// fixes read until then are kept. Only a regular file of at most
// kMaxGpxBytes is read, opened without blocking.
GpsTrack ReadGpx(const std::string &path);
GpsTrack ParseGpx(std::string_view document);

} // namespace orvo::gps
