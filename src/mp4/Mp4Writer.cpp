// Writing side: "ftyp", one "mdat" that grows chunk by chunk, and the "moov"
// index written at Close once every sample is known. Box sizes are patched in
// place, so sample data is never moved or rewritten.
#include "mp4/Mp4container.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

namespace orvo {

namespace {

struct Owned {
  std::uint8_t *p = nullptr;
  ~Owned() { std::free(p); }
};

constexpr std::uint32_t kMatrix[9] = {0x00010000, 0, 0, 0, 0x00010000, 0, 0, 0, 0x40000000};

void PutMatrix(std::uint8_t *p) {
  for (int i = 0; i < 9; ++i)
    TMP4Container::PutBE32(p + 4 * i, kMatrix[i]);
}

// The longest AudioSpecificConfig whose descriptor lengths still fit the
// one-byte form this writer uses (the ES descriptor length is D + 23 < 0x80).
constexpr std::int32_t kMaxAscSize = 104;

} // namespace

bool TMP4Container::OpenWrite(const std::string &fileName) {
  if (state != kStateClosed)
    return false;
  Reset();
  // Written beside its name and renamed when finished (Close), so that no
  // file under an output name is ever partial and a link standing there is
  // replaced, not written through.
  if (!handle.CreateReplacement(fileName)) {
    KeepError();
    return false;
  }
  std::uint8_t ftyp[28];
  PutBE32(ftyp, 28);
  PutType(ftyp + 4, "ftyp");
  PutType(ftyp + 8, "vqm4");
  PutBE32(ftyp + 12, 0);
  PutType(ftyp + 16, "avc1");
  PutType(ftyp + 20, "mp42");
  PutType(ftyp + 24, "isom");
  if (!WriteBytes(ftyp, sizeof ftyp) || !BeginBox("mdat")) {
    handle.DiscardReplacement();
    boxDepth = 0;
    return false;
  }
  state = kStateWriting;
  return true;
}

bool TMP4Container::OpenLayout() {
  if (state != kStateClosed)
    return false;
  Reset();
  layoutOnly_ = true;
  // The same "ftyp" and "mdat" header a written part starts with, placed
  // only, so that chunks land where they would in a part.
  position = 28;
  if (!BeginBox("mdat"))
    return false;
  state = kStateWriting;
  return true;
}

bool TMP4Container::FinishLayout(std::vector<std::uint8_t> &head,
                                 std::vector<LayoutChunk> &chunks, std::uint64_t &dataBytes) {
  if (state != kStateWriting || !layoutOnly_ || !FlushChunks() || !EndBox())
    return false;
  const std::uint32_t dataStart = 36, dataEnd = position;
  // The "moov" is built twice: first to learn its size, then with every
  // chunk offset moved past it. Its size does not change with the offsets.
  std::uint32_t moovSize = 0;
  for (int pass = 0; pass < 2; ++pass) {
    index_.clear();
    indexStart_ = position = dataEnd;
    indexInMemory_ = true;
    offsetShift_ = moovSize;
    const bool ok = WriteIndex();
    indexInMemory_ = false;
    if (!ok || std::uint64_t{dataEnd} + index_.size() > 0xFFFFFFFFu)
      return false;
    moovSize = static_cast<std::uint32_t>(index_.size());
  }
  position = dataEnd;
  head.assign(28, 0);
  PutBE32(head.data(), 28);
  PutType(head.data() + 4, "ftyp");
  PutType(head.data() + 8, "vqm4");
  PutType(head.data() + 16, "avc1");
  PutType(head.data() + 20, "mp42");
  PutType(head.data() + 24, "isom");
  head.insert(head.end(), index_.begin(), index_.end());
  std::uint8_t mdat[8];
  PutBE32(mdat, dataEnd - dataStart + 8);
  PutType(mdat + 4, "mdat");
  head.insert(head.end(), mdat, mdat + 8);
  chunks.clear();
  for (int t = 0; t < trackCount; ++t) {
    if (sampleCount[t] < 2)
      continue; // not in the index (see WriteIndex)
    std::uint32_t first = 0;
    for (std::uint32_t c = 0; c < chunkCount[t]; ++c) {
      chunks.push_back({t, first, samplesPerChunk[t][c],
                        std::uint64_t{chunkOffsets[t][c]} + moovSize});
      first += samplesPerChunk[t][c];
    }
  }
  std::sort(chunks.begin(), chunks.end(),
            [](const LayoutChunk &a, const LayoutChunk &b) { return a.offset < b.offset; });
  dataBytes = dataEnd - dataStart;
  return true;
}

int TMP4Container::AddTrack(std::int8_t type, const std::string &name, const std::string &lang) {
  if (state != kStateWriting || samplesAdded || trackCount >= kMaxTracks || type < kTrackVideo ||
      type > kTrackMeta || type == kTrackNone)
    return -1;
  const int t = trackCount;
  if (!CreateTables(t))
    return -1;
  if (!pendingSize[t])
    pendingSize[t] =
        static_cast<std::uint32_t *>(std::calloc(kPendingLimit, sizeof(std::uint32_t)));
  if (!pendingSize[t] || (digestsEnabled_ && !layoutOnly_ && !digest_[t].Reset())) {
    ReleasePending(t);
    ReleaseTables(t);
    return -1;
  }
  if (type == kTrackVideo && firstVideoTrack < 0)
    firstVideoTrack = t;
  trackType[t] = type;
  handlerName[t] = name;
  language[t] = lang;
  ++trackCount;
  return t;
}

bool TMP4Container::SetCodecConfig(int track, std::uint8_t type, std::int32_t size,
                                   const std::uint8_t *data) {
  if (state != kStateWriting || track < 0 || track >= trackCount)
    return false;
  const bool hasData = data && size > 0;
  const bool video = trackType[track] == kTrackVideo, audio = trackType[track] == kTrackAudio;
  if (!(type == kCodecNone && (video || audio)) && !(type == kCodecAvc && video) &&
      !(type == kCodecAac && audio))
    return false;
  // A record longer than its fixed head turns into "avcC" or "esds" at Close;
  // one whose lengths do not fit it would give a corrupt box, so it is refused.
  if (hasData && type == kCodecAvc && size > 16) {
    if (size < 24)
      return false;
    std::uint32_t s = GetBE32(data + 16);
    if (s < 4 || s > 0xFFFF || std::uint64_t{s} + 24 > std::uint64_t(size))
      return false;
    std::uint32_t p = GetBE32(data + 20 + s);
    if (p > 0xFFFF || std::uint64_t{s} + p + 24 > std::uint64_t(size))
      return false;
  }
  if (hasData && type == kCodecAac && size > 20 + kMaxAscSize)
    return false;
  std::uint8_t *copy = nullptr;
  if (hasData) {
    copy = static_cast<std::uint8_t *>(std::malloc(static_cast<std::size_t>(size)));
    if (!copy)
      return false;
    std::memcpy(copy, data, static_cast<std::size_t>(size));
  }
  if (type == kCodecAvc) {
    codecName[track] = "AVC Coding";
    trackTimescale[track] = kTimeBase;
    if (hasData && size >= 16) {
      videoWidth[track] = static_cast<std::uint16_t>(GetBE32(data));
      videoHeight[track] = static_cast<std::uint16_t>(GetBE32(data + 4));
    }
  } else if (type == kCodecAac) {
    codecName[track] = "AAC Coding";
    if (hasData && size >= 20) {
      trackTimescale[track] = GetBE32(data + 4);
      audioSampleBits[track] = static_cast<std::uint16_t>(GetBE32(data + 8));
      audioChannels[track] = static_cast<std::uint16_t>(GetBE32(data + 12));
    }
  }
  std::free(codecConfig[track]);
  codecConfig[track] = copy;
  codecConfigSize[track] = hasData ? size : 0;
  codecType[track] = type;
  return true;
}

bool TMP4Container::SetSampleEntry(int track, const std::vector<std::uint8_t> &entry,
                                   std::uint32_t timescale) {
  if (state != kStateWriting || track < 0 || track >= trackCount || sampleCount[track] > 0 ||
      (trackType[track] != kTrackText && trackType[track] != kTrackMeta) || entry.size() < 16 ||
      entry.size() > 0xFFFF || GetBE32(entry.data()) != entry.size() || timescale == 0)
    return false;
  sampleEntry_[track] = entry;
  trackTimescale[track] = timescale;
  return true;
}

bool TMP4Container::SetProvenance(std::vector<std::uint8_t> body) {
  if (state != kStateWriting || body.empty() || body.size() > (64u << 20))
    return false;
  provenance_ = std::move(body);
  return true;
}

bool TMP4Container::SetStartOffset(std::uint32_t ticks) {
  if (state != kStateWriting)
    return false;
  startOffset_ = ticks;
  return true;
}

bool TMP4Container::SetLocation(const std::string &iso6709) {
  if (state != kStateWriting || iso6709.size() > 255)
    return false;
  location_ = iso6709;
  return true;
}

// Where the recording was, in the two forms photo libraries index: the
// QuickTime user data "©xyz" (16-bit length, packed language "und" as
// 0x55C4, the text) and the "mdta" key of the "meta" box.
bool TMP4Container::WriteLocation() {
  if (location_.empty())
    return true;
  const auto n = static_cast<std::uint32_t>(location_.size());
  std::uint8_t head[4];
  PutBE16(head, static_cast<std::uint16_t>(n));
  PutBE16(head + 2, 0x55C4);
  const char xyz[5] = {'\xA9', 'x', 'y', 'z', 0};
  if (!BeginBox("udta") || !BeginBox(xyz) || !WriteBytes(head, 4) ||
      !WriteBytes(location_.data(), n) || !EndBox() || !EndBox())
    return false;
  static constexpr char kKey[] = "com.apple.quicktime.location.ISO6709";
  const auto keyLength = static_cast<std::uint32_t>(sizeof kKey - 1);
  std::uint8_t hdlr[21] = {};
  PutType(hdlr + 4, "mdta");
  std::uint8_t count[4], key[8], data[8];
  PutBE32(count, 1);
  PutBE32(key, 8 + keyLength);
  PutType(key + 4, "mdta");
  PutBE32(data, 1); // UTF-8 text
  PutBE32(data + 4, 0);
  std::uint8_t item[4];
  PutBE32(item, 1); // the first key
  return BeginFullBox("meta", 0, 0) && BeginFullBox("hdlr", 0, 0) && WriteBytes(hdlr, 21) &&
         EndBox() && BeginFullBox("keys", 0, 0) && WriteBytes(count, 4) && WriteBytes(key, 8) &&
         WriteBytes(kKey, keyLength) && EndBox() && BeginBox("ilst") &&
         BeginBox(reinterpret_cast<const char *>(item)) && BeginBox("data") &&
         WriteBytes(data, 8) && WriteBytes(location_.data(), n) && EndBox() && EndBox() &&
         EndBox() && EndBox();
}

bool TMP4Container::WriteSample(int track, const std::uint8_t *data, std::uint32_t size,
                                std::uint32_t timestamp, bool keyFrame) {
  if (state != kStateWriting || track < 0 || track >= trackCount || writeFailed_)
    return false;
  // Bit 31 of a size entry is the key flag.
  if (size & kKeyFlag || (size > 0 && !data && !layoutOnly_))
    return false;
  const std::uint32_t n = sampleCount[track];
  if (!EnsureCapacity(track, n))
    return false;
  if ((track == firstVideoTrack && keyFrame) || flushPending) {
    if (!FlushChunks())
      return false;
  }
  // Refused before anything is written: the data would pass the 32-bit
  // offsets of the index.
  std::uint64_t end = std::uint64_t{position} + size;
  for (int t = 0; t < trackCount; ++t)
    end += pendingBytes[t];
  if (end > 0xFFFFFFFFu)
    return false;
  const std::uint64_t needed = pendingBytes[track] + size;
  if (needed > pendingCapacity[track] && !layoutOnly_) {
    std::uint64_t grown = std::max<std::uint64_t>({needed, pendingCapacity[track] * 2, 1 << 18});
    auto *p = static_cast<std::uint8_t *>(std::realloc(pendingData[track], grown));
    if (!p)
      return false;
    pendingData[track] = p;
    pendingCapacity[track] = grown;
  }
  if (size && !layoutOnly_)
    std::memcpy(pendingData[track] + pendingBytes[track], data, size);
  // Nothing below can fail: the sample is in the file's data from here on,
  // so this is where it joins the digest, while its bytes are at hand.
  if (digestsEnabled_ && !layoutOnly_)
    digest_[track].Update(data, size);
  pendingBytes[track] = needed;
  pendingSize[track][pendingCount[track]] = size;
  if (++pendingCount[track] >= kPendingLimit)
    flushPending = true;
  sampleSizes[track][n] = size | (keyFrame ? kKeyFlag : 0);
  sampleTimes[track][n] = timestamp;
  if (n > 0) {
    const std::uint32_t previous = sampleTimes[track][n - 1];
    // A timestamp that goes backwards is a step of 0 (see "stts"): the track
    // does not get shorter and nothing wraps.
    if (timestamp >= previous) {
      std::uint64_t end = std::uint64_t{timestamp} + (timestamp - previous);
      TrackDuration[track] = end > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(end);
      if (TrackDuration[track] > movieDuration)
        movieDuration = TrackDuration[track];
    }
  }
  sampleCount[track] = n + 1;
  samplesAdded = true;
  return true;
}

bool TMP4Container::FlushChunks() {
  bool ok = true;
  for (int t = 0; t < trackCount; ++t) {
    const std::uint32_t count = pendingCount[t];
    if (count == 0)
      continue;
    const std::uint64_t total = pendingBytes[t];
    if (ok && !writeFailed_ && std::uint64_t{position} + total <= 0xFFFFFFFFu) {
      chunkOffsets[t][chunkCount[t]] = position;
      samplesPerChunk[t][chunkCount[t]] = count;
      if (layoutOnly_ || handle.Write(pendingData[t], static_cast<std::size_t>(total)) ==
          static_cast<std::int64_t>(total)) {
        position += static_cast<std::uint32_t>(total);
        for (int i = 0; i < boxDepth; ++i)
          boxSize[i] += static_cast<std::uint32_t>(total);
        ++chunkCount[t];
        // The part is flushed to the medium before it gets its name; written
        // out as it grows, that flush has little left to wait for.
        if (!layoutOnly_)
          handle.WriteBehind(position);
      } else {
        KeepError();
        ok = false;
      }
    } else {
      ok = false;
    }
    // Samples that did not reach the file leave the tables describing data
    // that is not there: nothing more may be written to this file.
    if (!ok)
      writeFailed_ = true;
    pendingCount[t] = 0;
    pendingBytes[t] = 0;
  }
  flushPending = false;
  return ok;
}

// The index is built in memory and written with one call: no small writes,
// no patching of sizes on the disk.
bool TMP4Container::FinishFile() {
  if (!FlushChunks() || !EndBox())
    return false;
  index_.clear();
  indexStart_ = position;
  indexInMemory_ = true;
  const bool ok = WriteIndex();
  indexInMemory_ = false;
  if (!ok)
    return false;
  if (handle.Write(index_.data(), index_.size()) != static_cast<std::int64_t>(index_.size())) {
    writeFailed_ = true;
    KeepError();
    return false;
  }
  return true;
}

bool TMP4Container::WriteIndex() {
  if (!BeginBox("moov") || !BeginFullBox("mvhd", 0, 0))
    return false;
  std::uint8_t mvhd[96] = {};
  PutBE32(mvhd, creationTime_);
  PutBE32(mvhd + 4, creationTime_);
  PutBE32(mvhd + 8, movieTimescale);
  PutBE32(mvhd + 12, Rescale(movieDuration - std::min(startOffset_, movieDuration), kTimeBase,
                             movieTimescale));
  PutBE32(mvhd + 16, 0x00010000);
  PutBE16(mvhd + 20, 0x0100);
  PutMatrix(mvhd + 32);
  PutBE32(mvhd + 92, 0xFFFFFFFF);
  if (!WriteBytes(mvhd, sizeof mvhd) || !EndBox())
    return false;
  for (int t = 0; t < trackCount; ++t) {
    // A track of one sample has no duration to give "stts"; it stays out of
    // the index and its data, if any, stays unreferenced in "mdat".
    if (sampleCount[t] >= 2 && !WriteTrak(t))
      return false;
  }
  if (!WriteLocation() || (digestsEnabled_ && !layoutOnly_ && !WriteIntegrity()))
    return false;
  if (!provenance_.empty() &&
      (!BeginBox("uuid") || !WriteBytes(kProvenanceUuid, sizeof kProvenanceUuid) ||
       !WriteBytes(provenance_.data(), static_cast<std::uint32_t>(provenance_.size())) || !EndBox()))
    return false;
  return EndBox() && !writeFailed_;
}

bool TMP4Container::HasIndexedTrack() const {
  for (int t = 0; t < trackCount; ++t)
    if (sampleCount[t] >= 2)
      return true;
  return false;
}

bool TMP4Container::SetRecordSource(const std::string &recordFolder, std::uint32_t firstFragment,
                                    const Digest128 &recordDigest) {
  if (state != kStateWriting || recordFolder.size() > kIntegrityMaxName)
    return false;
  integrity_.recordFolder = recordFolder;
  integrity_.recordDigest = recordDigest;
  integrity_.firstFragment = integrity_.lastFragment = firstFragment;
  return true;
}

bool TMP4Container::SetLastFragment(std::uint32_t lastFragment) {
  if (state != kStateWriting)
    return false;
  integrity_.lastFragment = lastFragment;
  return true;
}

bool TMP4Container::SetCreationTime(std::uint32_t secondsSince1904) {
  if (state != kStateWriting)
    return false;
  creationTime_ = secondsSince1904;
  return true;
}

// The last child of "moov" (layout in Integrity.h). It lists the tracks
// that got a "trak", so that every listed track can be found in the file,
// and describes how they play from the "moov" just built, as the test will
// read it.
bool TMP4Container::WriteIntegrity() {
  const std::uint32_t moovPayload = boxStart[boxDepth - 1] + 8;
  const std::uint32_t moovBytes = position - moovPayload;
  if (!indexInMemory_ || moovPayload < indexStart_ ||
      !DescribePlayback(index_.data() + (moovPayload - indexStart_), moovBytes,
                        integrity_.playback)) {
    KeepError();
    return false;
  }
  integrity_.trackCount = 0;
  for (int t = 0; t < trackCount; ++t) {
    if (sampleCount[t] < 2)
      continue;
    IntegrityTrack &entry = integrity_.tracks[integrity_.trackCount++];
    entry.trackId = static_cast<std::uint32_t>(t + 1);
    entry.sampleCount = sampleCount[t];
    entry.digest = digest_[t].Final();
  }
  std::uint8_t body[kIntegrityMaxBody];
  const std::size_t size = EncodeIntegrity(integrity_, body);
  return size > 0 && BeginBox("uuid") && WriteBytes(kIntegrityUuid, sizeof kIntegrityUuid) &&
         WriteBytes(body, static_cast<std::uint32_t>(size)) && EndBox();
}

bool TMP4Container::WriteTrak(int t) {
  const bool video = trackType[t] == kTrackVideo, audio = trackType[t] == kTrackAudio;
  const bool text = trackType[t] == kTrackText;
  // A subtitle track is in the movie but not enabled, so players offer it
  // without showing it; a metadata track is for programs, not for display.
  if (!BeginBox("trak") || !BeginFullBox("tkhd", 0, video || audio ? 1 : 2))
    return false;
  // A track whose first sample comes later than the movie's start (a fix a
  // moment into the part) begins with an empty edit of that length; its
  // media then lasts from the first sample on.
  const std::uint32_t first = sampleTimes[t][0];
  const std::uint32_t media = TrackDuration[t] - std::min(first, TrackDuration[t]);
  // A clip that starts at its in point (startOffset_) rather than at its
  // key frame shows the track from there: the empty stretch before a late
  // first sample shrinks by it, or the media starts that far in.
  const std::uint32_t shown = TrackDuration[t] - std::min(startOffset_, TrackDuration[t]);
  const std::uint32_t empty = first > startOffset_ ? first - startOffset_ : 0;
  const std::uint32_t skipped = startOffset_ > first ? startOffset_ - first : 0;
  std::uint8_t tkhd[80] = {};
  PutBE32(tkhd, creationTime_);
  PutBE32(tkhd + 4, creationTime_);
  PutBE32(tkhd + 8, static_cast<std::uint32_t>(t + 1));
  PutBE32(tkhd + 16, Rescale(shown, kTimeBase, kMovieTimescale));
  PutBE16(tkhd + 32, audio ? 0x0100 : 0);
  PutMatrix(tkhd + 36);
  PutBE32(tkhd + 72, video ? std::uint32_t{videoWidth[t]} << 16 : 0);
  PutBE32(tkhd + 76, video ? std::uint32_t{videoHeight[t]} << 16 : 0);
  if (!WriteBytes(tkhd, sizeof tkhd) || !EndBox())
    return false;
  if (empty > 0 || skipped > 0) {
    std::uint8_t elst[28];
    std::uint32_t entries = 0;
    if (empty > 0) {
      PutBE32(elst + 4, Rescale(empty, kTimeBase, kMovieTimescale));
      PutBE32(elst + 8, 0xFFFFFFFF); // empty
      PutBE32(elst + 12, 0x00010000);
      entries = 1;
    }
    std::uint8_t *edit = elst + 4 + 12 * entries;
    PutBE32(edit, Rescale(media - std::min(skipped, media), kTimeBase, kMovieTimescale));
    PutBE32(edit + 4, Rescale(skipped, kTimeBase, trackTimescale[t]));
    PutBE32(edit + 8, 0x00010000);
    PutBE32(elst, ++entries);
    if (!BeginBox("edts") || !BeginFullBox("elst", 0, 0) ||
        !WriteBytes(elst, 4 + 12 * entries) || !EndBox() || !EndBox())
      return false;
  }

  if (!BeginBox("mdia") || !BeginFullBox("mdhd", 0, 0))
    return false;
  std::uint8_t mdhd[20] = {};
  PutBE32(mdhd, creationTime_);
  PutBE32(mdhd + 4, creationTime_);
  PutBE32(mdhd + 8, trackTimescale[t]);
  PutBE32(mdhd + 12, Rescale(media, kTimeBase, trackTimescale[t]));
  PutBE16(mdhd + 16, PackLanguage(language[t]));
  if (!WriteBytes(mdhd, sizeof mdhd) || !EndBox())
    return false;

  if (!BeginFullBox("hdlr", 0, 0))
    return false;
  const std::string &name = handlerName[t];
  // Bounded so that a name can never push a box size past 32 bits.
  if (name.size() > 0xFFFF)
    return false;
  const auto hdlrSize = static_cast<std::uint32_t>(20 + name.size() + 1);
  Owned hdlr;
  hdlr.p = static_cast<std::uint8_t *>(std::calloc(hdlrSize, 1));
  if (!hdlr.p)
    return false;
  if (video)
    PutType(hdlr.p + 4, "vide");
  else if (audio)
    PutType(hdlr.p + 4, "soun");
  else
    PutType(hdlr.p + 4, text ? "sbtl" : "meta");
  std::memcpy(hdlr.p + 20, name.data(), name.size());
  if (!WriteBytes(hdlr.p, hdlrSize) || !EndBox())
    return false;

  if (!BeginBox("minf"))
    return false;
  if (video || audio) {
    std::uint8_t zero[8] = {};
    if (!BeginFullBox(video ? "vmhd" : "smhd", 0, video ? 1 : 0) ||
        !WriteBytes(zero, video ? 8 : 4) || !EndBox())
      return false;
  } else if (!BeginFullBox("nmhd", 0, 0) || !EndBox()) {
    return false;
  }
  std::uint8_t count1[4];
  PutBE32(count1, 1);
  if (!BeginBox("dinf") || !BeginFullBox("dref", 0, 0) || !WriteBytes(count1, 4) ||
      !BeginFullBox("url ", 0, 1) || !EndBox() || !EndBox() || !EndBox())
    return false;
  if (!BeginBox("stbl") || !WriteStsd(t) || !WriteTables(t) || !EndBox())
    return false;
  return EndBox() && EndBox() && EndBox(); // minf, mdia, trak
}

bool TMP4Container::WriteStsd(int t) {
  const std::uint8_t *record = codecConfig[t];
  const std::uint32_t size = record ? static_cast<std::uint32_t>(codecConfigSize[t]) : 0;
  const bool avc = codecType[t] == kCodecAvc, aac = codecType[t] == kCodecAac;
  // The count says how many sample entries follow.
  const std::vector<std::uint8_t> &given = sampleEntry_[t];
  std::uint8_t count[4];
  PutBE32(count, avc || aac || !given.empty() ? 1 : 0);
  if (!BeginFullBox("stsd", 0, 0) || !WriteBytes(count, 4))
    return false;
  if (!given.empty()) {
    if (!WriteBytes(given.data(), static_cast<std::uint32_t>(given.size())))
      return false;
  } else if (avc) {
    std::uint8_t entry[78] = {};
    PutBE16(entry + 6, 1);
    PutBE16(entry + 24, videoWidth[t]);
    PutBE16(entry + 26, videoHeight[t]);
    PutBE32(entry + 28, 0x00480000);
    PutBE32(entry + 32, 0x00480000);
    PutBE16(entry + 40, 1);
    std::memcpy(entry + 42, codecName[t].data(), std::min<std::size_t>(codecName[t].size(), 31));
    PutBE16(entry + 74, 0x0018);
    PutBE16(entry + 76, 0xFFFF);
    if (!BeginBox("avc1") || !WriteBytes(entry, sizeof entry))
      return false;
    if (size > 16) {
      // Lengths were checked when the record was set.
      const std::uint32_t s = GetBE32(record + 16), p = GetBE32(record + 20 + s);
      const std::uint32_t bodySize = 11 + s + p;
      Owned body;
      body.p = static_cast<std::uint8_t *>(std::malloc(bodySize));
      if (!body.p)
        return false;
      std::uint8_t *b = body.p;
      b[0] = 1;
      b[1] = record[21];
      b[2] = record[22];
      b[3] = record[23];
      b[4] = 0xFF;
      b[5] = 0xE1;
      PutBE16(b + 6, static_cast<std::uint16_t>(s));
      std::memcpy(b + 8, record + 20, s);
      b[8 + s] = 1;
      PutBE16(b + 9 + s, static_cast<std::uint16_t>(p));
      std::memcpy(b + 11 + s, record + 24 + s, p);
      if (!BeginBox("avcC") || !WriteBytes(b, bodySize) || !EndBox())
        return false;
    }
    if (!EndBox())
      return false;
  } else if (aac) {
    std::uint8_t entry[28] = {};
    PutBE16(entry + 6, 1);
    PutBE16(entry + 16, audioChannels[t]);
    PutBE16(entry + 18, audioSampleBits[t]);
    PutBE32(entry + 24, trackTimescale[t] << 16);
    if (!BeginBox("mp4a") || !WriteBytes(entry, sizeof entry))
      return false;
    if (size > 20) {
      const std::uint32_t d = size - 20;
      std::uint8_t b[25 + kMaxAscSize] = {};
      b[0] = 0x03;
      b[1] = static_cast<std::uint8_t>(d + 23);
      PutBE16(b + 2, 0x0002);
      b[5] = 0x04;
      b[6] = static_cast<std::uint8_t>(d + 15);
      b[7] = 0x40;
      b[8] = 0x15;
      b[20] = 0x05;
      b[21] = static_cast<std::uint8_t>(d);
      std::memcpy(b + 22, record + 20, d);
      b[22 + d] = 0x06;
      b[23 + d] = 0x01;
      b[24 + d] = 0x02;
      if (!BeginFullBox("esds", 0, 0) || !WriteBytes(b, 25 + d) || !EndBox())
        return false;
    }
    if (!EndBox())
      return false;
  }
  return EndBox();
}

bool TMP4Container::WriteTables(int t) {
  const std::uint32_t n = sampleCount[t], c = chunkCount[t];
  const std::uint32_t *sizes = sampleSizes[t];
  // The largest table is "stsc" with 12 bytes a chunk, or "stts" with 8 a
  // sample; one buffer serves them all.
  const std::uint64_t largest = 8 + 12 * std::uint64_t{c} + 8 * std::uint64_t{n};
  if (largest > 0xFFFFFFFFu)
    return false;
  Owned buffer;
  buffer.p = static_cast<std::uint8_t *>(std::malloc(static_cast<std::size_t>(largest)));
  if (!buffer.p)
    return false;
  std::uint8_t *b = buffer.p;
  auto emit = [&](const char *type, std::uint32_t bytes) {
    return BeginFullBox(type, 0, 0) && WriteBytes(b, bytes) && EndBox();
  };

  if (trackType[t] == kTrackVideo) {
    std::uint32_t k = 0;
    for (std::uint32_t i = 0; i < n; ++i) {
      if (sizes[i] & kKeyFlag)
        PutBE32(b + 4 + 4 * k++, i + 1);
    }
    PutBE32(b, k);
    if (!emit("stss", 4 + 4 * k))
      return false;
  }

  // Each time is rescaled from its absolute value so rounding never adds up;
  // a step backwards counts as 0.
  std::uint32_t runs = 0, runCount = 0, runDelta = 0;
  std::uint32_t previous = Rescale(sampleTimes[t][0], kTimeBase, trackTimescale[t]);
  for (std::uint32_t i = 1; i < n; ++i) {
    const std::uint32_t now = Rescale(sampleTimes[t][i], kTimeBase, trackTimescale[t]);
    const std::uint32_t delta = now >= previous ? now - previous : 0;
    previous = now;
    if (runCount > 0 && delta == runDelta) {
      ++runCount;
      continue;
    }
    if (runCount > 0) {
      PutBE32(b + 4 + 8 * runs, runCount);
      PutBE32(b + 8 + 8 * runs, runDelta);
      ++runs;
    }
    runCount = 1;
    runDelta = delta;
  }
  PutBE32(b + 4 + 8 * runs, runCount + 1);
  PutBE32(b + 8 + 8 * runs, runDelta);
  ++runs;
  PutBE32(b, runs);
  if (!emit("stts", 4 + 8 * runs))
    return false;

  PutBE32(b, 0);
  PutBE32(b + 4, n);
  for (std::uint32_t i = 0; i < n; ++i)
    PutBE32(b + 8 + 4 * i, sizes[i] & ~kKeyFlag);
  if (!emit("stsz", 8 + 4 * n))
    return false;

  PutBE32(b, c);
  for (std::uint32_t i = 0; i < c; ++i) {
    PutBE32(b + 4 + 12 * i, i + 1);
    PutBE32(b + 8 + 12 * i, samplesPerChunk[t][i]);
    PutBE32(b + 12 + 12 * i, 1);
  }
  if (!emit("stsc", 4 + 12 * c))
    return false;

  PutBE32(b, c);
  for (std::uint32_t i = 0; i < c; ++i)
    PutBE32(b + 4 + 4 * i, chunkOffsets[t][i] + offsetShift_);
  return emit("stco", 4 + 4 * c);
}

} // namespace orvo
