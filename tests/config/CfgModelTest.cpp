#include "CfgTestSupport.h"
#include "config/Cfg_mgr.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

using namespace orvo;

namespace {

class CfgModel : public ::testing::Test {
protected:
  void SetUp() override { test::ResetModel(); }
  void TearDown() override { test::ResetModel(); }
};

int VsC(int item) {
  return WindowField(kFamilyVS, kSizeC, item);
}

} // namespace

TEST_F(CfgModel, DefaultFieldsShowInvertedSensitivityAndByteValues) {
  EXPECT_EQ(GetField(kFieldVsBrightness), 135);
  EXPECT_EQ(GetField(PictureField(kFieldAvBrightness, kPictureHue)), 127);
  EXPECT_EQ(GetField(325), 44);
  EXPECT_EQ(GetField(326), 2490);
  EXPECT_EQ(GetField(327), 40);
  EXPECT_EQ(GetField(328), 40);
  EXPECT_EQ(GetField(329), 20);
  EXPECT_EQ(GetField(330), 20);
  EXPECT_EQ(GetField(AreaField(0) + kAreaFieldFlags), 0x81);
  EXPECT_EQ(GetField(AreaField(1) + kAreaFieldFlags), 0);
  const int expected[13] = {127, 0, 0, 0, 0, 0, 1, 0, 0, 1, 1, 11, 0};
  for (int n : {0, 9})
    for (int i = 0; i < 13; ++i)
      EXPECT_EQ(GetField(TimerField(n) + i), expected[i]) << "timer " << n << " field " << i;
  EXPECT_EQ(GetField(VsC(kWindowTextCoord0)), 16);
  EXPECT_EQ(GetField(VsC(kWindowTextCoord1)), 448);
  EXPECT_EQ(GetOsdText(0), " ORVO V264O4 TFT");
  EXPECT_EQ(GetOsdText(1), " %D %T");
}

TEST_F(CfgModel, FieldsToRawAfterResetGivesEveryDefault) {
  for (int i = 0; i < kCfgParamCount; ++i)
    SetParam(i, ParamMin(i) == ParamDefault(i) ? ParamMax(i) : ParamMin(i));
  FieldsToRaw();
  for (int i = 0; i < kCfgParamCount; ++i)
    EXPECT_EQ(GetParam(i), ParamDefault(i)) << ParamName(i);
}

TEST_F(CfgModel, FieldEditsReachRawValuesThroughTheirMapping) {
  std::int32_t v = 0;
  EXPECT_TRUE(SetField(kFieldVsBrightness, v));
  v = 30;
  EXPECT_TRUE(SetField(AreaField(2) + kAreaFieldBrightnessSens, v));
  v = 2000;
  EXPECT_TRUE(SetField(AreaField(2) + kAreaFieldSizeSens, v));
  v = 0x8F;
  EXPECT_TRUE(SetField(AreaField(2) + kAreaFieldFlags, v));
  v = 17;
  EXPECT_TRUE(SetField(TimerField(4) + kTimerFieldStartHours, v));
  v = 99;
  EXPECT_TRUE(SetField(VsC(kWindowTextCoord0), v));
  EXPECT_EQ(v, 96) << "text lines are multiples of 16 pixels";
  v = 0xA5;
  EXPECT_TRUE(SetField(kFieldAdaInput, v));
  EXPECT_EQ(GetParam(kParamVsBrightness), 120) << "raw values wait for FieldsToRaw";
  FieldsToRaw();
  EXPECT_EQ(GetParam(kParamVsBrightness), 255);
  EXPECT_EQ(GetParam(MdRoiCfgParam(2)), static_cast<std::int32_t>(0x8F2201F4u));
  EXPECT_EQ(GetParam(AlarmParam(4, kTimerTime)), 0x7F110000);
  EXPECT_EQ(GetParam(WindowParam(kFamilyVS, kSizeC, kWindowTextCoord0)), 6);
  EXPECT_EQ(GetParam(kParamAdaInput), 0xA5);
}

TEST_F(CfgModel, SetFieldClampsAndReportsOnlyChanges) {
  std::int32_t v = 300;
  EXPECT_TRUE(SetField(kFieldVsBrightness, v));
  EXPECT_EQ(v, 255);
  v = 999;
  EXPECT_FALSE(SetField(kFieldVsBrightness, v)) << "clamped to the stored value: no change";
  EXPECT_EQ(v, 999) << "the caller's value is left alone without a change";
  v = 40;
  EXPECT_TRUE(SetField(TimerField(0) + kTimerFieldDay, v));
  EXPECT_EQ(v, 31);
  v = 5;
  EXPECT_FALSE(SetField(kCfgFieldCount, v));
  EXPECT_FALSE(SetField(-1, v));
}

TEST_F(CfgModel, SetParamClampsAndIgnoresBadIndices) {
  EXPECT_EQ(SetParam(kParamRecordMode, 9), 4);
  EXPECT_EQ(SetParam(kParamVasSens, -5), 16);
  EXPECT_EQ(SetParam(AlarmParam(0, kTimerLen), INT32_MIN), INT32_MIN);
  EXPECT_EQ(SetParam(263, 1), 0);
  EXPECT_EQ(GetParam(263), 0);
  EXPECT_EQ(GetParam(-1), 0);
}

TEST_F(CfgModel, WindowRuleOnOffset101) {
  std::int32_t v = 101;
  EXPECT_TRUE(SetField(VsC(kWindowOffsetX), v));
  EXPECT_EQ(v, 100);
  EXPECT_EQ(GetField(VsC(kWindowWidth)), 540);
  EXPECT_EQ(GetField(VsC(kWindowDecimationH)), 528);
  EXPECT_EQ(GetField(VsC(kWindowDecimationV)), 480);
  v = 100;
  EXPECT_FALSE(SetField(VsC(kWindowOffsetX), v));
}

TEST_F(CfgModel, WindowRuleDecimationAndTextLines) {
  std::int32_t v = 100;
  EXPECT_TRUE(SetField(VsC(kWindowDecimationH), v));
  EXPECT_EQ(v, 96);
  v = 650;
  EXPECT_TRUE(SetField(VsC(kWindowDecimationH), v));
  EXPECT_EQ(v, 640);
  v = 200;
  EXPECT_TRUE(SetField(VsC(kWindowDecimationV), v));
  EXPECT_EQ(v, 192);
  EXPECT_EQ(GetField(VsC(kWindowTextCoord1)), 176) << "text 2 moves up into the smaller frame";
  EXPECT_EQ(GetField(VsC(kWindowTextCoord0)), 16);
  v = 96;
  EXPECT_TRUE(SetField(VsC(kWindowHeight), v));
  EXPECT_EQ(GetField(VsC(kWindowDecimationV)), 96);
  EXPECT_EQ(GetField(VsC(kWindowTextCoord1)), 80);
}

TEST_F(CfgModel, RectangleRuleKeepsRectangleInsideFrame) {
  const int r = RectField(1, 2);
  std::int32_t v = 90;
  EXPECT_TRUE(SetField(r + kRectWidth, v));
  EXPECT_EQ(v, 60);
  v = 150;
  EXPECT_TRUE(SetField(r + kRectX, v));
  EXPECT_EQ(v, 100);
  EXPECT_EQ(GetField(r + kRectWidth), 0);
  v = 150;
  EXPECT_FALSE(SetField(r + kRectX, v));
  v = 70;
  EXPECT_TRUE(SetField(r + kRectY, v));
  EXPECT_EQ(GetField(r + kRectHeight), 20);
  v = 50;
  EXPECT_TRUE(SetField(r + kRectHeight, v));
  EXPECT_EQ(v, 30);
  EXPECT_EQ(GetField(RectField(1, 1) + kRectWidth), 20) << "other rectangles untouched";
}

TEST_F(CfgModel, RawToFieldsAppliesRulesToOddRawValues) {
  SetParam(WindowParam(kFamilyPAL, kSizeC, kWindowOffsetX), 301);
  SetParam(WindowParam(kFamilyPAL, kSizeC, kWindowDecimationV), 100);
  SetParam(MdRoiDefParam(0, 0), 0x50505050);
  RawToFields();
  EXPECT_EQ(GetField(WindowField(kFamilyPAL, kSizeC, kWindowOffsetX)), 300);
  EXPECT_EQ(GetField(WindowField(kFamilyPAL, kSizeC, kWindowWidth)), 420);
  EXPECT_EQ(GetField(WindowField(kFamilyPAL, kSizeC, kWindowDecimationH)), 416);
  EXPECT_EQ(GetField(WindowField(kFamilyPAL, kSizeC, kWindowTextCoord1)), 80);
  EXPECT_EQ(GetField(RectField(0, 0) + kRectWidth), 20);
  EXPECT_EQ(GetField(RectField(0, 0) + kRectHeight), 20);
}

TEST_F(CfgModel, EditableOnlyForWrittenParameters) {
  EXPECT_TRUE(IsEditable(VsC(kWindowWidth), true));
  EXPECT_FALSE(IsEditable(VsC(kWindowWidth), false));
  EXPECT_FALSE(IsEditable(WindowField(kFamilyVS, kSizeL, kWindowWidth), true));
  EXPECT_FALSE(IsEditable(GopSizeField(kFamilyVS), true));
  EXPECT_TRUE(IsEditable(TimerField(3) + kTimerFieldDay, true));
  EXPECT_FALSE(IsEditable(kFieldCoordSwitchDly, true));
  EXPECT_FALSE(IsEditable(kCfgFieldCount, true));
}

TEST_F(CfgModel, OsdTextsKeepAtMost47CharactersAndNoLineBreaks) {
  EXPECT_TRUE(SetOsdText(0, std::string(60, 'x')));
  EXPECT_EQ(GetOsdText(0), std::string(47, 'x'));
  EXPECT_TRUE(SetOsdText(1, "short"));
  EXPECT_EQ(GetOsdText(1), "short");
  EXPECT_TRUE(SetOsdText(1, "A\r\nRECORD_MODE = 4"));
  EXPECT_EQ(GetOsdText(1), "A");
  EXPECT_TRUE(SetOsdText(1, std::string_view("B\0C", 3)));
  EXPECT_EQ(GetOsdText(1), "B");
  // Only what a read of the written file gives back.
  EXPECT_TRUE(SetOsdText(1, "a;b\"c\x01\tD\xC3\xA9"));
  EXPECT_EQ(GetOsdText(1), "ab'cD");
  EXPECT_FALSE(SetOsdText(2, "x"));
  EXPECT_EQ(GetOsdText(2), "");
}

TEST_F(CfgModel, ResetRestoresDefaultsAndReplacesFieldEdits) {
  SetParam(kParamVolume, 3);
  SetOsdText(0, "X");
  std::int32_t v = 4;
  SetField(kFieldRecordMode, v);
  ResetToDefaults();
  EXPECT_EQ(GetParam(kParamVolume), 120);
  EXPECT_EQ(GetField(kFieldRecordMode), 0);
  EXPECT_EQ(GetOsdText(0), " ORVO V264O4 TFT");
}

namespace {

// Runs ApplyStoredOverrides with `ini` as the overrides file of a temporary
// current directory, then goes back to the previous one.
void ApplyOverridesFrom(const std::string &ini) {
  test::ScratchDir dir;
  ASSERT_FALSE(dir.path().empty());
  { std::ofstream(dir.file("orvo_v264o4_v1.ini"), std::ios::binary) << ini; }
  const std::filesystem::path old = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  ApplyStoredOverrides();
  std::filesystem::current_path(old);
}

} // namespace

TEST_F(CfgModel, OverrideWithinRangeIsStoredAndWritten) {
  ApplyOverridesFrom("[Configuration]\nCfgString=garbage\n"
                     "[RecSettings]\nvs_gop_size = 25\nVOLUME=120\nRECORD_MODE=0x3\n");
  EXPECT_EQ(GetParam(GopSizeParam(kFamilyVS)), 25);
  EXPECT_TRUE(IsParamWritten(GopSizeParam(kFamilyVS)));
  EXPECT_EQ(GetField(GopSizeField(kFamilyVS)), 25) << "fields follow the overrides";
  EXPECT_EQ(GetParam(kParamRecordMode), 3);
  EXPECT_TRUE(IsEditable(GopSizeField(kFamilyVS), true));
  ResetToDefaults();
  EXPECT_EQ(GetParam(GopSizeParam(kFamilyVS)), 15) << "reset goes to the table default";
  EXPECT_TRUE(IsParamWritten(GopSizeParam(kFamilyVS))) << "the raised flag stays";
  ReleaseStoredOverrides();
}

TEST_F(CfgModel, OverrideOutOfRangeIsClampedButNotWritten) {
  ApplyOverridesFrom("[RecSettings]\nVS_GOP_SIZE=5000\nPAL_GOP_SIZE=junk\n");
  EXPECT_EQ(GetParam(GopSizeParam(kFamilyVS)), 1000);
  EXPECT_FALSE(IsParamWritten(GopSizeParam(kFamilyVS)));
  EXPECT_EQ(GetParam(GopSizeParam(kFamilyPAL)), 12);
  ReleaseStoredOverrides();
}

TEST_F(CfgModel, MissingOverridesFileChangesNothing) {
  ApplyOverridesFrom("");
  for (int i = 0; i < kCfgParamCount; ++i)
    EXPECT_EQ(GetParam(i), ParamDefault(i));
  ReleaseStoredOverrides();
  ReleaseStoredOverrides();
}
