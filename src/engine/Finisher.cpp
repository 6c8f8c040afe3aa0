#include "engine/Finisher.h"

#include <system_error>

namespace orvo {

TFinisher::TFinisher(std::size_t depth) : depth_(depth == 0 ? 1 : depth) {
  try {
    thread_ = std::thread([this] { Run(); });
  } catch (const std::system_error &) {
    // No thread to be had: Post runs each job itself.
  }
}

TFinisher::~TFinisher() {
  {
    std::lock_guard lock(mutex_);
    ending_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable())
    thread_.join();
}

void TFinisher::Post(std::function<void()> job) {
  if (!thread_.joinable()) {
    job();
    return;
  }
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return jobs_.size() < depth_; });
    jobs_.push_back(std::move(job));
  }
  changed_.notify_all();
}

void TFinisher::Drain() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return jobs_.empty() && !busy_; });
}

void TFinisher::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return !jobs_.empty() || ending_; });
    if (jobs_.empty())
      return;
    std::function<void()> job = std::move(jobs_.front());
    jobs_.pop_front();
    busy_ = true;
    lock.unlock();
    changed_.notify_all(); // room in the queue
    job();
    job = nullptr; // what it held goes before Drain may return
    lock.lock();
    busy_ = false;
    changed_.notify_all();
  }
}

} // namespace orvo
