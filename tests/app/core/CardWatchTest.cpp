#include "app/CardWatch.h"

#include <gtest/gtest.h>

using namespace orvo;

TEST(PollDriveTest, FirstTickSkippedThenOnlyChangesReported) {
  bool driveReady = false;
  int pollTicks = 0;
  int asked = 0;
  bool ready = true;
  auto probe = [&] {
    ++asked;
    return ready;
  };
  EXPECT_EQ(PollDrive(driveReady, pollTicks, probe), DriveChange::None);
  EXPECT_EQ(asked, 0) << "the first tick asks nothing";
  EXPECT_EQ(PollDrive(driveReady, pollTicks, probe), DriveChange::Appeared);
  EXPECT_TRUE(driveReady);
  EXPECT_EQ(PollDrive(driveReady, pollTicks, probe), DriveChange::None);
  ready = false;
  EXPECT_EQ(PollDrive(driveReady, pollTicks, probe), DriveChange::Gone);
  EXPECT_EQ(PollDrive(driveReady, pollTicks, probe), DriveChange::None);
  EXPECT_EQ(asked, 4);
}

TEST(PollDriveTest, NoCardAtStartUpIsNoChange) {
  bool driveReady = false;
  int pollTicks = 0;
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(PollDrive(driveReady, pollTicks, [] { return false; }), DriveChange::None);
  EXPECT_FALSE(driveReady);
}
