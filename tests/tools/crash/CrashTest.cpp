// The converter killed at any moment leaves the card as it was but for the
// marks byte, no partial file under an output name, and a mark only on
// records whose every part is there and plays. The next run clears the
// temporaries the killed ones left.
#include "cardgen/CardGen.h"
#include "engine/RecordEntry.h"
#include "engine/Storagex4tft.h"
#include "engine/VideoFileTest.h"
#include "support/System.h"
#include "support/Tools.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <thread>

using namespace orvo;
namespace fs = std::filesystem;

namespace {

const std::string kTool = std::string(ORVO_BINARY_DIR) + "/tools/orvo-convert/orvo-convert";

std::map<std::string, std::string> Snapshot(const std::string &folder) {
  std::map<std::string, std::string> files;
  for (const auto &e : fs::recursive_directory_iterator(folder))
    if (e.is_regular_file())
      files[e.path().string()] = test::ReadAll(e.path().string());
  return files;
}

// Its report goes nowhere: it would only clutter the test's output.
bool Start(test::Child &tool, const std::string &card, const std::string &out) {
  return tool.Start({kTool, "--limit", "1", card, out});
}

} // namespace

TEST(Crash, KilledAnywhereLeavesOnlyWholeFilesAndHonestMarks) {
  test::TempDir dir;
  const std::string card = dir.File("card"), out = dir.File("out");
  fs::create_directories(card);
  cardgen::CardWriter writer;
  writer.materialSeconds = 10;
  std::vector<cardgen::RecordInfo> records;
  for (std::uint32_t n = 1; n <= 3; ++n) {
    cardgen::RecordPlan plan;
    plan.number = n;
    plan.minute = static_cast<std::uint8_t>(n);
    plan.videoKbps = 2000;
    plan.fragmentCount = 8;
    plan.gps = true;
    cardgen::RecordInfo info;
    ASSERT_TRUE(writer.WriteRecord(card, plan, info));
    records.push_back(info);
  }
  const auto pristine = Snapshot(card);

  // A whole run shows which parts each record has, and when a run starts
  // and stops writing.
  fs::create_directories(out);
  const auto begin = std::chrono::steady_clock::now();
  int status = -1;
  test::Child tool;
  ASSERT_TRUE(Start(tool, card, out));
  auto firstWrite = std::chrono::steady_clock::duration::zero();
  while (tool.Running(status)) {
    if (firstWrite == firstWrite.zero() && !fs::is_empty(out))
      firstWrite = std::chrono::steady_clock::now() - begin;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  ASSERT_EQ(status, 0);
  const auto whole = std::chrono::steady_clock::now() - begin;
  std::map<std::string, std::set<std::string>> partsOf; // record folder -> part names
  for (const auto &e : fs::directory_iterator(out)) {
    const std::string name = e.path().filename().string();
    for (const auto &r : records) {
      const std::string prefix = "D210315_T" + r.folderName.substr(19, 6) + "_P";
      if (name.rfind(prefix, 0) == 0)
        partsOf[r.folderName].insert(name);
    }
  }
  for (const auto &r : records)
    ASSERT_GE(partsOf[r.folderName].size(), 2u) << "the limit must split every record";
  fs::remove_all(out);
  fs::create_directories(out);

  std::map<std::string, std::pair<std::uintmax_t, fs::file_time_type>> decoded;
  constexpr int kKills = 24;
  for (int k = 0; k < kKills; ++k) {
    SCOPED_TRACE("kill " + std::to_string(k));
    for (const auto &[path, bytes] : pristine) // the records unmarked again
      if (path.ends_with("record.dat"))
        std::ofstream(path, std::ios::binary) << bytes;
    ASSERT_TRUE(Start(tool, card, out));
    // Two kills before the first write, the rest spread over the writing.
    std::this_thread::sleep_for(k < 2 ? firstWrite * (k + 1) / 3
                                      : firstWrite + (whole - firstWrite) * (k - 1.5) /
                                                         (kKills - 2));
    tool.Kill();
    tool.Wait();

    // The card: byte for byte as before, but for the marks byte.
    const auto now = Snapshot(card);
    ASSERT_EQ(now.size(), pristine.size());
    for (const auto &[path, bytes] : pristine) {
      std::string a = now.at(path), b = bytes;
      if (path.ends_with("record.dat"))
        a[offsetof(RecordEntry, Marks)] = b[offsetof(RecordEntry, Marks)] = 0;
      EXPECT_EQ(a, b) << path;
    }
    // Every file under an output name is whole (each checked once).
    for (const auto &e : fs::directory_iterator(out)) {
      const std::string path = e.path().string();
      if (e.path().extension() != ".mp4")
        continue;
      const auto stamp = std::pair{e.file_size(), e.last_write_time()};
      if (decoded.count(path) && decoded[path] == stamp)
        continue;
      // The program's own test reads every sample against the digests the
      // file carries; ffmpeg decodes it where it can run.
      const VideoFileTestResult own = TestVideoFile(path, std::atomic<bool>{false});
      EXPECT_EQ(own.verdict, VideoFileVerdict::Good) << path << DescribeVideoFileTest(own);
      std::string messages;
      if (test::ExternalChecks()) {
        EXPECT_TRUE(test::DecodesCleanly(path, &messages)) << path << messages;
      }
      decoded[path] = stamp;
    }
    // A mark only where every part and the GPS copy are there.
    for (const auto &r : records) {
      const std::string dat = test::ReadAll(card + "/" + r.folderName + "/record.dat");
      if (!(static_cast<std::uint8_t>(dat[offsetof(RecordEntry, Marks)]) & kMarkConverted))
        continue;
      for (const std::string &part : partsOf[r.folderName])
        EXPECT_TRUE(fs::exists(out + "/" + part)) << r.folderName << " marked without " << part;
      EXPECT_EQ(test::ReadAll(out + "/" + r.gpxName), test::ReadAll(card + "/" + r.folderName + "/" + r.gpxName));
    }
  }
  // A run to the end clears what the killed ones left.
  ASSERT_TRUE(Start(tool, card, out));
  tool.Wait();
  for (const auto &e : fs::directory_iterator(out))
    EXPECT_NE(e.path().extension(), ".tmp") << e.path();
}

namespace {

// The files under record `minute`'s output names, name to bytes.
std::map<std::string, std::string> PartsOf(const std::string &out, int minute) {
  char prefix[32];
  std::snprintf(prefix, sizeof prefix, "D210315_T08%02d00_P", minute);
  std::map<std::string, std::string> parts;
  for (const auto &e : fs::directory_iterator(out))
    if (e.path().filename().string().rfind(prefix, 0) == 0)
      parts[e.path().filename().string()] = test::ReadAll(e.path().string());
  return parts;
}

bool SwapInProgress(const std::string &out) {
  for (const auto &e : fs::directory_iterator(out))
    if (e.path().extension() == ".swap")
      return true;
  return false;
}

} // namespace

// A complete set is only ever replaced by a complete set: a conversion of a
// record converted before, with another size limit, killed at any moment,
// leaves under its names the earlier set or the new one, never a mix or a
// part of either; a swap cut off half-way is finished by the next run, and
// the mark stays.
TEST(Crash, KilledReconversionLeavesTheEarlierSetOrTheNewOne) {
  test::TempDir dir;
  const std::string card = dir.File("card"), out = dir.File("out"), fresh = dir.File("fresh");
  fs::create_directories(card);
  cardgen::CardWriter writer;
  writer.materialSeconds = 10;
  for (std::uint32_t n = 1; n <= 2; ++n) {
    cardgen::RecordPlan plan;
    plan.number = n;
    plan.minute = static_cast<std::uint8_t>(n);
    plan.videoKbps = 2000;
    plan.fragmentCount = n == 1 ? 8 : 1;
    cardgen::RecordInfo info;
    ASSERT_TRUE(writer.WriteRecord(card, plan, info));
  }
  TStorageX4TFT engine;
  engine.SetInputFolder(card + "/");
  ASSERT_TRUE(engine.ScanRecords());
  std::string indexOf[2];
  for (std::uint32_t i = 0; i < engine.GetRecordCount(); ++i) {
    RecordEntry e;
    ASSERT_TRUE(engine.GetEntry(i, e));
    indexOf[e.RecordNumber - 1] = std::to_string(i);
  }
  test::Child tool;
  fs::create_directories(out);
  fs::create_directories(fresh);
  ASSERT_TRUE(tool.Start({kTool, "--limit", "1", card, out}));
  ASSERT_EQ(tool.Wait(), 0);
  const auto earlier = PartsOf(out, 1);
  const auto marked = Snapshot(card);
  ASSERT_TRUE(tool.Start({kTool, "--all", "--limit", "3", card, fresh}));
  ASSERT_EQ(tool.Wait(), 0);
  const auto later = PartsOf(fresh, 1);
  ASSERT_GT(earlier.size(), later.size());

  const auto reset = [&] {
    fs::remove_all(out);
    fs::copy(fresh, out);
    for (const auto &e : fs::directory_iterator(out))
      if (e.path().filename().string().rfind("D210315_T080100_P", 0) == 0)
        fs::remove(e.path());
    for (const auto &[name, bytes] : earlier)
      std::ofstream(out + "/" + name, std::ios::binary) << bytes;
    for (const auto &[path, bytes] : marked)
      if (path.ends_with("record.dat"))
        std::ofstream(path, std::ios::binary) << bytes;
  };
  const std::vector<std::string> again = {kTool, "--only", indexOf[0], "--limit", "3", card, out};
  reset();
  const auto begin = std::chrono::steady_clock::now();
  ASSERT_TRUE(tool.Start(again));
  ASSERT_EQ(tool.Wait(), 0);
  const auto whole = std::chrono::steady_clock::now() - begin;
  EXPECT_EQ(PartsOf(out, 1), later);

  constexpr int kKills = 16;
  int sawEarlier = 0, sawLater = 0;
  for (int k = 0; k < kKills; ++k) {
    SCOPED_TRACE("kill " + std::to_string(k));
    reset();
    ASSERT_TRUE(tool.Start(again));
    std::this_thread::sleep_for(whole * (k + 0.5) / kKills);
    tool.Kill();
    tool.Wait();
    // A swap cut off is finished by the next run, here one of the other
    // record.
    if (SwapInProgress(out)) {
      ASSERT_TRUE(tool.Start({kTool, "--only", indexOf[1], card, out}));
      ASSERT_EQ(tool.Wait(), 0);
      EXPECT_FALSE(SwapInProgress(out));
    }
    const auto now = PartsOf(out, 1);
    EXPECT_TRUE(now == earlier || now == later) << now.size() << " files";
    sawEarlier += now == earlier;
    sawLater += now == later;
    const std::string dat = test::ReadAll(card + "/R00000001_D210315_T080100/record.dat");
    EXPECT_TRUE(static_cast<std::uint8_t>(dat[offsetof(RecordEntry, Marks)]) & kMarkConverted);
  }
  EXPECT_GT(sawEarlier, 0);
}
