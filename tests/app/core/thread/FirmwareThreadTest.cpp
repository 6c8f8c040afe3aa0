#include "app/Threadfirmware.h"
#include "settings/ProgramSettings.h"
#include "support/Tools.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

using namespace orvo;
namespace fs = std::filesystem;

namespace {

using Strings = std::vector<std::string>;

std::set<std::string> Names(const std::string &folder) {
  std::set<std::string> names;
  for (const auto &e : fs::directory_iterator(folder))
    names.insert(e.path().filename().string());
  return names;
}

void Put(const test::TempDir &dir, const std::string &name) {
  std::ofstream(dir.File(name), std::ios::binary) << name;
}

// Polls like the window's drive timer, with a generous bound so that a broken
// thread fails the test instead of hanging it.
bool WaitResults(TThreadFirmware &fw) {
  for (int i = 0; i < 3000; ++i) {
    if (fw.TakeResults())
      return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

struct Firmware : ::testing::Test {
  test::TempDir disk;
  test::TempDir card;
  test::TempDir dir;
  ProgramSettings settings{SettingsLocation{dir.File("settings.ini"), false}};
  void SetUp() override {
    settings.SetInPath(card.path);
    Put(disk, "orvo-v264o4_tft_v101.fw");
    Put(disk, "orvo-v264o4_tft_v102.fw");
    Put(card, "orvo-v264o4_tft_v100.fw");
  }
};

} // namespace

TEST_F(Firmware, ListsBothSidesAndCopiesTheChosenFileAlone) {
  TThreadFirmware fw(disk.path, &settings);
  fw.CardPresent = true;
  ASSERT_TRUE(WaitResults(fw));
  EXPECT_EQ(fw.GetDiskVersions(), (Strings{"1.01", "1.02"}));
  EXPECT_EQ(fw.GetCardVersions(), (Strings{"1.00"}));
  EXPECT_EQ(fw.GetDiskFiles()[1], "orvo-v264o4_tft_v102.fw");

  ASSERT_TRUE(fw.RequestCopyToCard(1));
  EXPECT_FALSE(fw.RequestRefresh()) << "a second request while one is pending";
  ASSERT_TRUE(WaitResults(fw));
  EXPECT_EQ(Names(card.path), (std::set<std::string>{"orvo-v264o4_tft_v102.fw"}));
  EXPECT_EQ(test::ReadAll(card.File("orvo-v264o4_tft_v102.fw")), "orvo-v264o4_tft_v102.fw");
  EXPECT_EQ(fw.GetCardVersions(), (Strings{"1.02"}));
  EXPECT_EQ(fw.GetDiskVersions(), (Strings{"1.01", "1.02"}));

  // A copy that fails (the chosen file is a folder now) leaves the card with
  // the firmware it had.
  fs::remove(disk.File("orvo-v264o4_tft_v101.fw"));
  fs::create_directory(disk.File("orvo-v264o4_tft_v101.fw"));
  ASSERT_TRUE(fw.RequestCopyToCard(0));
  ASSERT_TRUE(WaitResults(fw));
  EXPECT_EQ(Names(card.path), (std::set<std::string>{"orvo-v264o4_tft_v102.fw"}));
}

TEST_F(Firmware, CopyFromCardTakesTheGivenSortedEntryOnly) {
  Put(card, "orvo-v264o4_tft_v1ZZ.fw");
  TThreadFirmware fw(disk.path, &settings);
  fw.CardPresent = true;
  ASSERT_TRUE(WaitResults(fw));
  ASSERT_EQ(fw.GetCardFiles(), (Strings{"orvo-v264o4_tft_v100.fw", "orvo-v264o4_tft_v1ZZ.fw"}));
  ASSERT_TRUE(fw.RequestCopyFromCard(0));
  ASSERT_TRUE(WaitResults(fw));
  EXPECT_EQ(fw.GetDiskVersions(), (Strings{"1.00", "1.01", "1.02"}));
  EXPECT_EQ(Names(card.path).size(), 2u) << "the card keeps its files";
}

TEST_F(Firmware, IndexOutsideTheListCopiesNothing) {
  TThreadFirmware fw(disk.path, &settings);
  fw.CardPresent = true;
  ASSERT_TRUE(WaitResults(fw));
  ASSERT_TRUE(fw.RequestCopyFromCard(5));
  ASSERT_TRUE(WaitResults(fw));
  ASSERT_TRUE(fw.RequestCopyFromCard(-1));
  ASSERT_TRUE(WaitResults(fw));
  EXPECT_EQ(Names(disk.path).size(), 2u);
}

TEST_F(Firmware, UnknownVersionsAreListedAsSuch) {
  Put(card, "orvo-v264o4_tft_v1_-.fw");
  TThreadFirmware fw(disk.path, &settings);
  fw.CardPresent = true;
  ASSERT_TRUE(WaitResults(fw));
  EXPECT_EQ(fw.GetCardVersions(), (Strings{"1.00", "UNKNOWN"}));
}

TEST_F(Firmware, CardRemovedAndInsertedRefillsTheLists) {
  TThreadFirmware fw(disk.path, &settings);
  fw.CardPresent = true;
  ASSERT_TRUE(WaitResults(fw));
  fw.CardPresent = false;
  fs::remove(card.File("orvo-v264o4_tft_v100.fw"));
  Put(card, "orvo-v264o4_tft_v199.fw");
  fw.CardPresent = true;
  ASSERT_TRUE(fw.RequestRefresh());
  ASSERT_TRUE(WaitResults(fw));
  EXPECT_EQ(fw.GetCardVersions(), (Strings{"1.99"}));
}

TEST_F(Firmware, NoListingWithoutCardButTheOneAfterInsertion) {
  TThreadFirmware fw(disk.path, &settings);
  std::this_thread::sleep_for(std::chrono::milliseconds(250));
  EXPECT_FALSE(fw.TakeResults()) << "listed with no card present";
  EXPECT_FALSE(fw.RequestRefresh()) << "dropped while the thread is not idle";
  fw.CardPresent = true;
  ASSERT_TRUE(WaitResults(fw));
  EXPECT_EQ(fw.GetCardVersions(), (Strings{"1.00"}));
}

TEST_F(Firmware, NewInputFolderIsListedWhileTheWindowMayChangeIt) {
  test::TempDir other;
  Put(other, "orvo-v264o4_tft_v177.fw");
  TThreadFirmware fw(disk.path, &settings);
  fw.CardPresent = true;
  ASSERT_TRUE(WaitResults(fw));
  // The window changes the input folder while the thread runs; the next
  // listing takes the new one.
  for (int i = 0; i < 50; ++i)
    settings.SetInPath(i % 2 ? card.path : other.path);
  settings.SetInPath(other.path);
  ASSERT_TRUE(fw.RequestRefresh());
  ASSERT_TRUE(WaitResults(fw));
  EXPECT_EQ(fw.GetCardVersions(), (Strings{"1.77"}));
}

TEST_F(Firmware, StaleResultsAreNotTakenAfterANewRequest) {
  test::TempDir other;
  Put(other, "orvo-v264o4_tft_v1AB.fw");
  TThreadFirmware fw(disk.path, &settings);
  fw.CardPresent = true;
  for (int i = 0; i < 3000 && !fw.IsIdle(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_TRUE(fw.IsIdle());
  // The first listing's results were never taken when the new request comes.
  settings.SetInPath(other.path);
  ASSERT_TRUE(fw.RequestRefresh());
  ASSERT_TRUE(WaitResults(fw));
  EXPECT_EQ(fw.GetCardVersions(), (Strings{"1.AB"}));
}
