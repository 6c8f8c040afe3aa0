#pragma once

// A 10 ms heartbeat inside the event loop: the longest gap between two
// beats, beyond the beat, is the longest stall a user would feel.
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

namespace orvo::bench {

constexpr int kBeatMs = 10;

// Kilobytes of a line of /proc/self/status ("VmRSS", "VmHWM").
inline long StatusKiB(const char *key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(key, 0) == 0)
      return std::atol(line.c_str() + std::char_traits<char>::length(key) + 1);
  return -1;
}

class Heartbeat {
public:
  Heartbeat() {
    timer_.setInterval(kBeatMs);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      longest_ = std::max(longest_, clock_.nsecsElapsed());
      clock_.restart();
    });
  }
  void Restart() {
    longest_ = 0;
    clock_.restart();
    timer_.start();
  }
  // The longest stall since Restart, in milliseconds beyond the beat.
  double LongestStallMs() const {
    const double gap = static_cast<double>(std::max(longest_, clock_.nsecsElapsed())) / 1e6;
    return std::max(0.0, gap - kBeatMs);
  }

private:
  QTimer timer_;
  QElapsedTimer clock_;
  qint64 longest_ = 0;
};

} // namespace orvo::bench
