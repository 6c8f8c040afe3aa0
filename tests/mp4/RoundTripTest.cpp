#include "BoxBuilder.h"
#include "MediaFiles.h"
#include "mp4/Mp4container.h"
#include "platform/FileSystem.h"

#include <gtest/gtest.h>

using namespace orvo;
using namespace orvo::test;

namespace {

// Copies every sample of an open reader into a new file, the way the
// conversion does (one fragment, no time offset).
bool Copy(TMP4Container &r, const std::string &path) {
  TMP4Container w;
  if (!w.OpenWrite(path))
    return false;
  for (int t = 0; t < r.GetTrackCount(); ++t) {
    std::int8_t type;
    std::string name, lang;
    std::uint8_t codec = 0;
    std::int32_t size = 0;
    if (!r.GetTrackInfo(t, type, name, lang) || w.AddTrack(type, name, lang) != t)
      return false;
    const std::uint8_t *record = r.GetCodecConfig(t, codec, size);
    if (record && !w.SetCodecConfig(t, codec, size, record))
      return false;
  }
  int track;
  std::uint32_t index, size, time;
  bool key;
  Bytes buffer;
  while (r.NextSample(track, index)) {
    if (!r.GetSampleInfo(track, index, size, time, key))
      return false;
    buffer.resize(size);
    if (!r.ReadSample(track, index, buffer.data(), size) ||
        !w.WriteSample(track, buffer.data(), size, time, key))
      return false;
  }
  w.Close();
  return w.LastFinishSucceeded();
}

} // namespace

TEST(RoundTrip, RealH264AndAacReadBackAsWritten) {
  TempDir dir;
  auto video = Video(3, 0, 320, 240);
  auto audio = Audio(3);
  ASSERT_FALSE(video.samples.empty());
  ASSERT_FALSE(audio.samples.empty());
  const std::string first = dir.File("first.mp4");
  TMP4Container w;
  ASSERT_TRUE(WriteMovie(first, &video, &audio, w));
  ExpectPlays(first, static_cast<long>(video.samples.size()), 3.0,
              static_cast<long>(audio.samples.size()), audio.samples.size() * 1024.0 / 16000);

  TMP4Container r;
  ASSERT_TRUE(r.OpenRead(first));
  ASSERT_EQ(r.GetTrackCount(), 2);
  std::int8_t type;
  std::string name, lang;
  ASSERT_TRUE(r.GetTrackInfo(0, type, name, lang));
  EXPECT_EQ(type, kTrackVideo);
  EXPECT_EQ(name, "VideoHandler");
  EXPECT_EQ(lang, "eng");
  ASSERT_TRUE(r.GetTrackInfo(1, type, name, lang));
  EXPECT_EQ(type, kTrackAudio);
  EXPECT_EQ(name, "SoundHandler");
  EXPECT_EQ(lang, "rus");

  std::uint8_t codec;
  std::int32_t size;
  const std::uint8_t *rec = r.GetCodecConfig(0, codec, size);
  ASSERT_NE(rec, nullptr);
  EXPECT_EQ(codec, kCodecAvc);
  EXPECT_EQ(Bytes(rec, rec + size), media::AvcRecord(video));
  rec = r.GetCodecConfig(1, codec, size);
  ASSERT_NE(rec, nullptr);
  EXPECT_EQ(codec, kCodecAac);
  EXPECT_EQ(Bytes(rec, rec + size), media::AacRecord(audio));

  const std::vector<media::Sample> *streams[2] = {&video.samples, &audio.samples};
  for (int t = 0; t < 2; ++t) {
    const auto &samples = *streams[t];
    ASSERT_EQ(r.GetSampleCount(t), samples.size());
    const std::uint32_t scale = t == 0 ? 90000 : 16000;
    for (std::uint32_t i = 0; i < samples.size(); ++i) {
      std::uint32_t sampleSize, time;
      bool key;
      ASSERT_TRUE(r.GetSampleInfo(t, i, sampleSize, time, key));
      const std::uint32_t expected = TContainer::Rescale(
          TContainer::Rescale(samples[i].time - samples[0].time, 90000, scale), scale, 90000);
      EXPECT_EQ(time, expected) << t << ":" << i;
      if (t == 0) {
        EXPECT_EQ(key, samples[i].key) << i;
      }
      Bytes data(sampleSize);
      ASSERT_TRUE(r.ReadSample(t, i, data.data(), sampleSize));
      ASSERT_EQ(data, samples[i].data) << t << ":" << i;
    }
  }
  EXPECT_EQ(r.TrackDuration[0], 270000u);

  // Reading back and writing again gives the same file, byte for byte.
  const std::string second = dir.File("second.mp4");
  ASSERT_TRUE(Copy(r, second));
  r.Close();
  EXPECT_EQ(ReadFile(second), ReadFile(first));
}

TEST(RoundTrip, WriterOutputsAreSeedsWorthKeeping) {
  // The committed fuzzing seeds are writer outputs (two with integrity data
  // naming a record, one of them with the GPS tracks) and one ffmpeg file;
  // they must still open.
  std::vector<platform::DirEntry> entries;
  const std::string seeds = std::string(ORVO_SOURCE_DIR) + "/fuzz/corpus/mp4_reader";
  ASSERT_TRUE(platform::FindEntries(seeds, "*", true, entries));
  ASSERT_FALSE(entries.empty());
  int named = 0;
  for (const auto &e : entries) {
    TMP4Container r;
    EXPECT_TRUE(r.OpenRead(seeds + "/" + e.name)) << e.name;
    IntegrityData data;
    named += r.GetIntegrity(data) == IntegrityStatus::Present && !data.recordFolder.empty();
  }
  EXPECT_EQ(named, 2);
}

// Samples read in any order give the bytes the writer put in the file, also
// where a read has to go back before the part of the file read last.
TEST(RoundTrip, SamplesReadInAnyOrderMatchTheFile) {
  TempDir dir;
  auto video = Video(4, 0, 320, 240);
  auto audio = Audio(4);
  const std::string file = dir.File("movie.mp4");
  TMP4Container w;
  ASSERT_TRUE(WriteMovie(file, &video, &audio, w));
  std::string content;
  ASSERT_TRUE(platform::ReadWholeFile(file, content));

  TMP4Container r;
  ASSERT_TRUE(r.OpenRead(file));
  Bytes buffer(1 << 20);
  for (int pass = 0; pass < 2; ++pass) {
    for (int t = 0; t < r.GetTrackCount(); ++t) {
      const std::uint32_t n = r.GetSampleCount(t);
      for (std::uint32_t k = 0; k < n; ++k) {
        const std::uint32_t i = pass == 0 ? n - 1 - k : (k * 7) % n; // backwards, then jumping
        std::uint32_t size, time;
        bool key;
        ASSERT_TRUE(r.GetSampleInfo(t, i, size, time, key));
        ASSERT_TRUE(r.ReadSample(t, i, buffer.data(), static_cast<std::uint32_t>(buffer.size())));
        // The sample's bytes are somewhere in the file; find them where the
        // writer put them: each is unique enough at this size.
        ASSERT_NE(content.find(std::string(reinterpret_cast<char *>(buffer.data()), size)),
                  std::string::npos)
            << "track " << t << " sample " << i;
      }
    }
  }
}
