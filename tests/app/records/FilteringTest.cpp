#include "app/Filtering.h"
#include "FakeRecords.h"

#include <gtest/gtest.h>

using namespace orvo;
using namespace orvo::filter;
using orvo::test::FakeRecord;
using orvo::test::FakeRecords;

namespace {

bool Passes(const FakeRecords &r, std::uint32_t i, const FilterChecks &shown,
            const FilterSettings &s = {}, bool showConverted = true) {
  return RecordPasses(r, i, shown, s, showConverted);
}

FakeRecords WithLengths(std::initializer_list<std::uint32_t> ms) {
  FakeRecords r;
  for (std::uint32_t m : ms) {
    FakeRecord rec;
    rec.lengthMs = m;
    r.records.push_back(rec);
  }
  return r;
}

} // namespace

TEST(FilterSettings, InitialValuesAreTheDocumentedBounds) {
  const FilterSettings s;
  const char *texts[ValueCount] = {
      "01.01.00", "31.12.99", "00:00:00", "23:59:59", "00:00:02", "99:59:59", "96", "720",
      "96",       "576",      "64",       "2048",     "32",       "128",      "1",  "30"};
  for (int v = 0; v < ValueCount; ++v) {
    EXPECT_EQ(FormatFilterValue(v, s.Values[v]), texts[v]) << v;
    std::int32_t back = -1;
    ASSERT_TRUE(ParseFilterField(v, texts[v], back)) << v;
    EXPECT_EQ(back, s.Values[v]) << "text and value disagree for " << v;
  }
  for (int c = 0; c < CheckCount; ++c)
    EXPECT_EQ(s.Checks[c], c == LengthFrom || (c >= Linear && c <= LoopAll)) << c;
  const FilterChecks design = DesignTimeChecks();
  for (int c = 0; c < CheckCount; ++c)
    EXPECT_EQ(design[c], c >= Linear && c <= LoopAll) << c;
}

TEST(RecordPasses, ShortRecordsHiddenOnlyOnceTheStoredChecksAreShown) {
  const FakeRecords r = WithLengths({1400, 1500});
  EXPECT_TRUE(Passes(r, 0, DesignTimeChecks())) << "before the first showing";
  EXPECT_TRUE(Passes(r, 1, DesignTimeChecks()));
  const FilterSettings s;
  EXPECT_FALSE(Passes(r, 0, s.Checks)) << "1.4 s rounds to 1 s, below the 2 s bound";
  EXPECT_TRUE(Passes(r, 1, s.Checks)) << "1.5 s rounds to 2 s";
}

TEST(RecordPasses, BoundsAreEnabledByTheShownChecksNotTheStoredOnes) {
  const FakeRecords r = WithLengths({1000});
  FilterSettings s;
  s.Checks[LengthFrom] = false; // stored off, but shown on
  FilterChecks shown = DesignTimeChecks();
  shown[LengthFrom] = true;
  EXPECT_FALSE(Passes(r, 0, shown, s));
}

TEST(RecordPasses, EveryBoundIsInclusiveAndRejectsOneStepBeyond) {
  FakeRecord base;
  struct Case {
    int fromValue;
    void (*set)(FakeRecord &, int delta); // moves the property by delta from the bound
  };
  FilterSettings s;
  s.Values[DateFromValue] = s.Values[DateToValue] = 0x150310;     // 16.03.21
  s.Values[TimeFromValue] = s.Values[TimeToValue] = 0x081E05;     // 08:30:05
  s.Values[LengthFromValue] = s.Values[LengthToValue] = 0x01003B; // 1:00:59
  s.Values[SizeXFromValue] = s.Values[SizeXToValue] = 640;
  s.Values[SizeYFromValue] = s.Values[SizeYToValue] = 480;
  s.Values[VideoFromValue] = s.Values[VideoToValue] = 800;
  s.Values[AudioFromValue] = s.Values[AudioToValue] = 48;
  s.Values[FpsFromValue] = s.Values[FpsToValue] = 15;
  const Case cases[] = {
      {DateFromValue, [](FakeRecord &r, int d) { r.day = 16 + d; }},
      {TimeFromValue, [](FakeRecord &r, int d) { r.second = 5 + d; }},
      {LengthFromValue,
       [](FakeRecord &r, int d) { r.lengthMs = static_cast<std::uint32_t>(3659000 + 1000 * d); }},
      {SizeXFromValue, [](FakeRecord &r, int d) { r.width = 640 + d; }},
      {SizeYFromValue, [](FakeRecord &r, int d) { r.height = 480 + d; }},
      {VideoFromValue, [](FakeRecord &r, int d) { r.videoKbps = 800u + d; }},
      {AudioFromValue, [](FakeRecord &r, int d) { r.audioKbps = 48u + d; }},
      {FpsFromValue, [](FakeRecord &r, int d) { r.fps = 15u + d; }},
  };
  for (const Case &c : cases) {
    FilterChecks shown = DesignTimeChecks();
    shown[CheckOfValue(c.fromValue)] = true;
    shown[CheckOfValue(c.fromValue) + 1] = true;
    for (int delta : {-1, 0, 1}) {
      FakeRecords r;
      r.records.push_back(base);
      c.set(r.records[0], delta);
      EXPECT_EQ(Passes(r, 0, shown, s), delta == 0) << "bound " << c.fromValue << " " << delta;
      // With only the other side enabled, the same record passes.
      FilterChecks oneSide = DesignTimeChecks();
      oneSide[CheckOfValue(c.fromValue) + (delta < 0 ? 1 : 0)] = true;
      EXPECT_TRUE(Passes(r, 0, oneSide, s)) << "bound " << c.fromValue << " " << delta;
    }
  }
}

TEST(RecordPasses, UncheckedModeHidesItsRecordsButNotUnknownModes) {
  FakeRecords r;
  for (int mode : {0, 1, 2, 3, 4, -1}) {
    FakeRecord rec;
    rec.mode = mode;
    r.records.push_back(rec);
  }
  FilterChecks shown = DesignTimeChecks();
  shown[Loop2] = false;
  for (std::uint32_t i = 0; i < 6; ++i)
    EXPECT_EQ(Passes(r, i, shown), i != 2) << i;
  shown = DesignTimeChecks();
  for (int m = Linear; m <= LoopAll; ++m)
    shown[m] = false;
  EXPECT_TRUE(Passes(r, 5, shown));
  EXPECT_FALSE(Passes(r, 4, shown));
}

TEST(RecordPasses, ConvertedRecordsHiddenOnlyWhenNotShown) {
  FakeRecords r;
  FakeRecord rec;
  rec.converted = true;
  r.records.push_back(rec);
  EXPECT_TRUE(Passes(r, 0, DesignTimeChecks(), {}, true));
  EXPECT_FALSE(Passes(r, 0, DesignTimeChecks(), {}, false));
}

TEST(RecordPasses, IndexBeyondCatalogOrBusyCatalogFails) {
  FakeRecords r = WithLengths({5000});
  EXPECT_FALSE(Passes(r, 1, DesignTimeChecks()));
  r.busy = true;
  EXPECT_FALSE(Passes(r, 0, DesignTimeChecks()));
}

TEST(RecordPasses, LengthHoursAreNotLimitedToADay) {
  const FakeRecords r = WithLengths({26u * 3600 * 1000, 100u * 3600 * 1000});
  FilterChecks shown = DesignTimeChecks();
  shown[LengthTo] = true; // 99:59:59
  EXPECT_TRUE(Passes(r, 0, shown));
  EXPECT_FALSE(Passes(r, 1, shown));
}

TEST(FilterFields, DatesClampMonthAndDayWithTheFourYearLeapRule) {
  EXPECT_EQ(NormalizeDateField("31.02.21"), "28.02.21");
  EXPECT_EQ(NormalizeDateField("31.02.20"), "29.02.20");
  EXPECT_EQ(NormalizeDateField("31.02.00"), "29.02.00");
  EXPECT_EQ(NormalizeDateField("15.13.21"), "15.12.21");
  EXPECT_EQ(NormalizeDateField("00.00.21"), "01.01.21");
  EXPECT_EQ(NormalizeDateField("31.04.21"), "30.04.21");
  EXPECT_EQ(NormalizeDateField("1.2.3"), "01.02.03");
  std::int32_t v = 0;
  ASSERT_TRUE(ParseFilterField(DateFromValue, "31.02.21", v));
  EXPECT_EQ(v, 0x15021C);
}

TEST(FilterFields, TimesAndLengthsClampOnExitButOkLeavesHours) {
  EXPECT_EQ(NormalizeTimeField("25:70:00"), "23:59:00");
  EXPECT_EQ(NormalizeLengthField("05:75:99"), "05:59:59");
  EXPECT_EQ(NormalizeLengthField("120:00:00"), "99:00:00");
  EXPECT_EQ(NormalizeLengthField("99:59:59"), "99:59:59");
  std::int32_t v = 0;
  ASSERT_TRUE(ParseFilterField(TimeToValue, "25:70:60", v));
  EXPECT_EQ(v, 0x193B3B);
}

TEST(FilterFields, EmptyOrUnparsableFieldsKeepTheStoredValue) {
  FilterValues values = FilterSettings{}.Values;
  std::array<std::string, ValueCount> texts;
  for (int i = 0; i < ValueCount; ++i)
    texts[i] = FormatFilterValue(i, values[i]);
  texts[DateFromValue] = "  .  .  ";
  texts[DateToValue] = "..";
  texts[TimeFromValue] = "12:  :00";
  texts[LengthToValue] = "1a:00:00";
  texts[SizeXFromValue] = "";
  texts[VideoToValue] = "9999999999";
  texts[AudioToValue] = "100";
  const FilterValues before = values;
  ParseFilterFields(texts, values);
  for (int i = 0; i < ValueCount; ++i)
    EXPECT_EQ(values[i], i == AudioToValue ? 100 : before[i]) << i;
  EXPECT_EQ(NormalizeDateField("  .  .  "), "  .  .  ") << "left as typed";
  EXPECT_EQ(NormalizeTimeField("1:2"), "1:2");
}

TEST(FilterFields, BlanksOfAPartlyFilledMaskAreIgnored) {
  EXPECT_EQ(NormalizeTimeField("1 :2 :3 "), "01:02:03");
  EXPECT_EQ(NormalizeDateField("5 .6 .21"), "05.06.21");
}

TEST(FilterFields, NumberFieldsKeepOnlyDigits) {
  EXPECT_EQ(KeepDigits("7a2"), "72");
  EXPECT_EQ(KeepDigits("-1.5 x"), "15");
  EXPECT_EQ(KeepDigits(""), "");
}
