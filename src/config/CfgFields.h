#pragma once

// Index layout of the recorder's parameters and of the editable fields derived
// from them. Settings pages and dialogs address the model only through these
// names.
//
// Parameters 0..191 have exactly one whole-value field each, so for them the
// field index equals the parameter index.

namespace orvo {

inline constexpr int kCfgParamCount = 263;
inline constexpr int kCfgFieldCount = 409;

// ---- Parameters ----------------------------------------------------------

inline constexpr int kParamRecordMode = 0;
inline constexpr int kParamDuplicate = 1;
inline constexpr int kParamCurrentCard = 2;
inline constexpr int kParamVSource = 3;

// The four video families, each of 36 parameters: VS (built-in camera), PAL
// (video input 50 Hz), NTSC (video input 60 Hz), DV (digital video input).
enum VideoFamily : int { kFamilyVS = 0, kFamilyPAL = 1, kFamilyNTSC = 2, kFamilyDV = 3 };
inline constexpr int kVideoFamilyCount = 4;
inline constexpr int kVideoFamilySize = 36;
inline constexpr int kParamFirstFamily = 4;

// Frame size choices of _FRAMESIZE; each has its own capture window.
enum FrameSize : int { kSizeL = 0, kSizeM = 1, kSizeH = 2, kSizeC = 3 };
inline constexpr int kFrameSizeCount = 4;

// Items of one frame size's window, in parameter order.
enum WindowItem : int {
  kWindowWidth = 0,
  kWindowHeight = 1,
  kWindowOffsetX = 2,
  kWindowOffsetY = 3,
  kWindowDecimationH = 4,
  kWindowDecimationV = 5,
  kWindowTextCoord0 = 6,
  kWindowTextCoord1 = 7,
};
inline constexpr int kWindowItemCount = 8;

constexpr int FamilyFirstParam(int family) {
  return kParamFirstFamily + kVideoFamilySize * family;
}
constexpr int FpsParam(int family) {
  return FamilyFirstParam(family) + 0;
}
constexpr int VideoBitrateParam(int family) {
  return FamilyFirstParam(family) + 1;
}
constexpr int GopSizeParam(int family) {
  return FamilyFirstParam(family) + 2;
}
constexpr int FrameSizeParam(int family) {
  return FamilyFirstParam(family) + 3;
}
constexpr int WindowParam(int family, int size, int item) {
  return FamilyFirstParam(family) + 4 + kWindowItemCount * size + item;
}

// Picture adjustments: VS_, AV_ and DV_ groups of brightness, contrast, hue,
// saturation (their fields show 255 - raw).
enum PictureItem : int {
  kPictureBrightness = 0,
  kPictureContrast = 1,
  kPictureHue = 2,
  kPictureSaturation = 3,
};
inline constexpr int kParamVsBrightness = 148;
inline constexpr int kParamVsContrast = 149;
inline constexpr int kParamVsHue = 150;
inline constexpr int kParamVsSaturation = 151;
inline constexpr int kParamVsGain = 152;
inline constexpr int kParamVsAgc = 153;
inline constexpr int kParamVsFlicker = 154;
inline constexpr int kParamVsDenoise = 155;
inline constexpr int kParamAvBrightness = 156;
inline constexpr int kParamAvColorSys = 160;
inline constexpr int kParamAvParam2 = 161;
inline constexpr int kParamDvBrightness = 164;
inline constexpr int kParamDvParam1 = 168;
inline constexpr int kParamASource = 172;
inline constexpr int kParamABitrate = 173;
inline constexpr int kParamAudioMode = 174;
inline constexpr int kParamAudioGain = 175;
inline constexpr int kParamAudioAgc = 176;
inline constexpr int kParamVolume = 177;
inline constexpr int kParamBacklight = 178;
inline constexpr int kParamDisplayHide = 179;
inline constexpr int kParamDisplayOff = 180;
inline constexpr int kParamRecorderOff = 181;
inline constexpr int kParamCpwrMode = 182;
inline constexpr int kParamCpwrVoltage = 183;
inline constexpr int kParamGpsMode = 184;
inline constexpr int kParamGpsTime = 185;
inline constexpr int kParamGpsDst = 186;
inline constexpr int kParamGpsTimezone = 187;
inline constexpr int kParamTsXMin = 188;
inline constexpr int kParamTsXMax = 189;
inline constexpr int kParamTsYMin = 190;
inline constexpr int kParamTsYMax = 191;

// Timers 0..9, four parameters each.
enum TimerParamItem : int { kTimerTime = 0, kTimerLen = 1, kTimerDate = 2, kTimerMode = 3 };
inline constexpr int kTimerCount = 10;
inline constexpr int kParamFirstAlarm = 192;
constexpr int AlarmParam(int timer, int item) {
  return kParamFirstAlarm + 4 * timer + item;
}

inline constexpr int kParamTextState = 232;
inline constexpr int kParamAutoStartMode = 233;

// Motion detection areas 0..3, each a CFG parameter followed by four
// rectangle parameters DEF.
inline constexpr int kMdAreaCount = 4;
inline constexpr int kMdRectCount = 4;
inline constexpr int kParamFirstMdRoi = 234;
constexpr int MdRoiCfgParam(int area) {
  return kParamFirstMdRoi + 5 * area;
}
constexpr int MdRoiDefParam(int area, int rect) {
  return MdRoiCfgParam(area) + 1 + rect;
}

inline constexpr int kParamMdDelay = 254;
inline constexpr int kParamVasSens = 255;
inline constexpr int kParamVasDelay = 256;
inline constexpr int kParamPrehistory = 257;
inline constexpr int kParamAdaInput = 258;
inline constexpr int kParamAdaLevel = 259;
inline constexpr int kParamCoordSwitchDly = 260;
inline constexpr int kParamVbrAutodec = 261;
inline constexpr int kParamCamOrientation = 262;

// ---- Fields --------------------------------------------------------------

inline constexpr int kFieldRecordMode = kParamRecordMode;
inline constexpr int kFieldDuplicate = kParamDuplicate;
inline constexpr int kFieldCurrentCard = kParamCurrentCard;
inline constexpr int kFieldVSource = kParamVSource;

constexpr int FpsField(int family) {
  return FpsParam(family);
}
constexpr int VideoBitrateField(int family) {
  return VideoBitrateParam(family);
}
constexpr int GopSizeField(int family) {
  return GopSizeParam(family);
}
constexpr int FrameSizeField(int family) {
  return FrameSizeParam(family);
}
constexpr int WindowField(int family, int size, int item) {
  return WindowParam(family, size, item);
}

// group: kParamVsBrightness, kParamAvBrightness or kParamDvBrightness.
constexpr int PictureField(int group, int item) {
  return group + item;
}
inline constexpr int kFieldVsBrightness = kParamVsBrightness;
inline constexpr int kFieldAvBrightness = kParamAvBrightness;
inline constexpr int kFieldDvBrightness = kParamDvBrightness;
inline constexpr int kFieldVsGain = kParamVsGain;
inline constexpr int kFieldVsAgc = kParamVsAgc;
inline constexpr int kFieldVsFlicker = kParamVsFlicker;
inline constexpr int kFieldVsDenoise = kParamVsDenoise;
inline constexpr int kFieldAvColorSys = kParamAvColorSys;
inline constexpr int kFieldASource = kParamASource;
inline constexpr int kFieldABitrate = kParamABitrate;
inline constexpr int kFieldAudioMode = kParamAudioMode;
inline constexpr int kFieldAudioGain = kParamAudioGain;
inline constexpr int kFieldAudioAgc = kParamAudioAgc;
inline constexpr int kFieldVolume = kParamVolume;
inline constexpr int kFieldBacklight = kParamBacklight;
inline constexpr int kFieldDisplayHide = kParamDisplayHide;
inline constexpr int kFieldDisplayOff = kParamDisplayOff;
inline constexpr int kFieldRecorderOff = kParamRecorderOff;
inline constexpr int kFieldCpwrMode = kParamCpwrMode;
inline constexpr int kFieldCpwrVoltage = kParamCpwrVoltage;
inline constexpr int kFieldGpsMode = kParamGpsMode;
inline constexpr int kFieldGpsTime = kParamGpsTime;
inline constexpr int kFieldGpsDst = kParamGpsDst;
inline constexpr int kFieldGpsTimezone = kParamGpsTimezone;

// Timer n occupies 13 fields: the four bytes of TIME (weekday bits with bit 7
// "timer on", hours, minutes, seconds), the four of LEN (spare, hours,
// minutes, seconds), the four of DATE (spare, day, month, year of century)
// and MODE.
inline constexpr int kFieldFirstTimer = 192;
inline constexpr int kTimerFieldCount = 13;
constexpr int TimerField(int timer) {
  return kFieldFirstTimer + kTimerFieldCount * timer;
}
inline constexpr int kTimerFieldWeekdays = 0;
inline constexpr int kTimerFieldStartHours = 1;  // then minutes, seconds
inline constexpr int kTimerFieldLength = 4;      // spare byte
inline constexpr int kTimerFieldLengthHours = 5; // then minutes, seconds
inline constexpr int kTimerFieldDate = 8;        // spare byte
inline constexpr int kTimerFieldDay = 9;         // then month, year
inline constexpr int kTimerFieldMode = 12;

inline constexpr int kFieldTextState = 322;
inline constexpr int kFieldAutoStartMode = 323;

// Area a occupies 19 fields: flags (bit 7 area on, bits 0..3 rectangles on),
// brightness-change sensitivity, object-size sensitivity, then X, Y, width,
// height in percent of each of its four rectangles.
inline constexpr int kFieldFirstArea = 324;
inline constexpr int kAreaFieldCount = 19;
constexpr int AreaField(int area) {
  return kFieldFirstArea + kAreaFieldCount * area;
}
inline constexpr int kAreaFieldFlags = 0;
inline constexpr int kAreaOnBit = 7; // of the flags field
inline constexpr int kAreaFieldBrightnessSens = 1;
inline constexpr int kAreaFieldSizeSens = 2;
enum RectItem : int { kRectX = 0, kRectY = 1, kRectWidth = 2, kRectHeight = 3 };
constexpr int RectField(int area, int rect) {
  return AreaField(area) + 3 + 4 * rect;
}

inline constexpr int kFieldMdDelay = 400;
inline constexpr int kFieldVasSens = 401;
inline constexpr int kFieldVasDelay = 402;
inline constexpr int kFieldPrehistory = 403;
inline constexpr int kFieldAdaInput = 404;
inline constexpr int kFieldAdaLevel = 405;
inline constexpr int kFieldCoordSwitchDly = 406;
inline constexpr int kFieldVbrAutodec = 407;
inline constexpr int kFieldCamOrientation = 408;

// Video family shown for an entry of the video source list (built-in camera,
// video input 50 Hz, video input 60 Hz).
constexpr int FamilyOfSourceIndex(int sourceIndex) {
  return sourceIndex;
}

static_assert(FamilyFirstParam(kFamilyDV) + kVideoFamilySize == kParamVsBrightness);
static_assert(AlarmParam(kTimerCount, 0) == kParamTextState);
static_assert(MdRoiCfgParam(kMdAreaCount) == kParamMdDelay);
static_assert(kParamCamOrientation + 1 == kCfgParamCount);
static_assert(TimerField(kTimerCount) == kFieldTextState);
static_assert(AreaField(kMdAreaCount) == kFieldMdDelay);
static_assert(kFieldCamOrientation + 1 == kCfgFieldCount);

} // namespace orvo
