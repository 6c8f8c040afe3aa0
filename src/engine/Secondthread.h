#pragma once

#include "engine/SourceCompare.h"
#include "engine/Storagex4tft.h"
#include "engine/VideoFileTest.h"
#include "platform/Thread.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace orvo {

class ProgramSettings;

// The storage worker: owns the engine and runs its three long jobs (scan,
// conversion, deletion) away from the window thread. A job is requested by a
// flag and polled until IsBusy turns false. The idle worker waits up to its
// 100 ms period for a request, which wakes it at once; a caller without an
// event loop (the command line) can wait for the job's end the same way.
class TSecondThread : public platform::Thread {
public:
  // The jobs read their folders, mask and size limit from `settings` when
  // they start; without one, from the process's settings object.
  explicit TSecondThread(ProgramSettings *settings = nullptr);
  ~TSecondThread() override;

  bool StartScan() { return Request(ScanPending); }
  bool StartConvert() { return Request(ConvertPending); }
  // The order of the next conversion (TStorageX4TFT::SetConvertOrder); set
  // before StartConvert.
  void SetConvertOrder(std::vector<std::uint32_t> order) {
    if (!IsBusy())
      ConvertOrder = std::move(order);
  }
  bool StartDelete() { return Request(DeletePending); }
  // The video file test as a job: tests `path` and, with `compareWithCard`
  // and when the file names its record, compares it sample by sample with
  // that record's fragments in the input folder.
  bool StartFileTest(const std::string &path, bool compareWithCard);
  bool IsBusy() const { return ScanPending || ConvertPending || DeletePending || TestPending; }
  // Waits until no job is requested or running, or `timeout` has passed;
  // answers whether the worker is idle.
  bool WaitUntilIdle(std::chrono::milliseconds timeout);
  void CancelJob() {
    Engine->RequestCancel();
    TestCancel = true;
  }
  // The last file test's results, valid once IsBusy has turned false after
  // it; the comparison only when one was made.
  const VideoFileTestResult &GetFileTestResult() const { return FileTestResult; }
  bool GetCompareResult(SourceCompareResult &result) const {
    result = CompareResult;
    return Compared;
  }
  // Valid once IsBusy has turned false after a job.
  bool GetLastResult() const { return LastResult; }
  // Stops the running job at its next check and ends the loop; the caller
  // then waits for the thread (WaitFor) and destroys it.
  void Shutdown();

  // During a file test, its bytes in KiB; otherwise the engine's units.
  void GetProgress(std::int32_t &done, std::int32_t &total) const;
  std::uint32_t GetRecordCount() const { return Engine->GetRecordCount(); }
  bool SetChecked(std::uint32_t index, bool checked) { return Engine->SetChecked(index, checked); }
  bool GetRecordDate(std::uint32_t i, int &day, int &month, int &year) const {
    return Engine->GetRecordDate(i, day, month, year);
  }
  bool GetRecordTime(std::uint32_t i, int &hour, int &minute, int &second) const {
    return Engine->GetRecordTime(i, hour, minute, second);
  }
  bool GetRecordLength(std::uint32_t i, std::uint32_t &hours, int &minutes, int &seconds) const {
    return Engine->GetRecordLength(i, hours, minutes, seconds);
  }
  bool GetRecordLengthMs(std::uint32_t i, std::uint32_t &ms) const {
    return Engine->GetRecordLengthMs(i, ms);
  }
  bool GetRecordMode(std::uint32_t i, int &mode) const { return Engine->GetRecordMode(i, mode); }
  bool GetFrameSize(std::uint32_t i, int &width, int &height) const {
    return Engine->GetFrameSize(i, width, height);
  }
  bool GetFps(std::uint32_t i, std::uint32_t &fps) const { return Engine->GetFps(i, fps); }
  bool GetBitrates(std::uint32_t i, std::uint32_t &audioKbps, std::uint32_t &videoKbps) const {
    return Engine->GetBitrates(i, audioKbps, videoKbps);
  }
  bool GetMarks(std::uint32_t i, bool &checked, bool &converted) const {
    return Engine->GetMarks(i, checked, converted);
  }
  std::uint32_t GetUnreadableCount() const { return Engine->GetUnreadableCount(); }
  bool GetUnreadable(std::uint32_t i, TStorageX4TFT::UnreadableRecord &record) const {
    return Engine->GetUnreadable(i, record);
  }
  bool GetOutcome(std::uint32_t i, RecordOutcome &outcome) const {
    return Engine->GetOutcome(i, outcome);
  }
  // The last conversion ended because it was cancelled.
  bool WasCancelled() const { return Engine->WasCancelled(); }
  TStorageX4TFT::LiveProgress GetLiveProgress() const { return Engine->GetLiveProgress(); }
  bool GetFinishedOutcome(std::uint32_t k, std::uint32_t &index, RecordOutcome &outcome) const {
    return Engine->GetFinishedOutcome(k, index, outcome);
  }
  // For tools and tests that need the raw entry or the record's paths.
  const TStorageX4TFT &GetEngine() const { return *Engine; }

protected:
  void Execute() override;

private:
  bool Request(std::atomic<bool> &flag);
  void Finish(std::atomic<bool> &flag);
  ProgramSettings *CurrentSettings() const;

  // Wakes the idle loop for a request, and waiters for a job's end. The
  // flags stay atomics read without the lock; the lock only orders a flag
  // change against a waiter's test, so no wake-up is lost.
  std::mutex wakeMutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;

  std::atomic<bool> StopRequested{false};
  std::atomic<bool> ScanPending{false};
  std::atomic<bool> ConvertPending{false};
  std::atomic<bool> DeletePending{false};
  std::atomic<bool> TestPending{false};
  std::atomic<bool> TestCancel{false};
  // Written by the window before ConvertPending rises, read by the worker
  // after.
  std::vector<std::uint32_t> ConvertOrder;
  // Written by the window before TestPending rises, read by the worker after.
  std::string TestPath;
  bool TestCompare = false;
  VideoFileProgress TestProgress;
  VideoFileTestResult FileTestResult;
  SourceCompareResult CompareResult;
  bool Compared = false;
  void RunFileTest(const std::string &inputFolder);
  std::unique_ptr<TStorageX4TFT> Engine;
  std::atomic<bool> LastResult{false};
  ProgramSettings *settings_;
};

} // namespace orvo
