#include "mp4/Mp4container.h"

#include "platform/Error.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace orvo {

TMP4Container::TMP4Container()
    : boxDepth(0), flushPending(false), firstVideoTrack(-1), samplesAdded(false),
      movieTimescale(kMovieTimescale), timeBase(kTimeBase) {
  for (int i = 0; i < kBoxStackDepth; ++i)
    boxStart[i] = boxSize[i] = 0;
  for (int t = 0; t < kMaxTracks; ++t) {
    readCursor[t] = sampleCount[t] = tableCapacity[t] = chunkCount[t] = 0;
    sampleSizes[t] = sampleTimes[t] = samplesPerChunk[t] = chunkOffsets[t] = nullptr;
    pendingData[t] = nullptr;
    pendingSize[t] = nullptr;
    pendingCount[t] = 0;
    pendingBytes[t] = pendingCapacity[t] = 0;
    spareOffsets_[t] = nullptr;
    spareCapacity_[t] = 0;
    language[t] = "eng";
    codecType[t] = kCodecNone;
    codecConfig[t] = nullptr;
    codecConfigSize[t] = 0;
  }
  state = kStateClosed;
}

TMP4Container::~TMP4Container() {
  if (state == kStateReading || state == kStateWriting)
    Close();
  state = kStateNotReady;
  ReleaseAll();
  for (int t = 0; t < kMaxTracks; ++t) {
    ReleasePending(t);
    ReleaseTables(t);
    std::free(spareOffsets_[t]);
  }
}

void TMP4Container::Reset() {
  trackCount = 0;
  movieDuration = 0;
  boxDepth = 0;
  position = 0;
  flushPending = false;
  samplesAdded = false;
  firstVideoTrack = -1;
  movieTimescale = kMovieTimescale;
  fileSize_ = 0;
  dataBoxes_ = 0;
  movieStart_ = movieBytes_ = 0;
  wholeFile_ = false;
  currentTrack_ = -1;
  writeFailed_ = false;
  errorText_.clear();
  creationTime_ = 0;
  movieSeen_ = false;
  stscFirst_.reset();
  integrity_ = IntegrityData{};
  location_.clear();
  provenance_.clear();
  startOffset_ = 0;
  provenanceSeen_ = false;
  readProvenance_ = ClipProvenance{};
  indexInMemory_ = false;
  layoutOnly_ = false;
  offsetShift_ = 0;
  integrityStatus_ = IntegrityStatus::Absent;
  for (int t = 0; t < kMaxTracks; ++t) {
    trackId_[t] = 0;
    windowStart_[t] = 0;
    windowSize_[t] = 0;
    sharedStart_ = sharedSize_ = 0;
    trackType[t] = kTrackNone;
    trackTimescale[t] = 1;
    TrackDuration[t] = 0;
    videoWidth[t] = videoHeight[t] = audioChannels[t] = audioSampleBits[t] = 0;
    handlerName[t].clear();
    codecName[t].clear();
    language[t] = "eng";
    codecType[t] = kCodecNone;
    codecConfigSize[t] = 0;
    sampleCount[t] = chunkCount[t] = pendingCount[t] = readCursor[t] = 0;
  }
}

// Tables and buffers stay for the next file: a conversion opens a reader per
// fragment and a writer per part, and allocating, zeroing and faulting in
// their megabytes each time cost more than copying the samples. Only what
// the new file uses is written before it is read.
void TMP4Container::ReleaseAll() {
  for (int t = 0; t < kMaxTracks; ++t) {
    pendingCount[t] = 0;
    pendingBytes[t] = 0;
    sampleCount[t] = 0;
    std::free(codecConfig[t]);
    codecConfig[t] = nullptr;
    codecConfigSize[t] = 0;
    sampleEntry_[t].clear();
  }
}

void TMP4Container::KeepError() {
  if (errorText_.empty())
    errorText_ = platform::LastErrorText();
}

void TMP4Container::Close() {
  if (state != kStateReading && state != kStateWriting)
    return;
  bool ok = true;
  if (state == kStateWriting && layoutOnly_) {
    // nothing was written
  } else if (state == kStateWriting) {
    // Only a finished file may appear under its name: a part cut short by a
    // full disk would look complete and not play.
    ok = FinishWriting() && handle.CommitReplacement();
    if (!ok)
      KeepError();
    handle.DiscardReplacement();
  } else if (!handle.Close()) {
    ok = false;
  }
  EndState(ok);
}

bool TMP4Container::CloseUnflushed(platform::File &finished) {
  if (state != kStateWriting)
    return false;
  const bool ok = FinishWriting();
  if (ok) {
    finished = std::move(handle);
  } else {
    KeepError();
    handle.DiscardReplacement();
  }
  EndState(ok);
  return ok;
}

bool TMP4Container::FinishWriting() {
  bool ok = FinishFile();
  // The file's own time is the recording's, as in its headers, so that
  // media libraries date it right; set after the last write.
  if (ok && creationTime_ != 0 && !handle.SetModificationTime(UnixTimeFrom1904(creationTime_)))
    ok = false;
  return ok;
}

void TMP4Container::EndState(bool finishedOk) {
  lastFinishOk_ = finishedOk;
  ReleaseAll();
  trackCount = 0;
  boxDepth = 0;
  state = kStateClosed;
}

void TMP4Container::Discard() {
  if (state != kStateReading && state != kStateWriting)
    return;
  if (state == kStateWriting)
    handle.DiscardReplacement();
  handle.Close();
  lastFinishOk_ = false;
  ReleaseAll();
  trackCount = 0;
  boxDepth = 0;
  state = kStateClosed;
}

bool TMP4Container::GetTrackInfo(int track, std::int8_t &type, std::string &name,
                                 std::string &lang) {
  if ((state != kStateReading && state != kStateWriting) || track < 0 || track >= trackCount)
    return false;
  type = trackType[track];
  name = handlerName[track];
  lang = language[track];
  return true;
}

std::uint32_t TMP4Container::GetSampleCount(int track) {
  if ((state != kStateReading && state != kStateWriting) || track < 0 || track >= trackCount)
    return 0;
  return sampleCount[track];
}

bool TMP4Container::GetSampleInfo(int track, std::uint32_t sample, std::uint32_t &size,
                                  std::uint32_t &timestamp, bool &keyFrame) {
  if (state != kStateReading || track < 0 || track >= trackCount || sample >= sampleCount[track])
    return false;
  size = sampleSizes[track][sample] & ~kKeyFlag;
  keyFrame = (sampleSizes[track][sample] & kKeyFlag) != 0;
  timestamp = sampleTimes[track][sample];
  return true;
}

bool TMP4Container::GetProvenance(ClipProvenance &provenance) const {
  if (state != kStateReading || !provenanceSeen_)
    return false;
  provenance = readProvenance_;
  return true;
}

std::uint32_t TMP4Container::GetSampleOffset(int track, std::uint32_t sample) const {
  if (state != kStateReading || track < 0 || track >= trackCount || sample >= sampleCount[track])
    return 0;
  return chunkOffsets[track][sample]; // per sample once the tables are read
}

const std::uint8_t *TMP4Container::GetCodecConfig(int track, std::uint8_t &type,
                                                  std::int32_t &size) {
  if (track < 0 || track >= trackCount || !codecConfig[track])
    return nullptr;
  type = codecType[track];
  size = codecConfigSize[track];
  return codecConfig[track];
}

// Primitives.

bool TMP4Container::ReadBytes(void *buffer, std::uint32_t n) {
  if (static_cast<std::uint64_t>(position) + n > 0xFFFFFFFFu)
    return false;
  if (position >= movieStart_ && std::uint64_t{position} + n <= movieStart_ + movieBytes_) {
    std::memcpy(buffer, movie_.data() + (position - movieStart_), n);
  } else if (handle.ReadAt(buffer, n, position) != static_cast<std::int64_t>(n)) {
    return false;
  }
  position += n;
  return true;
}

bool TMP4Container::WriteBytes(const void *buffer, std::uint32_t n) {
  // Offsets and box sizes are 32-bit; a file that would pass 4 GiB - 1 is
  // refused rather than written with sizes that wrap.
  if (writeFailed_ || static_cast<std::uint64_t>(position) + n > 0xFFFFFFFFu)
    return false;
  if (indexInMemory_) {
    const auto *bytes = static_cast<const std::uint8_t *>(buffer);
    index_.insert(index_.end(), bytes, bytes + n);
  } else if (layoutOnly_) {
    // placed, not written
  } else if (handle.Write(buffer, n) != static_cast<std::int64_t>(n)) {
    writeFailed_ = true;
    KeepError();
    return false;
  }
  position += n;
  for (int i = 0; i < boxDepth; ++i)
    boxSize[i] += n;
  return true;
}

bool TMP4Container::BeginBox(const char *type) {
  if (boxDepth >= kBoxStackDepth)
    return false;
  boxStart[boxDepth] = position;
  boxSize[boxDepth] = 0;
  ++boxDepth;
  std::uint8_t header[8];
  PutBE32(header, 0);
  PutType(header + 4, type);
  return WriteBytes(header, 8);
}

bool TMP4Container::BeginFullBox(const char *type, std::uint8_t version, std::uint32_t flags) {
  if (boxDepth >= kBoxStackDepth)
    return false;
  boxStart[boxDepth] = position;
  boxSize[boxDepth] = 0;
  ++boxDepth;
  std::uint8_t header[12];
  PutBE32(header, 0);
  PutType(header + 4, type);
  PutBE32(header + 8, static_cast<std::uint32_t>(version) << 24 | (flags & 0xFFFFFF));
  return WriteBytes(header, 12);
}

bool TMP4Container::EndBox() {
  if (boxDepth == 0)
    return false;
  --boxDepth;
  if (writeFailed_)
    return false;
  // Patched in place without moving the file pointer, which stays at the end.
  std::uint8_t size[4];
  PutBE32(size, boxSize[boxDepth]);
  if (indexInMemory_ && boxStart[boxDepth] >= indexStart_) {
    std::memcpy(index_.data() + (boxStart[boxDepth] - indexStart_), size, 4);
    return true;
  }
  if (layoutOnly_)
    return true;
  if (handle.WriteAt(size, 4, boxStart[boxDepth]) != 4) {
    writeFailed_ = true;
    KeepError();
    return false;
  }
  return true;
}

bool TMP4Container::CreateTables(int track) {
  if (sampleSizes[track] && sampleTimes[track] && samplesPerChunk[track] && chunkOffsets[track])
    return true; // kept from an earlier file
  std::uint32_t **tables[4] = {&sampleSizes[track], &sampleTimes[track], &samplesPerChunk[track],
                               &chunkOffsets[track]};
  for (auto *table : tables) {
    *table = static_cast<std::uint32_t *>(std::calloc(kTableStep, sizeof(std::uint32_t)));
    if (!*table) {
      ReleaseTables(track);
      return false;
    }
  }
  tableCapacity[track] = kTableStep;
  return true;
}

void TMP4Container::ReleaseTables(int track) {
  std::uint32_t **tables[4] = {&sampleSizes[track], &sampleTimes[track], &samplesPerChunk[track],
                               &chunkOffsets[track]};
  for (auto *table : tables) {
    std::free(*table);
    *table = nullptr;
  }
  tableCapacity[track] = 0;
}

void TMP4Container::ReleasePending(int track) {
  std::free(pendingData[track]);
  std::free(pendingSize[track]);
  pendingData[track] = nullptr;
  pendingSize[track] = nullptr;
  pendingCount[track] = 0;
  pendingBytes[track] = pendingCapacity[track] = 0;
}

bool TMP4Container::EnsureCapacity(int track, std::uint32_t needed) {
  std::uint32_t capacity = tableCapacity[track];
  if (capacity > needed)
    return true;
  std::uint64_t grown = needed - capacity < kTableStep ? std::uint64_t{capacity} + kTableStep
                                                       : std::uint64_t{needed} + 1;
  // Entries are addressed with 32-bit indices and sizes.
  if (grown > 0x3FFFFFFFu)
    return false;
  auto newCapacity = static_cast<std::uint32_t>(grown);
  std::uint32_t **tables[4] = {&sampleSizes[track], &sampleTimes[track], &samplesPerChunk[track],
                               &chunkOffsets[track]};
  for (auto *table : tables) {
    auto *p =
        static_cast<std::uint32_t *>(std::realloc(*table, newCapacity * sizeof(std::uint32_t)));
    if (!p)
      return false;
    std::memset(p + capacity, 0, (newCapacity - capacity) * sizeof(std::uint32_t));
    *table = p;
  }
  tableCapacity[track] = newCapacity;
  return true;
}

bool TMP4Container::ReadCountedString(std::string &target, std::uint32_t n) {
  if (n == 0)
    return false;
  auto *buffer = static_cast<char *>(std::malloc(n));
  if (!buffer)
    return false;
  bool ok = ReadBytes(buffer, n);
  if (ok) {
    buffer[n - 1] = 0;
    target.assign(buffer);
  }
  std::free(buffer);
  return ok;
}

void TMP4Container::PutType(std::uint8_t *p, const char *type) {
  std::memcpy(p, type, 4);
}

std::uint16_t TMP4Container::PackLanguage(const std::string &text) {
  if (text.size() < 3)
    return 0;
  std::uint16_t code = 0;
  for (int i = 0; i < 3; ++i) {
    char c = text[static_cast<std::size_t>(i)];
    if (c < 'a' || c > 'z')
      return 0;
    code = static_cast<std::uint16_t>(code * 32 + (c - 0x60));
  }
  return code;
}

std::string TMP4Container::UnpackLanguage(std::uint16_t code) {
  if (code == 0)
    return {};
  char text[4];
  std::snprintf(text, sizeof text, "%c%c%c", ((code >> 10) & 31) + 0x60, ((code >> 5) & 31) + 0x60,
                (code & 31) + 0x60);
  return text;
}

} // namespace orvo
