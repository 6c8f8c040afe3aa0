#include "support/System.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

namespace orvo::test {

std::string MakeTempFolder(std::string_view prefix) {
  static std::atomic<unsigned> count{0};
  std::error_code ec;
  const std::filesystem::path base = std::filesystem::temp_directory_path(ec);
  if (ec)
    return {};
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "%08x%04x", static_cast<unsigned>(random()),
                  ++count & 0xFFFFu);
    const std::filesystem::path folder = base / (std::string(prefix) + suffix);
    if (std::filesystem::create_directory(folder, ec))
      return folder.string();
  }
  return {};
}

Watchdog::Watchdog(std::chrono::seconds limit) {
  thread_ = std::thread([this, limit] {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!done_.wait_for(lock, limit, [this] { return finished_; })) {
      std::fprintf(stderr, "the test hung for %lld s\n", static_cast<long long>(limit.count()));
      std::fflush(stderr);
      std::abort();
    }
  });
}

Watchdog::~Watchdog() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    finished_ = true;
  }
  done_.notify_all();
  thread_.join();
}

} // namespace orvo::test
