#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

namespace orvo {

// Conversion progress on a terminal as a bar redrawn in place; elsewhere
// (a log, a pipe) as one line per finished record.
class ProgressReport {
public:
  // `recordEnds` holds, for every record of the job, the fragment count at
  // which it is done (running totals).
  ProgressReport(std::FILE *out, std::vector<std::int64_t> recordEnds);
  void Update(std::int32_t done, std::int32_t total);
  // Without a cancel every record of the job has been dealt with.
  void Finish(bool cancelled);

private:
  std::FILE *out_;
  bool terminal_;
  std::vector<std::int64_t> recordEnds_;
  std::size_t recordsReported_ = 0;
  int lastWidth_ = -1;
};

} // namespace orvo
