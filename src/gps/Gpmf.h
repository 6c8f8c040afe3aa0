#pragma once

#include "gps/Alignment.h"
#include "gps/Bytes.h"

#include <vector>

// The track as GoPro's metadata format (GPMF), which GoPro's tools, map
// viewers and telemetry overlays read: a "gpmd" track of one sample a
// second, each a DEVC holding one STRM with GPSF (fix), GPSU (UTC time of
// the first fix), SCAL and GPS5 (latitude, longitude, altitude, 2D and 3D
// speed). Every entry is a KLV: four-character key, type character,
// structure size (8 bits), repeat count (16 bits, big-endian), the data
// big-endian and padded to a multiple of 4.
namespace orvo::gps {

// "gpmd" sample entry: the sample entry fields and 4 reserved bytes.
Bytes GpmfSampleEntry();
// One sample of the fixes of one second; a second without fixes says "no
// fix" (GPSF 0) and has no GPS5.
Bytes GpmfSample(const std::vector<PartFix> &fixes);
// Samples of whole seconds from 0 (the last one may be shorter) covering
// the part.
std::vector<TimedSample> GpmfSamples(const std::vector<PartFix> &fixes,
                                     std::int64_t partDurationMs);

} // namespace orvo::gps
