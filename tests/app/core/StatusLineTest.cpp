#include "app/StatusLine.h"
#include "settings/Stringcode.h"

#include <gtest/gtest.h>

#include <string>

using namespace orvo;
using Job = JobState::Job;

namespace {

struct Line {
  StatusLine status;
  std::string shown;
  int changes = 0;
  Line() {
    status.OnChange([this](const std::string &text) {
      shown = text;
      ++changes;
    });
    status.SetFolder("E:\\");
  }
};

} // namespace

TEST(StatusLine, CardStatesNameTheFolderAndTheNextStep) {
  Line line;
  EXPECT_EQ(line.shown, "") << "nothing is known of the card yet";
  line.status.SetCard(StatusLine::Card::NotReady);
  EXPECT_EQ(line.shown, "Drive is not ready: E:\\; insert the card, or choose its folder: "
                        "Settings, Setup...");
  line.status.SetCard(StatusLine::Card::Ready);
  EXPECT_EQ(line.shown, "Drive is ready: E:\\; press Scan to list its recordings");
  line.status.SetCounts({true, 0, 0, 0});
  EXPECT_EQ(line.shown, "No recordings in E:\\");
  line.status.SetCounts({true, 9, 2, 0});
  EXPECT_EQ(line.shown, "Records found: 9 (shown: 2)");
  line.status.SetCounts({true, 8, 8, 2});
  EXPECT_EQ(line.shown, "Records found: 8, unreadable: 2");
  line.status.SetCard(StatusLine::Card::NotReady);
  EXPECT_TRUE(line.shown.starts_with("Drive is not ready: E:\\")) << "old counts are no card's";
  line.status.SetFolder("");
  EXPECT_NE(line.shown.find("Setup..."), std::string::npos) << line.shown;
}

TEST(StatusLine, AJobWinsThenItsResultUntilTheNextChange) {
  Line line;
  line.status.SetCard(StatusLine::Card::Ready);
  line.status.SetCounts({true, 3, 3, 0});
  line.status.SetJob(Job::Convert);
  EXPECT_EQ(line.shown, "Converting...");
  line.status.SetProgress(42);
  EXPECT_EQ(line.shown, "Converting... 42%");
  const int changes = line.changes;
  line.status.SetProgress(42);
  EXPECT_EQ(line.changes, changes) << "the same share is no change";
  // A card pulled out during the job does not cover it.
  line.status.SetCard(StatusLine::Card::NotReady);
  line.status.SetCard(StatusLine::Card::Ready);
  EXPECT_EQ(line.shown, "Converting... 42%");
  line.status.SetJob(Job::Convert, true);
  EXPECT_EQ(line.shown, "Conversion was interrupted by user");
  line.status.SetJob(Job::None);
  line.status.SetConversionResult(false, false, 1, 2);
  EXPECT_EQ(line.shown, "Conversion error: 1 converted, 2 failed");
  line.status.Refresh();
  EXPECT_EQ(line.shown, "Conversion error: 1 converted, 2 failed") << "a refresh changes nothing";
  line.status.SetCounts({true, 3, 1, 0});
  EXPECT_EQ(line.shown, "Records found: 3 (shown: 1)");

  line.status.SetConversionResult(false, true, 3, 0);
  line.status.SetJob(Job::Scan);
  EXPECT_EQ(line.shown, "Scanning...") << "a new job drops the old result";
  line.status.SetJob(Job::None);
  EXPECT_EQ(line.shown, "Records found: 3 (shown: 1)");
  line.status.SetJob(Job::Delete);
  EXPECT_EQ(line.shown, "Deleting records in E:\\...");
  line.status.SetJob(Job::Prepare);
  EXPECT_EQ(line.shown, "Preparing the card in E:\\...");
}

TEST(StatusLine, FollowsTheLanguage) {
  Line line;
  line.status.SetCard(StatusLine::Card::Ready);
  line.status.SetJob(Job::None);
  line.status.SetConversionResult(true, false, 0, 0);
  SelectLanguage(1);
  line.status.Refresh();
  const std::string russian = line.shown;
  const std::string expected = GetText(26);
  SelectLanguage(0);
  EXPECT_EQ(russian, expected);
  EXPECT_NE(russian, line.status.Text());
}
