#include "player/TrackTimeline.h"
#include "player/SpeedSeries.h"

#include <gtest/gtest.h>

using namespace orvo;
using namespace orvo::player;

namespace {

constexpr std::int64_t kStartUtc = 1615797000000; // the record's first frame

gps::GpsTrack Track() {
  gps::GpsTrack t;
  // 10 m/s is 36 km/h; the first fix comes 2 s before the video.
  t.fixes.push_back({kStartUtc - 2000, 55.0, 37.0, {}, 10, false, {}, false});
  t.fixes.push_back({kStartUtc + 1000, 55.3, 37.6, {}, 20, false, {}, false});
  t.fixes.push_back({kStartUtc + 2000, 55.4, 37.7, {}, 0, false, {}, false});
  return t;
}

} // namespace

TEST(TrackTimeline, PutsFixesOnThePlayersClockInKmh) {
  const TrackTimeline timeline(Track(), kStartUtc);
  ASSERT_EQ(timeline.fixes().size(), 3u);
  EXPECT_EQ(timeline.startMs(), -2000);
  EXPECT_EQ(timeline.endMs(), 2000);
  EXPECT_DOUBLE_EQ(timeline.fixes()[0].speedKmh, 36);
  EXPECT_DOUBLE_EQ(timeline.fixes()[1].speedKmh, 72);
}

TEST(TrackTimeline, InterpolatesBetweenFixesAndHoldsTheEnds) {
  const TrackTimeline timeline(Track(), kStartUtc);
  const TrackSample atFix = timeline.sampleAt(1000);
  EXPECT_DOUBLE_EQ(atFix.latitude, 55.3);
  EXPECT_DOUBLE_EQ(atFix.speedKmh, 72);
  EXPECT_TRUE(atFix.withinTrack);

  const TrackSample between = timeline.sampleAt(-1000); // a third of the way
  EXPECT_NEAR(between.latitude, 55.1, 1e-9);
  EXPECT_NEAR(between.longitude, 37.2, 1e-9);
  EXPECT_NEAR(between.speedKmh, 48, 1e-9);
  EXPECT_EQ(timeline.placeAt(-1000).index, 0u);
  EXPECT_EQ(timeline.placeAt(1500).index, 1u);
  EXPECT_DOUBLE_EQ(timeline.placeAt(1500).fraction, 0.5);

  const TrackSample before = timeline.sampleAt(-5000), after = timeline.sampleAt(9000);
  EXPECT_FALSE(before.withinTrack);
  EXPECT_FALSE(after.withinTrack);
  EXPECT_DOUBLE_EQ(before.latitude, 55.0);
  EXPECT_DOUBLE_EQ(after.latitude, 55.4);
  EXPECT_EQ(timeline.placeAt(9000).index, 2u);
  EXPECT_FALSE(TrackTimeline().sampleAt(0).withinTrack);
}

TEST(TrackTimeline, CrossesThe180thMeridianTheShortWay) {
  const TrackTimeline timeline({{0, -16.0, 179.9, 0}, {1000, -16.0, -179.9, 0}});
  EXPECT_NEAR(std::abs(timeline.sampleAt(500).longitude), 180, 1e-9);
  EXPECT_NEAR(timeline.sampleAt(250).longitude, 179.95, 1e-9);
}

TEST(SpeedSeries, SpansTheVideoAndReadsValuesOnlyWithinTheTrack) {
  const TrackTimeline timeline(Track(), kStartUtc);
  const SpeedSeries video(timeline, 60000);
  EXPECT_EQ(video.fromMs(), 0);
  EXPECT_EQ(video.toMs(), 60000);
  EXPECT_NEAR(*video.valueAt(0), 60, 1e-9);
  EXPECT_FALSE(video.valueAt(2001));
  EXPECT_FALSE(video.valueAt(-2001));
  // The 36 km/h of the fix before the video does not count.
  EXPECT_DOUBLE_EQ(video.maxKmh(), 72);

  const SpeedSeries own(timeline, 0);
  EXPECT_EQ(own.fromMs(), -2000);
  EXPECT_EQ(own.toMs(), 2000);
}

TEST(SpeedSeries, TimeScaleMapsBothWaysAndKeepsClicksInside) {
  const TimeScale scale{0, 60000, 40, 600};
  EXPECT_DOUBLE_EQ(scale.xAt(30000), 340);
  EXPECT_EQ(scale.timeAt(340), 30000);
  EXPECT_EQ(scale.timeAt(41), 100);
  EXPECT_EQ(scale.timeAt(0), 0);
  EXPECT_EQ(scale.timeAt(10000), 60000);
  EXPECT_EQ((TimeScale{5000, 5000, 0, 100}.timeAt(50)), 5000);
}
