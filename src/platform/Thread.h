#pragma once

#include <atomic>
#include <thread>

namespace orvo::platform {

// A worker thread in the manner of the program's workers: an object whose
// virtual Execute runs on a thread of its own, a terminate flag that Execute
// polls, and a wait for its end. The thread starts with Start(), after the
// derived object is fully built, so Execute never sees a half-made object.
class Thread {
public:
  Thread() = default;
  virtual ~Thread();
  Thread(const Thread &) = delete;
  Thread &operator=(const Thread &) = delete;

  void Start();
  // Asks Execute to end; it sees the flag at its next check.
  void Terminate() { terminated_ = true; }
  // Waits until Execute has returned (at once when it never started).
  void WaitFor();
  bool Finished() const { return finished_; }

  // The idle period of every worker loop.
  static void Sleep(unsigned milliseconds);

protected:
  virtual void Execute() = 0;
  bool Terminated() const { return terminated_; }

private:
  std::thread thread_;
  std::atomic<bool> terminated_{false};
  std::atomic<bool> finished_{false};
};

} // namespace orvo::platform
