#include "player/AxisSteps.h"
#include "player/ScaleBar.h"
#include "player/SpeedSeries.h"

#include <gtest/gtest.h>

using namespace orvo::player;

TEST(ScaleBar, PicksTheLongestRoundLengthThatFits) {
  EXPECT_EQ(niceScaleLength(1, 120), 100);
  EXPECT_EQ(niceScaleLength(1, 99), 50);
  EXPECT_EQ(niceScaleLength(2, 120), 200);
  EXPECT_EQ(niceScaleLength(10, 120), 1000);
  EXPECT_EQ(niceScaleLength(45, 120), 5000);
  EXPECT_EQ(niceScaleLength(0.01, 120), 10);
  EXPECT_EQ(scaleLengthText(20), "20 m");
  EXPECT_EQ(scaleLengthText(500), "500 m");
  EXPECT_EQ(scaleLengthText(1000), "1 km");
  EXPECT_EQ(scaleLengthText(20000), "20 km");
}

TEST(AxisSteps, RoundStepsAndValues) {
  EXPECT_DOUBLE_EQ(niceStep(100, 5), 20);
  EXPECT_DOUBLE_EQ(niceStep(100, 10), 10);
  EXPECT_DOUBLE_EQ(niceStep(87, 4), 50);
  EXPECT_DOUBLE_EQ(niceStep(0.3, 3), 0.1);
  EXPECT_EQ(stepValues(0, 100, 20), (std::vector<double>{0, 20, 40, 60, 80, 100}));
  EXPECT_EQ(stepValues(-2000, 5000, 2000), (std::vector<double>{-2000, 0, 2000, 4000}));

  const SpeedAxis fast = speedAxis(87, 5);
  EXPECT_DOUBLE_EQ(fast.stepKmh, 20);
  EXPECT_DOUBLE_EQ(fast.topKmh, 100);
  EXPECT_DOUBLE_EQ(speedAxis(0, 5).topKmh, 10);
}

TEST(AxisSteps, TimeStepsAClockReads) {
  EXPECT_EQ(niceTimeStepMs(60000, 6), 10000);
  EXPECT_EQ(niceTimeStepMs(60000, 5), 15000);
  EXPECT_EQ(niceTimeStepMs(3 * 60000, 5), 60000);
  EXPECT_EQ(niceTimeStepMs(3600000, 5), 15 * 60000);
  EXPECT_EQ(niceTimeStepMs(3000, 10), 1000);
  EXPECT_EQ(niceTimeStepMs(10LL * 24 * 3600000, 5), 2LL * 24 * 3600000);
  EXPECT_EQ(timeText(65000, false), "1:05");
  EXPECT_EQ(timeText(3665000, false), "61:05");
  EXPECT_EQ(timeText(3665000, true), "1:01:05");
  EXPECT_EQ(timeText(-5000, false), "-0:05");
  EXPECT_EQ(timeText(-400, false), "0:00");
}
