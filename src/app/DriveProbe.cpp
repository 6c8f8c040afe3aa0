#include "app/DriveProbe.h"

#include "app/CardPreparation.h"
#include "config/Cfg_mgr.h"

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

bool DriveProbe::Ask(std::uint8_t drive, const std::string &inPath, bool readConfig) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (asked_ || running_)
      return false;
    asked_ = true;
    drive_ = drive;
    askedPath_ = inPath;
    readConfig_ = readConfig;
  }
  wake_.notify_all();
  return true;
}

bool DriveProbe::TakeAnswer(Answer &answer) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (!answered_)
    return false;
  answered_ = false;
  answer = std::move(answer_);
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
    Answer answer;
    answer.inPath = askedPath_;
    const bool readConfig = readConfig_;
    lock.unlock();
    answer.ready = check_(drive, answer.inPath);
    if (answer.ready && readConfig)
      answer.configRead = LoadCfgFileBytes(answer.inPath, true, answer.config);
    lock.lock();
    running_ = false;
    answer_ = std::move(answer);
    answered_ = true;
  }
}

} // namespace orvo
