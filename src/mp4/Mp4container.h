#pragma once

#include "mp4/Container.h"
#include "mp4/Integrity.h"
#include "mp4/Provenance.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orvo {

inline constexpr int kBoxStackDepth = 9;
inline constexpr std::uint32_t kTableStep = 65536;
inline constexpr std::uint32_t kPendingLimit = 128;
inline constexpr std::uint32_t kMovieTimescale = 1000;
inline constexpr std::uint32_t kKeyFlag = 0x80000000u;

// Seconds between 1904-01-01 (the epoch of the times in "mvhd", "tkhd" and
// "mdhd") and 1970-01-01.
inline constexpr std::int64_t kSeconds1904To1970 = 2082844800;

// The same moment in seconds since 1970-01-01 UTC, for a file's own times.
constexpr std::int64_t UnixTimeFrom1904(std::uint32_t secondsSince1904) {
  return std::int64_t{secondsSince1904} - kSeconds1904To1970;
}

// Why an open fragment cannot be copied as a whole although it parsed.
enum class FragmentFault {
  None,
  NoTracks,           // no "moov", or one without tracks (a file cut short)
  EmptyTrack,         // a track whose tables yield no samples
  ZeroTimescale,      // a track without a time scale
  TimesNotIncreasing, // sample times that do not rise, or a duration that
                      // does not follow the last sample
  SampleOutsideFile,  // a sample beyond the end of the file
  SampleTooLarge,     // a sample larger than the caller can take
  SampleOutsideData,  // a sample not inside the payload of an "mdat"
  SamplesOverlap,     // two samples share bytes
  EmptySample,        // a video sample of no bytes
  OtherTrack,         // a track neither video nor audio
};

class BoundedReader;

// Reader of the recorder's fragment files and writer of plain MP4 files
// ("ftyp", "mdat", "moov"; H.264 and AAC). One object is either closed,
// reading one file or writing one file.
class TMP4Container : public TContainer {
public:
  TMP4Container();
  ~TMP4Container() override;

  bool OpenWrite(const std::string &fileName) override;
  bool OpenRead(const std::string &fileName) override;
  int AddTrack(std::int8_t type, const std::string &handlerName,
               const std::string &language) override;
  bool GetTrackInfo(int track, std::int8_t &type, std::string &handlerName,
                    std::string &language) override;
  int GetTrackCount() override { return trackCount; }
  std::uint32_t GetSampleCount(int track) override;
  bool WriteSample(int track, const std::uint8_t *data, std::uint32_t size, std::uint32_t timestamp,
                   bool keyFrame) override;
  bool ReadSample(int track, std::uint32_t sample, std::uint8_t *buffer,
                  std::uint32_t capacity) override;
  bool GetSampleInfo(int track, std::uint32_t sample, std::uint32_t &size, std::uint32_t &timestamp,
                     bool &keyFrame) override;
  // A writer finishes its file (flush, "mdat" size, "moov") before closing;
  // whether that worked is kept for LastFinishSucceeded.
  void Close() override;

  // False when the last Close of a writer could not finish its file (a full
  // disk, a write error, a file that would pass 4 GiB): the file is then
  // not there. True after closing a reader and before any Close.
  bool LastFinishSucceeded() const { return lastFinishOk_; }
  // Writer: finishes the file as Close does, but leaves it a temporary held
  // by `finished`, not yet flushed, for the caller to flush
  // (SealReplacement) and put under its name together with others, or to
  // drop. False, leaving nothing behind, when the file could not be
  // finished.
  bool CloseUnflushed(platform::File &finished);
  // Reader: opens a file already open (say a sealed part, through
  // File::DuplicateForReading), taking the handle over.
  bool OpenReadFile(platform::File &&file);
  // A writer's file appears under its name only when Close has finished it;
  // until then it is a temporary beside it. Discard drops it instead.
  void Discard();
  // Writer: whether some track has the two samples that give it a place in
  // the index; a file without one plays nothing.
  bool HasIndexedTrack() const;
  // The system's reason for the last failed open, write or finish; empty
  // when the file opened but its content was not acceptable.
  const std::string &LastErrorText() const { return errorText_; }

  // Reader: whether every track of the open file can be copied as a whole,
  // each sample at most `maxSampleSize` bytes.
  FragmentFault CheckFragment(std::uint32_t maxSampleSize) const;

  // The track's codec configuration record, owned by this object until
  // Close or the next open; nullptr when there is none.
  const std::uint8_t *GetCodecConfig(int track, std::uint8_t &codecType, std::int32_t &size);
  bool SetCodecConfig(int track, std::uint8_t codecType, std::int32_t size,
                      const std::uint8_t *data);
  // Writer: a text or metadata track's sample entry, a whole box ("tx3g",
  // "gpmd", "camm"...), and its time scale; before its first sample.
  bool SetSampleEntry(int track, const std::vector<std::uint8_t> &entry, std::uint32_t timescale);
  // Writer, between OpenWrite and Close: a clip's provenance, written as a
  // box of its own in "moov" (Provenance.h).
  bool SetProvenance(std::vector<std::uint8_t> body);
  // Writer, between OpenWrite and Close: the movie starts `ticks` (90 kHz)
  // into its samples, by an edit list that players honouring one use; the
  // samples before it are decoded, not shown.
  bool SetStartOffset(std::uint32_t ticks);
  // Reader: the clip provenance of the open file, when it has one.
  bool GetProvenance(ClipProvenance &provenance) const;
  // Writer, between OpenWrite and Close: where the recording was, as an ISO
  // 6709 text ("+55.75580+037.61730+150.000/"), for "udta" and "meta".
  bool SetLocation(const std::string &iso6709);
  // Reader: the sample's bytes where they can be had without copying them (a
  // window read ahead), else read into `fallback` (at most `capacity`
  // bytes); valid until the next read. nullptr when it cannot be read.
  const std::uint8_t *PeekSample(int track, std::uint32_t sample, std::uint8_t *fallback,
                                 std::uint32_t capacity);
  // Reader: one window of `bytes` read ahead for all tracks together, for a
  // file read front to back (0: a window per track, the default). Kept until
  // changed; files open afterwards use it too.
  void UseSharedWindow(std::uint32_t bytes);
  // Reader: files of up to `bytes` are read whole with one call when they
  // are opened, their boxes and samples then taken from memory: the short
  // fragments of event records cost one read instead of one per box and
  // chunk. 0 (the default) reads only what is asked for. Kept until changed.
  void ReadSmallFilesWhole(std::uint32_t bytes) { wholeFileLimit_ = bytes; }
  // The next sample in decode-time order over all tracks.
  bool NextSample(int &track, std::uint32_t &sample);
  // The next sample in the order the bytes lie in the file; each track's
  // samples still come in decode order. With the shared window a file is
  // then read in one forward pass, however its tracks' chunks interleave.
  bool NextSampleInFileOrder(int &track, std::uint32_t &sample);

  // Writer, between OpenWrite and Close: the record this part comes from,
  // kept in the integrity data: its folder's name (at most 255 bytes), the
  // first fragment, and the digest that tells this record from another of
  // the same name. The last fragment starts equal to the first and may be
  // set until Close, when it is first known.
  bool SetRecordSource(const std::string &recordFolder, std::uint32_t firstFragment,
                       const Digest128 &recordDigest = {});
  bool SetLastFragment(std::uint32_t lastFragment);
  // Writer, between OpenWrite and Close: creation and modification time of
  // "mvhd", "tkhd" and "mdhd" in seconds since 1904-01-01 00:00 UTC; 0, the
  // format's "unknown", until set.
  bool SetCreationTime(std::uint32_t secondsSince1904);
  // For measuring what the digests cost, and nothing else: without them a
  // written file carries no integrity data. Set between files (ignored while
  // one is being written) and kept from file to file.
  void SetDigestsEnabled(bool enabled) {
    if (state != kStateWriting)
      digestsEnabled_ = enabled;
  }

  // Reader: the integrity data of the file, when it has ours.
  IntegrityStatus GetIntegrity(IntegrityData &data) const;
  // Reader: how the open file plays, from its "moov" read again as a whole
  // (at most kMaxDescribedMovie bytes); false when it cannot be described.
  bool DescribeOpenFile(MoviePlayback &playback);
  static constexpr std::uint32_t kMaxDescribedMovie = 256u << 20;
  // Reader: the track ID from the track's "tkhd"; 0 for a bad index.
  std::uint32_t GetTrackId(int track) const;
  // Reader: whether the file has a "moov" (a fragment without one opens with
  // no tracks).
  bool HasMovie() const { return movieSeen_; }
  // Reader: the size of the open file.
  std::uint32_t GetFileSize() const { return fileSize_; }
  // Reader: where the sample's bytes start in the file; 0 for a bad index.
  std::uint32_t GetSampleOffset(int track, std::uint32_t sample) const;

  // Layout: a writer without a file, for a movie whose sample data stays
  // where it is (in the fragments) and is only placed. Samples are written
  // with their sizes and no bytes (data may be nullptr) and go into chunks
  // exactly as a written part's do; FinishLayout gives the file's head
  // ("ftyp", the "moov" first, the "mdat" header), whose chunk offsets
  // count from the head's start, and where each chunk lies. No integrity
  // data: a layout has no bytes to digest.
  bool OpenLayout();
  bool IsLayout() const { return layoutOnly_; }
  struct LayoutChunk {
    int track;
    std::uint32_t firstSample; // of the track
    std::uint32_t count;
    std::uint64_t offset; // in the laid-out file
  };
  bool FinishLayout(std::vector<std::uint8_t> &head, std::vector<LayoutChunk> &chunks,
                    std::uint64_t &dataBytes);

  // Reader: `n` bytes of a sample from byte `from` on, so that a sample of
  // any size can be streamed through a small buffer.
  bool ReadSamplePart(int track, std::uint32_t sample, std::uint32_t from, std::uint8_t *buffer,
                      std::uint32_t n);

  // Big-endian fields.
  static std::uint16_t GetBE16(const std::uint8_t *p) {
    return static_cast<std::uint16_t>(p[0] << 8 | p[1]);
  }
  static std::uint32_t GetBE32(const std::uint8_t *p) {
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | p[3];
  }
  static void PutBE16(std::uint8_t *p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 8);
    p[1] = static_cast<std::uint8_t>(v);
  }
  static void PutBE32(std::uint8_t *p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 24);
    p[1] = static_cast<std::uint8_t>(v >> 16);
    p[2] = static_cast<std::uint8_t>(v >> 8);
    p[3] = static_cast<std::uint8_t>(v);
  }
  static void PutType(std::uint8_t *p, const char *type);
  static std::uint16_t PackLanguage(const std::string &text);
  static std::string UnpackLanguage(std::uint16_t code);

protected:
  // Primitives.
  bool ReadBytes(void *buffer, std::uint32_t n);
  bool WriteBytes(const void *buffer, std::uint32_t n);
  bool BeginBox(const char *type);
  bool BeginFullBox(const char *type, std::uint8_t version, std::uint32_t flags);
  bool EndBox();
  bool EnsureCapacity(int track, std::uint32_t needed);
  bool ReadCountedString(std::string &target, std::uint32_t n);

  bool CreateTables(int track);
  void ReleaseTables(int track);
  void ReleasePending(int track);
  void ReleaseAll();
  void Reset();

  // Reader.
  bool ParseMovie();
  bool ParseBox(const char *type, std::uint32_t payload, int level, bool &descend);
  bool ReadPayload(std::uint32_t n, std::uint8_t *&buffer);
  bool ParseMvhd(std::uint32_t payload);
  bool ParseTkhd(std::uint32_t payload);
  bool ParseMdhd(std::uint32_t payload);
  bool ParseHdlr(std::uint32_t payload);
  bool ParseAvc1(std::uint32_t payload);
  bool ParseMp4a(std::uint32_t payload);
  bool ParseAvcC(std::uint32_t payload);
  bool ParseEsds(std::uint32_t payload);
  bool ParseTable(const char *type, std::uint32_t payload);
  bool ParseUuid(std::uint32_t payload);
  bool ExpandChunkRuns(int track, std::uint32_t entries, std::uint32_t chunks);
  std::uint32_t DecodeStss(BoundedReader &in, std::uint32_t payload);
  std::uint32_t DecodeStts(BoundedReader &in, std::uint32_t payload);
  std::uint32_t DecodeStsz(BoundedReader &in, std::uint32_t payload);
  std::uint32_t DecodeStsc(BoundedReader &in, std::uint32_t payload);
  std::uint32_t DecodeStco(BoundedReader &in, std::uint32_t payload);
  void CompleteTrack();
  bool StoreRecord(int track, std::uint8_t *record, std::uint32_t size);

  // Writer.
  bool FlushChunks();
  bool FinishFile();
  bool WriteIndex();
  bool WriteBody(const void *data, std::uint32_t n) { return WriteBytes(data, n); }
  bool WriteTrak(int track);
  bool WriteStsd(int track);
  bool WriteTables(int track);
  bool WriteIntegrity();
  bool WriteLocation();

  std::uint32_t boxStart[kBoxStackDepth];
  std::uint32_t boxSize[kBoxStackDepth];
  std::int32_t boxDepth;
  std::uint32_t readCursor[kMaxTracks];
  std::uint32_t sampleCount[kMaxTracks];
  std::uint32_t tableCapacity[kMaxTracks];
  std::uint32_t chunkCount[kMaxTracks];
  std::uint32_t *sampleSizes[kMaxTracks];
  std::uint32_t *sampleTimes[kMaxTracks];
  std::uint32_t *samplesPerChunk[kMaxTracks];
  std::uint32_t *chunkOffsets[kMaxTracks];
  // The pending samples of a track lie back to back in one buffer that keeps
  // its size between flushes, so steady writing allocates nothing.
  std::uint8_t *pendingData[kMaxTracks];
  std::uint32_t *pendingSize[kMaxTracks];
  std::uint64_t pendingBytes[kMaxTracks];
  std::uint64_t pendingCapacity[kMaxTracks];
  std::uint32_t pendingCount[kMaxTracks];
  bool flushPending;
  std::string handlerName[kMaxTracks];
  std::string language[kMaxTracks];
  std::string codecName[kMaxTracks];
  std::uint8_t codecType[kMaxTracks];
  std::uint8_t *codecConfig[kMaxTracks];
  std::int32_t codecConfigSize[kMaxTracks];
  std::int32_t firstVideoTrack;
  bool samplesAdded;
  std::uint32_t movieTimescale;
  std::uint32_t timeBase;

private:
  // Reader: the size of the open file, the track of the "trak" being read
  // (-1 before its "tkhd") and the results of its five sample tables.
  std::uint32_t fileSize_ = 0;
  int currentTrack_ = -1;
  // Reader: per track, a window holding the samples that follow one another
  // in the file (a chunk), read with one call; samples are asked for in
  // time order, so each track walks through its own chunks.
  static constexpr std::uint32_t kReadWindow = 256 * 1024;
  const std::uint8_t *Windowed(int track, std::uint32_t sample, bool &failed);
  bool NextSampleBy(std::uint32_t *const (&key)[kMaxTracks], int &track, std::uint32_t &sample);
  std::vector<std::uint8_t> shared_;
  // Reader: the "moov" read whole, so that parsing its many small boxes
  // costs one read rather than one a field; kept between files. A file of
  // up to wholeFileLimit_ bytes is read whole into it instead (wholeFile_).
  std::vector<std::uint8_t> movie_;
  std::uint32_t movieStart_ = 0, movieBytes_ = 0;
  std::uint32_t wholeFileLimit_ = 0;
  bool wholeFile_ = false;
  std::uint32_t sharedCapacity_ = 0, sharedStart_ = 0, sharedSize_ = 0;
  std::unique_ptr<std::uint8_t[]> window_[kMaxTracks];
  // Reader: the sample offsets are built beside the chunk offsets, then the
  // two swap; the spare is kept for the next file.
  std::uint32_t *spareOffsets_[kMaxTracks];
  std::uint32_t spareCapacity_[kMaxTracks];
  std::uint32_t windowStart_[kMaxTracks] = {};
  std::uint32_t windowSize_[kMaxTracks] = {};
  std::uint32_t trakResult_[5] = {};
  // Writer: the sample entries of text and metadata tracks, and the place.
  std::vector<std::uint8_t> sampleEntry_[kMaxTracks];
  std::string location_;
  std::vector<std::uint8_t> provenance_;
  std::uint32_t startOffset_ = 0;
  // Reader: the provenance box read, when there was one.
  bool provenanceSeen_ = false;
  ClipProvenance readProvenance_;
  // Writer: the index ("moov") is built here and written with one call;
  // its box sizes are patched in memory. Kept between files.
  bool indexInMemory_ = false;
  std::uint32_t indexStart_ = 0;
  std::vector<std::uint8_t> index_;
  // Writer: set by the first failed write; from then on the file pointer and
  // position may disagree, so nothing more is written.
  bool writeFailed_ = false;
  bool lastFinishOk_ = true;
  // Layout: nothing reaches a file; chunk offsets move by the size of the
  // "moov" that comes before the data.
  bool layoutOnly_ = false;
  std::uint32_t offsetShift_ = 0;
  std::string errorText_;
  void KeepError();
  bool FinishWriting();
  void EndState(bool finishedOk);
  bool ParseOpenFile();
  // Writer: each track's digest, fed as samples come in, and the times of
  // the headers. Reader: the track IDs, whether "moov" was seen, and the
  // first-chunk column of the "stsc" of the "trak" being read.
  TSampleDigest digest_[kMaxTracks];
  bool digestsEnabled_ = true;
  std::uint32_t creationTime_ = 0;
  std::uint32_t trackId_[kMaxTracks] = {};
  bool movieSeen_ = false;
  std::unique_ptr<std::uint32_t[]> stscFirst_;
  // Reader: the payloads of the file's "mdat" boxes (the first few), and
  // room to check that no two samples share bytes, kept between files.
  static constexpr int kMaxDataBoxes = 16;
  std::uint32_t dataStart_[kMaxDataBoxes] = {}, dataEnd_[kMaxDataBoxes] = {};
  int dataBoxes_ = 0;
  struct Run {
    std::uint32_t start, end;
  };
  mutable std::vector<Run> runs_;
  // Both: the integrity data written or read.
  IntegrityData integrity_;
  IntegrityStatus integrityStatus_ = IntegrityStatus::Absent;
};

} // namespace orvo
