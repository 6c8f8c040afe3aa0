#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace orvo {

class RecordSource;

// The record filter: optional inclusive bounds on a record's properties, the
// five record modes, and whether converted records are shown.
namespace filter {

// Check states, in their stored order.
enum Check : int {
  DateFrom,
  DateTo,
  TimeFrom,
  TimeTo,
  LengthFrom,
  LengthTo,
  Linear,
  Loop1,
  Loop2,
  LinearAll,
  LoopAll,
  SizeXFrom,
  SizeXTo,
  SizeYFrom,
  SizeYTo,
  VideoFrom,
  VideoTo,
  AudioFrom,
  AudioTo,
  FpsFrom,
  FpsTo,
  CheckCount
};

// Bound values, in the same order of items (the modes have none).
enum Value : int {
  DateFromValue,
  DateToValue,
  TimeFromValue,
  TimeToValue,
  LengthFromValue,
  LengthToValue,
  SizeXFromValue,
  SizeXToValue,
  SizeYFromValue,
  SizeYToValue,
  VideoFromValue,
  VideoToValue,
  AudioFromValue,
  AudioToValue,
  FpsFromValue,
  FpsToValue,
  ValueCount
};

enum class FieldKind { Date, Time, Length, Number };
FieldKind KindOf(int value);
// The check box that enables a bound value.
int CheckOfValue(int value);

} // namespace filter

using FilterChecks = std::array<bool, filter::CheckCount>;
using FilterValues = std::array<std::int32_t, filter::ValueCount>;

// The states the dialog's check boxes have before it is first shown: every
// bound off, every mode on.
FilterChecks DesignTimeChecks();

struct FilterSettings {
  FilterChecks Checks = {false, false, false, false, true,  false, true,  true,  true,  true, true,
                         false, false, false, false, false, false, false, false, false, false};
  // Dates are year (two digits) * 65536 + month * 256 + day, times and
  // lengths hour * 65536 + minute * 256 + second.
  FilterValues Values = {0x000101, 0x630C1F, 0,  0x173B3B, 2,  0x633B3B, 96, 720,
                         96,       576,      64, 2048,     32, 128,      1,  30};
};

// Whether catalog record `index` passes. The bounds are enabled by `shown`
// (the check boxes as the dialog currently shows them), their values come
// from `stored`. An index beyond the catalog, or a record the source refuses
// to describe, does not pass.
bool RecordPasses(const RecordSource &records, std::uint32_t index, const FilterChecks &shown,
                  const FilterSettings &stored, bool showConverted);

// Field texts. Dates are "dd.mm.yy" whatever the user's date separator, times
// and lengths "hh:mm:ss".
std::string FormatFilterValue(int value, std::int32_t packed);

// The parse of OK: a date's month is clamped to 1..12 and its day to the
// month's length (February has 29 days when the year is a multiple of 4);
// minutes and seconds of 60 or more become 59, hours are left as they are.
// False, leaving `packed` alone, for an empty or unparsable text.
bool ParseFilterField(int value, std::string_view text, std::int32_t &packed);
// Stores every field that parses; the others keep their value.
void ParseFilterFields(const std::array<std::string, filter::ValueCount> &texts,
                       FilterValues &values);

// The rewrite when leaving a field: dates clamped as above, times with hours
// at most 23, lengths with hours at most 99. An unparsable text is returned
// unchanged.
std::string NormalizeDateField(std::string_view text);
std::string NormalizeTimeField(std::string_view text);
std::string NormalizeLengthField(std::string_view text);

// What remains of a number field's text once everything but the digits 0-9
// has been removed.
std::string KeepDigits(std::string_view text);

} // namespace orvo
