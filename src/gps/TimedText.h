#pragma once

#include "gps/Alignment.h"
#include "gps/Bytes.h"

#include <string>
#include <vector>

// The track as 3GPP timed text ("tx3g", 3GPP TS 26.245), the subtitle form
// MP4 players show: one cue per fix.
namespace orvo::gps {

// The "tx3g" sample entry: centred at the bottom, white 18-point text on a
// clear background, one font ("Serif").
Bytes Tx3gSampleEntry();
// One sample: the text's length (16 bits, big-endian) and its UTF-8 bytes.
Bytes Tx3gSample(std::string_view text);
// "2021-03-15 08:30:00  55.75580, 37.61730  54 km/h  150 m": the fix's
// time on the recorder's clock (UTC plus the clock offset), position,
// speed, elevation where known.
std::string CueText(const GpsFix &fix, std::int64_t clockOffsetSeconds);
// Samples covering the part from 0 to `partDurationMs` without gaps: each
// fix's cue lasts until the next fix; before the first fix an empty cue.
std::vector<TimedSample> TimedTextSamples(const std::vector<PartFix> &fixes,
                                          std::int64_t partDurationMs,
                                          std::int64_t clockOffsetSeconds);

} // namespace orvo::gps
