#include "engine/Secondthread.h"

#include "engine/ClipCheck.h"

#include "settings/ProgramSettings.h"

#include <algorithm>
#include <climits>

namespace orvo {

TSecondThread::TSecondThread(ProgramSettings *settings)
    : Engine(std::make_unique<TStorageX4TFT>()), settings_(settings) {
  Start();
}

TSecondThread::~TSecondThread() {
  Shutdown();
  WaitFor();
}

bool TSecondThread::Request(std::atomic<bool> &flag) {
  // Only the window thread requests jobs, so testing the three flags and
  // then setting one cannot race with another request.
  if (IsBusy())
    return false;
  // From here on a cancel applies to this job, even before the worker has
  // picked it up.
  Engine->ResetCancel();
  TestCancel = false;
  {
    const std::lock_guard<std::mutex> lock(wakeMutex_);
    flag = true;
  }
  wake_.notify_one();
  return true;
}

void TSecondThread::Finish(std::atomic<bool> &flag) {
  {
    const std::lock_guard<std::mutex> lock(wakeMutex_);
    flag = false; // after the result: IsBusy false means it is there
  }
  idle_.notify_all();
}

bool TSecondThread::WaitUntilIdle(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(wakeMutex_);
  return idle_.wait_for(lock, timeout, [this] { return !IsBusy(); });
}

bool TSecondThread::StartFileTest(const std::string &path, bool compareWithCard) {
  if (IsBusy())
    return false;
  TestPath = path;
  TestCompare = compareWithCard;
  return Request(TestPending);
}

void TSecondThread::GetProgress(std::int32_t &done, std::int32_t &total) const {
  if (!TestPending) {
    Engine->GetProgress(done, total);
    return;
  }
  const std::uint64_t t = TestProgress.total, d = TestProgress.done;
  total = t == 0 ? 1 : static_cast<std::int32_t>(std::min<std::uint64_t>(t / 1024 + 1, INT32_MAX));
  done = static_cast<std::int32_t>(std::min<std::uint64_t>(d / 1024, std::uint64_t(total)));
}

void TSecondThread::RunFileTest(const std::string &inputFolder) {
  TestProgress.done = 0;
  TestProgress.total = 0;
  Compared = false;
  FileTestResult = TestVideoFile(TestPath, TestCancel, &TestProgress);
  if (TestCompare && !TestCancel && FileTestResult.integrity == IntegrityStatus::Present &&
      !inputFolder.empty()) {
    TestProgress.done = 0;
    // A clip names the very samples it took; a part, its fragments.
    const ClipCheckResult clip = CheckClipAgainstCard(TestPath, inputFolder, TestCancel);
    CompareResult = clip.verdict == ClipCheckVerdict::NotAClip
                        ? CompareWithSource(TestPath, inputFolder, TestCancel, &TestProgress)
                        : ClipCompareResult(clip, TestPath);
    Compared = true;
  }
}

void TSecondThread::Shutdown() {
  Engine->RequestCancel();
  TestCancel = true;
  {
    const std::lock_guard<std::mutex> lock(wakeMutex_);
    ScanPending = false;
    ConvertPending = false;
    DeletePending = false;
    TestPending = false;
    StopRequested = true;
  }
  wake_.notify_all();
  idle_.notify_all();
  Terminate();
}

ProgramSettings *TSecondThread::CurrentSettings() const {
  return settings_ ? settings_ : Settings();
}

void TSecondThread::Execute() {
  while (!StopRequested) {
    ProgramSettings *s = CurrentSettings();
    // The input folder through its shared copy: the firmware thread and the
    // window may touch the settings at the same time.
    if (ScanPending) {
      Engine->SetInputFolder(s ? s->SharedInPath() : std::string());
      LastResult = Engine->ScanRecords();
      Finish(ScanPending);
    } else if (ConvertPending) {
      if (s) {
        Engine->SetInputFolder(s->SharedInPath());
        Engine->SetOutputFolder(s->OutPath);
        Engine->SetNameMask(s->FileMask);
        Engine->SetMaxOutputLength(s->MaxFileLength);
        Engine->SetVerifyOutputs(s->VerifyOutputs);
        Engine->SetGpsPlacement(s->GpsInVideo);
      }
      Engine->SetConvertOrder(ConvertOrder);
      LastResult = s ? Engine->ConvertChecked() : false;
      Finish(ConvertPending);
    } else if (DeletePending) {
      Engine->SetInputFolder(s ? s->SharedInPath() : std::string());
      LastResult = s ? Engine->DeleteChecked() : false;
      Finish(DeletePending);
    } else if (TestPending) {
      RunFileTest(s ? s->SharedInPath() : std::string());
      LastResult = FileTestResult.verdict == VideoFileVerdict::Good;
      Finish(TestPending);
    } else {
      // The idle period, cut short by a request.
      std::unique_lock<std::mutex> lock(wakeMutex_);
      wake_.wait_for(lock, std::chrono::milliseconds(100), [this] {
        return StopRequested || IsBusy();
      });
    }
  }
}

} // namespace orvo
