// The parameter and field tables, built once from the recorder's family rules.

#include "config/Cfg_mgr.h"

#include <array>
#include <climits>
#include <cstdio>
#include <cstring>

namespace orvo {

namespace {

using ParamTable = std::array<CfgParameter, kCfgParamCount>;
using FieldTable = std::array<CfgField, kCfgFieldCount>;

constexpr std::int32_t kAnyMin = INT32_MIN;
constexpr std::int32_t kAnyMax = INT32_MAX;

enum FileForm : std::uint8_t { kNotWritten, kDec, kHex };

class ParamBuilder {
public:
  explicit ParamBuilder(ParamTable &table) : table_(table) {}

  void add(const char *name, std::int32_t minimum, std::int32_t maximum, std::int32_t def,
           FileForm form) {
    if (count_ >= kCfgParamCount)
      return;
    CfgParameter &p = table_[count_++];
    std::memset(&p, 0, sizeof p);
    std::snprintf(p.name, sizeof p.name, "%s", name);
    p.minimum = minimum;
    p.maximum = maximum;
    p.defaultValue = def;
    p.written = form != kNotWritten;
    p.hex = form == kHex;
  }

private:
  ParamTable &table_;
  int count_ = 0;
};

void AddFamily(ParamBuilder &b, int family) {
  static const char *const kPrefix[] = {"VS", "PAL", "NTSC", "DV"};
  static const char kSizes[] = {'L', 'M', 'H', 'C'};
  // Output sizes and the default line of text 2, per size, for VS/DV, PAL, NTSC.
  struct SizeDefaults {
    int w[3], h[3], text1[3];
  };
  static const SizeDefaults kOut[] = {
      {{160, 176, 176}, {112, 144, 112}, {6, 7, 6}},
      {{320, 352, 352}, {240, 288, 240}, {13, 16, 13}},
      {{640, 720, 640}, {480, 576, 480}, {28, 34, 28}},
      {{640, 720, 720}, {480, 576, 480}, {28, 34, 28}},
  };
  const bool pal = family == kFamilyPAL;
  const bool wide = family == kFamilyPAL || family == kFamilyNTSC;
  const int column = family == kFamilyPAL ? 1 : family == kFamilyNTSC ? 2 : 0;
  const int maxW = wide ? 720 : 640;
  const int maxH = pal ? 576 : 480;
  const int maxLine = pal ? 35 : 29;
  const char *prefix = kPrefix[family];

  char name[32];
  auto named = [&](const char *suffix) {
    std::snprintf(name, sizeof name, "%s_%s", prefix, suffix);
    return name;
  };
  b.add(named("FPS"), 0, 5, 5, kDec);
  b.add(named("VBITRATE"), 0, 10, 10, kDec);
  b.add(named("GOP_SIZE"), 1, 1000, pal ? 12 : 15, kNotWritten);
  b.add(named("FRAMESIZE"), 0, 3, 2, kDec);
  for (int s = 0; s < kFrameSizeCount; ++s) {
    const FileForm form = s == kSizeC ? kDec : kNotWritten;
    const SizeDefaults &d = kOut[s];
    auto sized = [&](const char *item) {
      std::snprintf(name, sizeof name, "%s_%s_%c", prefix, item, kSizes[s]);
      return name;
    };
    b.add(sized("WIDTH"), 96, maxW, maxW, form);
    b.add(sized("HEIGHT"), 96, maxH, maxH, form);
    b.add(sized("OFFSET_X"), 0, maxW, 0, form);
    b.add(sized("OFFSET_Y"), 0, maxH, 0, form);
    b.add(sized("DECIMATION_H"), 96, maxW, d.w[column], form);
    b.add(sized("DECIMATION_V"), 96, maxH, d.h[column], form);
    b.add(sized("TEXT_COORD_0"), 0, maxLine, 1, form);
    b.add(sized("TEXT_COORD_1"), 0, maxLine, d.text1[column], form);
  }
}

ParamTable BuildParameters() {
  ParamTable t{};
  ParamBuilder b(t);
  b.add("RECORD_MODE", 0, 4, 0, kDec);
  b.add("DUPLICATE", 0, 1, 0, kDec);
  b.add("CURRENT_CARD", 0, 3, 0, kNotWritten);
  b.add("VSOURCE", 0, 1, 0, kDec);
  for (int f = 0; f < kVideoFamilyCount; ++f)
    AddFamily(b, f);
  b.add("VS_BRIGHTNESS", 0, 255, 120, kDec);
  b.add("VS_CONTRAST", 0, 255, 128, kDec);
  b.add("VS_HUE", 0, 255, 128, kDec);
  b.add("VS_SATURATION", 0, 255, 128, kDec);
  b.add("VS_GAIN", 0, 255, 128, kDec);
  b.add("VS_AGC", 0, 1, 1, kDec);
  b.add("VS_FLICKER", 0, 1, 1, kDec);
  b.add("VS_DENOISE", 0, 255, 16, kDec);
  b.add("AV_BRIGHTNESS", 0, 255, 128, kDec);
  b.add("AV_CONTRAST", 0, 255, 128, kDec);
  b.add("AV_HUE", 0, 255, 128, kDec);
  b.add("AV_SATURATION", 0, 255, 128, kDec);
  b.add("AV_COLORSYS", 0, 4, 0, kDec);
  b.add("AV_PARAM2", 0, 0, 0, kNotWritten);
  b.add("AV_PARAM3", 0, 0, 0, kNotWritten);
  b.add("AV_PARAM4", 0, 0, 0, kNotWritten);
  b.add("DV_BRIGHTNESS", 0, 255, 128, kDec);
  b.add("DV_CONTRAST", 0, 255, 128, kDec);
  b.add("DV_HUE", 0, 255, 128, kDec);
  b.add("DV_SATURATION", 0, 255, 128, kDec);
  b.add("DV_PARAM1", 0, 0, 0, kNotWritten);
  b.add("DV_PARAM2", 0, 0, 0, kNotWritten);
  b.add("DV_PARAM3", 0, 0, 0, kNotWritten);
  b.add("DV_PARAM4", 0, 0, 0, kNotWritten);
  b.add("ASOURCE", 0, 1, 0, kDec);
  b.add("ABITRATE", 0, 3, 3, kDec);
  b.add("AUDIO_MODE", 0, 2, 0, kDec);
  b.add("AUDIO_GAIN", 0, 126, 64, kDec);
  b.add("AUDIO_AGC", 0, 1, 1, kDec);
  b.add("VOLUME", 0, 126, 120, kDec);
  b.add("BACKLIGHT", 0, 3, 3, kDec);
  b.add("DISPLAY_HIDE", 0, 6, 2, kDec);
  b.add("DISPLAY_OFF", 0, 11, 2, kDec);
  b.add("RECORDER_OFF", 0, 11, 4, kDec);
  b.add("CPWR_MODE", 0, 4, 0, kDec);
  b.add("CPWR_VOLTAGE", 0, 1, 0, kDec);
  b.add("GPS_MODE", 0, 4, 0, kDec);
  b.add("GPS_TIME", 0, 1, 1, kDec);
  b.add("GPS_DST", 0, 1, 1, kDec);
  b.add("GPS_TIMEZONE", 0, 24, 15, kDec);
  b.add("TS_XMIN", 0, 4095, 420, kNotWritten);
  b.add("TS_XMAX", 0, 4095, 3680, kNotWritten);
  b.add("TS_YMIN", 0, 4095, 400, kNotWritten);
  b.add("TS_YMAX", 0, 4095, 3660, kNotWritten);
  char name[32];
  for (int n = 0; n < kTimerCount; ++n) {
    std::snprintf(name, sizeof name, "ALARM_%d_TIME", n);
    b.add(name, kAnyMin, kAnyMax, 0x7F000000, kHex);
    std::snprintf(name, sizeof name, "ALARM_%d_LEN", n);
    b.add(name, kAnyMin, kAnyMax, 0x00000100, kHex);
    std::snprintf(name, sizeof name, "ALARM_%d_DATE", n);
    b.add(name, kAnyMin, kAnyMax, 0x0001010B, kHex);
    std::snprintf(name, sizeof name, "ALARM_%d_MODE", n);
    b.add(name, 0, 3, 0, kDec);
  }
  b.add("TEXT_STATE", 0, 3, 0, kDec);
  b.add("AUTO_START_MODE", 0, 3, 0, kDec);
  for (int a = 1; a <= kMdAreaCount; ++a) {
    std::snprintf(name, sizeof name, "MD_ROI_CFG%d", a);
    b.add(name, kAnyMin, kAnyMax, static_cast<std::int32_t>(a == 1 ? 0x8114000Au : 0x0014000Au),
          kHex);
    for (int m = 1; m <= kMdRectCount; ++m) {
      std::snprintf(name, sizeof name, "MD_ROI_DEF%d%d", a, m);
      b.add(name, kAnyMin, kAnyMax, 0x28281414, kHex);
    }
  }
  b.add("MD_DELAY", 0, 7, 0, kDec);
  b.add("VAS_SENS", 16, 256, 256, kDec);
  b.add("VAS_DELAY", 0, 7, 0, kDec);
  b.add("PREHISTORY", 0, 7, 0, kDec);
  b.add("ADA_INPUT", 0, 255, 0, kDec);
  b.add("ADA_LEVEL", 0, 255, 0, kDec);
  b.add("COORD_SWITCH_DLY", 1, 20, 3, kNotWritten);
  b.add("VBR_AUTODEC", 0, 1, 0, kDec);
  b.add("CAM_ORIENTATION", 0, 3, 0, kDec);
  return t;
}

class FieldBuilder {
public:
  explicit FieldBuilder(FieldTable &table) : table_(table) {}

  // Explicit range; minimum == maximum == 0 derives it from the parameter.
  void add(int param, int position, int width, std::int32_t minimum = 0, std::int32_t maximum = 0,
           std::int32_t multiplier = 1, std::int32_t offset = 0, CfgRule rule = CfgRule::None,
           int row = 0) {
    if (count_ >= kCfgFieldCount)
      return;
    CfgField &f = table_[count_++];
    f.param = static_cast<std::uint16_t>(param);
    f.position = static_cast<std::uint8_t>(position);
    f.width = static_cast<std::uint8_t>(width);
    f.minimum = minimum;
    f.maximum = maximum;
    f.multiplier = multiplier;
    f.divisor = 1;
    f.offset = offset;
    f.rule = rule;
    f.row = static_cast<std::uint8_t>(row);
  }
  // Four byte fields, most significant byte first.
  void addBytes(int param, const std::int32_t (&ranges)[4][2], CfgRule rule = CfgRule::None,
                int row = 0) {
    for (int i = 0; i < 4; ++i)
      add(param, 24 - 8 * i, 8, ranges[i][0], ranges[i][1], 1, 0, rule, row);
  }

private:
  FieldTable &table_;
  int count_ = 0;
};

FieldTable BuildFields() {
  FieldTable t{};
  FieldBuilder b(t);
  for (int p = 0; p < kParamFirstAlarm; ++p) {
    const bool picture = (p >= kParamVsBrightness && p <= kParamVsSaturation) ||
                         (p >= kParamAvBrightness && p < kParamAvBrightness + 4) ||
                         (p >= kParamDvBrightness && p < kParamDvBrightness + 4);
    if (picture) {
      b.add(p, 0, 32, 0, 255, -1, 255);
      continue;
    }
    const int inFamily = p - kParamFirstFamily;
    if (inFamily >= 4 && inFamily < kVideoFamilyCount * kVideoFamilySize &&
        inFamily % kVideoFamilySize >= 4) {
      const int family = inFamily / kVideoFamilySize;
      const int size = (inFamily % kVideoFamilySize - 4) / kWindowItemCount;
      const int item = (inFamily % kVideoFamilySize - 4) % kWindowItemCount;
      const int row = family * kFrameSizeCount + size;
      const bool text = item == kWindowTextCoord0 || item == kWindowTextCoord1;
      b.add(p, 0, 32, 0, 0, text ? 16 : 1, 0, CfgRule::Window, row);
      continue;
    }
    b.add(p, 0, 32);
  }
  static const std::int32_t kTime[4][2] = {{0, 0}, {0, 23}, {0, 59}, {0, 59}};
  static const std::int32_t kLen[4][2] = {{0, 255}, {0, 23}, {0, 59}, {0, 59}};
  static const std::int32_t kDate[4][2] = {{0, 255}, {1, 31}, {1, 12}, {0, 99}};
  for (int n = 0; n < kTimerCount; ++n) {
    b.addBytes(AlarmParam(n, kTimerTime), kTime);
    b.addBytes(AlarmParam(n, kTimerLen), kLen);
    b.addBytes(AlarmParam(n, kTimerDate), kDate);
    b.add(AlarmParam(n, kTimerMode), 0, 32);
  }
  b.add(kParamTextState, 0, 32);
  b.add(kParamAutoStartMode, 0, 32);
  static const std::int32_t kPercent[4][2] = {{0, 100}, {0, 100}, {0, 100}, {0, 100}};
  for (int a = 0; a < kMdAreaCount; ++a) {
    const int cfg = MdRoiCfgParam(a);
    b.add(cfg, 24, 8);
    b.add(cfg, 16, 8, 0, 64, -1, 64);
    b.add(cfg, 0, 16, 0, 2490, -1, 2500);
    for (int m = 0; m < kMdRectCount; ++m)
      b.addBytes(MdRoiDefParam(a, m), kPercent, CfgRule::Rectangle, 4 * a + m);
  }
  for (int p = kParamMdDelay; p <= kParamCamOrientation; ++p) {
    if (p == kParamAdaInput || p == kParamAdaLevel)
      b.add(p, 0, 8);
    else
      b.add(p, 0, 32);
  }
  return t;
}

} // namespace

std::span<const CfgParameter> CfgParameters() {
  static const ParamTable table = BuildParameters();
  return table;
}

std::span<const CfgField> CfgFields() {
  static const FieldTable table = BuildFields();
  return table;
}

} // namespace orvo
