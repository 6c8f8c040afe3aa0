#pragma once

#include "engine/RecordEntry.h"
#include "mp4/Mp4container.h" // UnixTimeFrom1904

#include <cstdint>

namespace orvo {

// Seconds from 1904-01-01 00:00:00 UTC (the epoch of the times in "mvhd",
// "tkhd" and "mdhd") to the moment `offsetTicks` of media time (90 kHz,
// whole seconds counted) after the record's start. The recorder's clock
// knows no time zone; its time is taken as UTC. `year` is the year minus
// 2000, as the record file stores it.
//
// 0, the format's "unknown", when the fields are not a real date and time
// (a month outside 1..12, a day past the month's end, an hour past 23, a
// minute or second past 59), as a damaged card may hold, or when the moment
// lies past 2040-02-06 06:28:15, the last second 32 bits can hold.
std::uint32_t RecordTimeSince1904(int year, int month, int day, int hour, int minute, int second,
                                  std::uint64_t offsetTicks);
std::uint32_t RecordTimeSince1904(const RecordEntry &entry, std::uint64_t offsetTicks);

} // namespace orvo
