#include "gps/GpsTime.h"

#include <cstdio>

namespace orvo::gps {

namespace {

constexpr std::int64_t kDayMs = 86400000;

bool IsLeap(int y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
  static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

// Days since 1970-01-01 (Howard Hinnant's days_from_civil).
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

bool Digits(std::string_view text, std::size_t at, std::size_t count, int &value) {
  if (at + count > text.size())
    return false;
  value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9')
      return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

} // namespace

bool IsValidCivil(const CivilTime &t) {
  return t.year >= 1 && t.year <= 9999 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
         t.day <= DaysInMonth(t.year, t.month) && t.hour >= 0 && t.hour < 24 &&
         t.minute >= 0 && t.minute < 60 && t.second >= 0 && t.second < 60;
}

std::int64_t CivilToMs(const CivilTime &t) {
  return DaysFromCivil(t.year, t.month, t.day) * kDayMs +
         ((t.hour * 60 + t.minute) * 60 + t.second) * std::int64_t(1000);
}

CivilTime MsToCivil(std::int64_t ms) {
  std::int64_t days = ms / kDayMs, rest = ms % kDayMs;
  if (rest < 0) {
    rest += kDayMs;
    --days;
  }
  // civil_from_days, the inverse of DaysFromCivil.
  const std::int64_t z = days + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  CivilTime t;
  t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  t.year = static_cast<int>(yoe + era * 400 + (t.month <= 2));
  const auto seconds = static_cast<int>(rest / 1000);
  t.hour = seconds / 3600;
  t.minute = seconds / 60 % 60;
  t.second = seconds % 60;
  return t;
}

std::optional<std::int64_t> ParseIsoTime(std::string_view text) {
  // Blanks around the value are the XML's, not the time's.
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\n' ||
                           text.front() == '\r'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\n' ||
                           text.back() == '\r'))
    text.remove_suffix(1);
  CivilTime t;
  if (!Digits(text, 0, 4, t.year) || text.size() < 19 || text[4] != '-' ||
      !Digits(text, 5, 2, t.month) || text[7] != '-' || !Digits(text, 8, 2, t.day) ||
      (text[10] != 'T' && text[10] != 't') || !Digits(text, 11, 2, t.hour) || text[13] != ':' ||
      !Digits(text, 14, 2, t.minute) || text[16] != ':' || !Digits(text, 17, 2, t.second) ||
      !IsValidCivil(t))
    return std::nullopt;
  std::size_t at = 19;
  std::int64_t fraction = 0;
  if (at < text.size() && text[at] == '.') {
    ++at;
    std::int64_t scale = 100;
    const std::size_t first = at;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
      fraction += (text[at] - '0') * scale;
      scale /= 10;
    }
    if (at == first)
      return std::nullopt;
  }
  std::int64_t offsetMs = 0;
  const std::string_view zone = text.substr(at);
  if (zone == "Z" || zone == "z" || zone.empty()) {
  } else {
    int h = 0, m = 0;
    if (zone.size() != 6 || (zone[0] != '+' && zone[0] != '-') || !Digits(zone, 1, 2, h) ||
        zone[3] != ':' || !Digits(zone, 4, 2, m) || h > 14 || m > 59)
      return std::nullopt;
    offsetMs = (h * 60 + m) * std::int64_t(60000) * (zone[0] == '-' ? -1 : 1);
  }
  return CivilToMs(t) + fraction - offsetMs;
}

std::string FormatIsoTime(std::int64_t utcMs) {
  const CivilTime t = MsToCivil(utcMs);
  char text[40];
  const int ms = static_cast<int>(((utcMs % 1000) + 1000) % 1000);
  if (ms)
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", t.year, t.month, t.day,
                  t.hour, t.minute, t.second, ms);
  else
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
  return text;
}

std::string FormatClock(std::int64_t ms) {
  const CivilTime t = MsToCivil(ms);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return text;
}

} // namespace orvo::gps
