#pragma once

#include <functional>

namespace orvo {

// The state of the drive polling: the first tick after start-up is skipped,
// then every tick compares the drive's readiness with the last seen state.
class TCardWatch {
public:
  enum class Change { None, Appeared, Gone };

  // `isReady` is asked only on the ticks that poll.
  Change Tick(const std::function<bool()> &isReady);

  bool DriveReady = false;
  int PollTicks = 0;
};

} // namespace orvo
