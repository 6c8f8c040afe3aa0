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
  flag = true;
  return true;
}

void TSecondThread::Shutdown() {
  Engine->RequestCancel();
  ScanPending = false;
  ConvertPending = false;
  DeletePending = false;
  StopRequested = true;
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
      ScanPending = false; // after the result: IsBusy false means it is there
    } else if (ConvertPending) {
      if (s) {
        Engine->SetInputFolder(s->SharedInPath());
        Engine->SetOutputFolder(s->OutPath);
        Engine->SetNameMask(s->FileMask);
        Engine->SetMaxOutputLength(s->MaxFileLength);
      }
      LastResult = s ? Engine->ConvertChecked() : false;
      ConvertPending = false;
    } else if (DeletePending) {
      Engine->SetInputFolder(s ? s->SharedInPath() : std::string());
      LastResult = s ? Engine->DeleteChecked() : false;
      DeletePending = false;
    } else {
      Sleep(100);
    }
  }
}

} // namespace orvo
