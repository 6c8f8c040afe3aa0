#include "engine/Storagex4tft.h"
#include "settings/Stringcode.h"
#include "support/System.h"
#include "support/Tools.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

using namespace orvo;

namespace {

RecordEntry MakeEntry(std::uint32_t number = 12) {
  RecordEntry e;
  std::memset(&e, 0xA5, sizeof e); // reserved bytes get a pattern of their own
  e.Magic = kRecordMagic;
  e.ModelTag = kRecordModelTag;
  e.RecordNumber = number;
  e.FirstFragment = 0;
  e.LastFragment = 2;
  e.FragmentCount = 3;
  e.DurationMs = 60000;
  e.Day = 15;
  e.Month = 3;
  e.Year = 21;
  e.Hour = 8;
  e.Minute = 30;
  e.Second = 0;
  e.Width = 720;
  e.Height = 576;
  e.VideoBitrate = 1024000;
  e.AudioBitrate = 64000;
  e.FrameDuration = 3600;
  e.Attributes = 0x01;
  e.Marks = 0;
  return e;
}

std::string FolderOf(const RecordEntry &e) {
  char name[64];
  std::snprintf(name, sizeof name, "R%08u_D%02u%02u%02u_T%02u%02u%02u", e.RecordNumber, e.Year,
                e.Month, e.Day, e.Hour, e.Minute, e.Second);
  return name;
}

// Writes a record folder with a record file of `size` bytes (the entry,
// then padding).
void WriteRecord(const test::TempDir &card, const RecordEntry &e, std::string folder = {},
                 std::size_t size = sizeof(RecordEntry)) {
  if (folder.empty())
    folder = FolderOf(e);
  std::filesystem::create_directories(card.File(folder));
  std::string bytes(reinterpret_cast<const char *>(&e), sizeof e);
  bytes.resize(size, '\x5A');
  std::ofstream(card.File(folder + "/record.dat"), std::ios::binary) << bytes;
}

struct Catalog : ::testing::Test {
  test::TempDir card;
  TStorageX4TFT engine;
  bool Scan() {
    engine.SetInputFolder(card.path + "/");
    return engine.ScanRecords();
  }
};

} // namespace

TEST_F(Catalog, EmptyOrMissingFolderGivesNoRecords) {
  EXPECT_TRUE(Scan());
  EXPECT_EQ(engine.GetRecordCount(), 0u);
  engine.SetInputFolder(card.path + "/missing/");
  EXPECT_TRUE(engine.ScanRecords());
  EXPECT_EQ(engine.GetRecordCount(), 0u);
}

TEST_F(Catalog, FolderNameMustAgreeWithRecordFile) {
  RecordEntry e = MakeEntry(12);
  WriteRecord(card, e);                              // listed
  WriteRecord(card, e, "R00000013_D210315_T083000"); // number disagrees
  WriteRecord(card, e, "R00000012_D210316_T083000"); // day disagrees
  WriteRecord(card, e, "R00000012_D210315_T083001"); // second disagrees
  WriteRecord(card, e, "R0000001A_D210315_T083000"); // not digits: no record, scan goes on
  WriteRecord(card, e, "r00000012_D210315_T083000"); // names compare as stored
  ASSERT_TRUE(Scan());
  ASSERT_EQ(engine.GetRecordCount(), 1u);
  EXPECT_EQ(test::NativePath(engine.RecordFolderPath(0)),
            test::NativePath(card.path + "/R00000012_D210315_T083000/"));
  EXPECT_EQ(engine.GpsFileName(0), "R00000012_D210315_T083000.gpx");
  EXPECT_EQ(engine.RecordFolderPath(1), "");
}

TEST_F(Catalog, RecordFileSizeAndSignatureAreChecked) {
  WriteRecord(card, MakeEntry(1), {}, 59); // too short
  WriteRecord(card, MakeEntry(2), {}, 61); // longer is fine
  RecordEntry foreign = MakeEntry(3);
  foreign.ModelTag = 0x31313131;
  WriteRecord(card, foreign);
  RecordEntry wrongMagic = MakeEntry(4);
  wrongMagic.Magic = 0;
  WriteRecord(card, wrongMagic);
  // A plain file where a record folder belongs, and a folder without a file.
  std::ofstream(card.File(FolderOf(MakeEntry(5)))) << "not a folder";
  std::filesystem::create_directories(card.File(FolderOf(MakeEntry(6))));
  WriteRecord(card, MakeEntry(7), {}, 0);
  WriteRecord(card, MakeEntry(8), "R00000009_D210315_T083000"); // names another record
  std::filesystem::create_directories(card.File(FolderOf(MakeEntry(10)) + "/record.dat"));
  ASSERT_TRUE(Scan());
  ASSERT_EQ(engine.GetRecordCount(), 1u);
  RecordEntry got;
  ASSERT_TRUE(engine.GetEntry(0, got));
  EXPECT_EQ(got.RecordNumber, 2u);
  const RecordEntry expected = MakeEntry(2);
  EXPECT_EQ(std::memcmp(&got, &expected, sizeof got), 0)
      << "every byte of the file, reserved ones included, is kept";

  // Every record folder that is not a record is kept with its reason; the
  // plain file of record 5 is no record folder and stays silent.
  std::map<std::string, std::string> unreadable;
  for (std::uint32_t i = 0; i < engine.GetUnreadableCount(); ++i) {
    TStorageX4TFT::UnreadableRecord r;
    ASSERT_TRUE(engine.GetUnreadable(i, r));
    unreadable[r.folder] = r.reasonTextId != 0 ? GetText(r.reasonTextId) : r.reason;
    EXPECT_FALSE(unreadable[r.folder].empty()) << r.folder;
  }
  TStorageX4TFT::UnreadableRecord none;
  EXPECT_FALSE(engine.GetUnreadable(engine.GetUnreadableCount(), none));
  const std::string shortFile = "the record file is shorter than 60 bytes";
  const std::string wrongSignature = "not a record file (wrong signature)";
  const std::map<std::string, std::string> expectedReasons = {
      {FolderOf(MakeEntry(1)), shortFile},
      {FolderOf(MakeEntry(3)), wrongSignature},
      {FolderOf(MakeEntry(4)), wrongSignature},
      {FolderOf(MakeEntry(6)), test::MissingFileText()},
      {FolderOf(MakeEntry(7)), shortFile},
      {"R00000009_D210315_T083000", "the record file describes another record"}};
  // A folder where the record file belongs: the systems word it differently.
  EXPECT_EQ(unreadable.erase(FolderOf(MakeEntry(10))), 1u);
  EXPECT_EQ(unreadable, expectedReasons);

  // A FIFO and a link to a device are reported without waiting on them.
  std::filesystem::create_directories(card.File(FolderOf(MakeEntry(11))));
  if (!test::MakeFifo(card.File(FolderOf(MakeEntry(11)) + "/record.dat")))
    GTEST_SKIP() << test::kNoFifos;
  std::filesystem::create_directories(card.File(FolderOf(MakeEntry(12))));
  ASSERT_TRUE(
      test::MakeLink(test::NullDevice(), card.File(FolderOf(MakeEntry(12)) + "/record.dat")));
  ASSERT_TRUE(Scan());
  EXPECT_EQ(engine.GetRecordCount(), 1u);
  EXPECT_EQ(engine.GetUnreadableCount(), 9u);
}

TEST_F(Catalog, AccessorsDeriveTheListValues) {
  RecordEntry a = MakeEntry(1);
  a.DurationMs = 3599500; // rounds up to a whole hour
  a.FrameDuration = 3003;
  a.Attributes = 0x42; // the GPS bit does not disturb the mode
  a.Marks = kMarkChecked;
  RecordEntry b = MakeEntry(2);
  b.DurationMs = 90061000; // more than a day
  b.FrameDuration = 0;
  b.Attributes = 0x45; // mode 5 is unknown
  b.Marks = kMarkConverted;
  RecordEntry c = MakeEntry(3);
  c.DurationMs = 499;
  c.FrameDuration = 0xFFFFFFFF;
  WriteRecord(card, a);
  WriteRecord(card, b);
  WriteRecord(card, c);
  ASSERT_TRUE(Scan());
  ASSERT_EQ(engine.GetRecordCount(), 3u);
  for (std::uint32_t i = 0; i < 3; ++i) {
    RecordEntry e;
    ASSERT_TRUE(engine.GetEntry(i, e));
    std::uint32_t hours, fps, ms;
    int minutes, seconds, mode;
    ASSERT_TRUE(engine.GetRecordLength(i, hours, minutes, seconds));
    ASSERT_TRUE(engine.GetFps(i, fps));
    ASSERT_TRUE(engine.GetRecordMode(i, mode));
    ASSERT_TRUE(engine.GetRecordLengthMs(i, ms));
    EXPECT_EQ(ms, e.DurationMs);
    bool checked, converted;
    ASSERT_TRUE(engine.GetMarks(i, checked, converted));
    if (e.RecordNumber == 1) {
      EXPECT_EQ(hours * 3600 + minutes * 60 + seconds, 3600u);
      EXPECT_EQ(fps, 30u);
      EXPECT_EQ(mode, 2);
      EXPECT_TRUE(checked && !converted);
    } else if (e.RecordNumber == 2) {
      EXPECT_EQ(hours, 25u);
      EXPECT_EQ(minutes, 1);
      EXPECT_EQ(seconds, 1);
      EXPECT_EQ(fps, 0u);
      EXPECT_EQ(mode, -1);
      EXPECT_TRUE(!checked && converted);
    } else {
      EXPECT_EQ(hours + minutes + seconds, 0u);
      EXPECT_EQ(fps, 0u) << "a huge frame period must not overflow";
    }
  }
  std::uint32_t audio, video;
  ASSERT_TRUE(engine.GetBitrates(0, audio, video));
  EXPECT_EQ(audio, 64u);
  EXPECT_EQ(video, 1024u);
  int w, h;
  EXPECT_FALSE(engine.GetFrameSize(3, w, h)) << "index past the catalog";
}

TEST_F(Catalog, SetCheckedChangesOnlyTheCheckedBit) {
  RecordEntry e = MakeEntry(7);
  e.Marks = 0xF2;
  WriteRecord(card, e);
  ASSERT_TRUE(Scan());
  ASSERT_TRUE(engine.SetChecked(0, true));
  RecordEntry got;
  ASSERT_TRUE(engine.GetEntry(0, got));
  EXPECT_EQ(got.Marks, 0xF3);
  ASSERT_TRUE(engine.SetChecked(0, false));
  ASSERT_TRUE(engine.GetEntry(0, got));
  EXPECT_EQ(got.Marks, 0xF2);
  EXPECT_FALSE(engine.SetChecked(1, true));
}

TEST_F(Catalog, CatalogGrowsPastItsFirstAllocation) {
  for (std::uint32_t n = 1; n <= 2049; ++n)
    WriteRecord(card, MakeEntry(n));
  ASSERT_TRUE(Scan());
  EXPECT_EQ(engine.GetRecordCount(), 2049u);
}

TEST_F(Catalog, OutputNamesFollowTheMask) {
  WriteRecord(card, MakeEntry(12));
  ASSERT_TRUE(Scan());
  EXPECT_EQ(engine.OutputFileName(0, 0), "D210315_T083000_P0.mp4");
  engine.SetNameMask("%N-%D");
  EXPECT_EQ(engine.OutputFileName(0, 3), "R00000012-D210315_P3.mp4");
  engine.SetNameMask("%D%D %x %% %T%N");
  EXPECT_EQ(engine.OutputFileName(0, 1), "D210315D210315 %x %% T083000R00000012_P1.mp4");
  engine.SetNameMask("%L_%S_%F_%B_%R_%Q");
  EXPECT_EQ(engine.OutputFileName(0, 0), "L000100_S720x576_F25_B1024-64_M1_%Q_P0.mp4");
  engine.SetNameMask("../%D/\x01.");
  EXPECT_EQ(engine.OutputFileName(0, 0), "_._D210315__._P0.mp4") << "one name, never a path";
  engine.SetNameMask("same");
  EXPECT_EQ(engine.OutputFileName(0, 0), "same_P0.mp4");
  EXPECT_EQ(engine.OutputFileName(1, 0), "same") << "a bad index leaves the mask alone";
}

TEST(CatalogProgress, IdleProgressReadsZeroOfOne) {
  TStorageX4TFT engine;
  std::int32_t done = -1, total = -1;
  engine.GetProgress(done, total);
  EXPECT_EQ(done, 0);
  EXPECT_EQ(total, 1);
}
