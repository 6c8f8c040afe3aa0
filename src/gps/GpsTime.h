#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Calendar arithmetic on the proleptic Gregorian calendar, without the C
// library's time zone and locale machinery.
namespace orvo::gps {

struct CivilTime {
  int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

bool IsValidCivil(const CivilTime &t);
// The fields read as UTC, in milliseconds since 1970.
std::int64_t CivilToMs(const CivilTime &t);
CivilTime MsToCivil(std::int64_t ms);

// An xsd:dateTime as GPX writes it ("2021-03-15T08:30:00Z", with optional
// fractions of a second and a "+03:00" style offset; no offset means UTC).
std::optional<std::int64_t> ParseIsoTime(std::string_view text);
// "2021-03-15T08:30:00Z", or with ".250" when the milliseconds are not 0.
std::string FormatIsoTime(std::int64_t utcMs);
// "2021-03-15 08:30:00" of a clock's reading.
std::string FormatClock(std::int64_t ms);

} // namespace orvo::gps
