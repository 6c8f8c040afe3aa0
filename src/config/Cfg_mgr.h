#pragma once

// The recorder's configuration: 263 raw 32-bit parameters, two on-screen
// texts and the 409 editable fields derived from the parameters. One working
// set exists per process; only the window thread uses it.

#include "config/CfgFields.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace orvo {

inline constexpr int kOsdTextSize = 48; // bytes per slot, terminator included
inline constexpr int kOsdTextMaxLength = kOsdTextSize - 1;
inline constexpr int kOsdTextCount = 2;

// Name of the card's configuration file and of the overrides file read from
// the current directory at start-up.
inline constexpr std::string_view kCfgFileName = "orvo-v264o4_tft_v1.cfg";
inline constexpr std::string_view kOverridesFileName = "orvo_v264o4_v1.ini";
inline constexpr std::string_view kOverridesSection = "RecSettings";

struct CfgParameter {
  char name[32];
  std::int32_t minimum;
  std::int32_t maximum;
  std::int32_t defaultValue;
  std::uint8_t written; // the default; overrides may raise it at run time
  std::uint8_t hex;
};

enum class CfgRule : std::uint8_t { None, Window, Rectangle };

// field = offset + multiplier * part / divisor, where part is the whole raw
// value (width 32) or its unsigned bit range. Explicit minimum and maximum
// both 0 mean: derived from the parameter's range through the same mapping.
struct CfgField {
  std::uint16_t param;
  std::uint8_t position;
  std::uint8_t width;
  std::int32_t minimum;
  std::int32_t maximum;
  std::int32_t multiplier;
  std::int32_t divisor;
  std::int32_t offset;
  CfgRule rule;
  std::uint8_t row; // 0..15, row of the rule
};

// The constant tables, in index order.
std::span<const CfgParameter> CfgParameters();
std::span<const CfgField> CfgFields();

// Out-of-range indices read as 0 (or empty) and change nothing.
std::int32_t GetParam(int index);
// Clamps to the parameter's range; returns the stored value.
std::int32_t SetParam(int index, std::int32_t value);
std::string_view ParamName(int index);
std::int32_t ParamMin(int index);
std::int32_t ParamMax(int index);
std::int32_t ParamDefault(int index);
// Written to the configuration file (table default or raised by an override).
bool IsParamWritten(int index);
bool IsParamHex(int index);
// Index of the parameter of that upper-case name, -1 if none.
int FindParam(std::string_view name);

// slot 0 or 1. The stored text is at most 47 bytes and never holds a NUL,
// CR or LF (a text is cut before the first of them).
std::string GetOsdText(int slot);
bool SetOsdText(int slot, std::string_view text);

std::int32_t GetField(int field);
std::int32_t FieldMin(int field);
std::int32_t FieldMax(int field);
// Clamps `value` to the field's range, stores it and runs the field's rule.
// When anything changed, `value` receives the stored value and the result is
// true. Raw values are not touched.
bool SetField(int field, std::int32_t &value);
bool IsEditable(int field, bool enable);

// Rules for one row (0..15); true when they adjusted a field value.
bool WindowRule(int row);
bool RectangleRule(int row);

// Table defaults for raw values and texts, then RawToFields. Written flags
// raised by overrides stay raised.
void ResetToDefaults();
void RawToFields();
void FieldsToRaw();

// Reads the section "RecSettings" of orvo_v264o4_v1.ini in the current
// directory; a value differing from the default is stored and, unless it had
// to be clamped, makes its parameter written. The INI object stays loaded
// until ReleaseStoredOverrides (called at shutdown).
void ApplyStoredOverrides();
void ReleaseStoredOverrides();

// With `appendName`, `path` is a folder ending in the separator and the
// file's name is appended. Reading returns whether the file could be opened
// and read (on failure the raw values and texts are unchanged); the fields
// are recomputed from the raw values in either case. Writing first takes the
// fields into the raw values and returns false when any step of creating,
// writing or closing the file fails.
bool ReadCfgFile(const std::string &path, bool appendName);
bool WriteCfgFile(const std::string &path, bool appendName);
// The two halves of ReadCfgFile, for a reader on another thread: the file's
// bytes (false when it cannot be read or is larger than any configuration
// file, kCfgFileBytesLimit), then, on the thread that owns the model, the
// lines applied and the fields recomputed.
inline constexpr std::size_t kCfgFileBytesLimit = 1 << 20;
bool LoadCfgFileBytes(const std::string &path, bool appendName, std::string &bytes);
void ApplyCfgText(std::string_view bytes);
// The two halves of WriteCfgFile, for a writer on another thread: the
// file's text from the model (fields taken into the raw values first), on
// the thread that owns the model; then the text written as the file.
std::string CfgFileText();
bool WriteCfgText(const std::string &path, bool appendName, std::string_view text);
// Applies one line of a configuration file, or ignores it.
void ParseCfgLine(std::string_view line);

} // namespace orvo
