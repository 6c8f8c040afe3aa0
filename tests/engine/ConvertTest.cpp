#include "cardgen/CardGen.h"
#include "engine/Clip.h"
#include "engine/ClipCheck.h"
#include "engine/ClipTime.h"
#include "engine/Storagex4tft.h"
#include "engine/VideoFileTest.h"
#include "engine/VirtualRecord.h"
#include "mp4/BoxBuilder.h"
#include "settings/AddedTexts.h"
#include "support/System.h"
#include "support/Tools.h"
#include "media/Process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <thread>

using namespace orvo;
namespace fs = std::filesystem;

namespace {

// A card written by the generator, scanned, with chosen records checked.
struct Card {
  test::TempDir dir;
  test::TempDir out;
  cardgen::CardInfo info;
  std::string root;

  explicit Card(const std::vector<cardgen::RecordPlan> &plans) {
    root = dir.File("card");
    fs::create_directories(root);
    cardgen::CardWriter writer;
    writer.materialSeconds = 12;
    for (const auto &plan : plans) {
      cardgen::RecordInfo r;
      std::string error;
      EXPECT_TRUE(writer.WriteRecord(root, plan, r, false, &error)) << error;
      info.records.push_back(r);
    }
  }
  std::string RecordFolder(std::size_t i) const { return root + "/" + info.records[i].folderName; }
  std::string Fragment(std::size_t i, std::size_t k) const {
    return RecordFolder(i) + "/" + info.records[i].fragments[k].path;
  }
};

void ScanAndCheckAll(TStorageX4TFT &engine, const Card &card, const std::string &out) {
  engine.SetInputFolder(card.root + "/");
  engine.SetOutputFolder(out + "/");
  ASSERT_TRUE(engine.ScanRecords());
  for (std::uint32_t i = 0; i < engine.GetRecordCount(); ++i)
    engine.SetChecked(i, true);
}

// Index of the catalog entry of generated record `r`.
std::uint32_t CatalogIndex(const TStorageX4TFT &engine, const cardgen::RecordInfo &r) {
  for (std::uint32_t i = 0; i < engine.GetRecordCount(); ++i) {
    RecordEntry e;
    if (engine.GetEntry(i, e) && e.RecordNumber == r.fields.recordNumber)
      return i;
  }
  return UINT32_MAX;
}

std::vector<std::string> Concat(const std::vector<std::vector<std::string>> &parts) {
  std::vector<std::string> all;
  for (const auto &p : parts)
    all.insert(all.end(), p.begin(), p.end());
  return all;
}

cardgen::RecordPlan Plan(std::uint32_t number, std::uint32_t fragments) {
  cardgen::RecordPlan s;
  s.number = number;
  s.minute = static_cast<std::uint8_t>(number % 60);
  s.width = 160;
  s.height = 112;
  s.fragmentCount = fragments;
  return s;
}

// ffmpeg's view of output `output` of generated record `r`: it plays, and
// holds every sample of every fragment once, byte for byte, with timestamps
// that run on across fragments.
void ExpectSamplesOf(const Card &card, std::size_t r, const std::string &output, bool hasAudio) {
  const auto &rec = card.info.records[r];
  std::string messages;
  EXPECT_TRUE(test::DecodesCleanly(output, &messages)) << messages;
  std::vector<test::ProbedStream> streams;
  ASSERT_TRUE(test::Probe(output, streams));
  // The GPS track's subtitle and data streams follow these.
  std::erase_if(streams, [](const auto &s) { return s.type != "video" && s.type != "audio"; });
  ASSERT_EQ(streams.size(), hasAudio ? 2u : 1u);
  long videoSamples = 0, audioSamples = 0;
  std::vector<std::vector<std::string>> videoSums, audioSums;
  for (std::size_t k = 0; k < rec.fragments.size(); ++k) {
    videoSamples += rec.fragments[k].video.samples;
    audioSamples += rec.fragments[k].audio.samples;
    videoSums.push_back(test::PacketChecksums(card.Fragment(r, k), 0));
    if (hasAudio)
      audioSums.push_back(test::PacketChecksums(card.Fragment(r, k), 1));
  }
  EXPECT_EQ(streams[0].codec, "h264");
  EXPECT_EQ(streams[0].packets, videoSamples);
  EXPECT_EQ(streams[0].frames, videoSamples);
  EXPECT_EQ(test::PacketChecksums(output, 0), Concat(videoSums));
  const std::vector<double> times = test::PacketTimes(output, 0);
  ASSERT_EQ(static_cast<long>(times.size()), videoSamples);
  for (std::size_t k = 0; k < times.size(); ++k)
    ASSERT_NEAR(times[k], static_cast<double>(k) / rec.plan.fps, 1e-4) << "video packet " << k;
  if (hasAudio) {
    EXPECT_EQ(streams[1].codec, "aac");
    EXPECT_EQ(streams[1].packets, audioSamples);
    EXPECT_EQ(test::PacketChecksums(output, 1), Concat(audioSums));
    const std::vector<double> atimes = test::PacketTimes(output, 1);
    ASSERT_EQ(static_cast<long>(atimes.size()), audioSamples);
    for (std::size_t k = 1; k < atimes.size(); ++k)
      ASSERT_NEAR(atimes[k] - atimes[k - 1], 1024.0 / rec.plan.audioRate, 1e-3)
          << "audio packet " << k;
  }
}

// The whole of a virtual segment, read in pieces of random length; then
// reads at random offsets must give the same bytes.
std::string ReadVirtual(TVirtualRecord &record, std::size_t segment, std::mt19937 &random) {
  const std::uint64_t size = record.Segments()[segment].size;
  std::string all(size, '\0');
  for (std::uint64_t at = 0; at < size;) {
    const std::size_t n = std::uniform_int_distribution<std::size_t>(1, 70000)(random);
    const std::int64_t got = record.Read(segment, at, all.data() + at, n);
    if (got <= 0) {
      ADD_FAILURE() << "read at " << at << ": " << record.ErrorText();
      return {};
    }
    at += static_cast<std::uint64_t>(got);
  }
  for (int k = 0; k < 200; ++k) {
    const std::uint64_t at = std::uniform_int_distribution<std::uint64_t>(0, size)(random);
    std::string piece(std::uniform_int_distribution<std::size_t>(0, 5000)(random), '\0');
    const std::int64_t got = record.Read(segment, at, piece.data(), piece.size());
    EXPECT_EQ(got, static_cast<std::int64_t>(std::min<std::uint64_t>(piece.size(), size - at)));
    EXPECT_EQ(piece.substr(0, static_cast<std::size_t>(std::max<std::int64_t>(got, 0))),
              all.substr(at, piece.size()))
        << "at " << at;
  }
  return all;
}

// A virtual segment holds the data of the part a conversion wrote, byte for
// byte, after an index of its own that comes first.
void ExpectSegmentIsPart(TVirtualRecord &record, std::size_t segment, const std::string &part) {
  std::mt19937 random(static_cast<unsigned>(segment) + 7);
  const std::string bytes = ReadVirtual(record, segment, random);
  const std::string written = test::ReadAll(part);
  const std::size_t head = record.Segments()[segment].head.size();
  ASSERT_GT(bytes.size(), head);
  EXPECT_EQ(bytes.substr(28 + 4, 4), "moov");
  ASSERT_GE(written.size(), 36 + bytes.size() - head);
  EXPECT_TRUE(bytes.compare(head, std::string::npos, written, 36, bytes.size() - head) == 0)
      << part;
}

} // namespace

// The core promise: every sample of every fragment lands in the output once,
// byte for byte, with timestamps that run on across fragments, in a file
// that an independent reader plays.
TEST(Conversion, OutputHoldsEverySampleWithContinuousTimestamps) {
  cardgen::RecordPlan a = Plan(1, 4);
  a.firstFragment = 98; // crosses from DIR00000 into DIR00001
  a.gps = true;
  a.chunksPerFragment = 3;
  cardgen::RecordPlan b = Plan(2, 3);
  b.audioRate = 0; // video only
  b.fps = 30;
  b.width = 320;
  b.height = 240;
  cardgen::RecordPlan c = Plan(3, 2);
  c.audioRate = 48000;
  c.audioChannels = 2;
  Card card({a, b, c});
  TStorageX4TFT engine;
  ScanAndCheckAll(engine, card, card.out.path);
  ASSERT_EQ(engine.GetRecordCount(), 3u);
  ASSERT_TRUE(engine.ConvertChecked());

  for (std::size_t r = 0; r < card.info.records.size(); ++r) {
    const auto &rec = card.info.records[r];
    const std::uint32_t index = CatalogIndex(engine, rec);
    ASSERT_NE(index, UINT32_MAX);
    const std::string output = card.out.File(engine.OutputFileName(index, 0));
    ASSERT_TRUE(fs::exists(output)) << output;
    EXPECT_FALSE(fs::exists(card.out.File(engine.OutputFileName(index, 1))));
    const bool hasAudio = rec.plan.audioRate != 0;
    if (test::ExternalChecks())
      ExpectSamplesOf(card, r, output, hasAudio);

    // The record file keeps every byte but the marks: converted, unchecked.
    std::string dat = test::ReadAll(card.RecordFolder(r) + "/record.dat");
    ASSERT_EQ(dat.size(), rec.recordFile.size());
    std::string expected(rec.recordFile.begin(), rec.recordFile.end());
    expected[57] = static_cast<char>((expected[57] & ~1) | 2);
    EXPECT_EQ(dat, expected);
    bool checked = true, converted = false;
    ASSERT_TRUE(engine.GetMarks(index, checked, converted));
    EXPECT_FALSE(checked);
    EXPECT_TRUE(converted);
    if (rec.plan.gps) {
      EXPECT_EQ(test::ReadAll(card.out.File(rec.gpxName)),
                test::ReadAll(card.RecordFolder(r) + "/" + rec.gpxName));
    }
  }
}

// A record played straight from the card: one file whose index comes
// first and whose data is the conversion's, read at any offset from the
// fragments; the card is not touched, and a fragment that changes under
// the player is an error that names it, not other bytes.
TEST(VirtualRecord, ReadsAtAnyOffsetWhatTheConversionWrites) {
  cardgen::RecordPlan a = Plan(40, 4);
  a.firstFragment = 98;
  a.chunksPerFragment = 3;
  Card card({a});
  const std::string datBefore = test::ReadAll(card.RecordFolder(0) + "/record.dat");
  const std::string fragmentBefore = test::ReadAll(card.Fragment(0, 2));
  TStorageX4TFT engine;
  ScanAndCheckAll(engine, card, card.out.path);
  RecordEntry entry;
  ASSERT_TRUE(engine.GetEntry(0, entry));
  TVirtualRecord record;
  ASSERT_TRUE(record.Open(engine.RecordFolderPath(0), entry)) << record.ErrorText();
  ASSERT_EQ(record.Segments().size(), 1u);
  EXPECT_EQ(record.ProblemCount(), 0u);
  EXPECT_EQ(record.Segments()[0].firstFragment, 98u);
  EXPECT_EQ(record.Segments()[0].lastFragment, 101u);
  EXPECT_EQ(test::ReadAll(card.RecordFolder(0) + "/record.dat"), datBefore);

  std::mt19937 random(3);
  const std::string bytes = ReadVirtual(record, 0, random);
  const std::string file = card.dir.File("virtual.mp4");
  std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(engine.ConvertChecked());
  ExpectSegmentIsPart(record, 0, card.out.File(engine.OutputFileName(0, 0)));
  if (test::ExternalChecks())
    ExpectSamplesOf(card, 0, file, true);

  // A fragment cut short since: its index would describe data that is not
  // there.
  const std::string fragment = card.Fragment(0, 2);
  fs::remove(fragment);
  std::ofstream(fragment, std::ios::binary) << fragmentBefore.substr(0, fragmentBefore.size() / 2);
  std::vector<char> buffer(bytes.size());
  EXPECT_EQ(record.Read(0, 0, buffer.data(), buffer.size()), -1);
  EXPECT_NE(record.ErrorText().find("F0000100.mp4"), std::string::npos) << record.ErrorText();
}

// Each part also proves itself: it names its record and fragments, reads
// back as written (the parts are verified before the record is marked), and
// carries the moment it begins, in its headers and as its file's time.
TEST(Conversion, SmallLimitSplitsIntoPartsThatEachStartWithAKeyFrameAtZero) {
  Card card({Plan(5, 4)});
  TStorageX4TFT engine;
  ScanAndCheckAll(engine, card, card.out.path);
  engine.SetMaxOutputLength(1); // every fragment passes it
  engine.SetVerifyOutputs(true);
  ASSERT_TRUE(engine.ConvertChecked());
  for (std::uint32_t part = 0; part < 4; ++part) {
    const std::string file = card.out.File(engine.OutputFileName(0, part));
    const VideoFileTestResult test = TestVideoFile(file, std::atomic<bool>{false});
    EXPECT_EQ(test.verdict, VideoFileVerdict::Good) << file;
    EXPECT_EQ(test.integrityData.recordFolder, card.info.records[0].folderName);
    EXPECT_EQ(test.integrityData.firstFragment, part);
    EXPECT_EQ(test.integrityData.lastFragment, part);
    // 08:05:00 on 15 March 2021 plus the two-second fragments before it.
    EXPECT_EQ(test::ModificationTime(file), 1615795500 + 2 * part) << file;
  }
  const auto &rec = card.info.records[0];
  std::vector<std::string> all;
  for (std::uint32_t part = 0; part < 4; ++part) {
    const std::string file = card.out.File(engine.OutputFileName(0, part));
    ASSERT_TRUE(fs::exists(file)) << file;
    if (!test::ExternalChecks())
      continue;
    EXPECT_TRUE(test::DecodesCleanly(file));
    const auto times = test::PacketTimes(file, 0);
    ASSERT_FALSE(times.empty());
    EXPECT_NEAR(times.front(), 0.0, 1e-6);
    const auto sums = test::PacketChecksums(file, 0);
    EXPECT_EQ(sums, test::PacketChecksums(card.Fragment(0, part), 0));
    all.insert(all.end(), sums.begin(), sums.end());
  }
  EXPECT_FALSE(fs::exists(card.out.File(engine.OutputFileName(0, 4))));
  if (test::ExternalChecks()) {
    EXPECT_EQ(all.size(), rec.fragments.size() * rec.fragments[0].video.samples);
  }
}

TEST(Conversion, MissingFragmentLeavesNoGapAndTheRecordUnmarked) {
  cardgen::RecordPlan s = Plan(6, 4);
  s.damage = cardgen::Damage::MissingFragment;
  s.gps = true;
  Card card({s, Plan(7, 2)});
  TStorageX4TFT engine;
  ScanAndCheckAll(engine, card, card.out.path);
  EXPECT_FALSE(engine.ConvertChecked());
  const auto &rec = card.info.records[0];
  const std::uint32_t index = CatalogIndex(engine, rec);
  const std::string output = card.out.File(engine.OutputFileName(index, 0));
  ASSERT_TRUE(fs::exists(output));
  if (test::ExternalChecks()) {
    EXPECT_TRUE(test::DecodesCleanly(output));
    long present = 0;
    for (const auto &f : rec.fragments)
      present += f.present ? f.video.samples : 0;
    const auto times = test::PacketTimes(output, 0);
    ASSERT_EQ(static_cast<long>(times.size()), present);
    for (std::size_t k = 0; k < times.size(); ++k)
      ASSERT_NEAR(times[k], static_cast<double>(k) / rec.plan.fps, 1e-4) << "no gap at " << k;
  }
  // Not marked: it stays selected and can be converted again once mended.
  bool checked = false, converted = true;
  ASSERT_TRUE(engine.GetMarks(index, checked, converted));
  EXPECT_TRUE(checked);
  EXPECT_FALSE(converted);
  EXPECT_EQ(test::ReadAll(card.RecordFolder(0) + "/record.dat"),
            std::string(rec.recordFile.begin(), rec.recordFile.end()));
  EXPECT_TRUE(fs::exists(card.out.File(rec.gpxName))) << "the GPS track is copied all the same";
  // The other record is unaffected.
  const std::uint32_t other = CatalogIndex(engine, card.info.records[1]);
  ASSERT_TRUE(engine.GetMarks(other, checked, converted));
  EXPECT_TRUE(converted);
}

// The outputs are complete, but the card cannot take the mark: the record
// is reported as such and stays selected, so that it shows unconverted
// after a rescan exactly as it does now.
TEST(Conversion, UnwritableRecordFileAfterTheScanChangesNothingElse) {
  Card card({Plan(9, 2)});
  TStorageX4TFT engine;
  ScanAndCheckAll(engine, card, card.out.path);
  // The record file turns into something that cannot be rewritten.
  const std::string dat = card.RecordFolder(0) + "/record.dat";
  fs::remove(dat);
  fs::create_directory(dat);
  EXPECT_FALSE(engine.ConvertChecked());
  if (test::ExternalChecks()) {
    EXPECT_TRUE(test::DecodesCleanly(card.out.File(engine.OutputFileName(0, 0))));
  }
  EXPECT_TRUE(fs::is_directory(dat));
  bool checked = false, converted = true;
  ASSERT_TRUE(engine.GetMarks(0, checked, converted));
  EXPECT_TRUE(checked && !converted);
  RecordOutcome outcome;
  ASSERT_TRUE(engine.GetOutcome(0, outcome));
  EXPECT_EQ(outcome.kind, OutcomeKind::NotMarked);
  ASSERT_EQ(outcome.problems.size(), 1u);
  EXPECT_EQ(outcome.problems[0].kind, ProblemKind::MarkFailed);
  EXPECT_EQ(test::NativePath(outcome.problems[0].file), test::NativePath(dat));
  EXPECT_FALSE(outcome.problems[0].detail.empty());
}

// A full output disk: the part cannot be finished. That is a failure, and
// the record must not be marked as converted on the card.
TEST(Conversion, FullOutputDiskIsAFailureAndLeavesTheRecordUnmarked) {
  Card card({Plan(10, 6)});
  const std::string before = test::ReadAll(card.RecordFolder(0) + "/record.dat");
  const auto convert = [](void *context) {
    const Card &card = *static_cast<const Card *>(context);
    TStorageX4TFT engine;
    engine.SetInputFolder(card.root + "/");
    engine.SetOutputFolder(card.out.path + "/");
    engine.ScanRecords();
    engine.SetChecked(0, true);
    const bool result = engine.ConvertChecked();
    bool checked = false, converted = true;
    engine.GetMarks(0, checked, converted);
    return result ? 10 : (checked && !converted ? 20 : 30);
  };
  // A little more than one fragment fits.
  const std::optional<int> status = test::RunWithFileSizeLimit(60000, convert, &card);
  if (!status)
    GTEST_SKIP() << test::kNoFileSizeLimit;
  EXPECT_EQ(*status, 20) << "job false, record still checked and not converted";
  EXPECT_EQ(test::ReadAll(card.RecordFolder(0) + "/record.dat"), before);
  // A part that could not be finished never appears under its name, and its
  // temporary is gone too.
  EXPECT_TRUE(fs::is_empty(card.out.path));
}

// Cancelling stops within the fragment; the open part is finished as a
// shorter playable file, but the record is not converted: it stays selected
// and unmarked. The next record is not started.
TEST(Conversion, CancelFinishesTheOpenPartAndStartsNoFurtherRecord) {
  // Both long, since the scan's order (the file system's) decides which
  // record comes first.
  cardgen::RecordPlan a = Plan(11, 400), b = Plan(12, 400);
  a.fragmentSeconds = b.fragmentSeconds = 1;
  Card card({a, b});
  TStorageX4TFT engine;
  ScanAndCheckAll(engine, card, card.out.path);
  const std::uint32_t i1 = 0, i2 = 1;
  std::thread job([&] { EXPECT_FALSE(engine.ConvertChecked()); });
  std::int32_t done = 0, total = 1;
  do {
    std::this_thread::yield();
    engine.GetProgress(done, total);
  } while (done < 1);
  engine.RequestCancel();
  job.join();
  const std::string output = card.out.File(engine.OutputFileName(i1, 0));
  ASSERT_TRUE(fs::exists(output));
  if (test::ExternalChecks()) {
    EXPECT_TRUE(test::DecodesCleanly(output));
    std::vector<test::ProbedStream> streams;
    ASSERT_TRUE(test::Probe(output, streams));
    EXPECT_LT(streams[0].packets, 400 * 25);
  }
  EXPECT_TRUE(engine.WasCancelled());
  bool checked, converted;
  ASSERT_TRUE(engine.GetMarks(i1, checked, converted));
  EXPECT_FALSE(converted);
  EXPECT_TRUE(checked);
  RecordOutcome outcome;
  ASSERT_TRUE(engine.GetOutcome(i1, outcome));
  EXPECT_EQ(outcome.kind, OutcomeKind::Interrupted);
  EXPECT_EQ(outcome.parts, std::vector<std::string>{engine.OutputFileName(i1, 0)});
  ASSERT_TRUE(engine.GetMarks(i2, checked, converted));
  EXPECT_TRUE(checked);
  EXPECT_FALSE(converted);
  EXPECT_FALSE(fs::exists(card.out.File(engine.OutputFileName(i2, 0))));

  // A cancel asked for before a job runs applies to it (the worker may not
  // have picked the job up yet), and is forgotten when the job ends.
  engine.RequestCancel();
  EXPECT_TRUE(engine.ScanRecords());
  EXPECT_EQ(engine.GetRecordCount(), 0u);
  EXPECT_TRUE(engine.ScanRecords());
  EXPECT_EQ(engine.GetRecordCount(), 2u);
}

namespace {

using test::Bytes;

struct Variant {
  const char *name;
  std::size_t fragment; // the fragment that is spoilt
  // Spoils the fragment's bytes; `other` is the same fragment in another
  // picture size, for the variant that needs one.
  void (*spoil)(Bytes &bytes, const Bytes &other);
  bool damaged;           // reported as a damaged fragment (false: converted whole)
  DamageKind damage;      // then why
  std::uint32_t parts;    // output parts
  bool tooShort = false;  // the spoilt fragment makes a part too short to write
};

test::FoundBox First(const Bytes &b, const std::string &path) {
  const auto found = test::Named(test::Boxes(b), path);
  return found.empty() ? test::FoundBox{path, 0, 0} : found.front();
}

void PutWord(Bytes &b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i)
    b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

// Offsets inside a full box: its body starts 12 bytes in.
constexpr std::size_t kBody = 12;
const std::string kStbl = "moov/trak/mdia/minf/stbl/";

// The boxes of b[from, to) with every sample table cut to its first entry:
// each track keeps its first sample only, in a chunk of its own.
Bytes FirstSamplesOnly(const Bytes &b, std::size_t from = 0, std::size_t to = SIZE_MAX) {
  Bytes out;
  for (std::size_t at = from; at + 8 <= std::min(to, b.size());) {
    const std::size_t size = test::GetBe32(b, at);
    const std::string type(b.begin() + static_cast<std::ptrdiff_t>(at + 4),
                           b.begin() + static_cast<std::ptrdiff_t>(at + 8));
    const auto bytes = [&](std::size_t offset, std::size_t n) {
      return Bytes(b.begin() + static_cast<std::ptrdiff_t>(at + offset),
                   b.begin() + static_cast<std::ptrdiff_t>(at + offset + n));
    };
    // Entry lengths after the entry count (stsz: after size and count).
    const std::map<std::string, std::size_t> entry = {
        {"stts", 8}, {"stsc", 12}, {"stco", 4}, {"stss", 4}, {"ctts", 8}};
    if (type == "moov" || type == "trak" || type == "mdia" || type == "minf" || type == "stbl") {
      out = test::Cat({out, test::Box(type.c_str(), FirstSamplesOnly(b, at + 8, at + size))});
    } else if (entry.count(type)) {
      Bytes body = test::Cat({test::Words({1}), bytes(kBody + 4, entry.at(type))});
      if (type == "stts" || type == "ctts")
        PutWord(body, 4, 1);
      if (type == "stsc")
        PutWord(body, 8, 1);
      out = test::Cat({out, test::FullBox(type.c_str(), 0, body)});
    } else if (type == "stsz") {
      out = test::Cat({out, test::FullBox("stsz", 0,
                                          test::Cat({test::Words({0, 1}), bytes(kBody + 8, 4)}))});
    } else {
      out = test::Cat({out, bytes(0, size)});
    }
    at += size;
  }
  return out;
}

// Sets every entry of the first track's table `type` to `value`, or to the
// first entry's value; `head` is the table's bytes before its entries.
void SetEntries(Bytes &b, const char *type, std::size_t head, std::optional<std::uint32_t> value) {
  const auto box = First(b, kStbl + type);
  const std::size_t first = box.offset + kBody + head;
  const std::uint32_t v = value ? *value : test::GetBe32(b, first);
  for (std::size_t at = first; at + 4 <= box.offset + box.size; at += 4)
    PutWord(b, at, v);
}

const Variant kVariants[] = {
    {"every chunk offset 0", 1, [](Bytes &b, const Bytes &) { SetEntries(b, "stco", 4, 0); },
     true, DamageKind::SampleOutsideData, 1},
    {"every chunk at one offset", 1,
     [](Bytes &b, const Bytes &) { SetEntries(b, "stco", 4, std::nullopt); }, true,
     DamageKind::SamplesOverlap, 1},
    {"every sample size 0", 1, [](Bytes &b, const Bytes &) { SetEntries(b, "stsz", 8, 0); }, true,
     DamageKind::EmptySample, 1},
    {"cut off after its mdat", 1,
     [](Bytes &b, const Bytes &) { b.resize(First(b, "moov").offset); }, true,
     DamageKind::NoTracks, 1},
    {"tables that disagree", 1,
     [](Bytes &b, const Bytes &) { // one sample more per chunk than "stsz" has
       const auto stsc = First(b, kStbl + "stsc");
       PutWord(b, stsc.offset + kBody + 8, test::GetBe32(b, stsc.offset + kBody + 8) + 1);
     },
     true, DamageKind::EmptyTrack, 1},
    {"zero mdhd time scale", 1,
     [](Bytes &b, const Bytes &) { PutWord(b, First(b, "moov/trak/mdia/mdhd").offset + 20, 0); },
     true, DamageKind::ZeroTimescale, 1},
    {"zero mp4a rate", 1,
     [](Bytes &b, const Bytes &) {
       PutWord(b, test::Named(test::Boxes(b), kStbl + "stsd/mp4a").front().offset + 32, 0);
     },
     true, DamageKind::ZeroTimescale, 1},
    {"stts delta 0xFFFFFFFF", 1,
     [](Bytes &b, const Bytes &) { PutWord(b, First(b, kStbl + "stts").offset + kBody + 8, ~0u); },
     true, DamageKind::TimesNotIncreasing, 1},
    {"duration 0xFFFFFFFF", 1,
     [](Bytes &b, const Bytes &) { PutWord(b, First(b, "moov/trak/mdia/mdhd").offset + 24, ~0u); },
     true, DamageKind::TimesNotIncreasing, 1},
    {"audio and video swapped", 1,
     [](Bytes &b, const Bytes &) {
       const auto traks = test::Named(test::Boxes(b), "moov/trak");
       Bytes swapped(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(traks[0].offset));
       for (int k : {1, 0}) {
         const auto &t = traks[static_cast<std::size_t>(k)];
         swapped.insert(swapped.end(), b.begin() + static_cast<std::ptrdiff_t>(t.offset),
                        b.begin() + static_cast<std::ptrdiff_t>(t.offset + t.size));
       }
       swapped.insert(swapped.end(),
                      b.begin() + static_cast<std::ptrdiff_t>(traks[1].offset + traks[1].size),
                      b.end());
       b = swapped;
     },
     true, DamageKind::TracksDiffer, 1},
    {"a track-less first fragment", 0,
     [](Bytes &b, const Bytes &) { b.resize(First(b, "moov").offset); }, true,
     DamageKind::NoTracks, 1},
    {"a new SPS mid-record", 1, [](Bytes &b, const Bytes &other) { b = other; }, false,
     DamageKind::Structure, 3},
    {"a one-frame first fragment, then a new SPS", 0,
     [](Bytes &b, const Bytes &other) { b = FirstSamplesOnly(other); },
     true, DamageKind::Structure, 1, true},
};

} // namespace

// A damaged fragment is left out as a whole and said so; the record is not
// marked; every part decodes and holds exactly the good fragments' samples.
// A new decoder set-up is no damage: it starts a part of its own.
TEST(Conversion, DamagedFragmentsAreLeftOutWholeAndReported) {
  for (const Variant &v : kVariants) {
    SCOPED_TRACE(v.name);
    cardgen::RecordPlan plan = Plan(20, 3);
    Card card({plan});
    const std::string spoilt = card.Fragment(0, v.fragment);
    Bytes bytes = test::ReadFile(spoilt), other;
    cardgen::CardWriter writer;
    writer.materialSeconds = 12;
    cardgen::RecordPlan wider = plan;
    wider.width = 320;
    wider.height = 240;
    cardgen::FragmentInfo info;
    ASSERT_TRUE(writer.BuildFragment(wider, static_cast<std::uint32_t>(v.fragment), other, info));
    v.spoil(bytes, other);
    ASSERT_TRUE(test::WriteFile(spoilt, bytes));

    TStorageX4TFT engine;
    ScanAndCheckAll(engine, card, card.out.path);
    EXPECT_EQ(engine.ConvertChecked(), !v.damaged);
    RecordOutcome outcome;
    ASSERT_TRUE(engine.GetOutcome(0, outcome));
    bool checked = false, converted = false;
    ASSERT_TRUE(engine.GetMarks(0, checked, converted));
    EXPECT_EQ(converted, !v.damaged);
    if (v.damaged) {
      EXPECT_EQ(outcome.kind, OutcomeKind::Partly);
      ASSERT_EQ(outcome.problems.size(), 1u);
      if (v.tooShort) {
        EXPECT_EQ(outcome.problems[0].kind, ProblemKind::OutputFailed);
      } else {
        EXPECT_EQ(outcome.problems[0].kind, ProblemKind::FragmentDamaged);
        EXPECT_EQ(outcome.problems[0].damage, v.damage);
        EXPECT_EQ(test::NativePath(outcome.problems[0].file), test::NativePath(spoilt));
      }
    }
    ASSERT_EQ(outcome.parts.size(), v.parts);
    // Played from the card, the record leaves out what conversion leaves
    // out and splits where it splits.
    TVirtualRecord record;
    RecordEntry entry;
    ASSERT_TRUE(engine.GetEntry(0, entry));
    ASSERT_TRUE(record.Open(engine.RecordFolderPath(0), entry)) << record.ErrorText();
    ASSERT_EQ(record.Segments().size(), v.parts);
    EXPECT_EQ(record.ProblemCount(), v.damaged && !v.tooShort ? 1u : 0u);
    for (std::size_t k = 0; k < v.parts; ++k)
      ExpectSegmentIsPart(record, k, card.out.File(outcome.parts[k]));
    if (!test::ExternalChecks())
      continue;
    std::vector<std::string> written, expected;
    for (const std::string &part : outcome.parts) {
      std::string messages;
      EXPECT_TRUE(test::DecodesCleanly(card.out.File(part), &messages)) << part << messages;
      const auto sums = test::PacketChecksums(card.out.File(part), 0);
      written.insert(written.end(), sums.begin(), sums.end());
    }
    for (std::size_t k = 0; k < 3; ++k) {
      if (k == v.fragment && v.damaged)
        continue;
      const auto sums = test::PacketChecksums(card.Fragment(0, k), 0);
      expected.insert(expected.end(), sums.begin(), sums.end());
    }
    EXPECT_EQ(written, expected);
  }
}

namespace {

void RewriteEntry(const Card &card, std::size_t record, void (*change)(RecordEntry &)) {
  const std::string path = card.RecordFolder(record) + "/record.dat";
  std::string dat = test::ReadAll(path);
  RecordEntry e;
  std::memcpy(&e, dat.data(), sizeof e);
  change(e);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char *>(&e), sizeof e);
}

} // namespace

// A run that writes fewer parts than an earlier one removes the earlier
// run's higher parts of the same record (only the contiguous run after its
// own); a file that is not the record's own is kept.
TEST(Conversion, AnEarlierRunsHigherPartsGo) {
  Card card({Plan(30, 3)});
  {
    TStorageX4TFT engine;
    ScanAndCheckAll(engine, card, card.out.path);
    engine.SetMaxOutputLength(1);
    ASSERT_TRUE(engine.ConvertChecked());
  }
  std::ofstream(card.out.File("D210315_T083000_P3.mp4")) << "not written by this program";
  std::ofstream(card.out.File("D210315_T083000_P5.mp4")) << "not in the run";
  RewriteEntry(card, 0, [](RecordEntry &e) { e.Marks = 0; });
  TStorageX4TFT engine;
  ScanAndCheckAll(engine, card, card.out.path);
  ASSERT_TRUE(engine.ConvertChecked());
  EXPECT_TRUE(fs::exists(card.out.File("D210315_T083000_P0.mp4")));
  for (int p = 1; p <= 2; ++p)
    EXPECT_FALSE(fs::exists(card.out.File("D210315_T083000_P" + std::to_string(p) + ".mp4")));
  EXPECT_EQ(test::ReadAll(card.out.File("D210315_T083000_P3.mp4")), "not written by this program");
  EXPECT_TRUE(fs::exists(card.out.File("D210315_T083000_P5.mp4")));
}

// Records of one job never replace each other's output; a range that reaches
// 0xFFFFFFFF costs only the fragments that are there.
TEST(Conversion, SameNamesNeverClashAndHugeRangesCostNothing) {
  cardgen::RecordPlan a = Plan(31, 3), b = Plan(32, 2);
  b.minute = a.minute; // same date and time: the same name under "%D_%T"
  Card card({a, b});
  RewriteEntry(card, 1, [](RecordEntry &e) { e.LastFragment = 0xFFFFFFFF; });
  TStorageX4TFT engine;
  {
    test::Watchdog watchdog(std::chrono::seconds(60)); // four billion names would never end
    ScanAndCheckAll(engine, card, card.out.path);
    EXPECT_FALSE(engine.ConvertChecked()) << "record b's range is mostly missing";
  }
  RecordOutcome oa, ob;
  ASSERT_TRUE(engine.GetOutcome(CatalogIndex(engine, card.info.records[0]), oa));
  ASSERT_TRUE(engine.GetOutcome(CatalogIndex(engine, card.info.records[1]), ob));
  EXPECT_EQ(oa.kind, OutcomeKind::Converted);
  ASSERT_EQ(oa.parts.size(), 1u);
  ASSERT_EQ(ob.parts.size(), 1u);
  EXPECT_NE(oa.parts[0], ob.parts[0]);
  EXPECT_NE((oa.parts[0] + ob.parts[0]).find("_R000000"), std::string::npos);
  ASSERT_EQ(ob.problems.size(), 2u);
  EXPECT_EQ(ob.problems[0].kind, ProblemKind::RecordFileDisagrees);
  EXPECT_EQ(ob.problems[1].kind, ProblemKind::FragmentsMissing);
  EXPECT_EQ(ob.problems[1].count, 0xFFFFFFFFull + 1 - 2);
  for (const auto &[outcome, record] : {std::pair{&oa, 0}, std::pair{&ob, 1}}) {
    if (!test::ExternalChecks())
      break;
    const auto sums = test::PacketChecksums(card.out.File(outcome->parts[0]), 0);
    EXPECT_EQ(sums, Concat({test::PacketChecksums(card.Fragment(record, 0), 0),
                            test::PacketChecksums(card.Fragment(record, 1), 0),
                            record == 0 ? test::PacketChecksums(card.Fragment(0, 2), 0)
                                        : std::vector<std::string>{}}));
  }
}

TEST(Conversion, TheRecordFilesOwnNumbersAreChecked) {
  cardgen::RecordPlan s = Plan(8, 3);
  s.gps = true;
  Card card({s});
  // Converts with the record file changed; the record is never marked.
  const auto convert = [&](void (*change)(RecordEntry &), RecordOutcome &o) {
    RewriteEntry(card, 0, change);
    TStorageX4TFT engine;
    ScanAndCheckAll(engine, card, card.out.path);
    EXPECT_FALSE(engine.ConvertChecked());
    ASSERT_TRUE(engine.GetOutcome(0, o));
    bool checked, converted;
    ASSERT_TRUE(engine.GetMarks(0, checked, converted));
    EXPECT_FALSE(converted);
  };
  // First fragment after the last: nothing to convert.
  RecordOutcome o;
  convert(
      [](RecordEntry &e) {
        e.FirstFragment = 5;
        e.LastFragment = 4;
      },
      o);
  EXPECT_TRUE(fs::is_empty(card.out.path));
  EXPECT_EQ(o.kind, OutcomeKind::Failed);
  ASSERT_FALSE(o.problems.empty());
  EXPECT_EQ(o.problems[0].kind, ProblemKind::RecordRangeEmpty);
  // A range one short of the count: converted as the range says, with the
  // fragment beyond it named.
  convert(
      [](RecordEntry &e) {
        e.FirstFragment = 0;
        e.LastFragment = 1;
      },
      o);
  EXPECT_EQ(o.kind, OutcomeKind::Partly);
  EXPECT_EQ(o.parts.size(), 1u);
  ASSERT_EQ(o.problems.size(), 2u);
  EXPECT_EQ(o.problems[0].kind, ProblemKind::RecordFileDisagrees);
  EXPECT_EQ(o.problems[1].detailTextId, txt::RecordFragmentsBeyondRange);
  EXPECT_NE(o.problems[1].detail.find("F0000002.mp4"), std::string::npos) << o.problems[1].detail;
}

// Across runs and cards: a name that another record's output holds is kept,
// and the new output takes the suffix with the reason; a record's own files
// are replaced in place, and only by a complete set.
TEST(Conversion, OtherRecordsOutputsAndCompleteSetsSurviveLaterRuns) {
  Card first({Plan(31, 2)}), second({Plan(91, 1), Plan(31, 3)});
  const std::string name = "D210315_T083100_P0.mp4";
  TStorageX4TFT a, b;
  ScanAndCheckAll(a, first, first.out.path);
  ASSERT_TRUE(a.ConvertChecked());
  const std::string before = test::ReadAll(first.out.File(name));
  for (int run = 0; run < 2; ++run) {
    ScanAndCheckAll(b, second, first.out.path);
    ASSERT_TRUE(b.ConvertChecked());
    EXPECT_EQ(test::ReadAll(first.out.File(name)), before);
    for (std::uint32_t i = 0; i < 2; ++i) {
      RecordOutcome o;
      ASSERT_TRUE(b.GetOutcome(i, o));
      EXPECT_EQ(o.kind, OutcomeKind::Converted);
      ASSERT_EQ(o.parts.size(), 1u);
      EXPECT_NE(o.parts[0].find("_R000000"), std::string::npos) << o.parts[0];
      ASSERT_EQ(o.notes.size(), 1u);
      EXPECT_EQ(o.notes[0].kind, ProblemKind::NameTaken);
      EXPECT_EQ(o.notes[0].detailTextId, txt::NameTakenOtherRecord);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(first.out.path), fs::directory_iterator()), 3)
        << "the second run replaces its own files";
  }
  // Not complete this time: the earlier set stays as it was.
  test::WriteFile(first.Fragment(0, 1), Bytes(100, 0));
  ScanAndCheckAll(a, first, first.out.path);
  EXPECT_FALSE(a.ConvertChecked());
  RecordOutcome o;
  ASSERT_TRUE(a.GetOutcome(0, o));
  EXPECT_EQ(o.kind, OutcomeKind::Failed);
  ASSERT_EQ(o.notes.size(), 1u);
  EXPECT_EQ(o.notes[0].kind, ProblemKind::EarlierSetKept);
  EXPECT_EQ(test::ReadAll(first.out.File(name)), before);
}

namespace {

// exiftool's values of `tag` in the embedded documents, in order.
std::vector<std::string> EmbeddedValues(const std::string &file, const std::string &tag) {
  std::string out;
  media::RunProcess({"exiftool", "-ee", "-G3", "-s", "-" + tag, file}, &out);
  std::vector<std::string> values;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);)
    if (line.rfind("[Doc", 0) == 0)
      values.push_back(line.substr(line.find(": ") + 2));
  return values;
}

} // namespace

// The GPS track travels inside every part, each with its own stretch: players
// list a subtitle that shows the recorder's clock, exiftool reads the same
// UTC times and positions from the GPMF and the camm track and the place of
// the first fix, GStreamer still plays the part, and the headers hold UTC.
TEST(Conversion, GpsTrackInsideEveryPartForEveryReader) {
  cardgen::RecordPlan plan = Plan(40, 3);
  plan.gps = true;
  plan.clockOffsetMinutes = 180;
  plan.gpxForm = cardgen::GpxForm::Gpx10;
  Card card({plan});
  TStorageX4TFT engine;
  ScanAndCheckAll(engine, card, card.out.path);
  engine.SetMaxOutputLength(1);
  ASSERT_TRUE(engine.ConvertChecked());
  RecordOutcome o;
  ASSERT_TRUE(engine.GetOutcome(0, o));
  ASSERT_EQ(o.parts.size(), 3u);
  std::string previous;
  for (std::size_t p = 0; p < o.parts.size(); ++p) {
    const std::string part = card.out.File(o.parts[p]);
    SCOPED_TRACE(part);
    const VideoFileTestResult r = TestVideoFile(part, std::atomic<bool>{false});
    EXPECT_EQ(r.verdict, VideoFileVerdict::Good) << DescribeVideoFileTest(r);
    EXPECT_EQ(r.tracks, 5u) << "video, audio and the three forms of the track";
    if (!test::ExternalChecks())
      continue;
    std::vector<test::ProbedStream> streams;
    ASSERT_TRUE(test::Probe(part, streams));
    ASSERT_EQ(streams.size(), 5u);
    EXPECT_EQ(streams[2].type, "subtitle");
    EXPECT_EQ(streams[3].type, "data");
    EXPECT_EQ(streams[4].type, "data");
    std::string srt;
    media::RunProcess({"ffmpeg", "-v", "error", "-i", part, "-map", "0:s:0", "-f", "srt", "-"},
                      &srt);
    EXPECT_NE(srt.find("00:00:00,000 -->"), std::string::npos) << srt;
    if (p == 0) {
      EXPECT_NE(srt.find("2021-03-15 08:40:00"), std::string::npos) << srt;
    }
    std::string messages;
    EXPECT_TRUE(test::GStreamerPlays(part, &messages)) << messages;
    // GPMF gives "2021:03:15 05:40:00.000", camm "2021:03:15 05:40:00Z".
    std::vector<std::string> gpmf, camm;
    for (const std::string &t : EmbeddedValues(part, "GPSDateTime"))
      (t.ends_with("Z") ? camm : gpmf).push_back(t.substr(0, 19));
    ASSERT_FALSE(gpmf.empty());
    EXPECT_EQ(gpmf, camm);
    if (p == 0) {
      EXPECT_EQ(gpmf.front(), "2021:03:15 05:40:00");
    }
    EXPECT_GT(gpmf.front(), previous) << "each part its own stretch";
    previous = gpmf.back();
    const auto latitudes = EmbeddedValues(part, "GPSLatitude");
    ASSERT_EQ(latitudes.size(), 2 * gpmf.size());
    EXPECT_TRUE(std::equal(latitudes.begin(), latitudes.begin() + gpmf.size(),
                           latitudes.begin() + gpmf.size()));
    std::string main;
    media::RunProcess({"exiftool", "-s3", "-CreateDate", "-GPSLatitude", part}, &main);
    EXPECT_EQ(main.substr(0, 16), p == 0 ? "2021:03:15 05:40" : main.substr(0, 16));
    // The place has five decimals of a degree; the fixes have more.
    const std::string minutes = latitudes.front().substr(0, latitudes.front().find('\''));
    EXPECT_NE(main.find(minutes), std::string::npos) << main;
  }
}

// Records are converted in the order the list shows them; checked records
// it leaves out follow in catalog order.
TEST(Conversion, RecordsAreConvertedInTheOrderGiven) {
  Card card({Plan(50, 1), Plan(51, 1), Plan(52, 1)});
  TStorageX4TFT engine;
  ScanAndCheckAll(engine, card, card.out.path);
  const std::uint32_t last = CatalogIndex(engine, card.info.records[2]);
  engine.SetConvertOrder({last, 99});
  ASSERT_TRUE(engine.ConvertChecked());
  std::vector<std::uint32_t> done;
  std::uint32_t index = 0;
  RecordOutcome outcome;
  for (std::uint32_t k = 0; engine.GetFinishedOutcome(k, index, outcome); ++k)
    done.push_back(index);
  ASSERT_EQ(done.size(), 3u);
  EXPECT_EQ(done[0], last);
  EXPECT_LT(done[1], done[2]);
}

// A part not verified is not a verified one: a cancel while the last part is
// read back leaves the record interrupted and unmarked.
TEST(Conversion, CancelDuringVerificationIsAnInterruption) {
  cardgen::RecordPlan plan = Plan(60, 200);
  plan.width = 320;
  plan.height = 240;
  Card card({plan});
  TStorageX4TFT engine;
  ScanAndCheckAll(engine, card, card.out.path);
  engine.SetVerifyOutputs(true);
  // Every fragment copied: what follows is finishing and reading back the part.
  std::atomic<bool> over{false};
  std::thread canceller([&] {
    while (!over) {
      const auto live = engine.GetLiveProgress();
      if (live.bytesTotal > 0 && live.bytesDone >= live.bytesTotal) {
        engine.RequestCancel();
        return;
      }
      std::this_thread::yield();
    }
  });
  EXPECT_FALSE(engine.ConvertChecked());
  over = true;
  canceller.join();
  RecordOutcome o;
  ASSERT_TRUE(engine.GetOutcome(0, o));
  EXPECT_EQ(o.kind, OutcomeKind::Interrupted);
  bool checked = false, converted = true;
  ASSERT_TRUE(engine.GetMarks(0, checked, converted));
  EXPECT_FALSE(converted);
}

// A clip across a fragment boundary: its first picture is the key frame at
// or before the in point, its last the frame shown at the out point, every
// sample is its source's, the audio keeps its offset, ffmpeg decodes it, and
// the card's samples prove it byte for byte; the card is not written.
TEST(Clip, CutsAcrossFragmentsAndProvesItsSource) {
  cardgen::RecordPlan plan = Plan(50, 4); // 2 s fragments, a key frame every second
  plan.gps = true;
  Card card({plan});
  const std::string datBefore = test::ReadAll(card.RecordFolder(0) + "/record.dat");
  TStorageX4TFT engine;
  ScanAndCheckAll(engine, card, card.out.path);
  TStorageX4TFT::PlaySource source;
  ASSERT_TRUE(engine.GetPlaySource(0, source));
  ClipRequest request;
  request.fromMs = 2500;
  request.toMs = 5300;
  ClipResult result;
  ASSERT_TRUE(WriteClip(source, request, card.out.path, std::atomic<bool>{false}, result))
      << result.error;
  ASSERT_EQ(result.files.size(), 1u);
  EXPECT_EQ(result.startMs, 2000u);
  EXPECT_EQ(result.lastFrameMs, 5280u);
  EXPECT_EQ(result.files[0], "D210315_T085002_C.mp4") << "named by its own first frame";
  EXPECT_FALSE(result.gpx.empty());
  const std::string clip = card.out.File(result.files[0]);
  EXPECT_EQ(TestVideoFile(clip, std::atomic<bool>{false}).verdict, VideoFileVerdict::Good);
  const ClipCheckResult check = CheckClipAgainstCard(clip, card.root, std::atomic<bool>{false});
  EXPECT_EQ(check.verdict, ClipCheckVerdict::Identical) << check.detail;
  EXPECT_EQ(check.fragments, 2u);
  EXPECT_EQ(test::ReadAll(card.RecordFolder(0) + "/record.dat"), datBefore);

  // The same stretch again never replaces the first clip.
  ClipResult again;
  ASSERT_TRUE(WriteClip(source, request, card.out.path, std::atomic<bool>{false}, again));
  EXPECT_EQ(again.files[0], "D210315_T085002_C-2.mp4");

  if (test::ExternalChecks()) {
    std::string messages;
    EXPECT_TRUE(test::DecodesCleanly(clip, &messages)) << messages;
    std::vector<test::ProbedStream> streams;
    ASSERT_TRUE(test::Probe(clip, streams));
    EXPECT_TRUE(std::any_of(streams.begin(), streams.end(),
                            [](const auto &s) { return s.type == "subtitle"; }))
        << "the GPS stretch inside";
    std::vector<std::vector<std::string>> video, audio;
    for (std::size_t k = 0; k < 4; ++k) {
      video.push_back(test::PacketChecksums(card.Fragment(0, k), 0));
      audio.push_back(test::PacketChecksums(card.Fragment(0, k), 1));
    }
    const auto all = Concat(video);
    const auto sums = test::PacketChecksums(clip, 0);
    ASSERT_EQ(sums.size(), 83u); // 2.00 s to 5.28 s at 25 fps
    EXPECT_EQ(sums, std::vector<std::string>(all.begin() + 50, all.begin() + 133));
    // The first AAC frame at or after the key frame, at its source offset.
    const auto sourceAudio = test::PacketTimes(card.Fragment(0, 1), 1);
    const auto clipAudio = test::PacketTimes(clip, 1);
    ASSERT_FALSE(sourceAudio.empty());
    ASSERT_FALSE(clipAudio.empty());
    EXPECT_NEAR(clipAudio.front(), sourceAudio.front(), 1024.0 / plan.audioRate);
    const auto audioSums = test::PacketChecksums(clip, 1);
    const auto allAudio = Concat(audio);
    EXPECT_NE(std::search(allAudio.begin(), allAudio.end(), audioSums.begin(), audioSums.end()),
              allAudio.end());
  }

  // A flipped byte in a sample is found and named.
  {
    std::string bytes = test::ReadAll(clip);
    bytes[2000] = static_cast<char>(bytes[2000] ^ 0x5A);
    std::ofstream(clip, std::ios::binary | std::ios::trunc) << bytes;
  }
  const ClipCheckResult spoilt = CheckClipAgainstCard(clip, card.root, std::atomic<bool>{false});
  EXPECT_EQ(spoilt.verdict, ClipCheckVerdict::Differs);
  EXPECT_NE(spoilt.detail.find("F0000001.mp4"), std::string::npos) << spoilt.detail;

  // The exact start: an edit list from the in point, which ffprobe honours.
  request.exactStart = true;
  ClipResult exact;
  ASSERT_TRUE(WriteClip(source, request, card.out.path, std::atomic<bool>{false}, exact));
  if (test::ExternalChecks()) {
    const auto times = test::PacketTimes(card.out.File(exact.files[0]), 0);
    ASSERT_FALSE(times.empty());
    EXPECT_NEAR(times.front(), -0.5, 0.021) << "the key frame lies before the start";
  }
}

// A decoder set-up change inside the stretch gives a file per set-up; a
// stretch outside the record is refused; times read as people write them.
TEST(Clip, NewDecoderSetUpSplitsAndTimesAreChecked) {
  cardgen::RecordPlan plan = Plan(51, 3);
  Card card({plan});
  cardgen::CardWriter writer;
  writer.materialSeconds = 12;
  cardgen::RecordPlan wider = plan;
  wider.width = 320;
  wider.height = 240;
  Bytes other;
  cardgen::FragmentInfo info;
  ASSERT_TRUE(writer.BuildFragment(wider, 1, other, info));
  ASSERT_TRUE(test::WriteFile(card.Fragment(0, 1), other));
  TStorageX4TFT engine;
  ScanAndCheckAll(engine, card, card.out.path);
  TStorageX4TFT::PlaySource source;
  ASSERT_TRUE(engine.GetPlaySource(0, source));
  ClipRequest request;
  request.fromMs = 1000;
  request.toMs = 3500;
  ClipResult result;
  ASSERT_TRUE(WriteClip(source, request, card.out.path, std::atomic<bool>{false}, result))
      << result.error;
  EXPECT_EQ(result.files.size(), 2u);
  request.fromMs = 7000;
  request.toMs = 8000;
  EXPECT_FALSE(WriteClip(source, request, card.out.path, std::atomic<bool>{false}, result));

  RecordEntry e;
  ASSERT_TRUE(engine.GetEntry(0, e)); // 08:51:00, 6 s
  std::uint64_t from = 0, to = 0;
  std::string error;
  EXPECT_TRUE(ParseClipRange("08:51:01-08:51:04", e, 6000, from, to, error)) << error;
  EXPECT_EQ(from, 1000u);
  EXPECT_EQ(to, 4000u);
  EXPECT_TRUE(ParseClipRange("2021-03-15T08:51:02-+5.5", e, 6000, from, to, error)) << error;
  EXPECT_EQ(from, 2000u);
  EXPECT_EQ(to, 5500u);
  EXPECT_TRUE(ParseClipRange("+3\xC2\xB1" "10", e, 6000, from, to, error)) << error;
  EXPECT_EQ(from, 0u);
  EXPECT_EQ(to, 6000u) << "cut to the record";
  for (const char *bad : {"08:50:00-08:51:02", "+2-+9", "+4-+2", "+1:75-+2", "soon", "+3+-x"})
    EXPECT_FALSE(ParseClipRange(bad, e, 6000, from, to, error)) << bad;
}
