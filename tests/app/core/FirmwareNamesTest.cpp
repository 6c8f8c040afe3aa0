#include "app/Threadfirmware.h"
#include "settings/ProgramSettings.h"
#include "support/Tools.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace orvo;

namespace {

// No card is ever present, so the thread only idles while names are tested.
struct Names : ::testing::Test {
  test::TempDir dir;
  ProgramSettings settings{SettingsLocation{dir.File("settings.ini"), false}};
  TThreadFirmware fw{dir.path, &settings};
};

} // namespace

TEST_F(Names, VersionIsTheRunAfterTheV) {
  EXPECT_EQ(fw.VersionFromFileName("orvo-v264o4_tft_v102.fw"), "1.02");
  EXPECT_EQ(fw.VersionFromFileName("orvo-v264o4_tft_v1AB.fw"), "1.AB");
  EXPECT_EQ(fw.VersionFromFileName("orvo-v264o4_tft_v1-2.fw"), "UNKNOWN");
  EXPECT_EQ(fw.VersionFromFileName("orvo-v264o4_tft_v1"), "UNKNOWN");
  EXPECT_EQ(fw.VersionFromFileName("short.fw"), "UNKNOWN");
  EXPECT_EQ(fw.VersionFromFileName(""), "UNKNOWN");
  // Only the first 32 characters of a name count.
  EXPECT_EQ(fw.VersionFromFileName("orvo-v264o4_tft_v1234567890123456789"), "1.23456789012345");
}

TEST_F(Names, ListingMatchesTheMaskSortedAndIgnoresCase) {
  for (const char *name :
       {"orvo-v264o4_tft_v102.fw", "ORVO-V264O4_TFT_V100.FW", "orvo-v264o4_tft_v101.fw",
        "orvo-v264o4_tft_v1003.fw", "orvo-v264o4_tft_v10.fw", "orvo-v264o4_tft_v1.bin"})
    std::ofstream(dir.File(name)) << "fw";
  std::filesystem::create_directory(dir.File("orvo-v264o4_tft_v199.fw"));
  std::vector<std::string> names{"stale"};
  fw.ListFirmwareFiles(dir.path + "/", names);
  EXPECT_EQ(names, (std::vector<std::string>{"ORVO-V264O4_TFT_V100.FW", "orvo-v264o4_tft_v101.fw",
                                             "orvo-v264o4_tft_v102.fw"}));
  fw.ListFirmwareFiles(dir.File("missing/"), names);
  EXPECT_TRUE(names.empty());
}
