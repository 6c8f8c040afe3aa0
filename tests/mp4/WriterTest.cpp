#include "BoxBuilder.h"
#include "MediaFiles.h"
#include "media/Process.h"
#include "mp4/Mp4container.h"
#include "support/System.h"
#include "support/Tools.h"

#include <gtest/gtest.h>

using namespace orvo;
using namespace orvo::test;

namespace {

// The primitives and fields the writer is built on.
class Exposed : public TMP4Container {
public:
  using TContainer::position;
  using TMP4Container::BeginBox;
  using TMP4Container::codecName;
  using TMP4Container::EndBox;
  using TMP4Container::EnsureCapacity;
  using TMP4Container::tableCapacity;
  using TMP4Container::WriteBytes;
};

class Writer : public ::testing::Test {
protected:
  Bytes Written() { return ReadFile(path); }
  // Writes `times` as video samples of 100 bytes (or the real frames of
  // `video` when given), the first a key frame.
  Bytes WriteTimes(const std::vector<std::uint32_t> &times, const media::VideoStream *video) {
    EXPECT_TRUE(w.OpenWrite(path));
    int t = w.AddTrack(kTrackVideo, "V", "eng");
    if (video) {
      auto rec = media::AvcRecord(*video);
      EXPECT_TRUE(
          w.SetCodecConfig(t, kCodecAvc, static_cast<std::int32_t>(rec.size()), rec.data()));
    }
    Bytes dummy(100, 1);
    for (std::size_t i = 0; i < times.size(); ++i) {
      const Bytes &data = video ? video->samples[i].data : dummy;
      EXPECT_TRUE(w.WriteSample(t, data.data(), static_cast<std::uint32_t>(data.size()), times[i],
                                video ? video->samples[i].key : i == 0));
    }
    w.Close();
    EXPECT_TRUE(w.LastFinishSucceeded());
    return Written();
  }

  TempDir dir;
  std::string path = dir.File("out.mp4");
  Exposed w;
};

} // namespace

TEST(Primitives, RescaleAndLanguages) {
  EXPECT_EQ(TContainer::Rescale(4294967295u, 90000, 1000), 47721858u);
  EXPECT_EQ(TContainer::Rescale(14400, 90000, 1000), 160u);
  EXPECT_EQ(TContainer::Rescale(123, 0, 1000), 0u);
  EXPECT_EQ(TMP4Container::PackLanguage("eng"), 0x15C7);
  EXPECT_EQ(TMP4Container::UnpackLanguage(0x15C7), "eng");
  EXPECT_EQ(TMP4Container::PackLanguage("en"), 0);
  EXPECT_EQ(TMP4Container::PackLanguage("Eng"), 0);
  EXPECT_EQ(TMP4Container::PackLanguage("e1g"), 0);
  EXPECT_EQ(TMP4Container::UnpackLanguage(0), "");
}

// Known answers of xxHash's reference (scalar) XXH3-128, whichever vector
// build of it the processor runs, for input fed in uneven pieces.
TEST(Primitives, SampleDigestIsXxh3Of128Bits) {
  Bytes data(100000);
  for (std::size_t i = 0; i < data.size(); ++i)
    data[i] = static_cast<std::uint8_t>(i * 7 % 251);
  TSampleDigest d;
  ASSERT_TRUE(d.Reset());
  const Digest128 empty = {{0x99, 0xAA, 0x06, 0xD3, 0x01, 0x47, 0x98, 0xD8, 0x60, 0x01, 0xC3, 0x24,
                            0x46, 0x8D, 0x49, 0x7F}};
  EXPECT_TRUE(d.Final() == empty);
  std::size_t at = 0;
  for (std::size_t piece : {1, 63, 4000, 300, 95636}) {
    d.Update(data.data() + at, piece);
    at += piece;
  }
  ASSERT_EQ(at, data.size());
  const Digest128 expected = {{0x70, 0x22, 0x7B, 0x16, 0xFD, 0x5F, 0x74, 0xEF, 0x17, 0xA7, 0x01,
                               0x07, 0x5A, 0x95, 0xB4, 0x32}};
  EXPECT_TRUE(d.Final() == expected);
  ASSERT_TRUE(d.Reset());
  EXPECT_TRUE(d.Final() == empty);
}

TEST_F(Writer, BoxStackAndTableGrowth) {
  ASSERT_TRUE(w.OpenWrite(path)); // "mdat" is the first open level
  for (int level = 2; level <= 9; ++level)
    EXPECT_TRUE(w.BeginBox("free")) << level;
  EXPECT_FALSE(w.BeginBox("free"));
  int t = w.AddTrack(kTrackVideo, "", "eng");
  ASSERT_EQ(t, 0);
  ASSERT_EQ(w.tableCapacity[t], 65536u);
  EXPECT_TRUE(w.EnsureCapacity(t, 100));
  EXPECT_EQ(w.tableCapacity[t], 65536u);
  EXPECT_TRUE(w.EnsureCapacity(t, 65536));
  EXPECT_EQ(w.tableCapacity[t], 131072u);
  EXPECT_TRUE(w.EnsureCapacity(t, 131072 + 100000));
  EXPECT_EQ(w.tableCapacity[t], 131072u + 100001u);
  EXPECT_FALSE(w.EnsureCapacity(t, 0xFFFFFFFF)); // would not fit 32-bit sizes
  w.Close();
}

// The index of an empty file is "mvhd" and the integrity box: 234 bytes in
// all, of which 82 are integrity data naming no record and no track, with
// the movie header's description.
TEST_F(Writer, EmptyFileIs234Bytes) {
  for (int tracks = 0; tracks < 2; ++tracks) {
    ASSERT_TRUE(w.OpenWrite(path));
    if (tracks) {
      w.AddTrack(kTrackVideo, "V", "eng");
      w.AddTrack(kTrackAudio, "A", "eng");
    }
    w.Close();
    ASSERT_TRUE(w.LastFinishSucceeded()) << w.LastErrorText();
    Bytes f = Written();
    ASSERT_EQ(f.size(), 234u);
    Bytes ftyp = Box("ftyp", {'v', 'q', 'm', '4', 0,   0,   0,   0,   'a', 'v',
                              'c', '1', 'm', 'p', '4', '2', 'i', 's', 'o', 'm'});
    EXPECT_EQ(Bytes(f.begin(), f.begin() + 28), ftyp);
    EXPECT_EQ(Bytes(f.begin() + 28, f.begin() + 36), Box("mdat", {}));
    auto boxes = Boxes(f);
    auto mvhd = Named(boxes, "moov/mvhd");
    ASSERT_EQ(mvhd.size(), 1u);
    EXPECT_EQ(mvhd[0].size, 108u);
    auto words = BodyWords(f, mvhd[0]);
    EXPECT_EQ(words[0], 0u);    // no creation time given
    EXPECT_EQ(words[2], 1000u); // time scale
    EXPECT_EQ(words[3], 0u);    // duration
    EXPECT_EQ(words[23], 0xFFFFFFFFu);
    Bytes uuid(kIntegrityUuid, kIntegrityUuid + 16);
    const Bytes head = Box("uuid", Cat({uuid, Words({0x02000000, 0, 0}), Bytes{0, 0}, Bytes(16),
                                        Words({1000, 0, 0, 0})}));
    EXPECT_EQ(Bytes(f.begin() + 152, f.begin() + 156), Words({82}));
    EXPECT_EQ(Bytes(f.begin() + 156, f.begin() + 152 + static_cast<long>(head.size())),
              Bytes(head.begin() + 4, head.end()))
        << "up to the movie header's digest";
    EXPECT_EQ(Bytes(f.end() - 4, f.end()), Words({0})) << "no track";
  }
}

// The integrity box closes "moov"; it names the record and lists each track
// that has a "trak" with the digest of exactly the bytes ffmpeg reads as its
// packets. The recording's date is in every header that carries times.
TEST_F(Writer, IntegrityDataAndRecordingDate) {
  auto video = Video(2);
  auto audio = Audio(2);
  const std::uint32_t date = 3698641800u; // 2021-03-15 08:30:00 UTC
  ASSERT_TRUE(WriteMovie(path, &video, &audio, w, [&](TMP4Container &c) {
    return !c.SetRecordSource(std::string(256, 'R'), 1) &&
           c.SetRecordSource("R00000012_D210315_T083000", 98) && c.SetCreationTime(date);
  }));
  Bytes f = Written();
  auto boxes = Boxes(f);
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes.back().path, "moov/uuid");
  IntegrityData data;
  ASSERT_TRUE(DecodeIntegrity(f.data() + boxes.back().offset + 24, boxes.back().size - 24, data));
  EXPECT_EQ(data.recordFolder, "R00000012_D210315_T083000");
  EXPECT_EQ(data.firstFragment, 98u);
  EXPECT_EQ(data.lastFragment, 98u) << "not set again before Close";
  ASSERT_EQ(data.trackCount, 2u);
  const std::size_t counts[2] = {video.samples.size(), audio.samples.size()};
  for (int t = 0; t < 2; ++t) {
    EXPECT_EQ(data.tracks[t].trackId, t + 1u);
    EXPECT_EQ(data.tracks[t].sampleCount, counts[t]);
    if (!ExternalChecks())
      continue;
    const std::string packets = PacketBytes(path, t);
    TSampleDigest expected;
    ASSERT_TRUE(expected.Reset());
    expected.Update(packets.data(), packets.size());
    EXPECT_TRUE(data.tracks[t].digest == expected.Final()) << "track " << t;
  }
  for (const char *header : {"moov/mvhd", "moov/trak/tkhd", "moov/trak/mdia/mdhd"}) {
    for (const FoundBox &b : Named(boxes, header)) {
      EXPECT_EQ(BodyWords(f, b)[0], date) << header;
      EXPECT_EQ(BodyWords(f, b)[1], date) << header;
    }
  }
  if (ExternalChecks()) {
    std::string tag;
    media::RunProcess({"ffprobe", "-v", "error", "-show_entries", "format_tags=creation_time",
                       "-of", "csv=p=0", path},
                      &tag);
    EXPECT_EQ(tag.substr(0, 19), "2021-03-15T08:30:00");
    std::string messages;
    EXPECT_TRUE(GStreamerPlays(path, &messages)) << messages;
  }

  w.SetDigestsEnabled(false);
  ASSERT_TRUE(WriteMovie(path, &video, &audio, w));
  EXPECT_TRUE(Named(Boxes(Written()), "moov/uuid").empty());
  w.SetDigestsEnabled(true);
}

TEST_F(Writer, LongGroupSplitsIntoChunksOf128) {
  auto video = Video(12, 300); // 300 frames, one key frame
  ASSERT_EQ(video.samples.size(), 300u);
  ASSERT_TRUE(WriteMovie(path, &video, nullptr, w));
  Bytes f = Written();
  auto boxes = Boxes(f);
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(BodyWords(f, Named(boxes, "moov/trak/mdia/minf/stbl/stsc")[0]),
            (std::vector<std::uint32_t>{3, 1, 128, 1, 2, 128, 1, 3, 44, 1}));
  auto stco = BodyWords(f, Named(boxes, "moov/trak/mdia/minf/stbl/stco")[0]);
  std::uint32_t offset = 36;
  for (int chunk = 0; chunk < 3; ++chunk) {
    EXPECT_EQ(stco[1 + chunk], offset);
    for (int i = 0; i < (chunk < 2 ? 128 : 44); ++i)
      offset += static_cast<std::uint32_t>(video.samples[chunk * 128 + i].data.size());
  }
  EXPECT_EQ(offset, GetBe32(f, 28) + 28); // "mdat" ends right after the data
  EXPECT_EQ(BodyWords(f, Named(boxes, "moov/trak/mdia/minf/stbl/stss")[0]),
            (std::vector<std::uint32_t>{1, 1}));
  EXPECT_EQ(BodyWords(f, Named(boxes, "moov/trak/mdia/minf/stbl/stts")[0]),
            (std::vector<std::uint32_t>{1, 300, 3600}));
  ExpectPlays(path, 300, 12.0);
}

TEST_F(Writer, GroupsOfPicturesAndTheirAudioShareChunkBoundaries) {
  auto video = Video(2, 25);
  auto audio = Audio(2);
  ASSERT_TRUE(WriteMovie(path, &video, &audio, w));
  Bytes f = Written();
  auto boxes = Boxes(f);
  auto stsc = Named(boxes, "moov/trak/mdia/minf/stbl/stsc");
  auto stco = Named(boxes, "moov/trak/mdia/minf/stbl/stco");
  ASSERT_EQ(stsc.size(), 2u);
  auto vChunks = BodyWords(f, stsc[0]), aChunks = BodyWords(f, stsc[1]);
  auto vOffsets = BodyWords(f, stco[0]), aOffsets = BodyWords(f, stco[1]);
  ASSERT_EQ(vChunks[0], 2u);
  EXPECT_EQ(vChunks[2], 25u);
  EXPECT_EQ(vChunks[5], 25u);
  ASSERT_EQ(aChunks[0], 2u); // one audio chunk per group of pictures
  // Each audio chunk lies right after its group's video chunk.
  std::size_t sample = 0;
  for (int chunk = 0; chunk < 2; ++chunk) {
    std::uint32_t end = vOffsets[1 + chunk];
    for (int i = 0; i < 25; ++i)
      end += static_cast<std::uint32_t>(video.samples[sample++].data.size());
    EXPECT_EQ(aOffsets[1 + chunk], end);
  }
  EXPECT_EQ(aChunks[2] + aChunks[5], audio.samples.size());
  ExpectPlays(path, 50, 2.0, static_cast<long>(audio.samples.size()),
              audio.samples.size() * 1024.0 / 16000);
}

TEST_F(Writer, SingleSampleTrackIsLeftOutWithoutRenumbering) {
  ASSERT_TRUE(w.OpenWrite(path));
  Bytes data(10, 0);
  for (int t = 0; t < 3; ++t)
    ASSERT_EQ(w.AddTrack(kTrackAudio, "A", "eng"), t);
  for (std::uint32_t i = 0; i < 3; ++i) {
    for (int t = 0; t < 3; ++t) {
      if (t != 1 || i == 0) {
        ASSERT_TRUE(w.WriteSample(t, data.data(), 10, i * 1000, true));
      }
    }
  }
  w.Close();
  Bytes f = Written();
  auto tkhd = Named(Boxes(f), "moov/trak/tkhd");
  ASSERT_EQ(tkhd.size(), 2u);
  EXPECT_EQ(BodyWords(f, tkhd[0])[2], 1u);
  EXPECT_EQ(BodyWords(f, tkhd[1])[2], 3u);
  // The integrity data lists the same two, by the same IDs.
  auto uuid = Named(Boxes(f), "moov/uuid");
  ASSERT_EQ(uuid.size(), 1u);
  IntegrityData listed;
  ASSERT_TRUE(DecodeIntegrity(f.data() + uuid[0].offset + 24, uuid[0].size - 24, listed));
  ASSERT_EQ(listed.trackCount, 2u);
  EXPECT_EQ(listed.tracks[0].trackId, 1u);
  EXPECT_EQ(listed.tracks[1].trackId, 3u);
  EXPECT_EQ(listed.tracks[1].sampleCount, 3u);
}

TEST_F(Writer, TimeToSampleRuns) {
  auto video = Video(1);
  struct Case {
    std::vector<std::uint32_t> times;
    std::vector<std::uint32_t> stts;
    std::uint32_t mdhdDuration;
  } cases[] = {
      {{0, 3600, 7200, 10800}, {1, 4, 3600}, 14400},
      {{0, 3600, 3600, 7200}, {3, 1, 3600, 1, 0, 2, 3600}, 10800},
      // Backwards: a step of 0, never the wrapped difference.
      {{0, 3600, 1800, 5400}, {3, 1, 3600, 1, 0, 2, 3600}, 9000},
  };
  for (const Case &c : cases) {
    Bytes f = WriteTimes(c.times, &video);
    auto boxes = Boxes(f);
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(BodyWords(f, Named(boxes, "moov/trak/mdia/minf/stbl/stts")[0]), c.stts);
    EXPECT_EQ(BodyWords(f, Named(boxes, "moov/trak/mdia/mdhd")[0])[3], c.mdhdDuration);
    EXPECT_EQ(BodyWords(f, Named(boxes, "moov/trak/tkhd")[0])[4], c.mdhdDuration / 90);
  }
  WriteTimes(cases[0].times, &video);
  ExpectPlays(path, 4, 0.16);
}

TEST_F(Writer, CodecRecordEdges) {
  ASSERT_TRUE(w.OpenWrite(path));
  int v = w.AddTrack(kTrackVideo, "V", "eng");
  int a = w.AddTrack(kTrackAudio, "A", "eng");
  ASSERT_EQ(w.AddTrack(kTrackVideo, "P", "eng"), 2);
  Bytes avc = Words({320, 240, 0, 0});     // 16 bytes: no "avcC"
  Bytes aac = Words({0, 16000, 16, 2, 0}); // 20 bytes: no "esds"
  ASSERT_TRUE(w.SetCodecConfig(v, kCodecAvc, 16, avc.data()));
  ASSERT_TRUE(w.SetCodecConfig(a, kCodecAac, 20, aac.data()));
  w.codecName[v] = std::string(40, 'x');
  Bytes data(8, 0);
  for (std::uint32_t i = 0; i < 3; ++i) {
    for (int t = 0; t < 3; ++t)
      ASSERT_TRUE(w.WriteSample(t, data.data(), 8, i * 90000, i == 0));
  }
  w.Close();
  Bytes f = Written();
  auto boxes = Boxes(f);
  ASSERT_FALSE(boxes.empty());
  auto avc1 = Named(boxes, "moov/trak/mdia/minf/stbl/stsd/avc1");
  ASSERT_EQ(avc1.size(), 1u);
  EXPECT_EQ(avc1[0].size, 86u);
  EXPECT_EQ(std::string(f.begin() + avc1[0].offset + 50, f.begin() + avc1[0].offset + 82),
            std::string(31, 'x') + '\0');
  EXPECT_EQ(GetBe32(f, avc1[0].offset + 32), 320u << 16 | 240u);
  auto mp4a = Named(boxes, "moov/trak/mdia/minf/stbl/stsd/mp4a");
  ASSERT_EQ(mp4a.size(), 1u);
  EXPECT_EQ(mp4a[0].size, 36u);
  EXPECT_EQ(GetBe32(f, mp4a[0].offset + 24), 2u << 16 | 16u);
  EXPECT_EQ(GetBe32(f, mp4a[0].offset + 32), 16000u << 16);
  // A track without a codec configuration counts in whole seconds.
  auto stsd = Named(boxes, "moov/trak/mdia/minf/stbl/stsd");
  ASSERT_EQ(stsd.size(), 3u);
  EXPECT_EQ(BodyWords(f, stsd[2])[0], 0u);
  auto mdhd = Named(boxes, "moov/trak/mdia/mdhd");
  EXPECT_EQ(BodyWords(f, mdhd[2])[2], 1u);
  EXPECT_EQ(BodyWords(f, mdhd[2])[3], 3u);
  EXPECT_EQ(BodyWords(f, Named(boxes, "moov/trak/mdia/minf/stbl/stts")[2]),
            (std::vector<std::uint32_t>{1, 3, 1}));
}

TEST_F(Writer, RefusesWrongCalls) {
  Bytes data(4, 0);
  EXPECT_EQ(w.AddTrack(kTrackVideo, "V", "eng"), -1); // closed
  EXPECT_FALSE(w.WriteSample(0, data.data(), 4, 0, true));
  ASSERT_TRUE(w.OpenWrite(path));
  EXPECT_FALSE(w.OpenWrite(path));
  int v = w.AddTrack(kTrackVideo, "V", "eng");
  int a = w.AddTrack(kTrackAudio, "A", "eng");
  Bytes aac = Words({0, 16000, 16, 1, 0});
  EXPECT_FALSE(w.SetCodecConfig(v, kCodecAac, 20, aac.data()));
  EXPECT_FALSE(w.SetCodecConfig(a, kCodecAvc, 20, aac.data()));
  EXPECT_FALSE(w.SetCodecConfig(v, 7, 0, nullptr));
  EXPECT_FALSE(w.SetCodecConfig(2, kCodecNone, 0, nullptr));
  // Records whose lengths do not fit would give corrupt boxes.
  Bytes spsBeyond = Cat({Words({320, 240, 0, 0, 50}), Bytes(8, 0x67)});
  EXPECT_FALSE(w.SetCodecConfig(v, kCodecAvc, static_cast<std::int32_t>(spsBeyond.size()),
                                spsBeyond.data()));
  Bytes ppsBeyond =
      Cat({Words({320, 240, 0, 0, 4}), Bytes{0x67, 1, 2, 3}, Words({9}), Bytes(2, 0)});
  EXPECT_FALSE(w.SetCodecConfig(v, kCodecAvc, static_cast<std::int32_t>(ppsBeyond.size()),
                                ppsBeyond.data()));
  Bytes longAsc = Cat({aac, Bytes(105, 0)});
  EXPECT_FALSE(
      w.SetCodecConfig(a, kCodecAac, static_cast<std::int32_t>(longAsc.size()), longAsc.data()));
  EXPECT_FALSE(w.WriteSample(2, data.data(), 4, 0, true));
  EXPECT_FALSE(w.WriteSample(v, data.data(), 0x80000000u, 0, true));
  EXPECT_FALSE(w.WriteSample(v, nullptr, 4, 0, true));
  ASSERT_TRUE(w.WriteSample(v, data.data(), 4, 0, true));
  EXPECT_EQ(w.AddTrack(kTrackAudio, "A", "eng"), -1);
  w.Close();
  EXPECT_TRUE(w.LastFinishSucceeded());
  ASSERT_TRUE(w.OpenWrite(path));
  for (int t = 0; t < kMaxTracks; ++t)
    EXPECT_EQ(w.AddTrack(kTrackAudio, "A", "eng"), t);
  EXPECT_EQ(w.AddTrack(kTrackAudio, "A", "eng"), -1);
  w.Close();
}

TEST_F(Writer, OutputIsRepeatableAndSelfConsistent) {
  auto video = Video(2);
  auto audio = Audio(2);
  ASSERT_TRUE(WriteMovie(path, &video, &audio, w));
  Bytes first = Written();
  ASSERT_TRUE(WriteMovie(path, &video, &audio, w));
  EXPECT_EQ(Written(), first);
  EXPECT_FALSE(Boxes(first).empty()); // every declared size matches its content
}

TEST_F(Writer, FailureToFinishIsReported) {
  auto video = Video(2);
  ASSERT_TRUE(w.OpenWrite(path));
  int t = w.AddTrack(kTrackVideo, "V", "eng");
  auto rec = media::AvcRecord(video);
  ASSERT_TRUE(w.SetCodecConfig(t, kCodecAvc, static_cast<std::int32_t>(rec.size()), rec.data()));
  for (const auto &s : video.samples)
    ASSERT_TRUE(
        w.WriteSample(t, s.data.data(), static_cast<std::uint32_t>(s.data.size()), s.time, s.key));
  // The disk fills up while the index is written: the file may not pass its
  // present size plus 100 bytes.
  {
    test::FileSizeLimit small(w.GetPosition() + 100);
    if (!small.Active())
      GTEST_SKIP() << test::kNoFileSizeLimit;
    w.Close();
  }
  EXPECT_FALSE(w.LastFinishSucceeded());

  // A write that fails while samples are flushed fails that call and every
  // later one; nothing is written out of place.
  ASSERT_TRUE(w.OpenWrite(path));
  t = w.AddTrack(kTrackVideo, "V", "eng");
  Bytes data(1000, 0);
  ASSERT_TRUE(w.WriteSample(t, data.data(), 1000, 0, true));
  {
    test::FileSizeLimit small(500);
    EXPECT_FALSE(w.WriteSample(t, data.data(), 1000, 3600, true));
  }
  EXPECT_FALSE(w.WriteSample(t, data.data(), 1000, 7200, true));
  w.Close();
  EXPECT_FALSE(w.LastFinishSucceeded());
  EXPECT_TRUE(w.OpenWrite(path)); // the object is usable again
  w.Close();
  EXPECT_TRUE(w.LastFinishSucceeded());
}

TEST_F(Writer, NeverWritesPast32BitOffsets) {
  ASSERT_TRUE(w.OpenWrite(path));
  int t = w.AddTrack(kTrackVideo, "V", "eng");
  Bytes data(64, 0);
  w.position = 0xFFFFFFC0u; // as if almost 4 GiB had been written
  EXPECT_FALSE(w.WriteBytes(data.data(), 65));
  ASSERT_TRUE(w.WriteSample(t, data.data(), 32, 0, true));
  EXPECT_FALSE(w.WriteSample(t, data.data(), 33, 3600, false)); // would pass 4 GiB
  ASSERT_TRUE(w.WriteSample(t, data.data(), 31, 3600, false));
  w.Close(); // the data fits, but the index would not
  EXPECT_FALSE(w.LastFinishSucceeded());
  EXPECT_LT(Written().size(), 1000u);
}
