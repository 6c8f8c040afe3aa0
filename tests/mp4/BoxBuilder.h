#pragma once

// Small MP4 files assembled box by box, so that each reader test can break
// exactly one thing.

#include <cstdint>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace orvo::test {

using Bytes = std::vector<std::uint8_t>;

inline void Be16(Bytes &b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v >> 8));
  b.push_back(static_cast<std::uint8_t>(v));
}
inline void Be32(Bytes &b, std::uint32_t v) {
  Be16(b, v >> 16);
  Be16(b, v & 0xFFFF);
}
inline std::uint32_t GetBe32(const Bytes &b, std::size_t at) {
  return std::uint32_t{b[at]} << 24 | std::uint32_t{b[at + 1]} << 16 |
         std::uint32_t{b[at + 2]} << 8 | b[at + 3];
}
inline Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes &p : parts)
    out.insert(out.end(), p.begin(), p.end());
  return out;
}
inline Bytes Box(const char *type, const Bytes &payload) {
  Bytes b;
  // Reserving first also keeps GCC 12 at -O3 from a false -Wstringop-overflow
  // on the vector's growth (GCC bug 106199).
  b.reserve(8 + payload.size());
  Be32(b, static_cast<std::uint32_t>(payload.size() + 8));
  b.insert(b.end(), type, type + 4);
  b.insert(b.end(), payload.begin(), payload.end());
  return b;
}
inline Bytes FullBox(const char *type, std::uint32_t versionFlags, const Bytes &body) {
  Bytes p;
  Be32(p, versionFlags);
  p.insert(p.end(), body.begin(), body.end());
  return Box(type, p);
}
inline Bytes Words(std::initializer_list<std::uint32_t> words) {
  Bytes b;
  for (std::uint32_t w : words)
    Be32(b, w);
  return b;
}

inline Bytes Mvhd(std::uint32_t timescale = 1000, std::uint32_t duration = 0) {
  Bytes b = Words({0, 0, timescale, duration});
  b.resize(96, 0);
  return FullBox("mvhd", 0, b);
}
inline Bytes Tkhd(std::uint32_t flags, std::uint16_t width, std::uint16_t height,
                  std::uint16_t volume, std::uint32_t duration = 0) {
  Bytes b(80, 0);
  Bytes w = Words({duration});
  std::memcpy(&b[16], w.data(), 4);
  b[32] = static_cast<std::uint8_t>(volume >> 8);
  b[33] = static_cast<std::uint8_t>(volume);
  w = Words({std::uint32_t{width} << 16, std::uint32_t{height} << 16});
  std::memcpy(&b[72], w.data(), 8);
  return FullBox("tkhd", flags, b);
}
inline Bytes Mdhd(std::uint32_t timescale, std::uint32_t duration = 0,
                  std::uint16_t language = 0x15C7) {
  Bytes b = Words({0, 0, timescale, duration});
  Be16(b, language);
  Be16(b, 0);
  return FullBox("mdhd", 0, b);
}
inline Bytes Hdlr(const char *type, const std::string &name) {
  Bytes b = Words({0});
  b.insert(b.end(), type, type + 4);
  b.resize(20, 0);
  b.insert(b.end(), name.begin(), name.end());
  b.push_back(0);
  return FullBox("hdlr", 0, b);
}
inline Bytes Avc1(std::uint16_t width, std::uint16_t height, const Bytes &children) {
  Bytes b(78, 0);
  b[7] = 1;
  b[24] = static_cast<std::uint8_t>(width >> 8);
  b[25] = static_cast<std::uint8_t>(width);
  b[26] = static_cast<std::uint8_t>(height >> 8);
  b[27] = static_cast<std::uint8_t>(height);
  std::memcpy(&b[42], "Cam", 3);
  b.insert(b.end(), children.begin(), children.end());
  return Box("avc1", b);
}
inline Bytes AvcC(const Bytes &sps, const Bytes &pps) {
  Bytes b = {1, sps.size() > 1 ? sps[1] : std::uint8_t{0x42}, 0, 30, 0xFF, 0xE1};
  Be16(b, static_cast<std::uint32_t>(sps.size()));
  b.insert(b.end(), sps.begin(), sps.end());
  b.push_back(1);
  Be16(b, static_cast<std::uint32_t>(pps.size()));
  b.insert(b.end(), pps.begin(), pps.end());
  return Box("avcC", b);
}
inline Bytes Mp4a(std::uint16_t channels, std::uint16_t bits, std::uint32_t rate,
                  const Bytes &children) {
  Bytes b(16, 0);
  b[7] = 1;
  Be16(b, channels);
  Be16(b, bits);
  Be32(b, 0);
  Be32(b, rate << 16);
  b.insert(b.end(), children.begin(), children.end());
  return Box("mp4a", b);
}
// The short form with one-byte lengths.
inline Bytes Esds(const Bytes &asc) {
  auto d = static_cast<std::uint8_t>(asc.size());
  Bytes b = {0x03, static_cast<std::uint8_t>(d + 23), 0,    2,   0,
             0x04, static_cast<std::uint8_t>(d + 15), 0x40, 0x15};
  b.resize(20, 0);
  b.push_back(0x05);
  b.push_back(d);
  b.insert(b.end(), asc.begin(), asc.end());
  b.insert(b.end(), {0x06, 0x01, 0x02});
  return FullBox("esds", 0, b);
}
inline Bytes Table(const char *type, std::initializer_list<std::uint32_t> words) {
  return FullBox(type, 0, Words(words));
}

// One "trak" from its parts; a test replaces or clears one part.
struct Trak {
  Bytes tkhd, mdhd, hdlr, mediaHeader, stsd, stss, stts, stsz, stsc, stco, extra;
  Bytes Build() const {
    return Box(
        "trak",
        Cat({tkhd,
             Box("mdia",
                 Cat({mdhd, hdlr,
                      Box("minf", Cat({mediaHeader, Box("stbl", Cat({stsd, stss, stts, stsz, stsc,
                                                                     stco, extra}))}))}))}));
  }
};

inline const Bytes kSps = {0x67, 0x42, 0xC0, 0x1E, 0xD9, 0x00};
inline const Bytes kPps = {0x68, 0xCE, 0x3C, 0x80};
inline const Bytes kAsc = {0x14, 0x08};

// Video: three samples of 10, 20 and 30 bytes in one chunk at `offset`,
// the first a key frame, 3600 ticks apart at 90 kHz.
inline Trak VideoTrak(std::uint32_t offset) {
  Trak t;
  t.tkhd = Tkhd(1, 320, 240, 0);
  t.mdhd = Mdhd(90000, 10800);
  t.hdlr = Hdlr("vide", "Video");
  t.mediaHeader = FullBox("vmhd", 1, Bytes(8, 0));
  t.stsd = FullBox("stsd", 0, Cat({Words({1}), Avc1(320, 240, AvcC(kSps, kPps))}));
  t.stss = Table("stss", {1, 1});
  t.stts = Table("stts", {1, 3, 3600});
  t.stsz = Table("stsz", {0, 3, 10, 20, 30});
  t.stsc = Table("stsc", {1, 1, 3, 1});
  t.stco = Table("stco", {1, offset});
  return t;
}

// Audio: two samples of 5 bytes in one chunk at `offset`, 1024 apart at 16 kHz.
inline Trak AudioTrak(std::uint32_t offset) {
  Trak t;
  t.tkhd = Tkhd(1, 0, 0, 0x0100);
  t.mdhd = Mdhd(16000, 2048);
  t.hdlr = Hdlr("soun", "Sound");
  t.mediaHeader = FullBox("smhd", 0, Bytes(4, 0));
  t.stsd = FullBox("stsd", 0, Cat({Words({1}), Mp4a(1, 16, 16000, Esds(kAsc))}));
  t.stts = Table("stts", {1, 2, 1024});
  t.stsz = Table("stsz", {0, 2, 5, 5});
  t.stsc = Table("stsc", {1, 1, 2, 1});
  t.stco = Table("stco", {1, offset});
  return t;
}

// "mdat" first (its header is 8 bytes, so data starts at offset 8): 60 bytes
// of video then 10 of audio, each byte its own offset; then "moov".
constexpr std::uint32_t kVideoData = 8, kAudioData = 68;
inline Bytes Movie(const std::vector<Bytes> &traks, const Bytes &mvhd = Mvhd()) {
  Bytes data(70);
  for (std::size_t i = 0; i < data.size(); ++i)
    data[i] = static_cast<std::uint8_t>(i + 8);
  Bytes moov = mvhd;
  for (const Bytes &t : traks)
    moov.insert(moov.end(), t.begin(), t.end());
  return Cat({Box("mdat", data), Box("moov", moov)});
}

inline bool WriteFile(const std::string &path, const Bytes &bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char *>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}
inline Bytes ReadFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace orvo::test

namespace orvo::test {

struct FoundBox {
  std::string path; // e.g. "moov/trak/mdia/mdhd"
  std::size_t offset;
  std::uint32_t size;
};

// Walks every box of a file written by the writer, descending into the
// boxes it nests. False unless every box fits its parent exactly and the
// top level ends exactly at the end of the file.
inline bool WalkBoxes(const Bytes &b, std::size_t start, std::size_t end, const std::string &prefix,
                      std::vector<FoundBox> &out) {
  static const std::pair<const char *, std::size_t> containers[] = {
      {"moov", 0}, {"trak", 0}, {"mdia", 0}, {"minf", 0},  {"stbl", 0},
      {"dinf", 0}, {"stsd", 8}, {"dref", 8}, {"avc1", 78}, {"mp4a", 28}};
  std::size_t pos = start;
  while (pos < end) {
    if (end - pos < 8)
      return false;
    std::uint32_t size = GetBe32(b, pos);
    if (size < 8 || size > end - pos)
      return false;
    std::string type(b.begin() + static_cast<std::ptrdiff_t>(pos + 4),
                     b.begin() + static_cast<std::ptrdiff_t>(pos + 8));
    out.push_back({prefix + type, pos, size});
    for (const auto &[name, head] : containers) {
      if (type == name &&
          (size < 8 + head || !WalkBoxes(b, pos + 8 + head, pos + size, prefix + type + "/", out)))
        return false;
    }
    pos += size;
  }
  return pos == end;
}

inline std::vector<FoundBox> Boxes(const Bytes &file) {
  std::vector<FoundBox> out;
  if (!WalkBoxes(file, 0, file.size(), "", out))
    out.clear();
  return out;
}
inline std::vector<FoundBox> Named(const std::vector<FoundBox> &boxes, const std::string &path) {
  std::vector<FoundBox> out;
  for (const FoundBox &b : boxes) {
    if (b.path == path)
      out.push_back(b);
  }
  return out;
}
// The 32-bit words of a full box's body after version and flags.
inline std::vector<std::uint32_t> BodyWords(const Bytes &file, const FoundBox &box) {
  std::vector<std::uint32_t> words;
  for (std::size_t at = box.offset + 12; at + 4 <= box.offset + box.size; at += 4)
    words.push_back(GetBe32(file, at));
  return words;
}

} // namespace orvo::test
