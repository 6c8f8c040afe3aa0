#pragma once

#include "engine/Outcome.h"
#include "engine/OutputSet.h"
#include "engine/PartJoin.h"
#include "engine/RecordEntry.h"
#include "gps/Alignment.h"
#include "gps/GpsTrack.h"
#include "settings/ProgramSettings.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace orvo {

class TMP4Container;
class TFinisher;

// The storage engine: the record catalog of one card (or a copy of one) and
// the jobs that work on it. Jobs and setters run on the worker thread; the
// accessors, SetChecked, GetProgress and RequestCancel on the window thread.
// `Busy` is the only guard between them: every record accessor refuses while
// a job runs.
class TStorageX4TFT {
public:
  static constexpr std::uint32_t kCatalogStep = 2048;
  static constexpr std::int32_t kSampleBufferBytes = 0x300000;
  static constexpr std::uint32_t kDefaultMaxOutputLength = 0x76C00000; // 1900 MiB

  TStorageX4TFT();
  ~TStorageX4TFT();
  TStorageX4TFT(const TStorageX4TFT &) = delete;
  TStorageX4TFT &operator=(const TStorageX4TFT &) = delete;

  // Jobs. Each returns true at once, doing nothing, when a job is running.
  bool ScanRecords();
  bool ConvertChecked();
  bool DeleteChecked();
  void RequestCancel() { CancelRequested = true; }
  // A cancel applies to the next job to run (or the running one) until this
  // is called, and each job forgets it when it ends. The worker resets it
  // when a job is requested, so that a cancel pressed in the moment before
  // the worker picks the job up is not lost.
  void ResetCancel() { CancelRequested = false; }

  void SetInputFolder(const std::string &folder) { InputFolder = folder; }
  void SetOutputFolder(const std::string &folder) { OutputFolder = folder; }
  void SetNameMask(const std::string &mask) { NameMask = mask; }
  void SetMaxOutputLength(std::uint32_t bytes) { MaxOutputLength = bytes; }
  // Read every part back from the disk and check its digests before the
  // record is marked.
  void SetVerifyOutputs(bool verify) { VerifyOutputs = verify; }
  // Where a record's GPS track goes: inside the parts, beside them, both.
  void SetGpsPlacement(GpsPlacement placement) { Gps = placement; }
  // The catalog indices in the order the records are to be converted (the
  // order the user sees them listed); checked records it leaves out follow
  // in catalog order. Empty: catalog order.
  void SetConvertOrder(std::vector<std::uint32_t> order) { ConvertOrder = std::move(order); }
  // Benchmarks only: parts without integrity data, to time what it costs.
  void SetDigestsEnabledForBenchmark(bool enabled);

  // The folder the catalog was scanned from. Conversion and deletion work
  // there only, whatever the input folder says by the time they run.
  const std::string &GetCatalogFolder() const { return CatalogFolder; }
  // What became of a record in the last conversion; false for a bad index
  // or while busy.
  bool GetOutcome(std::uint32_t index, RecordOutcome &outcome) const;
  // The last conversion was stopped by RequestCancel.
  bool WasCancelled() const { return Cancelled; }

  std::uint32_t GetRecordCount() const { return Count; }
  void GetProgress(std::int32_t &done, std::int32_t &total) const;
  // What a running conversion has done, readable while it runs: bytes of
  // fragment files dealt with of all there are, the catalog index of the
  // record being converted (-1 when none), and how many records have ended.
  struct LiveProgress {
    std::int64_t bytesDone = 0;
    std::int64_t bytesTotal = 0;
    std::int64_t currentRecord = -1;
    std::uint32_t finished = 0;
  };
  LiveProgress GetLiveProgress() const;
  // The `k`-th record to end in the running (or last) conversion, for k
  // below LiveProgress::finished; readable while the conversion runs.
  bool GetFinishedOutcome(std::uint32_t k, std::uint32_t &index, RecordOutcome &outcome) const;
  bool IsBusy() const { return Busy; }

  bool GetRecordDate(std::uint32_t index, int &day, int &month, int &year) const;
  bool GetRecordTime(std::uint32_t index, int &hour, int &minute, int &second) const;
  bool GetRecordLength(std::uint32_t index, std::uint32_t &hours, int &minutes, int &seconds) const;
  bool GetRecordLengthMs(std::uint32_t index, std::uint32_t &ms) const;
  bool GetRecordMode(std::uint32_t index, int &mode) const;
  bool GetFrameSize(std::uint32_t index, int &width, int &height) const;
  bool GetFps(std::uint32_t index, std::uint32_t &fps) const;
  bool GetBitrates(std::uint32_t index, std::uint32_t &audioKbps, std::uint32_t &videoKbps) const;
  bool GetMarks(std::uint32_t index, bool &checked, bool &converted) const;
  bool SetChecked(std::uint32_t index, bool checked);

  // Record folders of the last scan whose record file could not be used, in
  // the order the scan met them: the folder's name and why (the system's
  // text or a reason of the scan's own). They are no part of the catalog and
  // no job touches them. The count is 0 and the entries refused while busy.
  struct UnreadableRecord {
    std::string folder;
    std::string reason; // the system's text, when reasonTextId is 0
    int reasonTextId = 0;
  };
  std::uint32_t GetUnreadableCount() const;
  bool GetUnreadable(std::uint32_t index, UnreadableRecord &record) const;

  // What the last scan learnt of each record's GPS track: its start in UTC
  // and the recorder's clock offset where the track places it, and its
  // points. False for a bad index, while busy, or without a track file.
  struct TrackSummary {
    bool aligned = false;
    std::int64_t utcStartMs = 0;
    std::int64_t clockOffsetSeconds = 0;
    std::size_t points = 0;
  };
  bool GetTrackSummary(std::uint32_t index, TrackSummary &summary) const;

  // Catalog folder + record folder name + separator; empty for a bad index.
  std::string RecordFolderPath(std::uint32_t index) const;
  // The record folder's name alone ("R00000012_D210315_T083000").
  std::string RecordFolderName(std::uint32_t index) const;
  // Record folder name + ".gpx"; empty for a bad index.
  std::string GpsFileName(std::uint32_t index) const;
  // The name mask expanded for a record, made safe as one file name, with
  // "_P<part>.mp4" appended; the mask unchanged for a bad index. Within one
  // conversion a record whose name an earlier record took gets a suffix
  // (see RecordOutcome::parts for the names written).
  std::string OutputFileName(std::uint32_t index, std::uint32_t part) const;
  // A name mask expanded for an entry, made safe as one file name.
  static std::string ExpandMask(const std::string &mask, const RecordEntry &e);

  // The record's GPS track and its place on the recorder's clock (through
  // the card's configured zone where the track alone cannot tell); false for
  // a bad index, while busy, or when the record has no track file.
  bool GetRecordTrack(std::uint32_t index, gps::GpsTrack &track,
                      gps::TrackAlignment &alignment) const;

  // What playing a record from the card needs, taken while no job runs, so
  // that the record can be laid out and its track read on another thread
  // (LoadTrack) without the catalog. False for a bad index or while busy.
  struct PlaySource {
    std::string folder; // with a separator
    RecordEntry entry{};
    std::string gpxPath; // empty: the record has no track
    std::optional<std::int64_t> cardClock;
    std::string recordFolderName;
    std::string nameMask;
    std::string cardFolder; // the folder the catalog was read from
  };
  bool GetPlaySource(std::uint32_t index, PlaySource &source) const;
  // The source's GPS track, placed on the recorder's clock; false without
  // a track file.
  static bool LoadTrack(const PlaySource &source, gps::GpsTrack &track,
                        gps::TrackAlignment &alignment);

  // The raw catalog entry, for tests and tools; false for a bad index or
  // while busy.
  bool GetEntry(std::uint32_t index, RecordEntry &entry) const;

  static constexpr const char *RecordFolderFormat = "R%08d_D%02d%02d%02d_T%02d%02d%02d";
  // Fragment n lies in folder n / 100.
  static constexpr const char *FragmentFolderFormat = "DIR%05u";
  static constexpr const char *RecordFolderPattern = "R????????_D??????_T??????";
  static constexpr const char *FragmentFileFormat = "F%07u.mp4";
  static constexpr const char *RecordFileName = "record.dat";
  // "DIR%05d" followed by the native separator.
  static std::string FragmentFolderName(std::uint32_t fragment);
  static std::string FragmentFileName(std::uint32_t fragment);

  // A fragment file found on the card.
  struct Fragment {
    std::uint32_t number;
    std::string path;
    std::uint64_t size = 0; // when listed, for the progress only
  };
  // The fragments of the range first..last that exist below a record folder,
  // in number order, found by listing each fragment folder once (the range
  // itself may be absurdly large); `missing` counts the others, the first of
  // them being `firstMissing`.
  static void ListFragments(const std::string &recordFolder, std::uint32_t first,
                            std::uint32_t last, std::vector<Fragment> &found,
                            std::uint64_t &missing, std::uint32_t &firstMissing);

private:
  const RecordEntry *EntryAt(std::uint32_t index) const;
  bool GrowCatalog(std::uint32_t newCapacity);
  std::string FolderName(const RecordEntry &e) const;
  std::string BaseName(const RecordEntry &e) const;

  // What finishing a record's parts needs: shared by the worker, which
  // copies the samples, and the finisher, which flushes, reads back,
  // renames and marks (Convert.cpp). Only `failed` is read by both while
  // they run; the rest is the finisher's once the worker posted it.
  struct RecordTail {
    std::uint32_t index = 0;
    std::string base; // output name before "_P<part>.mp4"
    // Parts finished, waiting to be put under their names together.
    std::vector<StagedPart> staged;
    // Problems of finishing a part, with the record's problem count when
    // the part was closed: they go there among the record's problems.
    std::vector<std::pair<std::uint64_t, ConvertProblem>> problems;
    bool interrupted = false; // a cancel stopped a part's reading back
    // A part could not be flushed or did not read back: the record ends.
    std::atomic<bool> failed{false};
  };
  // Conversion of one record (Convert.cpp).
  struct RecordJob {
    std::uint32_t index = 0;
    std::uint32_t part = 0;
    bool partOpen = false;
    // Media time of the record before the fragment being copied (90 kHz):
    // the moment a new part begins, for the times in its headers.
    std::uint64_t elapsed = 0;
    TPartJoin join; // the open part's tracks and times
    std::shared_ptr<RecordTail> tail;
    // The record's GPS track, placed on the recorder's clock, and the
    // writer's tracks that carry it in the open part (-1: none).
    gps::GpsTrack track;
    gps::TrackAlignment alignment;
    bool embedGps = false;
    int gpsTracks[3] = {-1, -1, -1};
    std::uint64_t partStart = 0; // media time of the open part's start
    RecordOutcome outcome;
  };
  enum class FragmentResult { Copied, Failed, RecordEnds };
  enum class CopyResult { Copied, ReadFailed, WriteFailed };
  void ConvertRecord(std::uint32_t index, const std::vector<Fragment> &fragments,
                     std::uint64_t missing, std::uint32_t firstMissing);
  FragmentResult CopyFragment(RecordJob &job, const Fragment &fragment);
  static std::string PartName(const RecordJob &job, std::uint32_t part);
  bool OpenPart(RecordJob &job, const std::string &fragmentPath, std::uint32_t fragmentNumber,
                bool &outputFailed);
  bool ClosePart(RecordJob &job);
  // On the finisher, in the order posted.
  void FinishPart(RecordTail &tail, StagedPart &part, std::uint64_t at);
  bool VerifyPart(RecordTail &tail, const StagedPart &part, std::uint64_t at);
  void FinishRecord(RecordTail &tail, RecordOutcome outcome, bool interrupted);
  bool PublishParts(RecordTail &tail, RecordOutcome &outcome, TOutputFolder &out, bool complete);
  bool CopyGps(RecordTail &tail, RecordOutcome &outcome, const std::string &folder);
  void PublishOutcome(std::uint32_t index, RecordOutcome outcome);
  bool CheckRecordNumbers(RecordJob &job, const std::string &folder);
  void ReadTrack(RecordJob &job, const std::string &folder);
  void SummariseTracks();
  void AddGpsTracks(RecordJob &job);
  void WriteGpsSamples(RecordJob &job);
  std::int64_t ClockOffsetSeconds(const RecordJob &job) const;
  static bool SameContent(const std::string &a, const std::string &b);
  static bool SameFile(const std::string &a, const std::string &b);
  CopyResult CopySamples(RecordJob &job, const std::string &fragmentPath);
  bool WriteMark(const std::string &folder, const RecordEntry &entry, ConvertProblem &problem);
  static void AddProblem(RecordOutcome &outcome, ConvertProblem problem);

  std::atomic<bool> Busy{false};
  std::atomic<bool> CancelRequested{false};
  std::unique_ptr<TMP4Container> Reader;
  std::unique_ptr<TMP4Container> Writer;
  std::unique_ptr<RecordEntry[]> Entries;
  std::atomic<std::uint32_t> Count{0};
  std::int32_t Capacity = 0;
  std::string InputFolder;
  std::string CatalogFolder;
  std::vector<RecordOutcome> Outcomes;
  std::vector<UnreadableRecord> Unreadable;
  std::atomic<bool> Cancelled{false};
  // Published by the worker in this order: the outcome, its index in
  // FinishedOrder, then FinishedCount (release), so that a reader who has
  // seen the count (acquire) may read both.
  std::vector<std::uint32_t> FinishedOrder;
  std::atomic<std::uint32_t> FinishedCount{0};
  // The running conversion's finisher, and what only it touches: its own
  // reader for the output folder's files, and the base names its records
  // took.
  std::unique_ptr<TFinisher> Finisher;
  std::unique_ptr<TMP4Container> FinishReader;
  std::set<std::string> UsedBases;
  std::atomic<std::int64_t> BytesDone{0};
  std::atomic<std::int64_t> BytesTotal{0};
  std::atomic<std::int64_t> CurrentRecord{-1};
  std::string OutputFolder;
  std::string NameMask = "%D_%T";
  std::atomic<std::int32_t> ProgressDone{0};
  std::atomic<std::int32_t> ProgressTotal{0};
  std::uint32_t MaxOutputLength = kDefaultMaxOutputLength;
  bool VerifyOutputs = false;
  GpsPlacement Gps = GpsPlacement::Both;
  // The card's configured clock offset, read when a conversion starts.
  std::optional<std::int64_t> CardClock;
  std::vector<std::uint32_t> ConvertOrder;
  std::vector<std::optional<TrackSummary>> Tracks; // by catalog index
  std::unique_ptr<std::uint8_t[]> SampleBuffer;
  std::int32_t SampleBufferSize = 0;
};

// The GPS track inside a file: a subtitle, a GPMF and a camm track added to
// `writer` before its first sample (their indices, -1 where refused), and
// the fixes of the stretch from `startUtcMs` on, `lengthMs` long, written
// into them at their own times with the place of the first.
void AddGpsTrackSet(TMP4Container &writer, int tracks[3]);
void WriteGpsTrackSet(TMP4Container &writer, const int tracks[3], const gps::GpsTrack &track,
                      const gps::TrackAlignment &alignment, std::int64_t startUtcMs,
                      std::int64_t lengthMs);

} // namespace orvo
