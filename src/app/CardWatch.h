#pragma once

#include <functional>

namespace orvo {

enum class DriveChange { None, Appeared, Gone };

// One tick of the drive polling over the window's state: the first tick after
// start-up is skipped, then readiness is compared with the last seen state.
// `isReady` is asked only on the ticks that poll.
DriveChange PollDrive(bool &driveReady, int &pollTicks, const std::function<bool()> &isReady);

} // namespace orvo
