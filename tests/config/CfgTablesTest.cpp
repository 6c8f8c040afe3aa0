#include "config/Cfg_mgr.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace orvo;

TEST(CfgTables, CountsOfParametersWrittenAndHex) {
  ASSERT_EQ(CfgParameters().size(), 263u);
  ASSERT_EQ(CfgFields().size(), 409u);
  int written = 0, hex = 0;
  std::set<std::string> names;
  for (const CfgParameter &p : CfgParameters()) {
    written += p.written;
    hex += p.hex;
    EXPECT_TRUE(!p.hex || p.written) << p.name;
    EXPECT_LE(p.minimum, p.defaultValue) << p.name;
    EXPECT_LE(p.defaultValue, p.maximum) << p.name;
    names.insert(p.name);
  }
  EXPECT_EQ(written, 150);
  EXPECT_EQ(hex, 50);
  EXPECT_EQ(names.size(), 263u) << "parameter names must be unique";
}

TEST(CfgTables, ParameterOrderAndNamedIndices) {
  EXPECT_EQ(ParamName(kParamRecordMode), "RECORD_MODE");
  EXPECT_EQ(ParamName(kParamVSource), "VSOURCE");
  EXPECT_EQ(ParamName(FpsParam(kFamilyVS)), "VS_FPS");
  EXPECT_EQ(ParamName(4), "VS_FPS");
  EXPECT_EQ(ParamName(40), "PAL_FPS");
  EXPECT_EQ(ParamName(76), "NTSC_FPS");
  EXPECT_EQ(ParamName(112), "DV_FPS");
  EXPECT_EQ(ParamName(WindowParam(kFamilyVS, kSizeC, kWindowTextCoord1)), "VS_TEXT_COORD_1_C");
  EXPECT_EQ(ParamName(WindowParam(kFamilyNTSC, kSizeL, kWindowOffsetY)), "NTSC_OFFSET_Y_L");
  EXPECT_EQ(ParamName(kParamVsBrightness), "VS_BRIGHTNESS");
  EXPECT_EQ(ParamName(kParamAvColorSys), "AV_COLORSYS");
  EXPECT_EQ(ParamName(kParamDvParam1 + 3), "DV_PARAM4");
  EXPECT_EQ(ParamName(kParamASource), "ASOURCE");
  EXPECT_EQ(ParamName(kParamTsYMax), "TS_YMAX");
  EXPECT_EQ(ParamName(AlarmParam(0, kTimerTime)), "ALARM_0_TIME");
  EXPECT_EQ(ParamName(AlarmParam(9, kTimerMode)), "ALARM_9_MODE");
  EXPECT_EQ(ParamName(kParamTextState), "TEXT_STATE");
  EXPECT_EQ(ParamName(MdRoiCfgParam(1)), "MD_ROI_CFG2");
  EXPECT_EQ(ParamName(MdRoiDefParam(3, 3)), "MD_ROI_DEF44");
  EXPECT_EQ(ParamName(kParamCamOrientation), "CAM_ORIENTATION");
  EXPECT_EQ(FindParam("MD_ROI_DEF22"), MdRoiDefParam(1, 1));
  EXPECT_EQ(FindParam("record_mode"), -1);
  EXPECT_EQ(ParamName(263), "");
  EXPECT_EQ(ParamMax(-1), 0);
}

TEST(CfgTables, FamilyRangesAndDefaults) {
  struct Expect {
    int family, maxW, maxH, maxLine, gop;
    int outW[4], outH[4], line1[4];
  };
  const Expect all[] = {
      {kFamilyVS, 640, 480, 29, 15, {160, 320, 640, 640}, {112, 240, 480, 480}, {6, 13, 28, 28}},
      {kFamilyPAL, 720, 576, 35, 12, {176, 352, 720, 720}, {144, 288, 576, 576}, {7, 16, 34, 34}},
      {kFamilyNTSC, 720, 480, 29, 15, {176, 352, 640, 720}, {112, 240, 480, 480}, {6, 13, 28, 28}},
      {kFamilyDV, 640, 480, 29, 15, {160, 320, 640, 640}, {112, 240, 480, 480}, {6, 13, 28, 28}},
  };
  for (const Expect &e : all) {
    SCOPED_TRACE(e.family);
    EXPECT_EQ(ParamDefault(GopSizeParam(e.family)), e.gop);
    EXPECT_FALSE(CfgParameters()[GopSizeParam(e.family)].written);
    EXPECT_EQ(ParamMax(FpsParam(e.family)), 5);
    EXPECT_EQ(ParamDefault(VideoBitrateParam(e.family)), 10);
    EXPECT_EQ(ParamDefault(FrameSizeParam(e.family)), 2);
    for (int s = 0; s < kFrameSizeCount; ++s) {
      SCOPED_TRACE(s);
      auto p = [&](int item) { return WindowParam(e.family, s, item); };
      EXPECT_EQ(ParamMin(p(kWindowWidth)), 96);
      EXPECT_EQ(ParamMax(p(kWindowWidth)), e.maxW);
      EXPECT_EQ(ParamDefault(p(kWindowWidth)), e.maxW);
      EXPECT_EQ(ParamMax(p(kWindowHeight)), e.maxH);
      EXPECT_EQ(ParamDefault(p(kWindowHeight)), e.maxH);
      EXPECT_EQ(ParamMax(p(kWindowOffsetX)), e.maxW);
      EXPECT_EQ(ParamMax(p(kWindowOffsetY)), e.maxH);
      EXPECT_EQ(ParamMax(p(kWindowDecimationH)), e.maxW);
      EXPECT_EQ(ParamDefault(p(kWindowDecimationH)), e.outW[s]);
      EXPECT_EQ(ParamDefault(p(kWindowDecimationV)), e.outH[s]);
      EXPECT_EQ(ParamMax(p(kWindowTextCoord0)), e.maxLine);
      EXPECT_EQ(ParamDefault(p(kWindowTextCoord0)), 1);
      EXPECT_EQ(ParamDefault(p(kWindowTextCoord1)), e.line1[s]);
      for (int item = 0; item < kWindowItemCount; ++item)
        EXPECT_EQ(CfgParameters()[p(item)].written != 0, s == kSizeC);
    }
  }
}

TEST(CfgTables, HexParametersAreTimersAndMotionAreas) {
  for (int i = 0; i < kCfgParamCount; ++i) {
    const bool timerWord =
        i >= kParamFirstAlarm && i < kParamTextState && (i - kParamFirstAlarm) % 4 != kTimerMode;
    const bool motion = i >= kParamFirstMdRoi && i < kParamMdDelay;
    EXPECT_EQ(IsParamHex(i), timerWord || motion) << ParamName(i);
  }
  EXPECT_EQ(ParamDefault(MdRoiCfgParam(0)), static_cast<std::int32_t>(0x8114000Au));
  EXPECT_EQ(ParamDefault(MdRoiCfgParam(3)), 0x0014000A);
  EXPECT_EQ(ParamDefault(AlarmParam(4, kTimerDate)), 0x0001010B);
  EXPECT_EQ(ParamMin(AlarmParam(4, kTimerTime)), INT32_MIN);
  EXPECT_EQ(ParamMax(MdRoiDefParam(2, 1)), INT32_MAX);
  EXPECT_EQ(ParamMin(kParamVasSens), 16);
  EXPECT_EQ(ParamDefault(kParamCoordSwitchDly), 3);
  EXPECT_FALSE(CfgParameters()[kParamCurrentCard].written);
}

TEST(CfgTables, FieldLayout) {
  const auto fields = CfgFields();
  for (int i = 0; i < kParamFirstAlarm; ++i)
    EXPECT_EQ(fields[i].param, i);
  for (int n = 0; n < kTimerCount; ++n) {
    const int f = TimerField(n);
    EXPECT_EQ(fields[f + kTimerFieldWeekdays].param, AlarmParam(n, kTimerTime));
    EXPECT_EQ(fields[f + kTimerFieldWeekdays].position, 24);
    EXPECT_EQ(fields[f + kTimerFieldStartHours + 2].position, 0);
    EXPECT_EQ(fields[f + kTimerFieldLengthHours].param, AlarmParam(n, kTimerLen));
    EXPECT_EQ(fields[f + kTimerFieldDay].param, AlarmParam(n, kTimerDate));
    EXPECT_EQ(fields[f + kTimerFieldMode].param, AlarmParam(n, kTimerMode));
  }
  EXPECT_EQ(fields[kFieldTextState].param, kParamTextState);
  EXPECT_EQ(fields[kFieldAutoStartMode].param, kParamAutoStartMode);
  for (int a = 0; a < kMdAreaCount; ++a) {
    EXPECT_EQ(fields[AreaField(a) + kAreaFieldSizeSens].param, MdRoiCfgParam(a));
    EXPECT_EQ(fields[AreaField(a) + kAreaFieldSizeSens].width, 16);
    for (int r = 0; r < kMdRectCount; ++r) {
      const CfgField &h = fields[RectField(a, r) + kRectHeight];
      EXPECT_EQ(h.param, MdRoiDefParam(a, r));
      EXPECT_EQ(h.rule, CfgRule::Rectangle);
      EXPECT_EQ(h.row, 4 * a + r);
    }
  }
  EXPECT_EQ(RectField(1, 1), 324 + 19 + 3 + 4);
  EXPECT_EQ(fields[kFieldMdDelay].param, kParamMdDelay);
  EXPECT_EQ(fields[kFieldAdaInput].width, 8);
  EXPECT_EQ(fields[kFieldCamOrientation].param, kParamCamOrientation);
  const CfgField &t1 = fields[WindowField(kFamilyDV, kSizeM, kWindowTextCoord1)];
  EXPECT_EQ(t1.rule, CfgRule::Window);
  EXPECT_EQ(t1.row, 3 * 4 + 1);
  EXPECT_EQ(t1.multiplier, 16);
  EXPECT_EQ(fields[FrameSizeField(kFamilyDV)].rule, CfgRule::None);
}

TEST(CfgTables, FieldRanges) {
  EXPECT_EQ(FieldMax(kFieldVsBrightness), 255);
  EXPECT_EQ(FieldMin(PictureField(kFieldDvBrightness, kPictureSaturation)), 0);
  EXPECT_EQ(FieldMax(WindowField(kFamilyVS, kSizeC, kWindowTextCoord0)), 464);
  EXPECT_EQ(FieldMax(WindowField(kFamilyPAL, kSizeH, kWindowTextCoord1)), 560);
  EXPECT_EQ(FieldMin(WindowField(kFamilyPAL, kSizeH, kWindowWidth)), 96);
  EXPECT_EQ(FieldMin(TimerField(2) + kTimerFieldWeekdays), INT32_MIN);
  EXPECT_EQ(FieldMax(TimerField(2) + kTimerFieldStartHours), 23);
  EXPECT_EQ(FieldMax(TimerField(2) + kTimerFieldLength), 255);
  EXPECT_EQ(FieldMin(TimerField(2) + kTimerFieldDay), 1);
  EXPECT_EQ(FieldMax(TimerField(2) + kTimerFieldDay + 1), 12);
  EXPECT_EQ(FieldMax(TimerField(2) + kTimerFieldDay + 2), 99);
  EXPECT_EQ(FieldMax(AreaField(0) + kAreaFieldBrightnessSens), 64);
  EXPECT_EQ(FieldMax(AreaField(0) + kAreaFieldSizeSens), 2490);
  EXPECT_EQ(FieldMax(RectField(3, 2) + kRectY), 100);
  EXPECT_EQ(FieldMin(kFieldVasSens), 16);
  EXPECT_EQ(FieldMax(kFieldAdaLevel), 255);
  EXPECT_EQ(FieldMax(409), 0);
}
