// Reading side: walks a fragment file's box tree once and turns its sample
// tables into per-sample sizes, times and file offsets. Everything taken from
// the file is bounded by the box that holds it, and every box by its parent
// and the file; counts are checked against the payload before any table grows.
#include "mp4/BoundedReader.h"
#include "mp4/Mp4container.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

namespace orvo {

namespace {

struct Owned {
  std::uint8_t *p = nullptr;
  ~Owned() { std::free(p); }
};

enum Table { kStss, kStts, kStsz, kStsc, kStco };

bool TypeIs(const char *type, const char *name) {
  return std::memcmp(type, name, 4) == 0;
}

// An expandable descriptor length (ISO/IEC 14496-1): up to four bytes of
// seven bits each, the high bit telling that another byte follows.
bool ReadDescriptorLength(BoundedReader &in, std::uint32_t &length) {
  length = 0;
  for (int i = 0; i < 4; ++i) {
    std::uint8_t b = 0;
    if (!in.U8(b))
      return false;
    length = length << 7 | (b & 0x7F);
    if (!(b & 0x80))
      return true;
  }
  return false;
}

// Finds the descriptor `tag` among the descriptors that fill `in`.
bool FindDescriptor(BoundedReader &in, std::uint8_t tag, BoundedReader &body) {
  while (in.Remaining() > 0) {
    std::uint8_t t = 0;
    std::uint32_t length = 0;
    if (!in.U8(t) || !ReadDescriptorLength(in, length) || !in.Sub(length, body))
      return false;
    if (t == tag)
      return true;
  }
  return false;
}

} // namespace

bool TMP4Container::OpenRead(const std::string &fileName) {
  if (state != kStateClosed)
    return false;
  Reset();
  if (!handle.OpenRead(fileName)) {
    KeepError();
    return false;
  }
  return ParseOpenFile();
}

bool TMP4Container::OpenReadFile(platform::File &&file) {
  if (state != kStateClosed || !file.IsOpen())
    return false;
  Reset();
  handle = std::move(file);
  return ParseOpenFile();
}

bool TMP4Container::ParseOpenFile() {
  // Every read names its offset: the file's position is never used.
  const std::int64_t size = handle.Size();
  // Offsets in this format are 32-bit: a larger file cannot be addressed.
  if (size <= 0 || size > 0xFFFFFFFF) {
    handle.Close();
    return false;
  }
  fileSize_ = static_cast<std::uint32_t>(size);
  if (fileSize_ <= wholeFileLimit_) {
    if (movie_.size() < fileSize_)
      movie_.resize(fileSize_);
    // A short read (the file shrank meanwhile) leaves the reading by parts
    // to find what is missing.
    if (handle.ReadAt(movie_.data(), fileSize_, 0) == size) {
      movieBytes_ = fileSize_;
      wholeFile_ = true;
    }
  }
  if (!ParseMovie()) {
    handle.Close();
    ReleaseAll();
    Reset();
    return false;
  }
  position = 0;
  state = kStateReading;
  return true;
}

bool TMP4Container::ParseMovie() {
  boxSize[0] = fileSize_;
  position = 0;
  int level = 1;
  while (level > 0) {
    std::uint8_t header[8];
    if (!ReadBytes(header, 8))
      return false;
    std::uint32_t size = GetBE32(header);
    if (size < 8)
      return false;
    std::uint64_t end = std::uint64_t{position} + size - 8;
    if (end > boxSize[level - 1])
      return false;
    boxSize[level] = static_cast<std::uint32_t>(end);
    char type[4];
    std::memcpy(type, header + 4, 4);
    if (level == 1 && TypeIs(type, "mdat") && dataBoxes_ < kMaxDataBoxes) {
      dataStart_[dataBoxes_] = position;
      dataEnd_[dataBoxes_++] = boxSize[level];
    }
    bool descend = false;
    if (!ParseBox(type, size - 8, level, descend))
      return false;
    if (descend) {
      if (++level >= kBoxStackDepth)
        return false;
    } else {
      position = boxSize[level];
    }
    while (level > 0 && position == boxSize[level - 1]) {
      --level;
      if (level == 2 && currentTrack_ >= 0) {
        CompleteTrack();
        currentTrack_ = -1;
      }
    }
  }
  return true;
}

bool TMP4Container::ParseBox(const char *type, std::uint32_t payload, int level, bool &descend) {
  struct Known {
    const char *type;
    int level;
  };
  static const Known known[] = {
      {"moov", 1}, {"mvhd", 2}, {"trak", 2}, {"tkhd", 3}, {"mdia", 3}, {"mdhd", 4}, {"hdlr", 4},
      {"minf", 4}, {"vmhd", 5}, {"smhd", 5}, {"stbl", 5}, {"stsd", 6}, {"avc1", 7}, {"mp4a", 7},
      {"avcC", 8}, {"esds", 8}, {"stss", 6}, {"stts", 6}, {"stsz", 6}, {"stsc", 6}, {"stco", 6}};
  // Only "moov" is entered at level 1, so a level-2 "uuid" is one of its children.
  if (level == 2 && TypeIs(type, "uuid"))
    return ParseUuid(payload);
  const Known *box = nullptr;
  for (const Known &k : known) {
    if (TypeIs(type, k.type)) {
      box = &k;
      break;
    }
  }
  if (!box)
    return true; // skipped
  if (box->level != level)
    return false;
  if (TypeIs(type, "moov")) {
    movieSeen_ = true;
    // Larger ones (far beyond any part's) are read field by field.
    if (movieBytes_ == 0 && payload <= (16u << 20)) {
      if (movie_.size() < payload)
        movie_.resize(payload);
      if (handle.ReadAt(movie_.data(), payload, position) == static_cast<std::int64_t>(payload)) {
        movieStart_ = position;
        movieBytes_ = payload;
      }
    }
  }
  if (TypeIs(type, "moov") || TypeIs(type, "mdia") || TypeIs(type, "minf") ||
      TypeIs(type, "stbl")) {
    descend = true;
    return true;
  }
  if (TypeIs(type, "trak")) {
    currentTrack_ = -1;
    std::memset(trakResult_, 0, sizeof trakResult_);
    stscFirst_.reset();
    descend = true;
    return true;
  }
  if (TypeIs(type, "mvhd"))
    return ParseMvhd(payload);
  if (TypeIs(type, "tkhd"))
    return ParseTkhd(payload);
  // Everything below describes the track of this "trak": it needs its "tkhd".
  if (currentTrack_ < 0)
    return false;
  const int t = currentTrack_;
  if (TypeIs(type, "mdhd"))
    return ParseMdhd(payload);
  if (TypeIs(type, "hdlr"))
    return ParseHdlr(payload);
  if (TypeIs(type, "vmhd"))
    return payload == 12 && trackType[t] == kTrackVideo;
  if (TypeIs(type, "smhd"))
    return payload == 8 && trackType[t] == kTrackAudio;
  if (TypeIs(type, "stsd")) {
    std::uint8_t head[8];
    if (payload < 8 || !ReadBytes(head, 8))
      return false;
    descend = true;
    return true;
  }
  if (TypeIs(type, "avc1")) {
    descend = true;
    return ParseAvc1(payload);
  }
  if (TypeIs(type, "mp4a")) {
    descend = true;
    return ParseMp4a(payload);
  }
  if (TypeIs(type, "avcC"))
    return ParseAvcC(payload);
  if (TypeIs(type, "esds"))
    return ParseEsds(payload);
  return ParseTable(type, payload);
}

bool TMP4Container::ReadPayload(std::uint32_t n, std::uint8_t *&buffer) {
  // n never exceeds the box, and the box never exceeds the file.
  buffer = static_cast<std::uint8_t *>(std::malloc(n ? n : 1));
  if (!buffer)
    return false;
  if (!ReadBytes(buffer, n)) {
    std::free(buffer);
    buffer = nullptr;
    return false;
  }
  return true;
}

bool TMP4Container::ParseMvhd(std::uint32_t payload) {
  Owned body;
  if (payload != 100 || !ReadPayload(payload, body.p))
    return false;
  movieTimescale = GetBE32(body.p + 12);
  movieDuration = Rescale(GetBE32(body.p + 16), movieTimescale, kTimeBase);
  return true;
}

bool TMP4Container::ParseTkhd(std::uint32_t payload) {
  // One "tkhd" per "trak": a second would mix two tracks' tables.
  if (currentTrack_ >= 0 || payload != 84 || trackCount >= kMaxTracks)
    return false;
  Owned box;
  if (!ReadPayload(payload, box.p))
    return false;
  // Version 0; enabled, in movie, in preview and size-is-aspect-ratio are
  // the only flags. A track that is not enabled (a subtitle offered but not
  // shown) is read like any other.
  std::uint32_t flags = GetBE32(box.p);
  if (flags & ~0xFu)
    return false;
  const std::uint8_t *body = box.p + 4;
  auto width = static_cast<std::uint16_t>(GetBE32(body + 72) >> 16);
  auto height = static_cast<std::uint16_t>(GetBE32(body + 76) >> 16);
  std::uint16_t volume = GetBE16(body + 32);
  const int t = trackCount;
  if (width && height) {
    trackType[t] = kTrackVideo;
    videoWidth[t] = width;
    videoHeight[t] = height;
  } else if (volume) {
    trackType[t] = kTrackAudio;
  } else {
    // Text or metadata; "hdlr" says which.
    trackType[t] = kTrackMeta;
  }
  if (!CreateTables(t)) {
    trackType[t] = kTrackNone;
    return false;
  }
  TrackDuration[t] = Rescale(GetBE32(body + 16), movieTimescale, kTimeBase);
  trackId_[t] = GetBE32(body + 8);
  currentTrack_ = t;
  ++trackCount;
  return true;
}

bool TMP4Container::ParseMdhd(std::uint32_t payload) {
  Owned box;
  if (payload != 24 || !ReadPayload(payload, box.p))
    return false;
  const int t = currentTrack_;
  const std::uint8_t *body = box.p + 4;
  trackTimescale[t] = GetBE32(body + 8);
  TrackDuration[t] = Rescale(GetBE32(body + 12), trackTimescale[t], kTimeBase);
  language[t] = UnpackLanguage(GetBE16(body + 16));
  return true;
}

bool TMP4Container::ParseHdlr(std::uint32_t payload) {
  std::uint8_t head[24];
  if (payload <= 24 || !ReadBytes(head, 24))
    return false;
  const int t = currentTrack_;
  const char *handler = reinterpret_cast<const char *>(head + 8);
  if (trackType[t] == kTrackMeta) {
    if (TypeIs(handler, "sbtl") || TypeIs(handler, "text") || TypeIs(handler, "subt"))
      trackType[t] = kTrackText;
    else if (!TypeIs(handler, "meta"))
      return false;
  } else if (!TypeIs(handler, trackType[t] == kTrackVideo ? "vide" : "soun")) {
    return false;
  }
  return ReadCountedString(handlerName[t], payload - 24);
}

bool TMP4Container::ParseAvc1(std::uint32_t payload) {
  const int t = currentTrack_;
  std::uint8_t head[78];
  if (trackType[t] != kTrackVideo || payload < 78 || !ReadBytes(head, 78))
    return false;
  if (GetBE16(head + 24) != videoWidth[t] || GetBE16(head + 26) != videoHeight[t])
    return false;
  const char *name = reinterpret_cast<const char *>(head + 42);
  codecName[t].assign(name, strnlen(name, 32));
  codecType[t] = kCodecAvc;
  return true;
}

bool TMP4Container::ParseMp4a(std::uint32_t payload) {
  const int t = currentTrack_;
  std::uint8_t head[28];
  if (trackType[t] != kTrackAudio || payload < 28 || !ReadBytes(head, 28))
    return false;
  audioChannels[t] = GetBE16(head + 16);
  audioSampleBits[t] = GetBE16(head + 18);
  trackTimescale[t] = GetBE32(head + 24) >> 16;
  codecType[t] = kCodecAac;
  codecName[t] = "AAC Coding";
  return true;
}

bool TMP4Container::StoreRecord(int track, std::uint8_t *record, std::uint32_t size) {
  std::free(codecConfig[track]);
  codecConfig[track] = record;
  codecConfigSize[track] = static_cast<std::int32_t>(size);
  return true;
}

bool TMP4Container::ParseAvcC(std::uint32_t payload) {
  const int t = currentTrack_;
  Owned box;
  if (trackType[t] != kTrackVideo || payload < 7 || !ReadPayload(payload, box.p))
    return false;
  // Exactly one sequence and one picture parameter set, with lengths that
  // stay inside the box.
  BoundedReader in(box.p, payload);
  std::uint8_t version = 0, profile, compatibility, level, lengthSize, spsCount = 0, ppsCount = 0;
  std::uint16_t s = 0, p = 0;
  const std::uint8_t *sps = nullptr, *pps = nullptr;
  if (!in.U8(version) || version != 1 || !in.U8(profile) || !in.U8(compatibility) ||
      !in.U8(level) || !in.U8(lengthSize) || !in.U8(spsCount) || spsCount != 0xE1 || !in.U16(s) ||
      !in.Bytes(s, sps) || !in.U8(ppsCount) || ppsCount != 1 || !in.U16(p) || !in.Bytes(p, pps))
    return false;
  std::uint32_t size = 24u + s + p;
  auto *record = static_cast<std::uint8_t *>(std::calloc(size, 1));
  if (!record)
    return false;
  PutBE32(record, videoWidth[t]);
  PutBE32(record + 4, videoHeight[t]);
  PutBE32(record + 16, s);
  std::memcpy(record + 20, sps, s);
  PutBE32(record + 20 + s, p);
  std::memcpy(record + 24 + s, pps, p);
  return StoreRecord(t, record, size);
}

// The descriptor chain is read in the short form with one-byte lengths, as
// this program writes it: the AudioSpecificConfig length is the byte at
// offset 21 and its bytes follow. A length byte of 0x80 or more means the
// expandable form (1 to 4 bytes per length, as other muxers write it); the
// chain is then walked descriptor by descriptor (ES, decoder configuration,
// decoder specific information) instead. Either way every length must stay
// inside its enclosing descriptor and the box, or the open fails.
bool TMP4Container::ParseEsds(std::uint32_t payload) {
  const int t = currentTrack_;
  Owned box;
  if (trackType[t] != kTrackAudio || payload < 4 + 25 || !ReadPayload(payload, box.p))
    return false;
  const std::uint8_t *chain = box.p + 4;
  const std::uint32_t n = payload - 4;
  if (chain[0] != 0x03)
    return false;
  const std::uint8_t *asc = nullptr;
  std::uint32_t d = 0;
  if (chain[1] < 0x80 && chain[6] < 0x80 && chain[21] < 0x80) {
    d = chain[21];
    if (22u + d > n)
      return false;
    asc = chain + 22;
  } else {
    BoundedReader in(chain + 1, n - 1);
    BoundedReader es(nullptr, 0), config(nullptr, 0), info(nullptr, 0);
    std::uint32_t esLength = 0;
    std::uint8_t esFlags = 0, urlLength = 0;
    if (!ReadDescriptorLength(in, esLength) || !in.Sub(esLength, es) || !es.Skip(2) ||
        !es.U8(esFlags))
      return false;
    if ((esFlags & 0x80) && !es.Skip(2)) // depends on ES ID
      return false;
    if ((esFlags & 0x40) && (!es.U8(urlLength) || !es.Skip(urlLength)))
      return false;
    if ((esFlags & 0x20) && !es.Skip(2)) // OCR ES ID
      return false;
    if (!FindDescriptor(es, 0x04, config) || !config.Skip(13) ||
        !FindDescriptor(config, 0x05, info))
      return false;
    d = static_cast<std::uint32_t>(info.Remaining());
    if (!info.Bytes(d, asc))
      return false;
  }
  std::uint32_t size = 20 + d;
  auto *record = static_cast<std::uint8_t *>(std::calloc(size, 1));
  if (!record)
    return false;
  PutBE32(record + 4, trackTimescale[t]);
  PutBE32(record + 8, audioSampleBits[t]);
  PutBE32(record + 12, audioChannels[t]);
  std::memcpy(record + 20, asc, d);
  return StoreRecord(t, record, size);
}

// The integrity box (Integrity.h). Any other "uuid" is skipped like every
// unknown box. Damage to ours never fails the open: the file may still play
// and read, and the verdict that it changed belongs to whoever checks it.
bool TMP4Container::ParseUuid(std::uint32_t payload) {
  std::uint8_t uuid[16];
  if (payload < sizeof uuid)
    return true;
  if (!ReadBytes(uuid, sizeof uuid))
    return false;
  if (std::memcmp(uuid, kProvenanceUuid, sizeof uuid) == 0) {
    const std::uint32_t body = payload - sizeof uuid;
    // A second one, or one larger than any written or than the file, says
    // nothing; nothing is allocated for a size the file cannot hold.
    if (provenanceSeen_ || body > (64u << 20) || std::uint64_t{position} + body > fileSize_)
      return true;
    std::vector<std::uint8_t> bytes(body);
    if (!ReadBytes(bytes.data(), body))
      return false;
    provenanceSeen_ = DecodeProvenance(bytes.data(), body, readProvenance_);
    return true;
  }
  if (std::memcmp(uuid, kIntegrityUuid, sizeof uuid) != 0)
    return true;
  const std::uint32_t body = payload - sizeof uuid;
  // A second box, or one larger than any this program writes, is not read.
  if (integrityStatus_ != IntegrityStatus::Absent || body > kIntegrityMaxBody) {
    integrityStatus_ = IntegrityStatus::Malformed;
    return true;
  }
  std::uint8_t bytes[kIntegrityMaxBody];
  if (!ReadBytes(bytes, body))
    return false;
  integrityStatus_ = DecodeIntegrity(bytes, body, integrity_) ? IntegrityStatus::Present
                                                              : IntegrityStatus::Malformed;
  return true;
}

IntegrityStatus TMP4Container::GetIntegrity(IntegrityData &data) const {
  if (state == kStateReading && integrityStatus_ == IntegrityStatus::Present)
    data = integrity_;
  return state == kStateReading ? integrityStatus_ : IntegrityStatus::Absent;
}

bool TMP4Container::DescribeOpenFile(MoviePlayback &playback) {
  if (state != kStateReading)
    return false;
  // The top-level boxes, for the one "moov" (this reader takes no other).
  std::uint64_t at = 0;
  while (at + 8 <= fileSize_) {
    std::uint8_t header[8];
    if (handle.ReadAt(header, 8, at) != 8)
      return false;
    const std::uint32_t size = GetBE32(header);
    if (size < 8 || at + size > fileSize_)
      return false;
    if (TypeIs(reinterpret_cast<const char *>(header + 4), "moov")) {
      const std::uint32_t n = size - 8;
      if (n > kMaxDescribedMovie)
        return false;
      if (movieStart_ == at + 8 && movieBytes_ == n)
        return DescribePlayback(movie_.data(), n, playback);
      auto bytes = std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[n ? n : 1]);
      return bytes && handle.ReadAt(bytes.get(), n, at + 8) == n &&
             DescribePlayback(bytes.get(), n, playback);
    }
    at += size;
  }
  return false;
}

std::uint32_t TMP4Container::GetTrackId(int track) const {
  if (state != kStateReading || track < 0 || track >= trackCount)
    return 0;
  return trackId_[track];
}

bool TMP4Container::ParseTable(const char *type, std::uint32_t payload) {
  Owned box;
  if (payload < 4 || !ReadPayload(payload, box.p))
    return false;
  BoundedReader in(box.p + 4, payload - 4);
  const std::uint32_t n = payload - 4;
  std::uint32_t result = 0;
  int which;
  if (TypeIs(type, "stss")) {
    which = kStss;
    result = DecodeStss(in, n);
  } else if (TypeIs(type, "stts")) {
    which = kStts;
    result = DecodeStts(in, n);
  } else if (TypeIs(type, "stsz")) {
    which = kStsz;
    result = DecodeStsz(in, n);
  } else if (TypeIs(type, "stsc")) {
    which = kStsc;
    result = DecodeStsc(in, n);
  } else {
    which = kStco;
    result = DecodeStco(in, n);
  }
  trakResult_[which] = result;
  return result != 0;
}

std::uint32_t TMP4Container::DecodeStss(BoundedReader &in, std::uint32_t payload) {
  const int t = currentTrack_;
  std::uint32_t n = 0;
  if (!in.U32(n) || std::uint64_t{n} * 4 + 4 != payload || n == 0)
    return 0;
  BoundedReader list = in;
  std::uint32_t last = 0;
  for (std::uint32_t i = 0; i < n; ++i)
    in.U32(last);
  // Every sample has a 4-byte "stsz" entry in this file, so a larger sample
  // number cannot be real; refusing it keeps the tables within the file size.
  if (last == 0 || last > fileSize_ / 4 || !EnsureCapacity(t, last))
    return 0;
  std::uint32_t next = 0, listed = 0;
  list.U32(next);
  for (std::uint32_t i = 0; i < last; ++i) {
    if (listed < n && i + 1 == next) {
      sampleSizes[t][i] |= kKeyFlag;
      if (++listed < n)
        list.U32(next);
    } else {
      sampleSizes[t][i] &= ~kKeyFlag;
    }
  }
  return last;
}

std::uint32_t TMP4Container::DecodeStts(BoundedReader &in, std::uint32_t payload) {
  const int t = currentTrack_;
  std::uint32_t n = 0;
  if (!in.U32(n) || std::uint64_t{n} * 8 + 4 != payload)
    return 0;
  // As in "stss", more samples than the file could index cannot match
  // "stsz": production stops there, leaving a count that matches nothing.
  const std::uint32_t limit = fileSize_ / 4;
  std::uint32_t running = 0, produced = 0;
  for (std::uint32_t i = 0; i < n; ++i) {
    std::uint32_t count = 0, delta = 0;
    in.U32(count);
    in.U32(delta);
    for (std::uint32_t j = 0; j < count; ++j) {
      if (produced >= limit || !EnsureCapacity(t, produced))
        return produced;
      sampleTimes[t][produced++] = Rescale(running, trackTimescale[t], kTimeBase);
      running += delta;
    }
  }
  return produced;
}

std::uint32_t TMP4Container::DecodeStsz(BoundedReader &in, std::uint32_t payload) {
  const int t = currentTrack_;
  std::uint32_t uniform = 0, n = 0;
  if (!in.U32(uniform) || !in.U32(n) || std::uint64_t{n} * 4 + 8 != payload || n == 0 ||
      !EnsureCapacity(t, n))
    return 0;
  for (std::uint32_t i = 0; i < n; ++i) {
    std::uint32_t size = 0;
    in.U32(size);
    sampleSizes[t][i] = (sampleSizes[t][i] & kKeyFlag) | (size & ~kKeyFlag);
  }
  return n;
}

std::uint32_t TMP4Container::DecodeStsc(BoundedReader &in, std::uint32_t payload) {
  const int t = currentTrack_;
  std::uint32_t n = 0;
  if (!in.U32(n) || std::uint64_t{n} * 12 + 4 != payload || n == 0 || !EnsureCapacity(t, n))
    return 0;
  // The first-chunk column matters only when the table has fewer entries
  // than there are chunks (see ExpandChunkRuns); n is bounded by the payload.
  stscFirst_.reset(new (std::nothrow) std::uint32_t[n]);
  if (!stscFirst_)
    return 0;
  for (std::uint32_t i = 0; i < n; ++i) {
    std::uint32_t first = 0, perChunk = 0, description = 0;
    in.U32(first);
    in.U32(perChunk);
    in.U32(description);
    stscFirst_[i] = first;
    samplesPerChunk[t][i] = perChunk;
  }
  return n;
}

// A "stsc" with fewer entries than chunks describes runs of chunks: entry i
// holds from its first chunk (1-based) up to the next entry's first chunk,
// the last entry up to the last chunk. Other muxers write it so; this
// program and the recorder write one entry per chunk. Runs are spread out
// in place, back to front, so that no entry is overwritten before it is
// read. False, leaving the track without samples, unless the first chunks
// start at 1, ascend strictly and stay within the chunk count.
bool TMP4Container::ExpandChunkRuns(int t, std::uint32_t entries, std::uint32_t chunks) {
  if (!stscFirst_ || entries == 0 || entries >= chunks || tableCapacity[t] < chunks ||
      stscFirst_[0] != 1)
    return false;
  for (std::uint32_t i = 1; i < entries; ++i) {
    if (stscFirst_[i] <= stscFirst_[i - 1])
      return false;
  }
  if (stscFirst_[entries - 1] > chunks)
    return false;
  std::uint32_t end = chunks;
  for (std::uint32_t i = entries; i-- > 0;) {
    const std::uint32_t perChunk = samplesPerChunk[t][i];
    // Entry i sits at index i, at or before its first chunk's index.
    for (std::uint32_t c = stscFirst_[i] - 1; c < end; ++c)
      samplesPerChunk[t][c] = perChunk;
    end = stscFirst_[i] - 1;
  }
  return true;
}

std::uint32_t TMP4Container::DecodeStco(BoundedReader &in, std::uint32_t payload) {
  const int t = currentTrack_;
  std::uint32_t n = 0;
  if (!in.U32(n) || std::uint64_t{n} * 4 + 4 != payload || n == 0 || !EnsureCapacity(t, n))
    return 0;
  for (std::uint32_t i = 0; i < n; ++i)
    in.U32(chunkOffsets[t][i]);
  return n;
}

void TMP4Container::CompleteTrack() {
  const int t = currentTrack_;
  const std::uint32_t stss = trakResult_[kStss], stts = trakResult_[kStts],
                      stsz = trakResult_[kStsz], stco = trakResult_[kStco];
  std::uint32_t stsc = trakResult_[kStsc];
  if (stsc < stco && ExpandChunkRuns(t, stsc, stco))
    stsc = stco;
  // Kept tables hold an earlier file's key flags: without "stss" only the
  // chunk starts below are key frames.
  if (stss == 0) {
    for (std::uint32_t i = 0; i < stsz; ++i)
      sampleSizes[t][i] &= ~kKeyFlag;
  }
  if (stts == stsz && stsc == stco) {
    if (spareCapacity_[t] < tableCapacity[t]) {
      auto *grown = static_cast<std::uint32_t *>(
          std::realloc(spareOffsets_[t], tableCapacity[t] * sizeof(std::uint32_t)));
      if (grown) {
        spareOffsets_[t] = grown;
        spareCapacity_[t] = tableCapacity[t];
      }
    }
    std::uint32_t *offsets = spareCapacity_[t] >= tableCapacity[t] ? spareOffsets_[t] : nullptr;
    if (offsets) {
      std::uint32_t total = 0;
      bool tooMany = false;
      for (std::uint32_t c = 0; c < stco && !tooMany; ++c) {
        std::uint64_t offset = chunkOffsets[t][c];
        for (std::uint32_t j = 0; j < samplesPerChunk[t][c]; ++j) {
          if (total >= stsz) {
            tooMany = true;
            break;
          }
          // An offset past 4 GiB lies beyond any file this reader accepts;
          // it is kept as the largest offset so that reading it fails.
          offsets[total] = offset > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(offset);
          if (stss == 0 && j == 0)
            sampleSizes[t][total] |= kKeyFlag;
          offset += sampleSizes[t][total] & ~kKeyFlag;
          ++total;
        }
      }
      if (!tooMany && total == stsz) {
        spareOffsets_[t] = chunkOffsets[t];
        spareCapacity_[t] = tableCapacity[t];
        chunkOffsets[t] = offsets;
        sampleCount[t] = total;
      }
    }
  }
  if (stss != 0 && stss < stsz) {
    for (std::uint32_t i = stss; i < stsz; ++i)
      sampleSizes[t][i] &= ~kKeyFlag;
  }
}

bool TMP4Container::ReadSample(int track, std::uint32_t sample, std::uint8_t *buffer,
                               std::uint32_t capacity) {
  if (state != kStateReading || track < 0 || track >= trackCount || sample >= sampleCount[track])
    return false;
  const std::uint32_t size = sampleSizes[track][sample] & ~kKeyFlag;
  if (size > capacity || (size > 0 && !buffer))
    return false;
  const std::uint8_t *p = PeekSample(track, sample, buffer, capacity);
  if (!p)
    return false;
  if (p != buffer && size > 0)
    std::memcpy(buffer, p, size);
  return true;
}

const std::uint8_t *TMP4Container::PeekSample(int track, std::uint32_t sample,
                                              std::uint8_t *fallback, std::uint32_t capacity) {
  if (state != kStateReading || track < 0 || track >= trackCount || sample >= sampleCount[track])
    return nullptr;
  const std::uint32_t size = sampleSizes[track][sample] & ~kKeyFlag;
  const std::uint32_t offset = chunkOffsets[track][sample];
  if (std::uint64_t{offset} + size > fileSize_)
    return nullptr;
  // An empty sample has nothing to copy, and its caller may pass no buffer.
  static const std::uint8_t kNothing = 0;
  if (size == 0)
    return fallback ? fallback : &kNothing;
  bool failed = false;
  const std::uint8_t *p = Windowed(track, sample, failed);
  if (!p && !failed) {
    if (size > capacity || !fallback)
      return nullptr;
    failed = handle.ReadAt(fallback, size, offset) != static_cast<std::int64_t>(size);
    p = fallback;
  }
  if (failed) {
    errorText_.clear();
    KeepError();
    return nullptr;
  }
  position = offset + size;
  return p;
}

void TMP4Container::UseSharedWindow(std::uint32_t bytes) {
  sharedCapacity_ = bytes;
  sharedStart_ = sharedSize_ = 0;
  if (shared_.size() < bytes)
    shared_.clear();
}

FragmentFault TMP4Container::CheckFragment(std::uint32_t maxSampleSize) const {
  if (state != kStateReading || trackCount <= 0)
    return FragmentFault::NoTracks;
  // A next fragment starts where this one's duration ends; a duration this
  // far past the last sample is not a pause but a damaged header, and would
  // push every later timestamp out of the part's 32-bit range.
  constexpr std::uint32_t kLongestTail = 10 * kTimeBase;
  runs_.clear();
  for (int t = 0; t < trackCount; ++t) {
    const std::uint32_t n = sampleCount[t];
    if (n == 0)
      return FragmentFault::EmptyTrack;
    if (trackTimescale[t] == 0)
      return FragmentFault::ZeroTimescale;
    if (trackType[t] != kTrackVideo && trackType[t] != kTrackAudio)
      return FragmentFault::OtherTrack;
    int box = -1;
    for (std::uint32_t i = 0; i < n; ++i) {
      const std::uint32_t size = sampleSizes[t][i] & ~kKeyFlag;
      const std::uint32_t offset = chunkOffsets[t][i];
      if (size > maxSampleSize)
        return FragmentFault::SampleTooLarge;
      if (std::uint64_t{offset} + size > fileSize_)
        return FragmentFault::SampleOutsideFile;
      if (size == 0 && trackType[t] == kTrackVideo)
        return FragmentFault::EmptySample;
      if (i > 0 && sampleTimes[t][i] <= sampleTimes[t][i - 1])
        return FragmentFault::TimesNotIncreasing;
      // Tables that point at the header, the index or each other's bytes
      // would copy garbage that every player chokes on.
      if (box < 0 || offset < dataStart_[box] || offset + size > dataEnd_[box]) {
        box = -1;
        for (int b = 0; b < dataBoxes_ && box < 0; ++b)
          if (offset >= dataStart_[b] && std::uint64_t{offset} + size <= dataEnd_[b])
            box = b;
        if (box < 0)
          return FragmentFault::SampleOutsideData;
      }
      if (size == 0)
        continue;
      if (!runs_.empty() && runs_.back().end == offset && i > 0)
        runs_.back().end = offset + size;
      else
        runs_.push_back({offset, offset + size});
    }
    const std::uint32_t last = sampleTimes[t][n - 1];
    if (TrackDuration[t] <= last || TrackDuration[t] - last > kLongestTail)
      return FragmentFault::TimesNotIncreasing;
  }
  std::sort(runs_.begin(), runs_.end(),
            [](const Run &a, const Run &b) { return a.start < b.start; });
  for (std::size_t i = 1; i < runs_.size(); ++i)
    if (runs_[i].start < runs_[i - 1].end)
      return FragmentFault::SamplesOverlap;
  return FragmentFault::None;
}

bool TMP4Container::ReadSamplePart(int track, std::uint32_t sample, std::uint32_t from,
                                   std::uint8_t *buffer, std::uint32_t n) {
  if (state != kStateReading || track < 0 || track >= trackCount || sample >= sampleCount[track])
    return false;
  const std::uint32_t size = sampleSizes[track][sample] & ~kKeyFlag;
  const std::uint64_t start = std::uint64_t{chunkOffsets[track][sample]} + from;
  if (std::uint64_t{from} + n > size || start + n > fileSize_ || (n > 0 && !buffer))
    return false;
  return n == 0 || handle.ReadAt(buffer, n, start) == static_cast<std::int64_t>(n);
}

// Where the sample's bytes lie in a window read ahead, or nullptr when it is
// better read alone (or `failed` when the read failed). With the shared
// window, one large read serves every track's samples that follow in the
// file: reading a file front to back then costs a few large reads. Without
// it, each track has a window of the run of its own samples that follow one
// another (a chunk), since a fragment's tracks are asked for in time order.
const std::uint8_t *TMP4Container::Windowed(int track, std::uint32_t sample, bool &failed) {
  const std::uint32_t size = sampleSizes[track][sample] & ~kKeyFlag;
  const std::uint32_t offset = chunkOffsets[track][sample];
  const std::uint64_t end = std::uint64_t{offset} + size;
  if (wholeFile_) // within the file, as PeekSample checked
    return movie_.data() + offset;
  if (sharedCapacity_ > 0) {
    if (offset >= sharedStart_ && end <= std::uint64_t{sharedStart_} + sharedSize_)
      return shared_.data() + (offset - sharedStart_);
    // Backwards, or larger than the window: alone.
    if ((sharedSize_ > 0 && offset < sharedStart_) || size > sharedCapacity_)
      return nullptr;
    if (shared_.size() < sharedCapacity_)
      shared_.resize(sharedCapacity_);
    const auto want =
        static_cast<std::size_t>(std::min<std::uint64_t>(sharedCapacity_, fileSize_ - offset));
    const std::int64_t got = handle.ReadAt(shared_.data(), want, offset);
    sharedStart_ = offset;
    sharedSize_ = got > 0 ? static_cast<std::uint32_t>(got) : 0;
    failed = end > std::uint64_t{sharedStart_} + sharedSize_;
    return failed ? nullptr : shared_.data();
  }
  if (offset < windowStart_[track] ||
      end > std::uint64_t{windowStart_[track]} + windowSize_[track]) {
    // The run of this track's samples that lie back to back from here on.
    std::uint64_t runEnd = end;
    for (std::uint32_t j = sample + 1; j < sampleCount[track]; ++j) {
      const std::uint32_t next = sampleSizes[track][j] & ~kKeyFlag;
      if (chunkOffsets[track][j] != runEnd || runEnd + next - offset > kReadWindow ||
          runEnd + next > fileSize_)
        break;
      runEnd += next;
    }
    if (runEnd == end) // nothing to gain: read the sample alone
      return nullptr;
    if (!window_[track]) {
      window_[track].reset(new (std::nothrow) std::uint8_t[kReadWindow]);
      if (!window_[track])
        return nullptr;
    }
    const std::int64_t got =
        handle.ReadAt(window_[track].get(), static_cast<std::size_t>(runEnd - offset), offset);
    windowStart_[track] = offset;
    windowSize_[track] = got > 0 ? static_cast<std::uint32_t>(got) : 0;
    // A short read is seen here: the sample is not all there.
    if (end > std::uint64_t{windowStart_[track]} + windowSize_[track]) {
      failed = true;
      return nullptr;
    }
  }
  return window_[track].get() + (offset - windowStart_[track]);
}

bool TMP4Container::NextSample(int &track, std::uint32_t &sample) {
  return NextSampleBy(sampleTimes, track, sample);
}

bool TMP4Container::NextSampleInFileOrder(int &track, std::uint32_t &sample) {
  return NextSampleBy(chunkOffsets, track, sample);
}

// The track whose next sample has the smallest key (its time, or where it
// lies) gives the next sample.
bool TMP4Container::NextSampleBy(std::uint32_t *const (&key)[kMaxTracks], int &track,
                                 std::uint32_t &sample) {
  if (state != kStateReading)
    return false;
  int best = -1;
  for (int t = 0; t < trackCount; ++t) {
    if (readCursor[t] >= sampleCount[t])
      continue;
    if (best < 0 || key[t][readCursor[t]] < key[best][readCursor[best]])
      best = t;
  }
  if (best < 0)
    return false;
  track = best;
  sample = readCursor[best]++;
  return true;
}

} // namespace orvo
