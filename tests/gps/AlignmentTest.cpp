#include "gps/Alignment.h"

#include <gtest/gtest.h>

using namespace orvo::gps;

namespace {

// A record of 15 March 2021, 08:30:00 by the recorder's clock, 10 min long.
constexpr CivilTime kRecord{2021, 3, 15, 8, 30, 0};
const std::int64_t kClock = CivilToMs(kRecord);

GpsTrack StartingAt(std::int64_t utcMs) {
  GpsTrack t;
  for (int i = 0; i < 3; ++i)
    t.fixes.push_back({utcMs + i * 60000, 55, 37, {}, 0, false, {}, false});
  return t;
}

TrackAlignment Align(std::int64_t clockMinusTrackMs, std::optional<std::int64_t> zone = {}) {
  return AlignTrack(StartingAt(kClock - clockMinusTrackMs), kRecord, 600000, zone);
}

} // namespace

TEST(AlignTrack, ClocksZonesAndRemainders) {
  const std::int64_t h = 3600000, m = 60000;
  const auto same = Align(90000);
  EXPECT_TRUE(same.aligned);
  EXPECT_EQ(same.clockOffsetSeconds, 0);
  EXPECT_EQ(same.remainderMs, 90000);
  EXPECT_EQ(same.utcStartMs, kClock);

  const auto moscow = Align(3 * h + 20000, 3 * 3600);
  EXPECT_EQ(moscow.clockOffsetSeconds, 3 * 3600);
  EXPECT_EQ(moscow.utcStartMs, kClock - 3 * h);
  EXPECT_EQ(moscow.remainderMs, 20000);
  EXPECT_TRUE(moscow.confirmed);
  EXPECT_TRUE(moscow.note.empty());

  const auto west = Align(-(5 * h + 30 * m) - 5000);
  EXPECT_EQ(west.clockOffsetSeconds, -(5 * 3600 + 1800));
  EXPECT_EQ(west.remainderMs, -5000);
  EXPECT_FALSE(west.confirmed);

  EXPECT_EQ(Align(5 * h + 45 * m).clockOffsetSeconds, 5 * 3600 + 45 * 60);

  // A track that starts 10 min before the recording: the nearest quarter
  // hour would be 3:15, the configured zone (+2 and summer time) says 3:00.
  const auto dst = Align(3 * h + 10 * m, ConfiguredClockOffset(1, 1, 14));
  EXPECT_EQ(dst.clockOffsetSeconds, 3 * 3600);
  EXPECT_EQ(dst.remainderMs, 10 * m);
  EXPECT_TRUE(dst.confirmed);
  EXPECT_EQ(Align(3 * h + 10 * m).clockOffsetSeconds, 3 * 3600 + 900);

  const auto late = Align(-11 * m);
  EXPECT_EQ(late.clockOffsetSeconds, -900);
  const auto after = Align(-14 * m, 0); // starts after the recording's end
  EXPECT_EQ(after.clockOffsetSeconds, 0);
  EXPECT_FALSE(after.note.empty());

  const auto far = Align(14 * h + 8 * m);
  EXPECT_FALSE(far.aligned);
  EXPECT_EQ(far.clockOffsetSeconds, 0);
  EXPECT_FALSE(far.note.empty());

  const auto none = AlignTrack({}, kRecord, 600000, 0);
  EXPECT_FALSE(none.aligned);
  EXPECT_EQ(none.utcStartMs, kClock);
  EXPECT_FALSE(AlignTrack(StartingAt(0), {2021, 2, 29, 0, 0, 0}, 1, {}).aligned);

  EXPECT_EQ(ConfiguredClockOffset(0, 0, 15), std::nullopt); // clock not set from GPS
  EXPECT_EQ(ConfiguredClockOffset(1, 0, 0), -12 * 3600);
  EXPECT_EQ(ConfiguredClockOffset(1, 0, 25), std::nullopt);
}

// A part holds the fixes of its own stretch, each timed from its first
// frame; the fix on the boundary belongs to the next part.
TEST(SelectPartFixes, HalfOpenStretch) {
  const GpsTrack t = StartingAt(10000);
  const auto part = SelectPartFixes(t, 10500, 130000);
  ASSERT_EQ(part.size(), 1u);
  EXPECT_EQ(part[0].fix.utcMs, 70000);
  EXPECT_EQ(part[0].timeMs, 59500);
  EXPECT_EQ(SelectPartFixes(t, 130000, 200000).size(), 1u);
}
