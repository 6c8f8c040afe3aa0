#include "cardgen/CardGen.h"
#include "gps/Alignment.h"
#include "gps/GpxReader.h"
#include "platform/FileSystem.h"
#include "support/Tools.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

using namespace orvo::cardgen;
using orvo::test::TempDir;
namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> ReadBytes(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t Be32(const std::vector<std::uint8_t> &b, std::size_t at) {
  return std::uint32_t(b[at]) << 24 | std::uint32_t(b[at + 1]) << 16 |
         std::uint32_t(b[at + 2]) << 8 | b[at + 3];
}

std::uint32_t Le(const std::vector<std::uint8_t> &b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i)
    v = v << 8 | b[at + i];
  return v;
}

// Boxes of an MP4 file by path ("moov/trak/mdia/mdhd"), walked independently
// of the generator's writer.
struct Box {
  std::size_t offset = 0, size = 0; // offset of the header
};
using BoxMap = std::multimap<std::string, Box>;

bool Walk(const std::vector<std::uint8_t> &b, std::size_t begin, std::size_t end,
          const std::string &parent, BoxMap &boxes) {
  while (begin < end) {
    if (end - begin < 8)
      return false;
    const std::size_t size = Be32(b, begin);
    if (size < 8 || size > end - begin)
      return false;
    const std::string type(b.begin() + begin + 4, b.begin() + begin + 8);
    const std::string path = parent.empty() ? type : parent + "/" + type;
    boxes.emplace(path, Box{begin, size});
    std::size_t head = 0;
    if (type == "moov" || type == "trak" || type == "mdia" || type == "minf" || type == "stbl" ||
        type == "dinf")
      head = 8;
    else if (type == "stsd" || type == "dref")
      head = 16;
    else if (type == "avc1")
      head = 86;
    else if (type == "mp4a")
      head = 36;
    if (head && !Walk(b, begin + head, begin + size, path, boxes))
      return false;
    begin += size;
  }
  return true;
}

RecordPlan Small() {
  RecordPlan s;
  s.width = 160;
  s.height = 112;
  s.fps = 25;
  s.videoKbps = 200;
  s.audioRate = 16000;
  s.audioChannels = 1;
  s.audioKbps = 32;
  s.fragmentSeconds = 1;
  s.fragmentCount = 2;
  s.chunksPerFragment = 3;
  return s;
}

std::vector<std::string> TreeOf(const std::string &root) {
  std::vector<std::string> items;
  for (const auto &e : fs::recursive_directory_iterator(root)) {
    std::string item = fs::relative(e.path(), root).string();
    if (e.is_regular_file()) {
      const auto bytes = ReadBytes(e.path().string());
      item += " " + std::to_string(bytes.size()) + " " +
              std::to_string(std::hash<std::string>()(std::string(bytes.begin(), bytes.end())));
    }
    items.push_back(item);
  }
  std::sort(items.begin(), items.end());
  return items;
}

} // namespace

TEST(CardGen, FragmentsPlayWithTheDescribedPacketCounts) {
  TempDir dir;
  CardWriter writer;
  RecordPlan stereo = Small();
  stereo.number = 2;
  stereo.fps = 30;
  stereo.audioRate = 48000;
  stereo.audioChannels = 2;
  stereo.audioKbps = 96;
  stereo.chunksPerFragment = 4;
  for (const RecordPlan &plan : {Small(), stereo}) {
    RecordInfo info;
    std::string error;
    ASSERT_TRUE(writer.WriteRecord(dir.path, plan, info, false, &error)) << error;
    ASSERT_EQ(info.fragments.size(), 2u);
    if (!orvo::test::ExternalChecks())
      continue;
    for (const auto &f : info.fragments) {
      const std::string file = dir.File(info.folderName + "/" + f.path);
      std::vector<orvo::test::ProbedStream> streams;
      ASSERT_TRUE(orvo::test::Probe(file, streams, &error)) << error;
      ASSERT_EQ(streams.size(), 2u) << file;
      EXPECT_EQ(streams[0].codec, "h264");
      EXPECT_EQ(streams[0].width, plan.width);
      EXPECT_EQ(streams[0].height, plan.height);
      EXPECT_EQ(streams[0].packets, long(f.video.samples));
      EXPECT_EQ(f.video.samples, plan.fps * plan.fragmentSeconds);
      EXPECT_EQ(f.video.duration90k, 90000u * plan.fragmentSeconds);
      EXPECT_EQ(streams[1].codec, "aac");
      EXPECT_EQ(streams[1].sampleRate, int(plan.audioRate));
      EXPECT_EQ(streams[1].channels, plan.audioChannels);
      EXPECT_EQ(streams[1].packets, long(f.audio.samples));
      EXPECT_EQ(f.audio.chunks, plan.chunksPerFragment);
      std::string messages;
      EXPECT_TRUE(orvo::test::DecodesCleanly(file, &messages)) << messages;
    }
    // Consecutive fragments carry consecutive stretches, not the same one.
    const auto first =
        orvo::test::PacketChecksums(dir.File(info.folderName + "/" + info.fragments[0].path), 0);
    const auto second =
        orvo::test::PacketChecksums(dir.File(info.folderName + "/" + info.fragments[1].path), 0);
    ASSERT_FALSE(first.empty());
    EXPECT_NE(first, second);
  }
}

TEST(CardGen, VideoOnlyFragmentHasOneTrack) {
  RecordPlan plan = Small();
  plan.audioRate = 0;
  CardWriter writer;
  std::vector<std::uint8_t> bytes;
  FragmentInfo info;
  ASSERT_TRUE(writer.BuildFragment(plan, 0, bytes, info));
  BoxMap boxes;
  ASSERT_TRUE(Walk(bytes, 0, bytes.size(), "", boxes));
  EXPECT_EQ(boxes.count("moov/trak"), 1u);
  EXPECT_EQ(boxes.count("moov/trak/mdia/minf/smhd"), 0u);
  EXPECT_EQ(info.audio.samples, 0u);
}

TEST(CardGen, FragmentFollowsTheRecorderBoxLayout) {
  RecordPlan plan = Small();
  plan.chunksPerFragment = 5;
  CardWriter writer;
  std::vector<std::uint8_t> b;
  FragmentInfo info;
  ASSERT_TRUE(writer.BuildFragment(plan, 1, b, info));
  BoxMap boxes;
  ASSERT_TRUE(Walk(b, 0, b.size(), "", boxes));
  ASSERT_EQ(Be32(b, 4), Be32({'f', 't', 'y', 'p'}, 0));
  const Box mdat = boxes.find("mdat")->second;
  const Box moov = boxes.find("moov")->second;
  EXPECT_LT(mdat.offset, moov.offset);
  const Box mvhd = boxes.find("moov/mvhd")->second;
  EXPECT_EQ(mvhd.size, 108u);
  EXPECT_EQ(Be32(b, mvhd.offset + 8), 0u); // version 0
  EXPECT_EQ(Be32(b, mvhd.offset + 24), 1000u);

  auto tkhd = boxes.equal_range("moov/trak/tkhd");
  ASSERT_EQ(std::distance(tkhd.first, tkhd.second), 2);
  for (auto it = tkhd.first; it != tkhd.second; ++it) {
    EXPECT_EQ(it->second.size, 92u);
    const std::uint32_t flags = Be32(b, it->second.offset + 8);
    EXPECT_TRUE(flags == 1 || flags == 3) << flags;
  }
  for (auto it = boxes.equal_range("moov/trak/mdia/mdhd").first;
       it != boxes.equal_range("moov/trak/mdia/mdhd").second; ++it) {
    EXPECT_EQ(it->second.size, 32u);
    EXPECT_EQ(Be32(b, it->second.offset + 8), 0u);
  }
  const std::string stbl = "moov/trak/mdia/minf/stbl/";
  auto stsc = boxes.equal_range(stbl + "stsc");
  auto stco = boxes.equal_range(stbl + "stco");
  const std::uint32_t chunks[] = {info.video.chunks, info.audio.chunks};
  int track = 0;
  for (auto c = stsc.first, o = stco.first; c != stsc.second && o != stco.second;
       ++c, ++o, ++track) {
    // One stsc entry per chunk, numbered from 1, description 1.
    const std::uint32_t n = Be32(b, c->second.offset + 12);
    EXPECT_EQ(n, chunks[track]);
    EXPECT_EQ(Be32(b, o->second.offset + 12), n);
    EXPECT_EQ(c->second.size, 16 + 12 * n);
    for (std::uint32_t i = 0; i < n; ++i) {
      EXPECT_EQ(Be32(b, c->second.offset + 16 + 12 * i), i + 1);
      EXPECT_EQ(Be32(b, c->second.offset + 24 + 12 * i), 1u);
      const std::uint32_t offset = Be32(b, o->second.offset + 16 + 4 * i);
      EXPECT_GE(offset, mdat.offset + 8);
      EXPECT_LT(offset, mdat.offset + mdat.size);
    }
  }
  EXPECT_EQ(track, 2);
  EXPECT_EQ(info.video.chunks, 5u);
  // Video data begins right after the mdat header; the fragment starts with a key frame.
  EXPECT_EQ(Be32(b, stco.first->second.offset + 16), mdat.offset + 8);
  const Box stss = boxes.find(stbl + "stss")->second;
  EXPECT_EQ(Be32(b, stss.offset + 16), 1u);

  const Box avcC = boxes.find(stbl + "stsd/avc1/avcC")->second;
  EXPECT_EQ(b[avcC.offset + 8], 1);
  EXPECT_EQ(b[avcC.offset + 13], 0xE1);
  const std::size_t s = std::size_t(b[avcC.offset + 14]) << 8 | b[avcC.offset + 15];
  EXPECT_EQ(b[avcC.offset + 16 + s], 1);
  const std::size_t p = std::size_t(b[avcC.offset + 17 + s]) << 8 | b[avcC.offset + 18 + s];
  EXPECT_EQ(avcC.size, 19 + s + p);
  const Box avc1 = boxes.find(stbl + "stsd/avc1")->second;
  EXPECT_EQ(Be32(b, avc1.offset + 32), (160u << 16) | 112u);

  // Short-form esds: the AudioSpecificConfig length sits at payload offset 21.
  const Box esds = boxes.find(stbl + "stsd/mp4a/esds")->second;
  EXPECT_EQ(b[esds.offset + 12], 0x03);
  const std::size_t d = b[esds.offset + 12 + 21];
  EXPECT_EQ(d, 2u);
  EXPECT_EQ(esds.size, 37 + d);
  const Box mp4a = boxes.find(stbl + "stsd/mp4a")->second;
  EXPECT_EQ(Be32(b, mp4a.offset + 32), 16000u << 16);
}

TEST(CardGen, RecordFileHoldsEveryFieldAtItsOffset) {
  TempDir dir;
  RecordPlan plan = Small();
  plan.number = 12345678;
  plan.year = 24;
  plan.month = 12;
  plan.day = 31;
  plan.hour = 23;
  plan.minute = 59;
  plan.second = 58;
  plan.fps = 30;
  plan.firstFragment = 7;
  plan.fragmentCount = 4;
  plan.fragmentSeconds = 3;
  plan.mode = 3;
  plan.gps = true;
  plan.checked = true;
  plan.otherMarkBits = 0x80;
  CardWriter writer;
  RecordInfo info;
  ASSERT_TRUE(writer.WriteRecord(dir.path, plan, info, true));
  EXPECT_EQ(info.folderName, "R12345678_D241231_T235958");
  const auto r = ReadBytes(dir.File(info.folderName + "/record.dat"));
  ASSERT_EQ(r.size(), kRecordFileSize);
  EXPECT_EQ(std::string(r.begin(), r.begin() + 8), "H2644TFT");
  EXPECT_EQ(Le(r, 8, 4), 12345678u);
  EXPECT_EQ(Le(r, 12, 4), 7u);
  EXPECT_EQ(Le(r, 16, 4), 10u);
  EXPECT_EQ(Le(r, 20, 4), 4u);
  EXPECT_EQ(Le(r, 24, 4), 12000u);
  EXPECT_EQ(r[28], 31);
  EXPECT_EQ(r[29], 12);
  EXPECT_EQ(r[30], 24);
  EXPECT_EQ(r[32], 23);
  EXPECT_EQ(r[33], 59);
  EXPECT_EQ(r[34], 58);
  EXPECT_EQ(Le(r, 36, 2), 160u);
  EXPECT_EQ(Le(r, 38, 2), 112u);
  EXPECT_EQ(Le(r, 40, 4), 200000u);
  EXPECT_EQ(Le(r, 44, 4), 32000u);
  EXPECT_EQ(Le(r, 48, 4), 3000u);
  EXPECT_EQ(r[56], 0x43);
  EXPECT_EQ(r[57], 0x81);
  const std::vector<std::uint8_t> reserved = {r[31], r[35], r[52], r[53],
                                              r[54], r[55], r[58], r[59]};
  for (auto v : reserved)
    EXPECT_NE(v, 0);
  EXPECT_EQ(reserved, (std::vector<std::uint8_t>{kReserved31, kReserved35, kReserved52[0],
                                                 kReserved52[1], kReserved52[2], kReserved52[3],
                                                 kReserved58[0], kReserved58[1]}));
  EXPECT_EQ(r, info.recordFile);

  std::string gpx;
  ASSERT_TRUE(orvo::platform::ReadWholeFile(
      dir.File(info.folderName + "/" + info.folderName + ".gpx"), gpx));
  EXPECT_EQ(info.gpxName, info.folderName + ".gpx");
  EXPECT_NE(gpx.find("<gpx version=\"1.1\""), std::string::npos);
  EXPECT_NE(gpx.find("2025-01-01T00:00:02Z"), std::string::npos); // crosses midnight
  EXPECT_NE(gpx.find("</gpx>"), std::string::npos);
  // Catalog-only: no fragment folders.
  EXPECT_FALSE(orvo::platform::FileExists(dir.File(info.folderName + "/DIR00000")));
}

TEST(CardGen, FragmentsPastAHundredGoToTheNextFolder) {
  TempDir dir;
  RecordPlan plan = Small();
  plan.audioRate = 0;
  plan.firstFragment = 95;
  plan.fragmentCount = 10;
  CardWriter writer;
  RecordInfo info;
  std::string error;
  ASSERT_TRUE(writer.WriteRecord(dir.path, plan, info, false, &error)) << error;
  std::vector<std::string> names[2];
  for (int d = 0; d < 2; ++d) {
    for (const auto &e :
         fs::directory_iterator(dir.File(info.folderName + "/DIR0000" + std::to_string(d))))
      names[d].push_back(e.path().filename().string());
    std::sort(names[d].begin(), names[d].end());
  }
  EXPECT_EQ(names[0], (std::vector<std::string>{"F0000095.mp4", "F0000096.mp4", "F0000097.mp4",
                                                "F0000098.mp4", "F0000099.mp4"}));
  EXPECT_EQ(names[1], (std::vector<std::string>{"F0000100.mp4", "F0000101.mp4", "F0000102.mp4",
                                                "F0000103.mp4", "F0000104.mp4"}));
  ASSERT_EQ(info.fragments.size(), 10u);
  EXPECT_EQ(info.fragments[5].path, orvo::test::NativePath("DIR00001/F0000100.mp4"));
  EXPECT_EQ(info.fields.lastFragment, 104u);
}

TEST(CardGen, EachDamageDoesWhatItSays) {
  TempDir dir;
  CardOptions options;
  options.preset = "damaged";
  CardInfo card;
  std::string error;
  ASSERT_TRUE(MakeCard(dir.path, options, card, &error)) << error;
  int seen = 0;
  for (const auto &r : card.records) {
    const std::string folder = dir.File(r.folderName);
    const auto recordFile = ReadBytes(folder + "/record.dat");
    auto fragmentExists = [&](std::size_t i) {
      return fs::is_regular_file(folder + "/" + r.fragments[i].path);
    };
    const bool shouldList =
        r.plan.damage == Damage::None || r.plan.damage == Damage::LongRecordFile ||
        r.plan.damage == Damage::MissingFragment || r.plan.damage == Damage::TruncatedFragment ||
        r.plan.damage == Damage::FileAsFragmentFolder ||
        r.plan.damage == Damage::ForeignFileInFragmentFolder;
    EXPECT_EQ(r.listed, shouldList) << DamageName(r.plan.damage);
    ++seen;
    switch (r.plan.damage) {
    case Damage::None:
      EXPECT_EQ(recordFile.size(), 60u);
      EXPECT_TRUE(fragmentExists(0) && fragmentExists(1) && fragmentExists(2));
      break;
    case Damage::MissingFragment:
      EXPECT_TRUE(fragmentExists(0) && !fragmentExists(1) && fragmentExists(2));
      EXPECT_FALSE(r.fragments[1].present);
      break;
    case Damage::TruncatedFragment: {
      ASSERT_TRUE(r.fragments[1].truncated);
      const auto size = fs::file_size(folder + "/" + r.fragments[1].path);
      EXPECT_EQ(size, r.fragments[1].size);
      EXPECT_LT(size, fs::file_size(folder + "/" + r.fragments[0].path) * 3 / 4);
      if (orvo::test::ExternalChecks()) {
        EXPECT_FALSE(orvo::test::DecodesCleanly(folder + "/" + r.fragments[1].path));
      }
      break;
    }
    case Damage::ShortRecordFile:
      EXPECT_EQ(recordFile.size(), 59u);
      break;
    case Damage::LongRecordFile:
      ASSERT_EQ(recordFile.size(), 64u);
      EXPECT_TRUE(std::equal(recordFile.begin(), recordFile.begin() + 60,
                             EncodeRecordFile(r.fields).begin()));
      break;
    case Damage::RenamedFolder:
      EXPECT_NE(std::stoul(r.folderName.substr(1, 8)), Le(recordFile, 8, 4));
      EXPECT_EQ(r.folderName.substr(9),
                RecordFolderName(r.plan.number, r.plan.year, r.plan.month, r.plan.day, r.plan.hour,
                                 r.plan.minute, r.plan.second)
                    .substr(9));
      break;
    case Damage::ForeignRecordFile:
      ASSERT_EQ(recordFile.size(), 60u);
      EXPECT_NE(std::string(recordFile.begin(), recordFile.begin() + 4), "H264");
      EXPECT_EQ(std::string(recordFile.begin() + 4, recordFile.begin() + 8), "4TFT");
      break;
    case Damage::NonDigitFolderName:
      EXPECT_TRUE(orvo::platform::WildcardMatch("R????????_D??????_T??????", r.folderName));
      EXPECT_NE(r.folderName.substr(1, 8).find_first_not_of("0123456789"), std::string::npos);
      EXPECT_EQ(recordFile.size(), 60u);
      break;
    case Damage::FileAsRecordFolder:
      EXPECT_TRUE(fs::is_regular_file(folder));
      EXPECT_TRUE(orvo::platform::WildcardMatch("R????????_D??????_T??????", r.folderName));
      break;
    case Damage::FileAsFragmentFolder:
      EXPECT_TRUE(fs::is_regular_file(folder + "/DIR00000"));
      EXPECT_FALSE(r.fragments[0].present);
      EXPECT_EQ(r.fragments[1].path, orvo::test::NativePath("DIR00001/F0000100.mp4"));
      EXPECT_TRUE(fragmentExists(1) && fragmentExists(2));
      break;
    case Damage::ForeignFileInFragmentFolder:
      EXPECT_TRUE(fs::is_regular_file(folder + "/DIR00000/Thumbs.db"));
      EXPECT_TRUE(fragmentExists(0) && fragmentExists(1) && fragmentExists(2));
      break;
    }
  }
  EXPECT_EQ(seen, 11);
}

TEST(CardGen, SameOptionsGiveTheSameCard) {
  TempDir a, b;
  CardOptions options;
  options.preset = "damaged";
  options.records = 14; // three repeats with seeded times and marks
  options.seed = 7;
  CardInfo infoA, infoB;
  ASSERT_TRUE(MakeCard(a.path, options, infoA));
  ASSERT_TRUE(MakeCard(b.path, options, infoB));
  EXPECT_EQ(TreeOf(a.path), TreeOf(b.path));
  EXPECT_EQ(infoA.bytes, infoB.bytes);
}

TEST(CardGen, CatalogOnlyCardHasUniqueRecordsAndNoFragments) {
  TempDir dir;
  CardOptions options;
  options.preset = "varied";
  options.catalogOnly = true;
  options.records = 300;
  CardInfo card;
  ASSERT_TRUE(MakeCard(dir.path, options, card));
  ASSERT_EQ(card.records.size(), 300u);
  EXPECT_EQ(card.fragmentFiles, 0u);
  std::vector<std::string> names;
  for (const auto &e : fs::directory_iterator(dir.path)) {
    names.push_back(e.path().filename().string());
    EXPECT_TRUE(fs::is_regular_file(e.path() / "record.dat"));
    EXPECT_FALSE(fs::exists(e.path() / "DIR00000"));
  }
  EXPECT_EQ(names.size(), 300u);
  EXPECT_EQ(card.records.back().fields.recordNumber, 300u);
}

TEST(CardGen, SizedCardReachesItsSizeAndReportsWhatItWrote) {
  TempDir dir;
  CardOptions options;
  options.preset = "damaged";
  options.sizeMiB = 1;
  CardInfo card;
  ASSERT_TRUE(MakeCard(dir.path, options, card));
  EXPECT_GE(card.bytes, 1u << 20);
  std::uint64_t onDisk = 0;
  for (const auto &e : fs::recursive_directory_iterator(dir.path)) {
    const std::string name = e.path().filename().string();
    if (e.is_regular_file() && (name == "record.dat" || name.ends_with(".mp4")))
      onDisk += e.file_size();
  }
  EXPECT_EQ(onDisk, card.bytes);
}

// The generated tracks are what the GPS reader and the alignment must cope
// with: both GPX versions with their own speed, local recorder clocks,
// broken points and a track that starts before the recording.
TEST(CardGen, GpsTracksOfAFewKinds) {
  TempDir dir;
  CardWriter writer;
  int kinds = 0;
  for (const char *preset : {"sample", "varied"}) {
    for (const RecordPlan &plan : PresetRecords(preset)) {
      if (!plan.gps)
        continue;
      RecordInfo info;
      ASSERT_TRUE(writer.WriteRecord(dir.path, plan, info, true));
      const auto track = orvo::gps::ReadGpx(dir.File(info.folderName + "/" + info.gpxName));
      const unsigned seconds = plan.fragmentCount * plan.fragmentSeconds;
      EXPECT_TRUE(track.note.empty()) << track.note;
      ASSERT_EQ(track.fixes.size(), seconds + plan.trackLeadSeconds + 1u) << info.folderName;
      EXPECT_EQ(track.skipped, plan.brokenPoints);
      EXPECT_FALSE(track.fixes[1].speedComputed);
      EXPECT_EQ(track.fixes[0].speed, 0); // a standing start
      const auto a = orvo::gps::AlignTrack(
          track, {2000 + plan.year, plan.month, plan.day, plan.hour, plan.minute, plan.second},
          seconds * 1000, std::nullopt);
      EXPECT_EQ(a.clockOffsetSeconds, plan.clockOffsetMinutes * 60) << info.folderName;
      EXPECT_EQ(a.remainderMs, plan.trackLeadSeconds * 1000);
      kinds += plan.gpxForm == GpxForm::Gpx10 ? 100 : 1;
    }
  }
  EXPECT_GE(kinds, 202); // at least two of each version
}
