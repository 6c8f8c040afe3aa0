#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace orvo {

// What a conversion shows while it runs. On a terminal: one bar on standard
// error that only moves forward, with the percentage, the record being
// converted, the speed and the time left, ended by a clean line. Each
// record's outcome line goes to standard output as the record ends, on a
// terminal above the bar, elsewhere (a log, a pipe) as the only output.
class ProgressReport {
public:
  // `bar` receives the bar when it is a terminal; `quiet` shows neither the
  // bar nor the lines of records that were converted.
  ProgressReport(std::FILE *bar, std::FILE *lines, bool quiet);
  void Update(std::int64_t bytesDone, std::int64_t bytesTotal, const std::string &current);
  void RecordEnded(const std::string &line, bool converted);
  void Finish();

private:
  void Draw();
  void Draw(bool final);
  void Clear();

  std::FILE *bar_;
  std::FILE *lines_;
  bool showBar_;
  bool quiet_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::int64_t done_ = 0, total_ = 0;
  int percent_ = 0;
  std::string current_;
  std::string drawn_;
};

} // namespace orvo
