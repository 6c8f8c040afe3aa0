#include "Progress.h"

#include "platform/Console.h"

#include <algorithm>

namespace orvo {

ProgressReport::ProgressReport(std::FILE *bar, std::FILE *lines, bool quiet)
    : bar_(bar), lines_(lines), showBar_(!quiet && platform::IsTerminal(bar)), quiet_(quiet) {}

void ProgressReport::Update(std::int64_t bytesDone, std::int64_t bytesTotal,
                            const std::string &current) {
  done_ = std::max(done_, bytesDone);
  total_ = bytesTotal;
  if (total_ > 0)
    percent_ = std::max(percent_, static_cast<int>(std::min<std::int64_t>(done_, total_) * 100 /
                                                   total_));
  current_ = current;
  Draw();
}

void ProgressReport::Draw() {
  Draw(false);
}

void ProgressReport::Draw(bool final) {
  if (!showBar_)
    return;
  constexpr int kWidth = 20;
  const int filled = percent_ * kWidth / 100;
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  char head[64], rate[64] = "", left[32] = "";
  std::snprintf(head, sizeof head, "[%.*s%*s] %3d%%", filled, "####################",
                kWidth - filled, "", percent_);
  // Speed and time left once there is something to go by; at the end, what
  // was moved in how long.
  if (final) {
    std::snprintf(rate, sizeof rate, "%.1f MB in %.1f s", done_ / 1e6, seconds);
  } else if (seconds >= 0.5 && done_ > 0) {
    const double perSecond = done_ / seconds;
    std::snprintf(rate, sizeof rate, "%.1f MB/s", perSecond / 1e6);
    const auto remaining = static_cast<long long>((total_ - done_) / perSecond + 0.5);
    std::snprintf(left, sizeof left, "%lld:%02lld left", remaining / 60, remaining % 60);
  }
  std::string text = head;
  for (const std::string &part : {current_, std::string(rate), std::string(left)})
    if (!part.empty())
      text += "  " + part;
  if (drawn_ == text)
    return;
  drawn_ = text;
  std::fprintf(bar_, "\r\033[K%s", text.c_str());
  std::fflush(bar_);
}

void ProgressReport::Clear() {
  if (!showBar_ || drawn_.empty())
    return;
  std::fputs("\r\033[K", bar_);
  std::fflush(bar_);
  drawn_.clear();
}

void ProgressReport::RecordEnded(const std::string &line, bool converted) {
  if (quiet_ && converted)
    return;
  Clear();
  std::fprintf(lines_, "%s\n", line.c_str());
  std::fflush(lines_);
  Draw();
}

void ProgressReport::Finish() {
  if (!showBar_)
    return;
  current_.clear();
  Draw(true);
  std::fputc('\n', bar_);
  std::fflush(bar_);
}

} // namespace orvo
