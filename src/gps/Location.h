#pragma once

#include "gps/GpsTrack.h"

#include <string>

namespace orvo::gps {

// ISO 6709 as QuickTime and MP4 "©xyz" and the QuickTime metadata key
// "com.apple.quicktime.location.ISO6709" carry it: "+55.75580+037.61730"
// (latitude with two integer digits, longitude with three, five decimals),
// then "+150.000" with an elevation, then "/".
std::string Iso6709(const GpsFix &fix);

} // namespace orvo::gps
