#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace orvo::gps {

// The recorder's clock offset as the card's configuration file sets it
// (GPS_TIME, GPS_DST, GPS_TIMEZONE; see ConfiguredClockOffset), read on its
// own so that the window's settings model is not touched. Nothing when the
// card has no such file, or it does not set the clock from GPS.
std::optional<std::int64_t> ReadCardClockOffset(const std::string &cardFolder);

} // namespace orvo::gps
