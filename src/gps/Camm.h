#pragma once

#include "gps/Alignment.h"
#include "gps/Bytes.h"

#include <vector>

// The track as Google's Camera Motion Metadata ("camm"), which Street View
// and photo tools read: one type 6 (GPS) sample per fix. Unlike the MP4
// around it, camm data is little-endian.
namespace orvo::gps {

// "camm" sample entry: the sample entry fields alone.
Bytes CammSampleEntry();
// reserved (16 bits), type 6 (16 bits), time_gps_epoch (double, seconds
// since 1980-01-06, see GpsEpochSeconds), gps_fix_type (int32: 2 for 2D,
// 3 with an elevation), latitude and longitude (double), altitude (float),
// horizontal and vertical accuracy (float, 0: unknown), velocity east,
// north and up (float, m/s), speed accuracy (float, 0: unknown): 60 bytes.
Bytes CammSample(const GpsFix &fix);
// Seconds since the GPS epoch (1980-01-06) as readers of camm count them:
// on the UTC scale, leap seconds not added.
double GpsEpochSeconds(std::int64_t utcMs);
// One sample per fix, at the fix's time, lasting until the next fix (the
// last until the part's end, at least 1 ms).
std::vector<TimedSample> CammSamples(const std::vector<PartFix> &fixes,
                                     std::int64_t partDurationMs);

} // namespace orvo::gps
