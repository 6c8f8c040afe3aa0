#include "app/CardWatch.h"

namespace orvo {

TCardWatch::Change TCardWatch::Tick(const std::function<bool()> &isReady) {
  if (PollTicks < 1) {
    ++PollTicks;
    return Change::None;
  }
  const bool ready = isReady && isReady();
  if (ready == DriveReady)
    return Change::None;
  DriveReady = ready;
  return ready ? Change::Appeared : Change::Gone;
}

} // namespace orvo
