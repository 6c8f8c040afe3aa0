// The working set: raw values, texts, fields and the rules tying fields
// together.

#include "config/CfgState.h"

#include <algorithm>
#include <cstring>

namespace orvo {

namespace cfg_internal {

CfgState &State() {
  static CfgState state = [] {
    CfgState s;
    const auto params = CfgParameters();
    for (int i = 0; i < kCfgParamCount; ++i) {
      s.raw[i] = params[i].defaultValue;
      s.written[i] = params[i].written;
    }
    return s;
  }();
  return state;
}

} // namespace cfg_internal

using cfg_internal::State;

namespace {

constexpr const char *kDefaultOsd[kOsdTextCount] = {" ORVO V264O4 TFT", " %D %T"};

bool ValidParam(int index) {
  return index >= 0 && index < kCfgParamCount;
}
bool ValidField(int index) {
  return index >= 0 && index < kCfgFieldCount;
}
bool ValidRow(int row) {
  return row >= 0 && row < 16;
}

std::int32_t Wrap(std::int64_t v) {
  return static_cast<std::int32_t>(v);
}

// offset + multiplier * part / divisor, truncating toward zero.
std::int32_t Map(const CfgField &f, std::int64_t part) {
  return Wrap(f.offset + f.multiplier * part / f.divisor);
}

std::uint32_t FieldMask(const CfgField &f) {
  return f.width >= 32 ? 0xFFFFFFFFu : ((1u << f.width) - 1u) << f.position;
}

// The fields of a window row in the order X, Y, W, H, OH, OV, T0, T1.
std::array<int, 8> WindowRowFields(int row) {
  const int family = row / kFrameSizeCount, size = row % kFrameSizeCount;
  static constexpr int kOrder[8] = {kWindowOffsetX,    kWindowOffsetY,     kWindowWidth,
                                    kWindowHeight,     kWindowDecimationH, kWindowDecimationV,
                                    kWindowTextCoord0, kWindowTextCoord1};
  std::array<int, 8> out{};
  for (int i = 0; i < 8; ++i)
    out[i] = WindowField(family, size, kOrder[i]);
  return out;
}

// Sets a field value for a rule; true when it changed.
bool Adjust(int field, std::int32_t value) {
  std::int32_t &stored = State().fields[field];
  if (stored == value)
    return false;
  stored = value;
  return true;
}

bool RunRule(const CfgField &f) {
  switch (f.rule) {
  case CfgRule::Window:
    return WindowRule(f.row);
  case CfgRule::Rectangle:
    return RectangleRule(f.row);
  case CfgRule::None:
    break;
  }
  return false;
}

} // namespace

std::int32_t GetParam(int index) {
  return ValidParam(index) ? State().raw[index] : 0;
}

std::int32_t SetParam(int index, std::int32_t value) {
  if (!ValidParam(index))
    return 0;
  const CfgParameter &p = CfgParameters()[index];
  value = std::clamp(value, p.minimum, p.maximum);
  State().raw[index] = value;
  return value;
}

std::string_view ParamName(int index) {
  return ValidParam(index) ? std::string_view(CfgParameters()[index].name) : std::string_view();
}
std::int32_t ParamMin(int index) {
  return ValidParam(index) ? CfgParameters()[index].minimum : 0;
}
std::int32_t ParamMax(int index) {
  return ValidParam(index) ? CfgParameters()[index].maximum : 0;
}
std::int32_t ParamDefault(int index) {
  return ValidParam(index) ? CfgParameters()[index].defaultValue : 0;
}
bool IsParamWritten(int index) {
  return ValidParam(index) && State().written[index] != 0;
}
bool IsParamHex(int index) {
  return ValidParam(index) && CfgParameters()[index].hex != 0;
}

int FindParam(std::string_view name) {
  const auto params = CfgParameters();
  for (int i = 0; i < kCfgParamCount; ++i)
    if (name == params[i].name)
      return i;
  return -1;
}

std::string GetOsdText(int slot) {
  if (slot < 0 || slot >= kOsdTextCount)
    return {};
  return std::string(State().osd[slot].data());
}

bool SetOsdText(int slot, std::string_view text) {
  if (slot < 0 || slot >= kOsdTextCount)
    return false;
  // A NUL, CR or LF could not survive a write of the configuration file (it
  // would end the text or break its line), so the text ends before one.
  const std::size_t end = text.find_first_of(std::string_view("\0\r\n", 3));
  if (end != std::string_view::npos)
    text = text.substr(0, end);
  // Nor could the rest of the characters the file cannot carry back: any
  // other control character or a byte from 0x80 would drop the line when it
  // is read, ";" would start a comment, '"' would end the quoted text.
  auto &buf = State().osd[slot];
  buf.fill('\0');
  std::size_t n = 0;
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (n == kOsdTextMaxLength)
      break;
    if (c >= 0x20 && c < 0x7F && c != ';')
      buf[n++] = c == '"' ? '\'' : ch;
  }
  return true;
}

std::int32_t GetField(int field) {
  return ValidField(field) ? State().fields[field] : 0;
}

std::int32_t FieldMin(int field) {
  if (!ValidField(field))
    return 0;
  const CfgField &f = CfgFields()[field];
  if (f.minimum != 0 || f.maximum != 0)
    return f.minimum;
  return Map(f, CfgParameters()[f.param].minimum);
}

std::int32_t FieldMax(int field) {
  if (!ValidField(field))
    return 0;
  const CfgField &f = CfgFields()[field];
  if (f.minimum != 0 || f.maximum != 0)
    return f.maximum;
  return Map(f, CfgParameters()[f.param].maximum);
}

bool SetField(int field, std::int32_t &value) {
  if (!ValidField(field))
    return false;
  const std::int32_t lo = FieldMin(field), hi = FieldMax(field);
  const std::int32_t clamped = std::max(lo, std::min(value, hi));
  bool changed = Adjust(field, clamped);
  if (RunRule(CfgFields()[field]))
    changed = true;
  if (changed)
    value = State().fields[field];
  return changed;
}

bool IsEditable(int field, bool enable) {
  return enable && ValidField(field) && IsParamWritten(CfgFields()[field].param);
}

bool WindowRule(int row) {
  if (!ValidRow(row))
    return false;
  const std::array<int, 8> r = WindowRowFields(row);
  const int fx = r[0], fy = r[1], fw = r[2], fh = r[3], foh = r[4], fov = r[5];
  auto &v = State().fields;
  bool changed = Adjust(fx, v[fx] & ~1);
  if (std::int64_t{v[fx]} + v[fw] > FieldMax(fw))
    changed |= Adjust(fw, Wrap(std::int64_t{FieldMax(fw)} - v[fx]));
  if (std::int64_t{v[fy]} + v[fh] > FieldMax(fh))
    changed |= Adjust(fh, Wrap(std::int64_t{FieldMax(fh)} - v[fy]));
  auto output = [&](int fo, int limit) {
    std::int32_t o = v[fo];
    if (o < 96)
      o = 96;
    if (o > limit)
      o = limit;
    return Adjust(fo, o & ~15);
  };
  changed |= output(foh, v[fw]);
  changed |= output(fov, v[fh]);
  auto textLine = [&](int ft) {
    std::int32_t t = v[ft];
    if (t >= v[fov])
      t = Wrap(std::int64_t{v[fov]} - 1);
    return Adjust(ft, t & ~15);
  };
  changed |= textLine(r[6]);
  changed |= textLine(r[7]);
  return changed;
}

bool RectangleRule(int row) {
  if (!ValidRow(row))
    return false;
  const int first = RectField(row / kMdRectCount, row % kMdRectCount);
  const int fx = first + kRectX, fy = first + kRectY;
  const int fw = first + kRectWidth, fh = first + kRectHeight;
  auto &v = State().fields;
  bool changed = false;
  if (std::int64_t{v[fx]} + v[fw] > FieldMax(fw))
    changed |= Adjust(fw, Wrap(std::int64_t{FieldMax(fw)} - v[fx]));
  if (std::int64_t{v[fy]} + v[fh] > FieldMax(fh))
    changed |= Adjust(fh, Wrap(std::int64_t{FieldMax(fh)} - v[fy]));
  return changed;
}

void ResetToDefaults() {
  const auto params = CfgParameters();
  for (int i = 0; i < kCfgParamCount; ++i)
    State().raw[i] = params[i].defaultValue;
  for (int slot = 0; slot < kOsdTextCount; ++slot)
    SetOsdText(slot, kDefaultOsd[slot]);
  RawToFields();
}

void RawToFields() {
  const auto fields = CfgFields();
  auto &s = State();
  for (int i = 0; i < kCfgFieldCount; ++i) {
    const CfgField &f = fields[i];
    const std::int32_t raw = s.raw[f.param];
    std::int64_t part = raw;
    if (f.width < 32)
      part = (static_cast<std::uint32_t>(raw) >> f.position) & ((1u << f.width) - 1u);
    s.fields[i] = Map(f, part);
  }
  for (const CfgField &f : fields)
    RunRule(f);
}

void FieldsToRaw() {
  const auto fields = CfgFields();
  auto &s = State();
  for (int i = 0; i < kCfgFieldCount; ++i) {
    const CfgField &f = fields[i];
    const std::int32_t part =
        Wrap(std::int64_t{f.divisor} * (std::int64_t{s.fields[i]} - f.offset) / f.multiplier);
    std::int32_t raw = part;
    if (f.width < 32) {
      const std::uint32_t mask = FieldMask(f);
      const std::uint32_t bits = static_cast<std::uint32_t>(part) << f.position;
      raw = static_cast<std::int32_t>((static_cast<std::uint32_t>(s.raw[f.param]) & ~mask) |
                                      (bits & mask));
    }
    SetParam(f.param, raw);
  }
}

} // namespace orvo
