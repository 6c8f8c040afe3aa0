#include "engine/ClipTime.h"

#include "gps/GpsTime.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace orvo {

namespace {

constexpr std::int64_t kDayMs = 86400000;

// Digits, at most 9 of them.
bool Number(const std::string &s, std::int64_t &v) {
  if (s.empty() || s.size() > 9)
    return false;
  v = 0;
  for (char c : s) {
    if (c < '0' || c > '9')
      return false;
    v = v * 10 + (c - '0');
  }
  return true;
}

// "S", "M:SS", "H:MM:SS", with an optional ".mmm".
std::optional<std::int64_t> Duration(std::string s) {
  std::int64_t ms = 0;
  if (const auto dot = s.find('.'); dot != std::string::npos) {
    std::string frac = s.substr(dot + 1);
    s.resize(dot);
    std::int64_t f = 0;
    if (frac.empty() || frac.size() > 3 || !Number(frac, f))
      return std::nullopt;
    while (frac.size() < 3) {
      frac += '0';
      f *= 10;
    }
    ms = f;
  }
  std::int64_t parts[3] = {}, n = 0;
  std::size_t from = 0;
  for (;;) {
    const std::size_t colon = s.find(':', from);
    if (n == 3 || !Number(s.substr(from, colon - from), parts[n]))
      return std::nullopt;
    ++n;
    if (colon == std::string::npos)
      break;
    from = colon + 1;
  }
  for (std::int64_t k = 1; k < n; ++k)
    if (parts[k] > 59)
      return std::nullopt;
  std::int64_t seconds = 0;
  for (std::int64_t k = 0; k < n; ++k)
    seconds = seconds * 60 + parts[k];
  return seconds * 1000 + ms;
}

// A moment as milliseconds from the record's start (may be negative).
std::optional<std::int64_t> Moment(const std::string &s, std::int64_t startMs) {
  if (s.empty())
    return std::nullopt;
  if (s[0] == '+')
    return Duration(s.substr(1));
  int y = 0, mo = 0, d = 0;
  std::string clock = s;
  if (s.size() > 11 && s[10] == 'T') {
    char tail = 0;
    if (std::sscanf(s.substr(0, 10).c_str(), "%4d-%2d-%2d%c", &y, &mo, &d, &tail) != 3)
      return std::nullopt;
    clock = s.substr(11);
  }
  if (clock.size() < 5 || clock.find(':') == std::string::npos)
    return std::nullopt;
  const auto ofDay = Duration(clock);
  if (!ofDay || *ofDay >= kDayMs)
    return std::nullopt;
  if (y != 0) {
    const gps::CivilTime date{y, mo, d, 0, 0, 0};
    if (!gps::IsValidCivil(date))
      return std::nullopt;
    return gps::CivilToMs(date) + *ofDay - startMs;
  }
  const std::int64_t midnight = startMs - ((startMs % kDayMs) + kDayMs) % kDayMs;
  std::int64_t at = midnight + *ofDay;
  if (at < startMs)
    at += kDayMs; // past midnight
  return at - startMs;
}

} // namespace

bool ParseClipRange(const std::string &text, const RecordEntry &e, std::uint64_t durationMs,
                    std::uint64_t &fromMs, std::uint64_t &toMs, std::string &error) {
  const gps::CivilTime start{2000 + e.Year, e.Month, e.Day, e.Hour, e.Minute, e.Second};
  const std::int64_t startMs = gps::IsValidCivil(start) ? gps::CivilToMs(start) : 0;
  const auto length = static_cast<std::int64_t>(durationMs);
  std::optional<std::int64_t> a, b;
  std::size_t pm = text.find("\xC2\xB1");
  std::size_t pmLength = 2;
  if (pm == std::string::npos) {
    pm = text.find("+-");
    pmLength = 2;
  }
  if (pm != std::string::npos) {
    const auto at = Moment(text.substr(0, pm), startMs);
    const auto around = Duration(text.substr(pm + pmLength));
    if (!at || !around) {
      error = "not a moment and seconds around it: " + text;
      return false;
    }
    if (*at < 0 || *at >= length) {
      error = text + " lies outside the record";
      return false;
    }
    a = std::max<std::int64_t>(0, *at - *around);
    b = std::min(length, *at + *around);
  } else {
    // The '-' between two moments, not one inside a date.
    for (std::size_t dash = text.find('-'); dash != std::string::npos && !a;
         dash = text.find('-', dash + 1)) {
      const auto x = Moment(text.substr(0, dash), startMs);
      const auto y = Moment(text.substr(dash + 1), startMs);
      if (x && y) {
        a = x;
        b = y;
      }
    }
    if (!a) {
      error = "not a stretch FROM-TO or AT\xC2\xB1SECONDS: " + text;
      return false;
    }
    if (*a < 0 || *b > length || *a >= length) {
      error = text + " lies outside the record";
      return false;
    }
  }
  if (*b <= *a) {
    error = text + " ends before it begins";
    return false;
  }
  fromMs = static_cast<std::uint64_t>(*a);
  toMs = static_cast<std::uint64_t>(*b);
  return true;
}

} // namespace orvo
