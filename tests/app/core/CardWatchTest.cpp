#include "app/CardWatch.h"

#include <gtest/gtest.h>

using namespace orvo;
using Change = TCardWatch::Change;

TEST(CardWatch, FirstTickSkippedThenOnlyChangesReported) {
  TCardWatch watch;
  int asked = 0;
  bool ready = true;
  auto probe = [&] {
    ++asked;
    return ready;
  };
  EXPECT_EQ(watch.Tick(probe), Change::None);
  EXPECT_EQ(asked, 0) << "the first tick asks nothing";
  EXPECT_EQ(watch.Tick(probe), Change::Appeared);
  EXPECT_TRUE(watch.DriveReady);
  EXPECT_EQ(watch.Tick(probe), Change::None);
  ready = false;
  EXPECT_EQ(watch.Tick(probe), Change::Gone);
  EXPECT_EQ(watch.Tick(probe), Change::None);
  EXPECT_EQ(asked, 4);
}

TEST(CardWatch, NoCardAtStartUpIsNoChange) {
  TCardWatch watch;
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(watch.Tick([] { return false; }), Change::None);
  EXPECT_FALSE(watch.DriveReady);
}
