#include "engine/Storagex4tft.h"
#include "support/Tools.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

using namespace orvo;
namespace fs = std::filesystem;

namespace {

// A record whose fragment files are empty stand-ins: deletion only needs
// the names of the card layout.
struct FakeRecord {
  RecordEntry entry;
  std::string folder;
};

FakeRecord MakeRecord(const test::TempDir &card, std::uint32_t number, std::uint32_t first,
                      std::uint32_t last, bool gps, bool checked) {
  FakeRecord r;
  std::memset(&r.entry, 0, sizeof r.entry);
  RecordEntry &e = r.entry;
  e.Magic = kRecordMagic;
  e.ModelTag = kRecordModelTag;
  e.RecordNumber = number;
  e.FirstFragment = first;
  e.LastFragment = last;
  e.FragmentCount = static_cast<std::int32_t>(last - first + 1);
  e.Day = 1;
  e.Month = 2;
  e.Year = 23;
  e.Hour = 10;
  e.Attributes = gps ? kAttrGps : 0;
  e.Marks = checked ? kMarkChecked : 0;
  char name[64];
  std::snprintf(name, sizeof name, "R%08u_D230201_T100000", number);
  r.folder = card.File(name);
  fs::create_directories(r.folder);
  std::ofstream(r.folder + "/record.dat", std::ios::binary)
      .write(reinterpret_cast<const char *>(&e), sizeof e);
  for (std::uint32_t k = first; k <= last; ++k) {
    char sub[32], file[32];
    std::snprintf(sub, sizeof sub, "DIR%05u", k / 100);
    std::snprintf(file, sizeof file, "F%07u.mp4", k);
    fs::create_directories(r.folder + "/" + sub);
    std::ofstream(r.folder + "/" + sub + "/" + file) << "x";
  }
  if (gps)
    std::ofstream(r.folder + "/" + std::string(name) + ".gpx") << "<gpx/>";
  return r;
}

struct Deletion : ::testing::Test {
  test::TempDir card;
  TStorageX4TFT engine;
  void Scan() {
    engine.SetInputFolder(card.path + "/");
    ASSERT_TRUE(engine.ScanRecords());
  }
};

} // namespace

TEST_F(Deletion, RemovesExactlyTheRecordAcrossTwoFragmentFolders) {
  FakeRecord doomed = MakeRecord(card, 1, 0, 150, true, true);
  FakeRecord kept = MakeRecord(card, 2, 0, 5, true, false);
  std::ofstream(card.File("unrelated.txt")) << "stays";
  Scan();
  ASSERT_EQ(engine.GetRecordCount(), 2u);
  EXPECT_TRUE(engine.DeleteChecked());
  EXPECT_FALSE(fs::exists(doomed.folder));
  EXPECT_TRUE(fs::exists(kept.folder + "/DIR00000/F0000005.mp4"));
  EXPECT_TRUE(fs::exists(card.File("unrelated.txt")));
  ASSERT_EQ(engine.GetRecordCount(), 1u) << "the job ends with a fresh scan";
  RecordEntry e;
  ASSERT_TRUE(engine.GetEntry(0, e));
  EXPECT_EQ(e.RecordNumber, 2u);
}

TEST_F(Deletion, ForeignFileInAFragmentFolderStopsThatRecordsFragments) {
  FakeRecord r = MakeRecord(card, 3, 95, 104, false, true);
  std::ofstream(r.folder + "/DIR00000/notes.txt") << "not the recorder's";
  Scan();
  EXPECT_FALSE(engine.DeleteChecked());
  EXPECT_TRUE(fs::exists(r.folder + "/DIR00000/notes.txt"));
  EXPECT_FALSE(fs::exists(r.folder + "/DIR00000/F0000099.mp4"));
  EXPECT_TRUE(fs::exists(r.folder + "/DIR00001/F0000100.mp4")) << "later fragments stay";
  EXPECT_FALSE(fs::exists(r.folder + "/record.dat"));
  EXPECT_TRUE(fs::exists(r.folder)) << "a folder that is not empty is never forced";
  EXPECT_EQ(engine.GetRecordCount(), 0u);
}

TEST_F(Deletion, NothingCheckedDeletesNothingAndRescans) {
  FakeRecord r = MakeRecord(card, 4, 0, 2, true, false);
  Scan();
  EXPECT_TRUE(engine.DeleteChecked());
  EXPECT_TRUE(fs::exists(r.folder + "/DIR00000/F0000002.mp4"));
  EXPECT_EQ(engine.GetRecordCount(), 1u);
  std::int32_t done, total;
  engine.GetProgress(done, total);
  EXPECT_EQ(done, 0);
  EXPECT_EQ(total, 1);
}

TEST_F(Deletion, MissingFragmentFailsButTheRecordFileGoes) {
  FakeRecord r = MakeRecord(card, 5, 0, 3, false, true);
  fs::remove(r.folder + "/DIR00000/F0000001.mp4");
  Scan();
  EXPECT_FALSE(engine.DeleteChecked());
  EXPECT_FALSE(fs::exists(r.folder + "/DIR00000/F0000000.mp4"));
  EXPECT_TRUE(fs::exists(r.folder + "/DIR00000/F0000002.mp4"));
  EXPECT_FALSE(fs::exists(r.folder + "/record.dat"));
}

TEST_F(Deletion, EmptyInputFolderNeverTouchesTheCurrentDirectory) {
  engine.SetInputFolder("");
  EXPECT_TRUE(engine.ScanRecords());
  EXPECT_EQ(engine.GetRecordCount(), 0u);
  EXPECT_TRUE(engine.DeleteChecked());
}
