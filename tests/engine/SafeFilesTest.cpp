// A card, a copy of one and the output folder are not trusted: links, FIFOs
// and devices where files belong must never make the program write through
// a link, delete outside the card, hang, or report a failure as success.
#include "cardgen/CardGen.h"
#include "engine/Storagex4tft.h"
#include "platform/FileSystem.h"
#include "support/System.h"
#include "support/Tools.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace orvo;
namespace fs = std::filesystem;

namespace {

struct SafeFiles : ::testing::Test {
  // A hang is a failure, never a stuck test run.
  test::Watchdog watchdog{std::chrono::seconds(60)};
  test::TempDir dir;
  std::string card = dir.File("card"), out = dir.File("out"), outside = dir.File("outside");
  std::vector<cardgen::RecordInfo> records;

  void SetUp() override {
    fs::create_directories(card);
    fs::create_directories(out);
    fs::create_directories(outside);
  }

  void Make(std::uint32_t count, bool gps = true) {
    cardgen::CardWriter writer;
    writer.materialSeconds = 4;
    for (std::uint32_t n = 1; n <= count; ++n) {
      cardgen::RecordPlan plan;
      plan.number = n;
      plan.minute = static_cast<std::uint8_t>(n);
      plan.width = 160;
      plan.height = 112;
      plan.fragmentCount = 2;
      plan.gps = gps;
      cardgen::RecordInfo info;
      ASSERT_TRUE(writer.WriteRecord(card, plan, info));
      records.push_back(info);
    }
  }
  std::string Folder(std::size_t r) const { return card + "/" + records[r].folderName; }
  std::uint32_t Index(const TStorageX4TFT &engine, std::size_t r) const {
    for (std::uint32_t i = 0; i < engine.GetRecordCount(); ++i) {
      RecordEntry e;
      if (engine.GetEntry(i, e) && e.RecordNumber == records[r].fields.recordNumber)
        return i;
    }
    return UINT32_MAX;
  }
  void ScanAll(TStorageX4TFT &engine, const std::string &output) {
    engine.SetInputFolder(card + "/");
    engine.SetOutputFolder(output + "/");
    ASSERT_TRUE(engine.ScanRecords());
    for (std::uint32_t i = 0; i < engine.GetRecordCount(); ++i)
      engine.SetChecked(i, true);
  }
};

} // namespace

// Links standing under output names are never written through, nor taken
// for the record's own files: they stay, and the output takes another name;
// a mask cannot leave the output folder.
TEST_F(SafeFiles, OutputsNeverGoThroughLinksOrOutsideTheFolder) {
  Make(1);
  const std::string victimVideo = outside + "/fragment.mp4", victimDat = outside + "/record.dat";
  fs::copy_file(Folder(0) + "/DIR00000/F0000000.mp4", victimVideo);
  fs::copy_file(Folder(0) + "/record.dat", victimDat);
  const std::string videoBefore = test::ReadAll(victimVideo), datBefore = test::ReadAll(victimDat);
  if (!test::MakeLink(victimVideo, out + "/x_D210315_P0.mp4") ||
      !test::MakeLink(victimDat, out + "/" + records[0].gpxName))
    GTEST_SKIP() << test::kNoLinks;

  TStorageX4TFT engine;
  ScanAll(engine, out);
  engine.SetNameMask("../x/%D");
  ASSERT_TRUE(engine.ConvertChecked());
  EXPECT_EQ(test::ReadAll(victimVideo), videoBefore);
  EXPECT_EQ(test::ReadAll(victimDat), datBefore);
  EXPECT_FALSE(fs::exists(dir.File("x")));
  const std::string part = out + "/_._x_D210315_P0.mp4";
  EXPECT_TRUE(platform::IsRegularFile(part)) << part;
  EXPECT_TRUE(test::IsLink(out + "/" + records[0].gpxName));
  const std::string gpx = records[0].gpxName;
  EXPECT_EQ(test::ReadAll(out + "/" + gpx.substr(0, gpx.size() - 4) + "-2.gpx"),
            test::ReadAll(Folder(0) + "/" + gpx));
  EXPECT_TRUE(test::IsLink(out + "/x_D210315_P0.mp4")) << "a name this run does not write";
  if (test::ExternalChecks()) {
    EXPECT_TRUE(test::DecodesCleanly(part));
  }
}

// The output folder is the record folder itself: the record folder is a
// link to a folder outside the card, which is the output folder. The GPS
// track would be copied onto itself. It stays whole, and the record is not
// marked, with the reason.
TEST_F(SafeFiles, CopyOntoItselfIsRefused) {
  Make(1);
  fs::rename(Folder(0), outside + "/r0");
  if (!test::MakeLink(outside + "/r0", Folder(0)))
    GTEST_SKIP() << test::kNoLinks;
  const std::string gps = Folder(0) + "/" + records[0].gpxName;
  const std::string before = test::ReadAll(gps);
  TStorageX4TFT engine;
  ScanAll(engine, outside + "/r0");
  EXPECT_FALSE(engine.ConvertChecked());
  EXPECT_EQ(test::ReadAll(gps), before);
  RecordOutcome outcome;
  ASSERT_TRUE(engine.GetOutcome(0, outcome));
  ASSERT_EQ(outcome.problems.size(), 1u);
  EXPECT_EQ(outcome.problems[0].kind, ProblemKind::GpsCopyFailed);
  bool checked = false, converted = true;
  ASSERT_TRUE(engine.GetMarks(0, checked, converted));
  EXPECT_FALSE(converted);
}

// FIFOs and devices where files belong count as unreadable or unwritable:
// nothing waits on them, and each is reported.
TEST_F(SafeFiles, FifosAndDevicesNeverBlock) {
  Make(4);
  // Record 0: its record file is a FIFO, so it is not a record at all.
  fs::remove(Folder(0) + "/record.dat");
  if (!test::MakeFifo(Folder(0) + "/record.dat"))
    GTEST_SKIP() << test::kNoFifos;
  // Record 1: a fragment is a FIFO. Record 2: the GPS track is a link to an
  // endless device. Record 3: its output name is a FIFO, which stays.
  fs::remove(Folder(1) + "/DIR00000/F0000001.mp4");
  ASSERT_TRUE(test::MakeFifo(Folder(1) + "/DIR00000/F0000001.mp4"));
  fs::remove(Folder(2) + "/" + records[2].gpxName);
  ASSERT_TRUE(test::MakeLink("/dev/zero", Folder(2) + "/" + records[2].gpxName));
  TStorageX4TFT engine;
  ScanAll(engine, out);
  ASSERT_EQ(engine.GetRecordCount(), 3u);
  ASSERT_TRUE(test::MakeFifo(out + "/" + engine.OutputFileName(Index(engine, 3), 0)));
  EXPECT_FALSE(engine.ConvertChecked());
  const std::pair<std::size_t, ProblemKind> expected[] = {
      {1, ProblemKind::FragmentUnreadable},
      {2, ProblemKind::GpsCopyFailed}};
  for (const auto &[record, kind] : expected) {
    RecordOutcome outcome;
    ASSERT_TRUE(engine.GetOutcome(Index(engine, record), outcome));
    ASSERT_FALSE(outcome.problems.empty()) << record;
    EXPECT_EQ(outcome.problems[0].kind, kind) << record;
    EXPECT_FALSE(outcome.problems[0].detail.empty()) << record;
  }
  EXPECT_FALSE(fs::exists(out + "/" + records[2].gpxName));
  RecordOutcome third;
  ASSERT_TRUE(engine.GetOutcome(Index(engine, 3), third));
  EXPECT_EQ(third.kind, OutcomeKind::Converted);
  ASSERT_EQ(third.notes.size(), 1u);
  EXPECT_EQ(third.notes[0].kind, ProblemKind::NameTaken);
  EXPECT_TRUE(fs::is_fifo(out + "/" + engine.OutputFileName(Index(engine, 3), 0)));
}

// Deletion never enters a link: a record folder or fragment folder that is
// a link ends that record's deletion, and a fragment that is a link goes as
// a link. Nothing outside the card is touched.
TEST_F(SafeFiles, DeletionNeverFollowsLinks) {
  Make(3, false);
  // Record 0's folder becomes a link to a copy outside the card.
  fs::copy(Folder(0), outside + "/r0", fs::copy_options::recursive);
  fs::remove_all(Folder(0));
  if (!test::MakeLink(outside + "/r0", Folder(0)))
    GTEST_SKIP() << test::kNoLinks;
  // Record 1's fragment folder becomes a link to a copy outside.
  fs::copy(Folder(1) + "/DIR00000", outside + "/d1", fs::copy_options::recursive);
  fs::remove_all(Folder(1) + "/DIR00000");
  ASSERT_TRUE(test::MakeLink(outside + "/d1", Folder(1) + "/DIR00000"));
  // Record 2's first fragment becomes a link to a file outside.
  fs::copy_file(Folder(2) + "/DIR00000/F0000000.mp4", outside + "/f2.mp4");
  fs::remove(Folder(2) + "/DIR00000/F0000000.mp4");
  ASSERT_TRUE(test::MakeLink(outside + "/f2.mp4", Folder(2) + "/DIR00000/F0000000.mp4"));
  const auto countOutside = [&] {
    return std::distance(fs::recursive_directory_iterator(outside),
                         fs::recursive_directory_iterator());
  };
  const auto before = countOutside();

  TStorageX4TFT engine;
  ScanAll(engine, out);
  ASSERT_EQ(engine.GetRecordCount(), 3u);
  EXPECT_FALSE(engine.DeleteChecked());
  EXPECT_EQ(countOutside(), before);
  EXPECT_TRUE(test::IsLink(Folder(0)));
  EXPECT_TRUE(test::IsLink(Folder(1) + "/DIR00000"));
  EXPECT_FALSE(test::IsLink(Folder(2)) || fs::exists(Folder(2))) << "the link went with its record";
}

// The catalog belongs to the folder it was scanned from: a later input
// folder (here none, with same-named records in the current directory)
// changes nothing about where conversion and deletion work.
TEST_F(SafeFiles, JobsWorkOnTheScannedFolderOnly) {
  Make(2, false);
  const std::string decoy = dir.File("cwd");
  fs::copy(card, decoy, fs::copy_options::recursive);
  const fs::path previous = fs::current_path();
  fs::current_path(decoy);
  TStorageX4TFT engine;
  ScanAll(engine, out);
  engine.SetInputFolder("");
  EXPECT_TRUE(engine.ConvertChecked());
  EXPECT_EQ(engine.GetCatalogFolder(), card + "/");
  for (std::uint32_t i = 0; i < 2; ++i)
    engine.SetChecked(i, true);
  // The input folder now names the decoy: deletion still works on the card,
  // and only its closing rescan reads the new folder.
  engine.SetInputFolder(decoy + "/");
  EXPECT_TRUE(engine.DeleteChecked());
  fs::current_path(previous);
  EXPECT_TRUE(fs::is_empty(card));
  EXPECT_EQ(engine.GetRecordCount(), 2u);
  EXPECT_EQ(engine.GetCatalogFolder(), decoy + "/");
  for (const auto &r : records) {
    EXPECT_TRUE(fs::exists(decoy + "/" + r.folderName + "/record.dat"));
    EXPECT_EQ(test::ReadAll(decoy + "/" + r.folderName + "/record.dat"),
              std::string(r.recordFile.begin(), r.recordFile.end()))
        << "not even marked";
  }
}

// An output folder inside the card (here through a link from outside) is
// refused for every record before anything is written or marked.
TEST_F(SafeFiles, OutputInsideTheCardIsRefused) {
  Make(2);
  fs::create_directories(card + "/converted");
  if (!test::MakeLink(card + "/converted", outside + "/to-card"))
    GTEST_SKIP() << test::kNoLinks;
  TStorageX4TFT engine;
  ScanAll(engine, outside + "/to-card");
  EXPECT_FALSE(engine.ConvertChecked());
  for (std::uint32_t i = 0; i < 2; ++i) {
    RecordOutcome outcome;
    ASSERT_TRUE(engine.GetOutcome(i, outcome));
    EXPECT_EQ(outcome.kind, OutcomeKind::Failed);
    ASSERT_EQ(outcome.problems.size(), 1u);
    EXPECT_EQ(outcome.problems[0].kind, ProblemKind::OutputFailed);
    EXPECT_EQ(outcome.problems[0].file, outside + "/to-card/");
    bool checked = false, converted = false;
    ASSERT_TRUE(engine.GetMarks(i, checked, converted));
    EXPECT_FALSE(converted);
  }
  EXPECT_TRUE(fs::is_empty(card + "/converted"));
}
