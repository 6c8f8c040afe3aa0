#include "app/CardWatch.h"

namespace orvo {

DriveChange PollDrive(bool &driveReady, int &pollTicks, const std::function<bool()> &isReady) {
  if (pollTicks < 1) {
    ++pollTicks;
    return DriveChange::None;
  }
  const bool ready = isReady && isReady();
  if (ready == driveReady)
    return DriveChange::None;
  driveReady = ready;
  return ready ? DriveChange::Appeared : DriveChange::Gone;
}

} // namespace orvo
