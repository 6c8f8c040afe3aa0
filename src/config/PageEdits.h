#pragma once

// Rules of the settings page edits that do not depend on a window: reading
// the texts of numeric, time and date edits back into fields, the OSD text
// filter and the video source entry of the page.

#include <cstdint>
#include <string>
#include <string_view>

namespace orvo {

// Decimal reading of a numeric edit: leading blanks and one sign, then digits
// up to the first non-digit; no digits read as 0. Values beyond the 32-bit
// range saturate.
std::int32_t ParseEditNumber(std::string_view text);

struct EditTriple {
  std::int32_t a = 0;
  std::int32_t b = 0;
  std::int32_t c = 0;
};

// "%d<sep>%d<sep>%d" as a C scanf reads it: numbers not reached stay 0.
EditTriple ParseEditTriple(std::string_view text, char separator);

// Days of a month 1..12 of a year of century; February has 29 days in every
// year divisible by 4.
int DaysInMonth(int month, int yearOfCentury);

// Day and month brought into the calendar: month 1..12, day 1..days of month.
// The year is first limited to the year field's range so that the February
// rule sees the year that will be stored.
EditTriple NormalizeDate(EditTriple dayMonthYear);

// "%02d:%02d:%02d" and "%02d.%02d.%02d" of three consecutive fields.
std::string FormatTimeFields(int firstField);
std::string FormatDateFields(int firstField);

// Commit handlers of the edits. Each stores through SetField, puts the text
// the control must show afterwards into `shown` and answers whether any field
// changed.
bool CommitNumberText(int field, std::string_view text, std::string &shown);
bool CommitTimeText(int firstField, std::string_view text, std::string &shown);
bool CommitDateText(int firstField, std::string_view text, std::string &shown);

// The OSD text filter of the text edits, on UTF-8 text: of the first 47
// characters, double quotes become apostrophes, and every character the
// configuration file cannot carry (non-ASCII, control characters, ";") is
// dropped; the rest of the text is dropped.
std::string FilterOsdText(std::string_view utf8);

// Entries of the video source list: 0 built-in camera, 1 video input 50 Hz,
// 2 video input 60 Hz. Both input entries store VSOURCE 1; reading VSOURCE
// back therefore gives entry 0 or 1.
inline constexpr int kSourceIndexCount = 3;
int VSourceOfSourceIndex(int sourceIndex);
int SourceIndexOfVSource(std::int32_t vsource);
// Picture adjustment group (kFieldVsBrightness or kFieldAvBrightness).
int PictureGroupOfSourceIndex(int sourceIndex);

} // namespace orvo
