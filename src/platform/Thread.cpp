#include "platform/Thread.h"

#include <chrono>

namespace orvo::platform {

Thread::~Thread() {
  // A derived destructor must have waited already; this only guards against
  // destroying a running std::thread, which would end the process.
  Terminate();
  WaitFor();
}

void Thread::Start() {
  if (thread_.joinable())
    return;
  thread_ = std::thread([this] {
    Execute();
    finished_ = true;
  });
}

void Thread::WaitFor() {
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id())
    thread_.join();
}

void Thread::Sleep(unsigned milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace orvo::platform
