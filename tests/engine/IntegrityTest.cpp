#include "cardgen/CardGen.h"
#include "engine/RecordTime.h"
#include "engine/SourceCompare.h"
#include "engine/VideoFileTest.h"
#include "media/Process.h"
#include "mp4/BoxBuilder.h"
#include "mp4/Mp4container.h"
#include "support/System.h"
#include "support/Tools.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

using namespace orvo;
namespace fs = std::filesystem;

namespace {

using test::Bytes;
using test::Cat;
using test::Words;
using test::ReadFile;
using test::WriteFile;

std::size_t Find(const Bytes &b, std::string_view what) {
  return static_cast<std::size_t>(std::search(b.begin(), b.end(), what.begin(), what.end()) -
                                  b.begin());
}

// A generated card with one record of three fragments, and a part made from
// it the way the conversion makes one, naming its source. `skip` leaves one
// sample of the first track out.
struct Source {
  test::TempDir dir;
  cardgen::RecordInfo rec;
  std::string root = dir.File("card"), part = dir.File("part.mp4");

  Source() {
    fs::create_directories(root);
    cardgen::CardWriter writer;
    writer.materialSeconds = 6;
    cardgen::RecordPlan plan;
    plan.width = 160;
    plan.height = 112;
    std::string error;
    EXPECT_TRUE(writer.WriteRecord(root, plan, rec, false, &error)) << error;
    EXPECT_TRUE(Convert(part));
  }
  std::string Fragment(std::size_t k) const {
    return root + "/" + rec.folderName + "/" + rec.fragments[k].path;
  }
  bool Convert(const std::string &out, std::uint32_t skip = UINT32_MAX,
               std::uint32_t last = UINT32_MAX) const {
    TMP4Container r, w;
    if (!w.OpenWrite(out) || !w.SetRecordSource(rec.folderName, rec.fields.firstFragment))
      return false;
    std::uint32_t offsets[kMaxTracks] = {}, written = 0;
    std::vector<std::uint8_t> buffer;
    for (std::size_t k = 0; k < rec.fragments.size(); ++k) {
      if (!r.OpenRead(Fragment(k)))
        return false;
      for (int t = 0; k == 0 && t < r.GetTrackCount(); ++t) {
        std::int8_t type;
        std::string name, lang;
        std::uint8_t codec;
        std::int32_t size;
        r.GetTrackInfo(t, type, name, lang);
        w.AddTrack(type, name, lang);
        const std::uint8_t *config = r.GetCodecConfig(t, codec, size);
        w.SetCodecConfig(t, codec, size, config);
      }
      int t;
      std::uint32_t i, size, time;
      bool key;
      while (r.NextSample(t, i) && r.GetSampleInfo(t, i, size, time, key)) {
        buffer.resize(size);
        if (!r.ReadSample(t, i, buffer.data(), size))
          return false;
        if (t == 0 && written++ == skip)
          continue;
        w.WriteSample(t, buffer.data(), size, offsets[t] + time, key || t == 1);
      }
      for (t = 0; t < r.GetTrackCount(); ++t)
        offsets[t] += r.TrackDuration[t];
      r.Close();
    }
    w.SetLastFragment(last == UINT32_MAX ? rec.fields.lastFragment : last);
    w.Close();
    return w.LastFinishSucceeded();
  }
};

VideoFileTestResult TestFile(const std::string &path) {
  std::atomic<bool> cancel{false};
  return TestVideoFile(path, cancel);
}

} // namespace

TEST(VideoFileTest, VerdictsOnAPartAndItsDamagedCopies) {
  Source s;
  std::atomic<bool> cancel{false};
  VideoFileProgress progress;
  VideoFileTestResult r = TestVideoFile(s.part, cancel, &progress);
  ASSERT_EQ(r.verdict, VideoFileVerdict::Good) << DescribeVideoFileTest(r);
  EXPECT_EQ(r.integrityData.recordFolder, s.rec.folderName);
  EXPECT_EQ(r.integrityData.lastFragment, s.rec.fields.lastFragment);
  EXPECT_EQ(r.tracks, 2u);
  EXPECT_GT(r.bytes, 0u);
  EXPECT_EQ(progress.done.load(), r.bytes);
  EXPECT_EQ(progress.total.load(), r.bytes);
  cancel = true;
  EXPECT_EQ(TestVideoFile(s.part, cancel).verdict, VideoFileVerdict::Cancelled);

  const Bytes good = ReadFile(s.part);
  const std::size_t box = Find(good, "uuid") - 4, mdat = Find(good, "mdat") - 4;
  const std::string copy = s.dir.File("copy.mp4");
  // Word `at` bytes after the first `type` box's type, changed by `change`.
  const auto edit = [](const char *type, std::size_t at, std::function<std::uint32_t(std::uint32_t)> change) {
    return [=](Bytes &b) {
      const std::size_t p = Find(b, type) + at;
      const std::uint32_t v = change(test::GetBe32(b, p));
      for (int i = 0; i < 4; ++i)
        b[p + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
    };
  };
  const auto plus = [](std::uint32_t n) { return [n](std::uint32_t v) { return v + n; }; };
  const auto to = [](std::uint32_t n) { return [n](std::uint32_t) { return n; }; };
  using PC = PlaybackChange;
  struct Case {
    const char *change;
    std::function<void(Bytes &)> apply;
    VideoFileVerdict verdict;
    VideoFileProblem problem;
    PlaybackChange playback = PlaybackChange::None;
  } cases[] = {
      {"a sample byte", [&](Bytes &b) { b[mdat + 1000] ^= 1; }, VideoFileVerdict::ChangedOrDamaged,
       VideoFileProblem::DigestMismatch},
      {"a digest byte", [&](Bytes &b) { b[b.size() - 1 - kIntegrityPlaybackEntrySize] ^= 0x40; },
       VideoFileVerdict::ChangedOrDamaged, VideoFileProblem::DigestMismatch},
      {"the version", [&](Bytes &b) { b[box + 24] = 3; }, VideoFileVerdict::ChangedOrDamaged,
       VideoFileProblem::IntegrityMalformed},
      // The same sample bytes, played otherwise.
      {"two sample boundaries moved",
       [&](Bytes &b) {
         edit("stsz", 16, plus(5))(b);
         edit("stsz", 20, plus(-5u))(b);
       },
       VideoFileVerdict::ChangedOrDamaged, VideoFileProblem::PlaybackChanged, PC::SampleSizes},
      {"the time scale doubled", edit("mdhd", 16, [](std::uint32_t v) { return 2 * v; }),
       VideoFileVerdict::ChangedOrDamaged, VideoFileProblem::PlaybackChanged, PC::Timescale},
      {"a time-to-sample entry", edit("stts", 16, plus(1)), VideoFileVerdict::ChangedOrDamaged,
       VideoFileProblem::PlaybackChanged, PC::SampleTimes},
      {"a key frame dropped", edit("stss", 16, to(0)), VideoFileVerdict::ChangedOrDamaged,
       VideoFileProblem::PlaybackChanged, PC::KeyFrames},
      {"a rotation",
       [&](Bytes &b) {
         edit("tkhd", 44, to(0))(b);
         edit("tkhd", 48, to(0x00010000))(b);
       },
       VideoFileVerdict::ChangedOrDamaged, VideoFileProblem::PlaybackChanged, PC::Matrix},
      {"the movie a year older", edit("mvhd", 8, plus(365 * 86400)),
       VideoFileVerdict::ChangedOrDamaged, VideoFileProblem::PlaybackChanged, PC::MovieDates},
      {"one bit of the SPS", [&](Bytes &b) { b[Find(b, "avcC") + 15] ^= 1; },
       VideoFileVerdict::ChangedOrDamaged, VideoFileProblem::PlaybackChanged, PC::CodecSetup},
      {"the end cut off", [](Bytes &b) { b.resize(b.size() - 10); }, VideoFileVerdict::ReadError,
       VideoFileProblem::NotMp4},
      {"no index", [&](Bytes &b) { b.resize(Find(b, "moov") - 4); }, VideoFileVerdict::ReadError,
       VideoFileProblem::NoMovie},
  };
  for (const Case &c : cases) {
    Bytes b = good;
    c.apply(b);
    WriteFile(copy, b);
    r = TestFile(copy);
    EXPECT_EQ(r.verdict, c.verdict) << c.change << ": " << DescribeVideoFileTest(r);
    EXPECT_EQ(r.problem, c.problem) << c.change;
    EXPECT_EQ(r.change, c.playback) << c.change;
  }

  // An earlier version's file: its integrity data has no playback
  // description, and still tests good, saying what it does not cover.
  IntegrityData kept;
  ASSERT_TRUE(DecodeIntegrity(good.data() + box + 24, good.size() - box - 24, kept));
  Bytes v1 = Cat({Words({0x01000000, kept.firstFragment, kept.lastFragment}),
                  Bytes{0, static_cast<std::uint8_t>(kept.recordFolder.size())},
                  Bytes(kept.recordFolder.begin(), kept.recordFolder.end()),
                  Words({kept.trackCount})});
  for (std::uint32_t t = 0; t < kept.trackCount; ++t)
    v1 = Cat({v1, Words({kept.tracks[t].trackId, kept.tracks[t].sampleCount}),
              Bytes(kept.tracks[t].digest.bytes, kept.tracks[t].digest.bytes + 16)});
  Bytes older(good.begin(), good.begin() + static_cast<long>(box));
  older = Cat({older, test::Box("uuid", Cat({Bytes(kIntegrityUuid, kIntegrityUuid + 16), v1}))});
  const std::size_t moov = Find(older, "moov") - 4;
  const std::uint32_t moovSize = static_cast<std::uint32_t>(older.size() - moov);
  for (int i = 0; i < 4; ++i)
    older[moov + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(moovSize >> (24 - 8 * i));
  WriteFile(copy, older);
  r = TestFile(copy);
  EXPECT_EQ(r.verdict, VideoFileVerdict::Good) << DescribeVideoFileTest(r);
  EXPECT_TRUE(TimingNotCovered(r));
  EXPECT_NE(DescribeVideoFileTest(r).find("timing not covered"), std::string::npos);

  // A sample removed, its tables rewritten, the original integrity data put back.
  ASSERT_TRUE(s.Convert(copy, 7));
  Bytes removed = ReadFile(copy);
  ASSERT_EQ(removed.size() - Find(removed, "uuid"), good.size() - Find(good, "uuid"));
  std::copy(good.begin() + static_cast<long>(box), good.end(),
            removed.end() - static_cast<long>(good.size() - box));
  WriteFile(copy, removed);
  r = TestFile(copy);
  EXPECT_EQ(r.problem, VideoFileProblem::CountMismatch) << DescribeVideoFileTest(r);
  EXPECT_EQ(r.trackId, 1u);

  r = TestFile(s.dir.File("absent.mp4"));
  EXPECT_EQ(r.problem, VideoFileProblem::CannotOpen);
  EXPECT_NE(DescribeVideoFileTest(r).find(test::MissingFileText()), std::string::npos);
  EXPECT_EQ(TestFile(s.dir.path).problem, VideoFileProblem::CannotOpen) << "a folder";
}

// Another program's file: H.264 with B-frames and AAC, as ffmpeg writes it
// (chunk runs in "stsc", edit lists, composition offsets, sample groups).
TEST(VideoFileTest, AnotherProgramsFileHasNoIntegrityDataButEverySampleReads) {
  test::TempDir dir;
  const std::string file = dir.File("ffmpeg.mp4");
  if (!test::ExternalChecks())
    return;
  ASSERT_EQ(media::RunProcess({"ffmpeg", "-nostdin", "-v", "error", "-f", "lavfi", "-i",
                               "testsrc2=size=160x120:rate=25", "-f", "lavfi", "-i",
                               "sine=sample_rate=16000", "-t", "3", "-c:v", "libx264", "-c:a",
                               "aac", file}),
            0);
  std::vector<test::ProbedStream> streams;
  ASSERT_TRUE(test::Probe(file, streams));
  ASSERT_EQ(streams.size(), 2u);
  const VideoFileTestResult r = TestFile(file);
  EXPECT_EQ(r.verdict, VideoFileVerdict::NoIntegrityData) << DescribeVideoFileTest(r);
  EXPECT_EQ(r.samples, static_cast<std::uint64_t>(streams[0].packets + streams[1].packets));
}

TEST(SourceCompare, PartAgainstTheFragmentsOnTheCard) {
  Source s;
  std::atomic<bool> cancel{false};
  SourceCompareResult r = CompareWithSource(s.part, s.root, cancel);
  EXPECT_EQ(r.verdict, SourceCompareVerdict::Same);
  EXPECT_EQ(r.fragmentsSkipped, 0u);
  EXPECT_EQ(r.samples, TestFile(s.part).samples);

  // A byte changed in the last fragment's data.
  const std::string last = s.Fragment(2);
  Bytes fragment = ReadFile(last);
  Bytes changed = fragment;
  changed[Find(changed, "mdat") + 500] ^= 1;
  WriteFile(last, changed);
  r = CompareWithSource(s.part, s.root, cancel);
  EXPECT_EQ(r.problem, SourceCompareProblem::SampleDiffers);
  EXPECT_EQ(r.fragment, s.rec.fields.lastFragment);
  EXPECT_EQ(test::NativePath(r.fileName), test::NativePath(last));
  // Gone from the card: it is skipped, and the part has samples left over.
  fs::remove(last);
  r = CompareWithSource(s.part, s.root, cancel);
  EXPECT_EQ(r.problem, SourceCompareProblem::SampleLeftOver);
  EXPECT_EQ(r.fragmentsSkipped, 1u);
  WriteFile(last, fragment);
  // A range that reaches 0xFFFFFFFF visits only the fragments there are.
  const std::string wide = s.dir.File("wide.mp4");
  ASSERT_TRUE(s.Convert(wide, UINT32_MAX, 0xFFFFFFFEu));
  r = CompareWithSource(wide, s.root, cancel);
  EXPECT_EQ(r.verdict, SourceCompareVerdict::Same);
  EXPECT_EQ(r.fragmentsSkipped, 0xFFFFFFFEu - s.rec.fields.lastFragment);

  EXPECT_EQ(CompareWithSource(s.part, s.dir.path, cancel).problem,
            SourceCompareProblem::RecordNotFound);
  cancel = true;
  EXPECT_EQ(CompareWithSource(s.part, s.root, cancel).verdict, SourceCompareVerdict::Cancelled);
  EXPECT_TRUE(IsRecordFolderName("R00000012_D210315_T083000"));
  for (const char *name :
       {"R0000001A_D210315_T083000", "R00000012_D210315_T083000/", "../00012_D210315_T083000", ""})
    EXPECT_FALSE(IsRecordFolderName(name)) << name;
}

TEST(RecordTime, CalendarFieldsToSecondsSince1904) {
  // 2021-03-15 08:30:00 UTC is 1615797000 s after 1970.
  EXPECT_EQ(RecordTimeSince1904(21, 3, 15, 8, 30, 0, 0), 1615797000u + 2082844800u);
  EXPECT_EQ(RecordTimeSince1904(21, 3, 15, 8, 30, 0, 3600 * 90000ull + 89999),
            1615797000u + 2082844800u + 3600);
  EXPECT_EQ(UnixTimeFrom1904(RecordTimeSince1904(0, 1, 1, 0, 0, 0, 0)), 946684800);
  EXPECT_NE(RecordTimeSince1904(24, 2, 29, 23, 59, 59, 0), 0u); // a leap day
  EXPECT_EQ(RecordTimeSince1904(40, 2, 6, 6, 28, 15, 0), 0xFFFFFFFFu);
  // Not a date, or past what 32 bits hold: unknown.
  const int invalid[][6] = {{23, 2, 29, 0, 0, 0},  {21, 13, 1, 0, 0, 0},
                            {21, 0, 1, 0, 0, 0},   {21, 4, 31, 0, 0, 0},
                            {21, 1, 0, 0, 0, 0},   {21, 1, 1, 24, 0, 0},
                            {21, 1, 1, 0, 60, 0},  {21, 1, 1, 0, 0, 60},
                            {40, 2, 6, 6, 28, 16}, {255, 255, 255, 255, 255, 255}};
  for (const auto &f : invalid)
    EXPECT_EQ(RecordTimeSince1904(f[0], f[1], f[2], f[3], f[4], f[5], 0), 0u) << f[0] << f[1];
  EXPECT_EQ(RecordTimeSince1904(40, 2, 6, 6, 28, 0, 16 * 90000ull), 0u);
  EXPECT_EQ(RecordTimeSince1904(21, 3, 15, 8, 30, 0, UINT64_MAX), 0u);
}
