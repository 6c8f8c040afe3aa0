#include "engine/Secondthread.h"

#include "settings/ProgramSettings.h"

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

void TSecondThread::Shutdown() {
  Engine->RequestCancel();
  {
    const std::lock_guard<std::mutex> lock(wakeMutex_);
    ScanPending = false;
    ConvertPending = false;
    DeletePending = false;
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
      }
      LastResult = s ? Engine->ConvertChecked() : false;
      Finish(ConvertPending);
    } else if (DeletePending) {
      Engine->SetInputFolder(s ? s->SharedInPath() : std::string());
      LastResult = s ? Engine->DeleteChecked() : false;
      Finish(DeletePending);
    } else {
      // The idle period, cut short by a request.
      std::unique_lock<std::mutex> lock(wakeMutex_);
      wake_.wait_for(lock, std::chrono::milliseconds(100), [this] {
        return StopRequested || ScanPending || ConvertPending || DeletePending;
      });
    }
  }
}

} // namespace orvo
