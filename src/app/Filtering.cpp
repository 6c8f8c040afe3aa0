#include "app/Filtering.h"

#include "app/RecordSource.h"
#include "engine/RecordEntry.h"

#include <cstdio>

namespace orvo {

namespace filter {

FieldKind KindOf(int value) {
  switch (value) {
  case DateFromValue:
  case DateToValue:
    return FieldKind::Date;
  case TimeFromValue:
  case TimeToValue:
    return FieldKind::Time;
  case LengthFromValue:
  case LengthToValue:
    return FieldKind::Length;
  default:
    return FieldKind::Number;
  }
}

int CheckOfValue(int value) {
  // The five modes sit between the lengths and the widths in the checks.
  return value < SizeXFromValue ? value : value + (int{SizeXFrom} - int{SizeXFromValue});
}

} // namespace filter

using namespace filter;

FilterChecks DesignTimeChecks() {
  FilterChecks c{};
  for (int m = Linear; m <= LoopAll; ++m)
    c[m] = true;
  return c;
}

namespace {

// value < from fails when the from-bound is on, value > to when the to-bound is.
bool InBounds(std::int64_t value, const FilterChecks &shown, const FilterValues &v, int fromValue) {
  const int fromCheck = CheckOfValue(fromValue);
  bool ok = true;
  if (shown[fromCheck] && value < v[fromValue])
    ok = false;
  if (shown[fromCheck + 1] && value > v[fromValue + 1])
    ok = false;
  return ok;
}

// Splits "a<sep>b<sep>c" into three non-negative numbers. Spaces around the
// digits are the blanks of a partly filled masked field and are ignored; any
// other character, a missing part or more than nine digits make it
// unparsable.
bool SplitThree(std::string_view text, char sep, int out[3]) {
  int part = 0;
  int digits = 0;
  long long n = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    const char c = i < text.size() ? text[i] : sep;
    if (c == ' ')
      continue;
    if (c >= '0' && c <= '9') {
      if (++digits > 9)
        return false;
      n = n * 10 + (c - '0');
      continue;
    }
    if (c != sep || digits == 0 || part > 2)
      return false;
    out[part++] = static_cast<int>(n);
    n = 0;
    digits = 0;
  }
  return part == 3;
}

int DaysInMonth(int month, int year) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month == 2 && year % 4 == 0)
    return 29;
  return kDays[month - 1];
}

bool ParseDate(std::string_view text, int &day, int &month, int &year) {
  int p[3];
  if (!SplitThree(text, '.', p))
    return false;
  day = p[0];
  month = p[1];
  year = p[2];
  if (month < 1)
    month = 1;
  if (month > 12)
    month = 12;
  if (day < 1)
    day = 1;
  const int last = DaysInMonth(month, year);
  if (day > last)
    day = last;
  return true;
}

bool ParseTime(std::string_view text, int &hours, int &minutes, int &seconds) {
  int p[3];
  if (!SplitThree(text, ':', p))
    return false;
  hours = p[0];
  minutes = p[1] >= 60 ? 59 : p[1];
  seconds = p[2] >= 60 ? 59 : p[2];
  return true;
}

std::string Format3(const char *format, int a, int b, int c) {
  char buf[48];
  std::snprintf(buf, sizeof buf, format, a, b, c);
  return buf;
}

std::string NormalizeTimeLike(std::string_view text, int maxHours) {
  int h, m, s;
  if (!ParseTime(text, h, m, s))
    return std::string(text);
  if (h > maxHours)
    h = maxHours;
  return Format3("%02d:%02d:%02d", h, m, s);
}

} // namespace

bool RecordPasses(const RecordSource &records, std::uint32_t index, const FilterChecks &shown,
                  const FilterSettings &stored, bool showConverted) {
  if (index >= records.GetRecordCount())
    return false;
  const FilterValues &v = stored.Values;
  bool pass = true;

  int day, month, year;
  if (!records.GetRecordDate(index, day, month, year))
    return false;
  pass &= InBounds(PackDate(year, month, day), shown, v, DateFromValue);

  int hour, minute, second;
  if (!records.GetRecordTime(index, hour, minute, second))
    return false;
  pass &= InBounds(PackTime(hour, minute, second), shown, v, TimeFromValue);

  // Hours are unbounded here; 64 bits keep a huge length from wrapping.
  std::uint32_t lenHours;
  int lenMinutes, lenSeconds;
  if (!records.GetRecordLength(index, lenHours, lenMinutes, lenSeconds))
    return false;
  const std::int64_t packedLength =
      static_cast<std::int64_t>(lenHours) * 65536 + lenMinutes * 256 + lenSeconds;
  pass &= InBounds(packedLength, shown, v, LengthFromValue);

  int mode;
  if (!records.GetRecordMode(index, mode))
    return false;
  if (mode >= 0 && mode <= 4 && !shown[Linear + mode])
    pass = false;

  int width, height;
  if (!records.GetFrameSize(index, width, height))
    return false;
  pass &= InBounds(width, shown, v, SizeXFromValue);
  pass &= InBounds(height, shown, v, SizeYFromValue);

  std::uint32_t audioKbps, videoKbps;
  if (!records.GetBitrates(index, audioKbps, videoKbps))
    return false;
  pass &= InBounds(videoKbps, shown, v, VideoFromValue);
  pass &= InBounds(audioKbps, shown, v, AudioFromValue);

  std::uint32_t fps;
  if (!records.GetFps(index, fps))
    return false;
  pass &= InBounds(fps, shown, v, FpsFromValue);

  bool checked, converted;
  if (!records.GetMarks(index, checked, converted))
    return false;
  if (converted && !showConverted)
    pass = false;
  return pass;
}

std::string FormatFilterValue(int value, std::int32_t packed) {
  const int high = (packed >> 16) & 0xFFFF;
  const int mid = (packed >> 8) & 0xFF;
  const int low = packed & 0xFF;
  switch (KindOf(value)) {
  case FieldKind::Date:
    return Format3("%02d.%02d.%02d", low, mid, high);
  case FieldKind::Time:
  case FieldKind::Length:
    return Format3("%02d:%02d:%02d", high, mid, low);
  case FieldKind::Number:
    break;
  }
  return std::to_string(packed);
}

bool ParseFilterField(int value, std::string_view text, std::int32_t &packed) {
  switch (KindOf(value)) {
  case FieldKind::Date: {
    int d, m, y;
    if (!ParseDate(text, d, m, y) || y > 0x7FFF)
      return false;
    packed = PackDate(y, m, d);
    return true;
  }
  case FieldKind::Time:
  case FieldKind::Length: {
    int h, m, s;
    if (!ParseTime(text, h, m, s) || h > 0x7FFF)
      return false;
    packed = PackTime(h, m, s);
    return true;
  }
  case FieldKind::Number:
    break;
  }
  // Digits only (the edit keeps nothing else), at most nine so that the
  // value fits.
  if (text.empty() || text.size() > 9)
    return false;
  std::int32_t n = 0;
  for (char c : text) {
    if (c < '0' || c > '9')
      return false;
    n = n * 10 + (c - '0');
  }
  packed = n;
  return true;
}

void ParseFilterFields(const std::array<std::string, ValueCount> &texts, FilterValues &values) {
  for (int i = 0; i < ValueCount; ++i)
    ParseFilterField(i, texts[i], values[i]);
}

std::string NormalizeDateField(std::string_view text) {
  int d, m, y;
  if (!ParseDate(text, d, m, y))
    return std::string(text);
  return Format3("%02d.%02d.%02d", d, m, y);
}

std::string NormalizeTimeField(std::string_view text) {
  return NormalizeTimeLike(text, 23);
}

std::string NormalizeLengthField(std::string_view text) {
  return NormalizeTimeLike(text, 99);
}

std::string KeepDigits(std::string_view text) {
  std::string out;
  for (char c : text)
    if (c >= '0' && c <= '9')
      out += c;
  return out;
}

} // namespace orvo
