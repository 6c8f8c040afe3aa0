#pragma once

#include "gps/GpsTime.h"
#include "gps/GpsTrack.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The recorder stamps a record with its own clock, which has no time zone;
// the GPX times are UTC. The two are put side by side per record.
namespace orvo::gps {

struct TrackAlignment {
  bool aligned = false;              // false: no fixes, or clocks too far apart
  std::int64_t clockOffsetSeconds = 0; // recorder clock minus UTC: 0 or whole quarter hours
  std::int64_t utcStartMs = 0;         // the record's start in UTC
  // How far the track's first fix lies before the record's start (negative:
  // after it), once the offset is taken away.
  std::int64_t remainderMs = 0;
  bool confirmed = false; // the card's configured zone is the same offset
  std::string note;       // why not aligned, or what looks wrong
};

// Same clock when the track starts within 2 min of the record; otherwise
// the recorder keeps local time, and the offset is the nearest quarter hour
// within 14 h (zones run from -12:00 to +14:00, some at :30 and :45). A
// configured zone within 15 min of the difference wins over the nearest
// quarter hour, so a track that starts some minutes early is still placed
// right. `recordStart` is the record's date and time as the recorder wrote
// them (full year).
TrackAlignment AlignTrack(const GpsTrack &track, const CivilTime &recordStart,
                          std::uint32_t durationMs,
                          std::optional<std::int64_t> configuredOffsetSeconds);

// The recorder's own clock offset from its configuration: GPS_TIME bit 0
// (the clock is set from GPS), GPS_TIMEZONE 0..24 for GMT-12..GMT+12, and
// GPS_DST one hour more. Nothing when the clock is not set from GPS or a
// value is out of range.
std::optional<std::int64_t> ConfiguredClockOffset(int gpsTime, int gpsDst, int gpsTimezone);

struct PartFix {
  GpsFix fix;
  std::int64_t timeMs = 0; // from the part's first video frame
};

// The fixes of one output part, as recorded (not interpolated): those with
// UTC times in [partStartUtcMs, partEndUtcMs), where the start is the UTC
// time of the part's first video frame.
std::vector<PartFix> SelectPartFixes(const GpsTrack &track, std::int64_t partStartUtcMs,
                                     std::int64_t partEndUtcMs);

} // namespace orvo::gps
