#include "app/DriveProbe.h"

#include "app/CardPreparation.h"

namespace orvo {

DriveProbe::DriveProbe(Check check) : check_(std::move(check)) {
  if (!check_)
    check_ = [](std::uint8_t drive, const std::string &inPath) {
      return IsDriveReady(drive, inPath);
    };
  thread_ = std::thread([this] { Run(); });
}

DriveProbe::~DriveProbe() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

bool DriveProbe::Ask(std::uint8_t drive, const std::string &inPath) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (asked_ || running_)
      return false;
    asked_ = true;
    drive_ = drive;
    askedPath_ = inPath;
  }
  wake_.notify_all();
  return true;
}

bool DriveProbe::TakeAnswer(bool &ready, std::string &inPath) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (!answered_)
    return false;
  answered_ = false;
  ready = ready_;
  inPath = answeredPath_;
  return true;
}

void DriveProbe::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stop_ || asked_; });
    if (stop_)
      return;
    asked_ = false;
    running_ = true;
    const std::uint8_t drive = drive_;
    const std::string path = askedPath_;
    lock.unlock();
    const bool ready = check_(drive, path);
    lock.lock();
    running_ = false;
    ready_ = ready;
    answeredPath_ = path;
    answered_ = true;
  }
}

} // namespace orvo
