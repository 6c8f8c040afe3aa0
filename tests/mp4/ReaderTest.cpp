#include "BoxBuilder.h"
#include "mp4/Mp4container.h"
#include "platform/FileSystem.h"
#include "support/Tools.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace orvo;
using namespace orvo::test;

namespace {

class Reader : public ::testing::Test {
protected:
  bool Open(const Bytes &bytes) {
    reader.Close();
    path = dir.File("in.mp4");
    return WriteFile(path, bytes) && reader.OpenRead(path);
  }
  bool OpenTraks(std::initializer_list<Trak> traks) {
    std::vector<Bytes> built;
    for (const Trak &t : traks)
      built.push_back(t.Build());
    return Open(Movie(built));
  }
  Bytes Sample(int track, std::uint32_t index) {
    std::uint32_t size = 0, time = 0;
    bool key = false;
    if (!reader.GetSampleInfo(track, index, size, time, key))
      return {};
    Bytes b(size);
    return reader.ReadSample(track, index, b.data(), size) ? b : Bytes{};
  }

  TempDir dir;
  std::string path;
  TMP4Container reader;
};

} // namespace

TEST_F(Reader, ReadsTracksRecordsAndSamples) {
  ASSERT_TRUE(OpenTraks({VideoTrak(kVideoData), AudioTrak(kAudioData)}));
  ASSERT_EQ(reader.GetTrackCount(), 2);
  std::int8_t type = -1;
  std::string name, lang;
  ASSERT_TRUE(reader.GetTrackInfo(0, type, name, lang));
  EXPECT_EQ(type, kTrackVideo);
  EXPECT_EQ(name, "Video");
  EXPECT_EQ(lang, "eng");
  ASSERT_TRUE(reader.GetTrackInfo(1, type, name, lang));
  EXPECT_EQ(type, kTrackAudio);
  EXPECT_EQ(name, "Sound");

  std::uint8_t codec = 0;
  std::int32_t size = 0;
  const std::uint8_t *avc = reader.GetCodecConfig(0, codec, size);
  ASSERT_NE(avc, nullptr);
  EXPECT_EQ(codec, kCodecAvc);
  Bytes expected = Cat({Words({320, 240, 0, 0, 6}), kSps, Words({4}), kPps});
  EXPECT_EQ(Bytes(avc, avc + size), expected);
  const std::uint8_t *aac = reader.GetCodecConfig(1, codec, size);
  ASSERT_NE(aac, nullptr);
  EXPECT_EQ(codec, kCodecAac);
  EXPECT_EQ(Bytes(aac, aac + size), Cat({Words({0, 16000, 16, 1, 0}), kAsc}));

  ASSERT_EQ(reader.GetSampleCount(0), 3u);
  ASSERT_EQ(reader.GetSampleCount(1), 2u);
  EXPECT_EQ(reader.TrackDuration[0], 10800u);
  EXPECT_EQ(reader.TrackDuration[1], 11520u); // 2048 at 16 kHz
  Bytes second = Sample(0, 1);
  ASSERT_EQ(second.size(), 20u);
  EXPECT_EQ(second[0], 18); // data byte = its file offset: 8 + 10
  Bytes audio = Sample(1, 1);
  ASSERT_EQ(audio.size(), 5u);
  EXPECT_EQ(audio[0], 73);

  // Decode-time order; equal times give the lower track first.
  std::vector<std::pair<int, std::uint32_t>> order;
  int track = 0;
  std::uint32_t index = 0;
  while (reader.NextSample(track, index))
    order.emplace_back(track, index);
  std::vector<std::pair<int, std::uint32_t>> want = {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {0, 2}};
  EXPECT_EQ(order, want);
  EXPECT_FALSE(reader.NextSample(track, index));
}

TEST_F(Reader, KeyFlagsComeFromStssOrChunkStarts) {
  Trak v = VideoTrak(kVideoData);
  ASSERT_TRUE(OpenTraks({v}));
  std::uint32_t size, time;
  bool key = false;
  ASSERT_TRUE(reader.GetSampleInfo(0, 0, size, time, key));
  EXPECT_TRUE(key);
  ASSERT_TRUE(reader.GetSampleInfo(0, 2, size, time, key));
  EXPECT_FALSE(key);
  EXPECT_EQ(time, 7200u);

  // Without "stss": the first sample of every chunk (here chunks of 1 and 2).
  v.stss.clear();
  v.stsc = Table("stsc", {2, 1, 1, 1, 2, 2, 1});
  v.stco = Table("stco", {2, kVideoData, kVideoData + 10});
  ASSERT_TRUE(OpenTraks({v}));
  bool keys[3];
  for (std::uint32_t i = 0; i < 3; ++i)
    ASSERT_TRUE(reader.GetSampleInfo(0, i, size, time, keys[i]));
  EXPECT_TRUE(keys[0]);
  EXPECT_TRUE(keys[1]);
  EXPECT_FALSE(keys[2]);
  EXPECT_EQ(Sample(0, 2)[0], 8 + 10 + 20);
}

// Other muxers give "stsc" one entry per run of chunks with the same count.
TEST_F(Reader, ChunkRunsAreSpreadOverTheirChunks) {
  Trak v = VideoTrak(kVideoData);
  v.stsc = Table("stsc", {2, 1, 2, 1, 2, 1, 1}); // chunk 1: 2 samples, chunk 2 on: 1
  v.stco = Table("stco", {2, kVideoData, kVideoData + 40});
  ASSERT_TRUE(OpenTraks({v}));
  EXPECT_EQ(Sample(0, 2)[0], 8 + 40);
  v.stsc = Table("stsc", {1, 1, 1, 1}); // every chunk: 1 sample
  v.stco = Table("stco", {3, kVideoData, kVideoData + 10, kVideoData + 50});
  ASSERT_TRUE(OpenTraks({v}));
  ASSERT_EQ(reader.GetSampleCount(0), 3u);
  EXPECT_EQ(Sample(0, 2)[0], 8 + 50);
}

TEST_F(Reader, AudioTimesUseTheSampleEntryRate) {
  Trak a = AudioTrak(kAudioData);
  a.mdhd = Mdhd(1000, 128);
  ASSERT_TRUE(OpenTraks({a}));
  std::uint32_t size, time;
  bool key;
  ASSERT_TRUE(reader.GetSampleInfo(0, 1, size, time, key));
  EXPECT_EQ(time, 5760u); // 1024 at 16 kHz, not at 1 kHz
}

TEST_F(Reader, ZeroTimeScalesGiveZeroTimesNotAFault) {
  Trak a = AudioTrak(kAudioData);
  a.stsd = FullBox("stsd", 0, Cat({Words({1}), Mp4a(1, 16, 0, Esds(kAsc))}));
  a.mdhd = Mdhd(0, 500);
  ASSERT_TRUE(Open(Movie({a.Build()}, Mvhd(0, 1000))));
  std::uint32_t size, time = 1;
  bool key;
  ASSERT_TRUE(reader.GetSampleInfo(0, 1, size, time, key));
  EXPECT_EQ(time, 0u);
}

TEST_F(Reader, FileWithoutMoovHasNoTracks) {
  ASSERT_TRUE(Open(Box("free", Bytes(4, 0))));
  EXPECT_EQ(reader.GetTrackCount(), 0);
}

TEST_F(Reader, StateRules) {
  reader.Close(); // closed: nothing happens
  ASSERT_TRUE(OpenTraks({VideoTrak(kVideoData)}));
  EXPECT_FALSE(reader.OpenRead(path)); // second open without Close
  std::uint32_t size, time;
  bool key;
  EXPECT_FALSE(reader.GetSampleInfo(0, 3, size, time, key));
  EXPECT_FALSE(reader.GetSampleInfo(1, 0, size, time, key));
  EXPECT_FALSE(reader.GetSampleInfo(-1, 0, size, time, key));
  std::uint8_t small[19];
  EXPECT_FALSE(reader.ReadSample(0, 1, small, sizeof small)); // needs 20
  reader.Close();
  EXPECT_EQ(reader.GetSampleCount(0), 0u);
  EXPECT_FALSE(reader.ReadSample(0, 0, small, sizeof small));
  EXPECT_TRUE(reader.LastFinishSucceeded());
}

// Layout faults: each makes the whole open fail.
TEST_F(Reader, RejectsBrokenBoxStructure) {
  EXPECT_FALSE(Open({}));                                           // empty file
  EXPECT_FALSE(Open({0, 0, 0, 16, 'f', 'r'}));                      // ends in a header
  EXPECT_FALSE(Open(Cat({Words({4}), Bytes{'f', 'r', 'e', 'e'}}))); // size below 8
  EXPECT_FALSE(Open(Cat({Words({1}), Bytes{'m', 'd', 'a', 't'}, Bytes(16, 0)}))); // 64-bit size
  EXPECT_FALSE(Open(Cat({Words({0}), Bytes{'m', 'd', 'a', 't'}, Bytes(16, 0)}))); // to end of file
  EXPECT_FALSE(Open(Cat({Words({40}), Bytes{'f', 'r', 'e', 'e'}}))); // overruns the file
  // A child overrunning its parent.
  EXPECT_FALSE(Open(Box("moov", Cat({Words({64}), Bytes{'f', 'r', 'e', 'e'}, Bytes(8, 0)}))));
  // A known box at the wrong level.
  EXPECT_FALSE(Open(Box("moov", Box("trak", Mvhd()))));
  EXPECT_FALSE(Open(Mvhd()));
  // "mvhd" of another version's size.
  EXPECT_FALSE(Open(Box("moov", FullBox("mvhd", 0x01000000, Bytes(108, 0)))));
}

TEST_F(Reader, RejectsTrackHeaderFaults) {
  Trak t = VideoTrak(kVideoData);
  t.tkhd = Tkhd(0x10, 320, 240, 0);
  EXPECT_FALSE(OpenTraks({t})) << "tkhd flags 0x10";
  t.tkhd = Tkhd(2, 320, 240, 0);
  EXPECT_TRUE(OpenTraks({t})) << "tkhd flags 2: in the movie, not enabled";
  t.tkhd = Tkhd(3, 320, 240, 0);
  EXPECT_TRUE(OpenTraks({t})) << "tkhd flags 3";
  Trak text = VideoTrak(kVideoData);
  text.tkhd = Tkhd(1, 0, 0, 0);
  EXPECT_FALSE(OpenTraks({text})) << "neither video nor audio";
  std::vector<Bytes> nine(9, AudioTrak(kAudioData).Build());
  EXPECT_FALSE(Open(Movie(nine))) << "ninth track";
  std::vector<Bytes> eight(8, AudioTrak(kAudioData).Build());
  EXPECT_TRUE(Open(Movie(eight)));
  EXPECT_EQ(reader.GetTrackCount(), 8);
}

TEST_F(Reader, RejectsMediaFaults) {
  Trak t = VideoTrak(kVideoData);
  t.hdlr = Hdlr("soun", "Video");
  EXPECT_FALSE(OpenTraks({t})) << "handler contradicts track";
  t = VideoTrak(kVideoData);
  t.hdlr = FullBox("hdlr", 0, Bytes(20, 0));
  EXPECT_FALSE(OpenTraks({t})) << "hdlr without name";
  t = VideoTrak(kVideoData);
  t.mediaHeader = FullBox("smhd", 0, Bytes(4, 0));
  EXPECT_FALSE(OpenTraks({t})) << "sound header in video track";
  t = VideoTrak(kVideoData);
  t.stsd = FullBox("stsd", 0, Cat({Words({1}), Avc1(320, 200, AvcC(kSps, kPps))}));
  EXPECT_FALSE(OpenTraks({t})) << "avc1 size differs from tkhd";
  t = AudioTrak(kAudioData);
  t.stsd = FullBox("stsd", 0, Cat({Words({1}), Avc1(320, 240, {})}));
  EXPECT_FALSE(OpenTraks({t})) << "avc1 in audio track";
}

TEST_F(Reader, RejectsAvcCFaults) {
  auto withAvcC = [](const Bytes &avcC) {
    Trak t = VideoTrak(kVideoData);
    t.stsd = FullBox("stsd", 0, Cat({Words({1}), Avc1(320, 240, avcC)}));
    return t;
  };
  Bytes good = AvcC(kSps, kPps);
  EXPECT_TRUE(OpenTraks({withAvcC(good)}));

  Bytes twoSps = good;
  twoSps[8 + 5] = 0xE2;
  EXPECT_FALSE(OpenTraks({withAvcC(twoSps)})) << "two sequence parameter sets";
  Bytes twoPps = good;
  twoPps[8 + 8 + kSps.size()] = 2;
  EXPECT_FALSE(OpenTraks({withAvcC(twoPps)})) << "two picture parameter sets";
  Bytes spsBeyondBox = good;
  spsBeyondBox[8 + 7] = 200;
  EXPECT_FALSE(OpenTraks({withAvcC(spsBeyondBox)})) << "sps length beyond box";
  Bytes ppsBeyondBox = good;
  ppsBeyondBox[8 + 10 + kSps.size()] = 5;
  EXPECT_FALSE(OpenTraks({withAvcC(ppsBeyondBox)})) << "pps length beyond box";
  Bytes truncated(good.begin(), good.begin() + 15);
  truncated[3] = 15;
  EXPECT_FALSE(OpenTraks({withAvcC(truncated)})) << "avcC ends after its head";
}

TEST_F(Reader, EsdsShortAndExpandableLengths) {
  auto withEsds = [](const Bytes &esds) {
    Trak t = AudioTrak(kAudioData);
    t.stsd = FullBox("stsd", 0, Cat({Words({1}), Mp4a(2, 16, 16000, esds)}));
    return t;
  };
  Bytes good = Esds(kAsc);
  Bytes badTag = good;
  badTag[12] = 0x04;
  EXPECT_FALSE(OpenTraks({withEsds(badTag)})) << "esds not starting with tag 3";
  Bytes ascBeyondBox = good;
  ascBeyondBox[12 + 21] = 40;
  EXPECT_FALSE(OpenTraks({withEsds(ascBeyondBox)})) << "asc length beyond box";
  EXPECT_FALSE(OpenTraks({withEsds(FullBox("esds", 0, Bytes{0x03, 10}))})) << "short esds";

  // The 4-byte expandable form other muxers write is read descriptor by
  // descriptor.
  Bytes chain = {0x03, 0x80, 0x80, 0x80, 34, 0, 1, 0, 0x04, 0x80, 0x80, 0x80, 20, 0x40, 0x15};
  chain.resize(chain.size() + 11, 0);
  chain.insert(chain.end(), {0x05, 0x80, 0x80, 0x80, 2, 0x11, 0x90, 0x06, 0x80, 0x80, 0x80, 1, 2});
  ASSERT_TRUE(OpenTraks({withEsds(FullBox("esds", 0, chain))}));
  std::uint8_t codec;
  std::int32_t size;
  const std::uint8_t *record = reader.GetCodecConfig(0, codec, size);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(Bytes(record, record + size), Cat({Words({0, 16000, 16, 2, 0}), Bytes{0x11, 0x90}}));

  Bytes longBeyond = chain;
  longBeyond[30] = 90; // decoder specific info longer than its parent
  EXPECT_FALSE(OpenTraks({withEsds(FullBox("esds", 0, longBeyond))})) << "long length beyond";
  Bytes fiveBytes = chain;
  fiveBytes[4] = 0x80; // a fifth length byte would follow
  EXPECT_FALSE(OpenTraks({withEsds(FullBox("esds", 0, fiveBytes))})) << "length over 4 bytes";
}

TEST_F(Reader, RejectsSampleTableFaults) {
  struct Case {
    const char *fault;
    Bytes Trak::*part;
    Bytes box;
  } cases[] = {
      {"empty stss", &Trak::stss, Table("stss", {0})},
      {"stss count beyond payload", &Trak::stss, Table("stss", {2, 1})},
      {"stss number past any sample", &Trak::stss, Table("stss", {1, 0xFFFFFFFF})},
      {"stts length mismatch", &Trak::stts, Table("stts", {2, 3, 3600})},
      {"stts with no samples", &Trak::stts, Table("stts", {1, 0, 3600})},
      {"stsz uniform size without table", &Trak::stsz, Table("stsz", {10, 3})},
      {"stsz empty", &Trak::stsz, Table("stsz", {0, 0})},
      {"stsc length mismatch", &Trak::stsc, Table("stsc", {1, 1, 3})},
      {"stco count overflowing 32 bits", &Trak::stco, Table("stco", {0x40000001, kVideoData})},
      {"stco empty", &Trak::stco, Table("stco", {0})},
  };
  for (const Case &c : cases) {
    Trak t = VideoTrak(kVideoData);
    t.*(c.part) = c.box;
    EXPECT_FALSE(OpenTraks({t})) << c.fault;
  }
}

TEST_F(Reader, InconsistentCountsLeaveTheTrackWithoutSamples) {
  struct Case {
    const char *fault;
    Bytes Trak::*part;
    Bytes box;
  } cases[] = {
      {"stsc fewer than stco", &Trak::stco, Table("stco", {2, kVideoData, kVideoData})},
      {"stts count differs from stsz", &Trak::stts, Table("stts", {1, 2, 3600})},
      {"chunks describe more samples", &Trak::stsc, Table("stsc", {1, 1, 4, 1})},
      {"chunks describe fewer samples", &Trak::stsc, Table("stsc", {1, 1, 2, 1})},
      {"huge samples per chunk", &Trak::stsc, Table("stsc", {1, 1, 0xFFFFFFFF, 1})},
      {"huge stts run", &Trak::stts, Table("stts", {1, 0xFFFFFFFF, 1})},
      // Runs of chunks: each must start after the one before, the first at 1.
      {"first run not at chunk 1", &Trak::stsc, Table("stsc", {1, 2, 1, 1})},
      {"runs out of order", &Trak::stsc, Table("stsc", {2, 1, 1, 1, 1, 2, 1})},
      {"run past the last chunk", &Trak::stsc, Table("stsc", {2, 1, 1, 1, 4, 2, 1})},
  };
  for (const Case &c : cases) {
    Trak t = VideoTrak(kVideoData);
    t.*(c.part) = c.box;
    if (c.part == &Trak::stsc && c.box.size() > 28) // runs need more chunks than entries
      t.stco = Table("stco", {3, kVideoData, kVideoData + 10, kVideoData + 30});
    ASSERT_TRUE(OpenTraks({t})) << c.fault;
    EXPECT_EQ(reader.GetTrackCount(), 1) << c.fault;
    EXPECT_EQ(reader.GetSampleCount(0), 0u) << c.fault;
  }
}

TEST_F(Reader, RepeatedOrMisplacedTrackBoxesNeverCrash) {
  Trak t = VideoTrak(kVideoData);
  t.extra = t.stsd; // a second "stsd" replaces the record
  ASSERT_TRUE(OpenTraks({t}));
  EXPECT_EQ(reader.GetSampleCount(0), 3u);
  t = VideoTrak(kVideoData);
  t.extra = Table("stsz", {0, 3, 1, 2, 3}); // a second "stsz" wins
  ASSERT_TRUE(OpenTraks({t}));
  EXPECT_EQ(Sample(0, 2).size(), 3u);
  t = VideoTrak(kVideoData);
  t.extra = Table("stsz", {0, 4, 1, 2, 3, 4}); // ... and may break the counts
  ASSERT_TRUE(OpenTraks({t}));
  EXPECT_EQ(reader.GetSampleCount(0), 0u);

  t = VideoTrak(kVideoData);
  t.mdhd = Cat({t.tkhd, t.mdhd}); // the "tkhd" position is level 4: wrong level
  EXPECT_FALSE(OpenTraks({t}));
  Bytes twoTkhd = Box("trak", Cat({Tkhd(1, 320, 240, 0), Tkhd(1, 320, 240, 0)}));
  EXPECT_FALSE(Open(Movie({twoTkhd}))) << "second tkhd in one trak";
  t = VideoTrak(kVideoData);
  Bytes tablesFirst = Box("trak", Cat({Box("mdia", Box("minf", Box("stbl", t.stsz))), t.tkhd}));
  EXPECT_FALSE(Open(Movie({tablesFirst}))) << "sample tables before tkhd";
}

TEST_F(Reader, SampleBeyondTheFileFailsToRead) {
  Trak t = VideoTrak(kVideoData);
  t.stco = Table("stco", {1, 0xFFFFFFF0});
  ASSERT_TRUE(OpenTraks({t}));
  ASSERT_EQ(reader.GetSampleCount(0), 3u);
  std::uint8_t buffer[64];
  EXPECT_FALSE(reader.ReadSample(0, 0, buffer, sizeof buffer));
  EXPECT_FALSE(reader.ReadSample(0, 2, buffer, sizeof buffer)); // offset past 4 GiB
}

TEST_F(Reader, EmptySampleReadsWithoutABuffer) {
  Trak t = VideoTrak(kVideoData);
  t.stsz = Table("stsz", {0, 3, 0, 20, 30});
  ASSERT_TRUE(OpenTraks({t}));
  EXPECT_TRUE(reader.ReadSample(0, 0, nullptr, 0));
  EXPECT_EQ(Sample(0, 1).size(), 20u);
  EXPECT_TRUE(reader.ReadSample(0, 0, nullptr, 0)) << "again, with a window filled";
}

TEST_F(Reader, RefusesFilesPast4GiB) {
  path = dir.File("big.mp4");
  Bytes free = Box("free", {});
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char *>(free.data()),
             static_cast<std::streamsize>(free.size()));
  std::error_code ec;
  std::filesystem::resize_file(path, 0x100000000LL, ec);
  if (ec)
    GTEST_SKIP() << "no sparse files here";
  EXPECT_FALSE(reader.OpenRead(path));
}

TEST_F(Reader, ReplaysEveryKeptInput) {
  // Inputs that once broke the reader; each must be handled without a fault.
  std::vector<platform::DirEntry> entries;
  platform::FindEntries(ORVO_TEST_DATA, "*", true, entries);
  for (const auto &e : entries) {
    if (e.isDirectory)
      continue;
    TMP4Container r;
    if (r.OpenRead(std::string(ORVO_TEST_DATA) + "/" + e.name)) {
      int track;
      std::uint32_t index, size, time;
      bool key;
      Bytes buffer;
      while (r.NextSample(track, index)) {
        ASSERT_TRUE(r.GetSampleInfo(track, index, size, time, key));
        buffer.resize(size);
        r.ReadSample(track, index, buffer.data(), size);
      }
    }
  }
}

// The integrity box is kept when it is exactly as written; any damage makes
// it "malformed" without failing the open. Other "uuid" boxes, and ours
// anywhere but in "moov", are skipped.
TEST_F(Reader, IntegrityBoxIsKeptOrFoundMalformed) {
  const Bytes uuid(kIntegrityUuid, kIntegrityUuid + 16);
  const Bytes entry = Cat({Words({1, 3}), Bytes(16, 0xAB)});
  const Bytes good =
      Cat({Words({0x01000000, 7, 9}), Bytes{0, 3, 'R', '1', '2'}, Words({1}), entry});
  auto open = [&](const Bytes &body, const Bytes &extra = {}) {
    Bytes moov =
        Cat({Mvhd(), VideoTrak(kVideoData).Build(), Box("uuid", Cat({uuid, body})), extra});
    return Open(Cat({Box("mdat", Bytes(70, 0)), Box("moov", moov)}));
  };
  IntegrityData data;
  ASSERT_TRUE(open(good));
  ASSERT_EQ(reader.GetIntegrity(data), IntegrityStatus::Present);
  EXPECT_EQ(data.recordFolder, "R12");
  EXPECT_EQ(data.firstFragment, 7u);
  EXPECT_EQ(data.lastFragment, 9u);
  ASSERT_EQ(data.trackCount, 1u);
  EXPECT_EQ(data.tracks[0].trackId, 1u);
  EXPECT_EQ(data.tracks[0].sampleCount, 3u);
  EXPECT_EQ(data.tracks[0].digest.bytes[15], 0xAB);

  auto with = [&](std::size_t at, std::uint8_t value) {
    Bytes b = good;
    b[at] = value;
    return b;
  };
  const Bytes twoTracks = Cat({Words({0x01000000, 7, 9, 0}), Words({2}), entry, entry});
  const Bytes nineTracks = Cat({Words({0x01000000, 7, 9, 0}), Words({9})});
  struct Case {
    const char *fault;
    Bytes body, extra;
  } malformed[] = {
      {"version 2", with(0, 2), {}},
      {"flags", with(3, 1), {}},
      {"name past the end", with(13, 200), {}},
      {"no track count", Bytes(good.begin(), good.begin() + 17), {}},
      {"an entry cut short", Bytes(good.begin(), good.end() - 1), {}},
      {"a byte left over", Cat({good, Bytes{0}}), {}},
      {"track ID 0", with(24, 0), {}},
      {"track ID 9", with(24, 9), {}},
      {"the same track twice", twoTracks, {}},
      {"nine tracks", nineTracks, {}},
      {"larger than any written", Cat({good, Bytes(600, 0)}), {}},
      {"two boxes", good, Box("uuid", Cat({uuid, good}))},
  };
  for (const Case &c : malformed) {
    ASSERT_TRUE(open(c.body, c.extra)) << c.fault;
    EXPECT_EQ(reader.GetIntegrity(data), IntegrityStatus::Malformed) << c.fault;
    EXPECT_EQ(reader.GetSampleCount(0), 3u) << c.fault;
  }

  Bytes foreign = Cat({uuid, good});
  foreign[0] ^= 1;
  ASSERT_TRUE(open({}, Box("uuid", foreign))) << "empty body of ours, then a foreign one";
  EXPECT_EQ(reader.GetIntegrity(data), IntegrityStatus::Malformed);
  ASSERT_TRUE(Open(
      Cat({Movie({VideoTrak(kVideoData).Build(), Box("uuid", foreign), Box("uuid", Bytes(15, 0))}),
           Box("uuid", Cat({uuid, good}))})));
  EXPECT_EQ(reader.GetIntegrity(data), IntegrityStatus::Absent);
  EXPECT_TRUE(reader.HasMovie());
  ASSERT_TRUE(Open(Box("free", {})));
  EXPECT_FALSE(reader.HasMovie());
}
