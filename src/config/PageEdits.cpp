#include "config/PageEdits.h"

#include "config/Cfg_mgr.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace orvo {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// One scanf "%d" from `pos`; false when no digit follows the blanks and sign.
bool ScanInt(std::string_view text, std::size_t &pos, std::int32_t &value) {
  std::size_t i = pos;
  while (i < text.size() && IsBlank(text[i]))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  const std::size_t digitsStart = i;
  std::int64_t v = 0;
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    v = std::min<std::int64_t>(v * 10 + (text[i] - '0'), kLimit);
    ++i;
  }
  if (i == digitsStart)
    return false;
  if (negative)
    v = -v;
  value = static_cast<std::int32_t>(std::clamp<std::int64_t>(
      v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
  pos = i;
  return true;
}

std::string FormatTriple(int firstField, char separator) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%02d%c%02d%c%02d", static_cast<int>(GetField(firstField)),
                separator, static_cast<int>(GetField(firstField + 1)), separator,
                static_cast<int>(GetField(firstField + 2)));
  return buffer;
}

bool SetThree(int firstField, EditTriple values) {
  // All three are always stored, even when an earlier one did not change.
  bool changed = SetField(firstField, values.a);
  changed = SetField(firstField + 1, values.b) || changed;
  changed = SetField(firstField + 2, values.c) || changed;
  return changed;
}

} // namespace

std::int32_t ParseEditNumber(std::string_view text) {
  std::size_t pos = 0;
  std::int32_t value = 0;
  return ScanInt(text, pos, value) ? value : 0;
}

EditTriple ParseEditTriple(std::string_view text, char separator) {
  EditTriple t;
  std::int32_t *slots[3] = {&t.a, &t.b, &t.c};
  std::size_t pos = 0;
  for (int i = 0; i < 3; ++i) {
    if (i > 0) {
      if (pos >= text.size() || text[pos] != separator)
        break;
      ++pos;
    }
    if (!ScanInt(text, pos, *slots[i]))
      break;
  }
  return t;
}

int DaysInMonth(int month, int yearOfCentury) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12)
    return 31;
  if (month == 2 && yearOfCentury % 4 == 0)
    return 29;
  return kDays[month - 1];
}

EditTriple NormalizeDate(EditTriple dmy) {
  const int yearField = TimerField(0) + kTimerFieldDay + 2;
  dmy.c = std::clamp(dmy.c, FieldMin(yearField), FieldMax(yearField));
  dmy.b = std::clamp(dmy.b, 1, 12);
  dmy.a = std::clamp(dmy.a, 1, DaysInMonth(dmy.b, dmy.c));
  return dmy;
}

std::string FormatTimeFields(int firstField) {
  return FormatTriple(firstField, ':');
}

std::string FormatDateFields(int firstField) {
  return FormatTriple(firstField, '.');
}

bool CommitNumberText(int field, std::string_view text, std::string &shown) {
  std::int32_t v = ParseEditNumber(text);
  const bool changed = SetField(field, v);
  shown = std::to_string(GetField(field));
  return changed;
}

bool CommitTimeText(int firstField, std::string_view text, std::string &shown) {
  const bool changed = SetThree(firstField, ParseEditTriple(text, ':'));
  shown = FormatTimeFields(firstField);
  return changed;
}

bool CommitDateText(int firstField, std::string_view text, std::string &shown) {
  const bool changed = SetThree(firstField, NormalizeDate(ParseEditTriple(text, '.')));
  shown = FormatDateFields(firstField);
  return changed;
}

std::string FilterOsdText(std::string_view utf8) {
  std::string out;
  int characters = 0;
  for (char ch : utf8) {
    const auto c = static_cast<unsigned char>(ch);
    // UTF-8 continuation bytes belong to the character already counted.
    if ((c & 0xC0) != 0x80 && ++characters > kOsdTextMaxLength)
      break;
    // The configuration file cannot carry these back: a control character
    // or a byte from 0x80 drops the whole line when it is read, ";" starts
    // a comment.
    if (c >= 0x7F || c < 0x20 || c == ';')
      continue;
    out.push_back(c == '"' ? '\'' : ch);
  }
  return out;
}

int VSourceOfSourceIndex(int sourceIndex) {
  return sourceIndex > 1 ? sourceIndex - 1 : sourceIndex;
}

int SourceIndexOfVSource(std::int32_t vsource) {
  return vsource >= 1 ? 1 : 0;
}

int PictureGroupOfSourceIndex(int sourceIndex) {
  return sourceIndex == 0 ? kFieldVsBrightness : kFieldAvBrightness;
}

} // namespace orvo
