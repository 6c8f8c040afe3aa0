#include "engine/RecordTime.h"

namespace orvo {

namespace {

constexpr bool IsLeapYear(std::int64_t y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

constexpr int DaysInMonth(std::int64_t year, int month) {
  constexpr int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar, for
// years from 1 on (the count of days in whole 400-year eras, then within the
// era with the year starting in March, so that February comes last).
constexpr std::int64_t DaysSince1970(std::int64_t year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = year / 400;
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

static_assert(DaysSince1970(1970, 1, 1) == 0);
static_assert(DaysSince1970(1904, 1, 1) * 86400 == -kSeconds1904To1970);
static_assert(DaysSince1970(2000, 3, 1) == 11017);

} // namespace

std::uint32_t RecordTimeSince1904(int year, int month, int day, int hour, int minute, int second,
                                  std::uint64_t offsetTicks) {
  const std::int64_t fullYear = 2000 + std::int64_t{year};
  if (year < 0 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(fullYear, month) || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
      second < 0 || second > 59)
    return 0;
  const std::int64_t start = DaysSince1970(fullYear, month, day) * 86400 + hour * 3600 +
                             minute * 60 + second + kSeconds1904To1970;
  // At most about 2e14 seconds of offset: no overflow on 64 bits.
  const std::uint64_t moment = static_cast<std::uint64_t>(start) + offsetTicks / 90000;
  return moment > 0xFFFFFFFFu ? 0 : static_cast<std::uint32_t>(moment);
}

std::uint32_t RecordTimeSince1904(const RecordEntry &entry, std::uint64_t offsetTicks) {
  return RecordTimeSince1904(entry.Year, entry.Month, entry.Day, entry.Hour, entry.Minute,
                             entry.Second, offsetTicks);
}

} // namespace orvo
