#pragma once

#include "gps/GpsTrack.h"

#include <cstdint>
#include <string>

namespace orvo::evidence {

// The route as an SVG picture, north up with a scale bar, the stretch
// [fromMs, toMs] of the record (its time line) drawn bold over the rest and
// the moment `markMs` (negative: none) as a dot. Empty without fixes.
std::string RouteSvg(const gps::GpsTrack &track, std::int64_t utcStartMs, std::int64_t fromMs,
                     std::int64_t toMs, std::int64_t markMs);

} // namespace orvo::evidence
