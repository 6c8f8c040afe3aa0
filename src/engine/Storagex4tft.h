#pragma once

#include "engine/RecordEntry.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace orvo {

class TMP4Container;

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

  void SetInputFolder(const std::string &folder) { InputFolder = folder; }
  void SetOutputFolder(const std::string &folder) { OutputFolder = folder; }
  void SetNameMask(const std::string &mask) { NameMask = mask; }
  void SetMaxOutputLength(std::uint32_t bytes) { MaxOutputLength = bytes; }

  std::uint32_t GetRecordCount() const { return Count; }
  void GetProgress(std::int32_t &done, std::int32_t &total) const;
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

  // Input folder + record folder name + separator; empty for a bad index.
  std::string RecordFolderPath(std::uint32_t index) const;
  // Record folder name + ".gpx"; empty for a bad index.
  std::string GpsFileName(std::uint32_t index) const;
  // The name mask expanded for a record, with "_P<part>.mp4" appended; the
  // mask unchanged for a bad index.
  std::string OutputFileName(std::uint32_t index, std::uint32_t part) const;

  // The raw catalog entry, for tests and tools; false for a bad index or
  // while busy.
  bool GetEntry(std::uint32_t index, RecordEntry &entry) const;

  static constexpr const char *RecordFolderFormat = "R%08d_D%02d%02d%02d_T%02d%02d%02d";
  static constexpr const char *RecordFolderPattern = "R????????_D??????_T??????";
  static constexpr const char *FragmentFileFormat = "F%07d.mp4";
  static constexpr const char *RecordFileName = "record.dat";
  // "DIR%05d" followed by the native separator.
  static std::string FragmentFolderName(std::uint32_t fragment);
  static std::string FragmentFileName(std::uint32_t fragment);

private:
  const RecordEntry *EntryAt(std::uint32_t index) const;
  bool GrowCatalog(std::uint32_t newCapacity);
  std::string FolderName(const RecordEntry &e) const;
  enum class FragmentResult { Copied, Damaged, Skipped, RecordEnds };
  bool ConvertRecord(std::uint32_t index);
  FragmentResult CopyFragment(const std::string &path, std::uint32_t index, std::uint32_t &part,
                              bool &partOpen, std::uint32_t offsets[8]);
  bool ClosePart();
  void RewriteRecordFile(const std::string &folder, const RecordEntry &entry);

  std::atomic<bool> Busy{false};
  std::atomic<bool> CancelRequested{false};
  std::unique_ptr<TMP4Container> Reader;
  std::unique_ptr<TMP4Container> Writer;
  std::uint8_t TrackTypes[8] = {};
  std::unique_ptr<RecordEntry[]> Entries;
  std::atomic<std::uint32_t> Count{0};
  std::int32_t Capacity = 0;
  std::string InputFolder;
  std::string OutputFolder;
  std::string NameMask = "%D_%T";
  std::atomic<std::int32_t> ProgressDone{0};
  std::atomic<std::int32_t> ProgressTotal{0};
  std::uint32_t MaxOutputLength = kDefaultMaxOutputLength;
  std::unique_ptr<std::uint8_t[]> SampleBuffer;
  std::int32_t SampleBufferSize = 0;
};

} // namespace orvo
