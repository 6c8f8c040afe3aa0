#include "config/PageEdits.h"
#include "config/Cfg_mgr.h"
#include "config/ChoiceList.h"
#include "settings/Stringcode.h"

#include <gtest/gtest.h>

#include <string>

using namespace orvo;

namespace {

class PageEdits : public ::testing::Test {
protected:
  void SetUp() override {
    ResetLanguages();
    ResetToDefaults();
  }
  void TearDown() override { ResetToDefaults(); }
};

constexpr int kTimer0 = TimerField(0);

} // namespace

TEST(PageEditNumber, ReadsLikeTheEditsDecimalRule) {
  EXPECT_EQ(ParseEditNumber("150"), 150);
  EXPECT_EQ(ParseEditNumber("  -12x4"), -12);
  EXPECT_EQ(ParseEditNumber("+7"), 7);
  EXPECT_EQ(ParseEditNumber(""), 0);
  EXPECT_EQ(ParseEditNumber("abc"), 0);
  EXPECT_EQ(ParseEditNumber("-"), 0);
  EXPECT_EQ(ParseEditNumber("99999999999"), 2147483647);
  EXPECT_EQ(ParseEditNumber("-99999999999"), -2147483647 - 1);
}

TEST(PageEditTriple, StopsAtTheFirstMismatchLeavingTheRestZero) {
  const EditTriple full = ParseEditTriple("25:61:99", ':');
  EXPECT_EQ(full.a, 25);
  EXPECT_EQ(full.b, 61);
  EXPECT_EQ(full.c, 99);
  // A half-filled mask edit shows blanks in the empty places.
  const EditTriple half = ParseEditTriple(" 1:  :  ", ':');
  EXPECT_EQ(half.a, 1);
  EXPECT_EQ(half.b, 0);
  EXPECT_EQ(half.c, 0);
  const EditTriple wrongSeparator = ParseEditTriple("12/03/11", '.');
  EXPECT_EQ(wrongSeparator.a, 12);
  EXPECT_EQ(wrongSeparator.b, 0);
}

TEST_F(PageEdits, NumberCommitShowsTheStoredValueAfterTheRectangleRule) {
  const int x = RectField(0, 0) + kRectX;
  std::string shown;
  EXPECT_TRUE(CommitNumberText(x, "150", shown));
  EXPECT_EQ(shown, "100");
  EXPECT_EQ(GetField(x + kRectWidth), 0);
  EXPECT_FALSE(CommitNumberText(x, "150", shown));
  EXPECT_EQ(shown, "100");
}

TEST_F(PageEdits, TimeCommitClampsEveryPart) {
  std::string shown;
  EXPECT_TRUE(CommitTimeText(kTimer0 + kTimerFieldStartHours, "25:61:99", shown));
  EXPECT_EQ(shown, "23:59:59");
  EXPECT_FALSE(CommitTimeText(kTimer0 + kTimerFieldStartHours, "23:59:59", shown));
}

TEST_F(PageEdits, DateCommitKeepsTheCalendar) {
  const int date = kTimer0 + kTimerFieldDay;
  std::string shown;
  CommitDateText(date, "31.02.12", shown);
  EXPECT_EQ(shown, "29.02.12");
  CommitDateText(date, "31.02.13", shown);
  EXPECT_EQ(shown, "28.02.13");
  CommitDateText(date, "00.13.05", shown);
  EXPECT_EQ(shown, "01.12.05");
  CommitDateText(date, "31.04.00", shown);
  EXPECT_EQ(shown, "30.04.00");
}

TEST_F(PageEdits, DateYearBeyondTheCenturyUsesTheStoredYearForFebruary) {
  std::string shown;
  CommitDateText(kTimer0 + kTimerFieldDay, "29.02.104", shown);
  EXPECT_EQ(shown, "28.02.99");
}

TEST(PageOsdText, QuotesBecomeApostrophesAndNonAsciiIsDropped) {
  EXPECT_EQ(FilterOsdText("Car \"\xD0\x9C\xD0\xB0\xD1\x88\xD0\xB8\xD0\xBD\xD0\xB0\" 1"),
            "Car '' 1");
  EXPECT_EQ(FilterOsdText("%D %T"), "%D %T");
  // What would make the configuration file's line unreadable never gets in.
  EXPECT_EQ(FilterOsdText("a\tb;c\x7f\x01" "d"), "abcd");
}

TEST(PageOsdText, KeepsOnlyTheFirst47Characters) {
  const std::string longText(60, 'a');
  EXPECT_EQ(FilterOsdText(longText), std::string(47, 'a'));
  // Dropped characters still count towards the 47.
  const std::string cyrillic = "\xD0\xAF";
  std::string mixed;
  for (int i = 0; i < 46; ++i)
    mixed += cyrillic;
  mixed += "bc";
  EXPECT_EQ(FilterOsdText(mixed), "b");
  // A stray continuation byte is not a character of its own but is dropped.
  EXPECT_EQ(FilterOsdText("a\x80z"), "az");
}

TEST(PageSourceIndex, BothVideoInputsStoreOneAndReadBackAs50Hz) {
  EXPECT_EQ(VSourceOfSourceIndex(0), 0);
  EXPECT_EQ(VSourceOfSourceIndex(1), 1);
  EXPECT_EQ(VSourceOfSourceIndex(2), 1);
  EXPECT_EQ(SourceIndexOfVSource(0), 0);
  EXPECT_EQ(SourceIndexOfVSource(1), 1);
  EXPECT_EQ(FamilyOfSourceIndex(2), kFamilyNTSC);
  EXPECT_EQ(FrameRateListFor(1), ChoiceListId::FrameRate25);
  EXPECT_EQ(FrameRateListFor(2), ChoiceListId::FrameRate30);
  EXPECT_EQ(PictureGroupOfSourceIndex(2), kFieldAvBrightness);
}

TEST(PageChoiceLists, EveryListHasOneItemPerFieldValue) {
  ResetToDefaults();
  const struct {
    ChoiceListId list;
    int field;
  } bound[] = {
      {ChoiceListId::RecordMode, kFieldRecordMode},
      {ChoiceListId::Prehistory, kFieldPrehistory},
      {ChoiceListId::TimerMode, TimerField(0) + kTimerFieldMode},
      {ChoiceListId::HoldTime, kFieldMdDelay},
      {ChoiceListId::HoldTime, kFieldVasDelay},
      {ChoiceListId::FrameRate25, FpsField(kFamilyPAL)},
      {ChoiceListId::FrameRate30, FpsField(kFamilyNTSC)},
      {ChoiceListId::VideoBitrate, VideoBitrateField(kFamilyVS)},
      {ChoiceListId::FrameSize, FrameSizeField(kFamilyVS)},
      {ChoiceListId::AudioSource, kFieldASource},
      {ChoiceListId::AudioBitrate, kFieldABitrate},
      {ChoiceListId::AudioMode, kFieldAudioMode},
      {ChoiceListId::TimeZone, kFieldGpsTimezone},
      {ChoiceListId::Backlight, kFieldBacklight},
      {ChoiceListId::HideControls, kFieldDisplayHide},
      {ChoiceListId::DisplayOff, kFieldDisplayOff},
      {ChoiceListId::RecorderOff, kFieldRecorderOff},
      {ChoiceListId::PowerMode, kFieldCpwrMode},
      {ChoiceListId::PowerMode, kFieldGpsMode},
      {ChoiceListId::CameraVoltage, kFieldCpwrVoltage},
      {ChoiceListId::Orientation, kFieldCamOrientation},
      {ChoiceListId::ColourSystem, kFieldAvColorSys},
  };
  for (const auto &b : bound) {
    EXPECT_EQ(FieldMin(b.field), 0) << b.field;
    EXPECT_EQ(GetChoiceList(b.list).count(), FieldMax(b.field) + 1) << b.field;
  }
  EXPECT_EQ(GetChoiceList(ChoiceListId::VideoSource).count(), kSourceIndexCount);
}

TEST(PageChoiceLists, LetterCodesExpandInTheCurrentLanguage) {
  ResetLanguages();
  ResetToDefaults();
  const auto hold = ExpandChoiceList(GetChoiceList(ChoiceListId::HoldTime));
  EXPECT_EQ(hold.front(), "5 s");
  EXPECT_EQ(hold.back(), "10 m");
  const auto tz = ExpandChoiceList(GetChoiceList(ChoiceListId::TimeZone));
  EXPECT_EQ(tz[static_cast<std::size_t>(GetField(kFieldGpsTimezone))], "GMT + 03:00");
  const auto sources = ExpandChoiceList(GetChoiceList(ChoiceListId::VideoSource));
  EXPECT_EQ(sources[2], "Video input (60 Hz)");
  EXPECT_EQ(ExpandChoiceList(GetChoiceList(ChoiceListId::ColourSystem))[0], "Auto");
  SelectLanguage(1);
  const auto ru = ExpandChoiceList(GetChoiceList(ChoiceListId::RecordMode));
  EXPECT_EQ(ru[0], std::string(BuiltInRussian[163]));
  ResetLanguages();
}
