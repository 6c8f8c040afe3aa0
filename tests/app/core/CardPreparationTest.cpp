#include "app/CardPreparation.h"
#include "app/Payloads.h"
#include "config/Cfg_mgr.h"
#include "settings/DriveFields.h"
#include "settings/ProgramSettings.h"
#include "support/Tools.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

using namespace orvo;
namespace fs = std::filesystem;

namespace {

std::uint64_t gClusters = 0;
bool gFat = true;
int gProbeCalls = 0;

bool FakeProbe(const std::string &, platform::VolumeFacts &facts) {
  ++gProbeCalls;
  facts.isFat = gFat;
  facts.dataClusters = gClusters;
  return true;
}

bool FailingProbe(const std::string &, platform::VolumeFacts &) {
  return false;
}

void Touch(const std::string &path, const std::string &content = "x") {
  std::ofstream(path, std::ios::binary) << content;
}

std::set<std::string> Names(const std::string &folder) {
  std::set<std::string> names;
  for (const auto &e : fs::directory_iterator(folder))
    names.insert(e.path().filename().string());
  return names;
}

bool SameBytes(const std::string &path, const Payload &p) {
  const std::string bytes = test::ReadAll(path);
  return bytes.size() == p.size &&
         std::equal(bytes.begin(), bytes.end(), p.data,
                    [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

// A FAT32 card in a folder: the volume test answers FAT32 whatever the
// folder's real file system is.
struct Card : ::testing::Test {
  test::TempDir card;
  std::string inPath;
  int cfgWrites = 0;
  std::string cfgFolder;
  bool cfgResult = true;
  CfgFileWriter writeCfg = [this](const std::string &folder) {
    ++cfgWrites;
    cfgFolder = folder;
    Touch(folder + "orvo-v264o4_tft_v1.cfg", "RECORD_MODE=0\n");
    return cfgResult;
  };
  void SetUp() override {
    inPath = card.path + "/";
    gFat = true;
    gClusters = 65525;
    gProbeCalls = 0;
  }
  int Prepare(std::int32_t language) {
    return PrepareCard(0, inPath, language, writeCfg, FakeProbe);
  }
};

} // namespace

TEST(Fat32Rule, ClusterCountsAtTheTypeBoundaries) {
  EXPECT_FALSE(platform::IsFat32ClusterCount(4084));
  EXPECT_FALSE(platform::IsFat32ClusterCount(4085));
  EXPECT_FALSE(platform::IsFat32ClusterCount(65524));
  EXPECT_TRUE(platform::IsFat32ClusterCount(65525));
  gFat = true;
  for (std::uint64_t n : {4084u, 4085u, 65524u}) {
    gClusters = n;
    EXPECT_FALSE(platform::IsFat32Volume("/", FakeProbe)) << n;
  }
  gClusters = 65525;
  EXPECT_TRUE(platform::IsFat32Volume("/", FakeProbe));
  gFat = false; // exFAT, NTFS, ext4 with as many clusters
  EXPECT_FALSE(platform::IsFat32Volume("/", FakeProbe));
  EXPECT_FALSE(platform::IsFat32Volume("/", FailingProbe));
}

TEST(Fat32Rule, TheTestFolderIsNotFat32AndNoDriveIsNever) {
  test::TempDir dir;
  platform::VolumeFacts facts;
  ASSERT_TRUE(platform::ProbeVolume(dir.path, facts));
  EXPECT_FALSE(facts.isFat);
  EXPECT_FALSE(IsFat32(0, dir.path + "/"));
  EXPECT_FALSE(platform::ProbeVolume(dir.File("missing"), facts));
  gFat = true;
  gClusters = 70000;
  gProbeCalls = 0;
  EXPECT_FALSE(IsFat32(NoDrive, dir.path + "/", FakeProbe));
  EXPECT_EQ(gProbeCalls, 0);
}

TEST(DriveReady, OnlyAnExistingListableFolder) {
  test::TempDir dir;
  Touch(dir.File("file"));
  if (platform::kDriveLetters)
    GTEST_SKIP() << "Windows asks the drive of the letter, not the folder";
  EXPECT_TRUE(IsDriveReady(0, dir.path + "/"));
  EXPECT_FALSE(IsDriveReady(NoDrive, dir.path + "/"));
  EXPECT_FALSE(IsDriveReady(0x80, dir.path + "/")) << "any value with the top bit set";
  EXPECT_FALSE(IsDriveReady(0, dir.File("gone/")));
  EXPECT_FALSE(IsDriveReady(0, dir.File("file")));
  EXPECT_FALSE(IsDriveReady(0, ""));
}

TEST(Payloads, NamesAndSizesOfTheRecordersFiles) {
  EXPECT_STREQ(FirmwareImagePayload().name, "orvo-v264o4_tft_v1.bin");
  EXPECT_EQ(FirmwareImagePayload().size, 426992u);
  EXPECT_STREQ(RussianSkinPayload().name, "ru_std.skn");
  EXPECT_EQ(RussianSkinPayload().size, 611508u);
  EXPECT_STREQ(EnglishSkinPayload().name, "en_std.skn");
  EXPECT_EQ(EnglishSkinPayload().size, 585384u);
  for (const Payload *p : {&FirmwareImagePayload(), &RussianSkinPayload(), &EnglishSkinPayload()}) {
    if (p->placeholder) {
      EXPECT_EQ(std::string(reinterpret_cast<const char *>(p->data), 24),
                "ORVO PLACEHOLDER PAYLOAD")
          << p->name;
    }
  }
}

TEST(WritePayloadTest, TruncatesALongerFileAndFailsWithoutFolder) {
  test::TempDir dir;
  Touch(dir.File("a.bin"), std::string(1000, 'z'));
  const std::uint8_t bytes[] = {1, 2, 3};
  ASSERT_TRUE(WritePayload(dir.path, "a.bin", bytes));
  EXPECT_EQ(test::ReadAll(dir.File("a.bin")), std::string("\1\2\3"));
  EXPECT_FALSE(WritePayload(dir.File("missing"), "a.bin", bytes));
  fs::create_directory(dir.File("d.bin"));
  EXPECT_FALSE(WritePayload(dir.path + "/", "d.bin", bytes));
}

TEST(DeleteByMask, RemovesMatchingFilesOfAnyCaseOnly) {
  test::TempDir dir;
  Touch(dir.File("a.skn"));
  Touch(dir.File("OLD.SKN"));
  Touch(dir.File("a.sknx"));
  Touch(dir.File("keep.cfg"));
  fs::create_directory(dir.File("folder.skn"));
  DeleteFilesByMask(dir.path + "/", "*.skn");
  EXPECT_EQ(Names(dir.path), (std::set<std::string>{"a.sknx", "keep.cfg", "folder.skn"}));
  DeleteFilesByMask(dir.File("missing/"), "*.skn"); // nothing to do, nothing to report
}

TEST_F(Card, PreparationWritesFirmwareRussianSkinAndConfiguration) {
  Touch(card.File("en_std.skn"));
  Touch(card.File("Custom.SKN"));
  Touch(card.File("R00000001_D240101_T000000"));
  Touch(card.File("orvo-v264o4_tft_v1.bin"), std::string(500000, 'o'));
  EXPECT_EQ(Prepare(1), MsgCardReady);
  EXPECT_EQ(Names(card.path),
            (std::set<std::string>{"orvo-v264o4_tft_v1.bin", "ru_std.skn", "orvo-v264o4_tft_v1.cfg",
                                   "R00000001_D240101_T000000"}));
  EXPECT_TRUE(SameBytes(card.File("orvo-v264o4_tft_v1.bin"), FirmwareImagePayload()));
  EXPECT_TRUE(SameBytes(card.File("ru_std.skn"), RussianSkinPayload()));
  EXPECT_EQ(cfgWrites, 1);
  EXPECT_EQ(cfgFolder, inPath);
}

TEST_F(Card, EveryLanguageButRussianGetsTheEnglishSkin) {
  Touch(card.File("ru_std.skn"));
  EXPECT_EQ(Prepare(0), MsgCardReady);
  EXPECT_TRUE(SameBytes(card.File("en_std.skn"), EnglishSkinPayload()));
  EXPECT_FALSE(fs::exists(card.File("ru_std.skn")));
  EXPECT_EQ(Prepare(2), MsgCardReady);
  EXPECT_EQ(Names(card.path), (std::set<std::string>{"orvo-v264o4_tft_v1.bin", "en_std.skn",
                                                     "orvo-v264o4_tft_v1.cfg"}));
}

TEST_F(Card, UnwritableFirmwareImageIsWriteErrorAndKeepsSkins) {
  fs::create_directory(card.File("orvo-v264o4_tft_v1.bin"));
  Touch(card.File("en_std.skn"));
  EXPECT_EQ(Prepare(1), MsgWriteError);
  EXPECT_TRUE(fs::exists(card.File("en_std.skn")));
  EXPECT_FALSE(fs::exists(card.File("ru_std.skn")));
  EXPECT_EQ(cfgWrites, 0);
}

TEST_F(Card, FailedSkinStopsBeforeTheConfiguration) {
  fs::create_directory(card.File("en_std.skn"));
  EXPECT_EQ(Prepare(0), MsgWriteError);
  EXPECT_TRUE(SameBytes(card.File("orvo-v264o4_tft_v1.bin"), FirmwareImagePayload()))
      << "what was written stays";
  EXPECT_EQ(cfgWrites, 0);
}

TEST_F(Card, FailedConfigurationIsWriteError) {
  cfgResult = false;
  EXPECT_EQ(Prepare(0), MsgWriteError);
  EXPECT_EQ(PrepareCard(0, inPath, 0, CfgFileWriter(), FakeProbe), MsgWriteError);
}

TEST_F(Card, NonFat32VolumeIsIncorrectFileSystemAndWritesNothing) {
  Touch(card.File("en_std.skn"));
  gClusters = 65524; // FAT16
  EXPECT_EQ(Prepare(0), MsgIncorrectFileSystem);
  gFat = false;
  gClusters = 1000000; // exFAT or NTFS
  EXPECT_EQ(Prepare(0), MsgIncorrectFileSystem);
  EXPECT_EQ(PrepareCard(0, inPath, 0, writeCfg), MsgIncorrectFileSystem) << "the real volume";
  EXPECT_EQ(PrepareCard(NoDrive, inPath, 0, writeCfg, FakeProbe), MsgIncorrectFileSystem);
  EXPECT_EQ(Names(card.path), (std::set<std::string>{"en_std.skn"}));
  EXPECT_EQ(cfgWrites, 0);
}

TEST_F(Card, SettingsAndTheRealConfigurationFile) {
  ProgramSettings settings{SettingsLocation{card.File("settings.ini"), false}};
  settings.SetInPath(card.path);
  settings.Language = 1;
  ResetToDefaults();
  EXPECT_EQ(PrepareCard(settings, WriteCardCfgFile, FakeProbe), MsgCardReady);
  EXPECT_TRUE(fs::exists(card.File("ru_std.skn")));
  const std::string cfg = test::ReadAll(card.File("orvo-v264o4_tft_v1.cfg"));
  EXPECT_NE(cfg.find("RECORD_MODE"), std::string::npos) << cfg.substr(0, 200);
}

TEST(MountSource, TheTestFolderHasOne) {
  if (platform::kDriveLetters)
    GTEST_SKIP() << "Windows formats a drive by its letter";
  test::TempDir dir;
  std::string device, type;
  ASSERT_TRUE(platform::FindMountSource(dir.path, device, type));
  EXPECT_FALSE(device.empty());
  EXPECT_FALSE(type.empty());
  EXPECT_FALSE(platform::FindMountSource(dir.File("missing"), device, type));
  EXPECT_TRUE(device.empty());
}
