#include "Progress.h"

#include <unistd.h>

namespace orvo {

ProgressReport::ProgressReport(std::FILE *out, std::vector<std::int64_t> recordEnds)
    : out_(out), terminal_(isatty(fileno(out)) != 0), recordEnds_(std::move(recordEnds)) {}

void ProgressReport::Update(std::int32_t done, std::int32_t total) {
  if (terminal_) {
    constexpr int kBar = 40;
    const int filled =
        total > 0 ? static_cast<int>(static_cast<std::int64_t>(done) * kBar / total) : 0;
    if (filled == lastWidth_)
      return;
    lastWidth_ = filled;
    std::fprintf(out_, "\r[%-*.*s] %d/%d fragments", kBar, filled,
                 "========================================", done, total);
    std::fflush(out_);
    return;
  }
  while (recordsReported_ < recordEnds_.size() && done >= recordEnds_[recordsReported_]) {
    ++recordsReported_;
    std::fprintf(out_, "record %zu of %zu done (%d/%d fragments)\n", recordsReported_,
                 recordEnds_.size(), done, total);
  }
}

void ProgressReport::Finish(bool cancelled) {
  if (terminal_ && lastWidth_ >= 0)
    std::fputc('\n', out_);
  if (!terminal_ && !cancelled && !recordEnds_.empty())
    Update(static_cast<std::int32_t>(recordEnds_.back()),
           static_cast<std::int32_t>(recordEnds_.back()));
  std::fflush(out_);
}

} // namespace orvo
