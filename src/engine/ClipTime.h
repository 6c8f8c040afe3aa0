#pragma once

#include "engine/RecordEntry.h"

#include <cstdint>
#include <string>

namespace orvo {

// A stretch of a record as people write it: "FROM-TO" or "AT±SECONDS"
// ("+-" for "±"), each moment on the recorder's clock ("08:31:05", or
// "2021-03-15T08:31:05") or from the record's start ("+12:30", "+1:02:03",
// "+75"). A clock time without a date is the first such moment at or after
// the record's start. False with `error` when the text is not such a stretch
// or a moment lies outside the record (0 to `durationMs`); an AT±SECONDS
// stretch is cut to the record.
bool ParseClipRange(const std::string &text, const RecordEntry &entry, std::uint64_t durationMs,
                    std::uint64_t &fromMs, std::uint64_t &toMs, std::string &error);

} // namespace orvo
