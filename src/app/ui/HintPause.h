#pragma once

namespace orvo {

// Tool tips of every widget stay up to `milliseconds` (unless a widget sets
// its own duration).
void InstallHintPause(int milliseconds);

} // namespace orvo
