#include "platform/File.h"
#include "platform/FileDetail.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <utility>

namespace orvo::platform {

std::string TemporaryName(std::uint64_t processId) {
  static std::atomic<std::uint64_t> counter{0};
  std::uint64_t x = processId << 32 ^
                    static_cast<std::uint64_t>(
                        std::chrono::steady_clock::now().time_since_epoch().count()) ^
                    0x9E3779B97F4A7C15ull * ++counter;
  x ^= x >> 30;
  x *= 0xBF58476D1CE4E5B9ull;
  x ^= x >> 27;
  x *= 0x94D049BB133111EBull;
  x ^= x >> 31;
  char name[32];
  std::snprintf(name, sizeof name, ".orvo-%012llx.tmp",
                static_cast<unsigned long long>(x & 0xFFFFFFFFFFFFull));
  return name;
}

File::File(File &&other) noexcept {
  *this = std::move(other);
}

File &File::operator=(File &&other) noexcept {
  if (this != &other) {
    Close();
    handle_ = other.handle_;
    finalPath_ = std::move(other.finalPath_);
    tempPath_ = std::move(other.tempPath_);
    behindDone_ = other.behindDone_;
    behindStarted_ = other.behindStarted_;
    sealed_ = other.sealed_;
    other.handle_ = -1;
    other.finalPath_.clear();
    other.tempPath_.clear();
    other.behindDone_ = other.behindStarted_ = 0;
    other.sealed_ = false;
  }
  return *this;
}

} // namespace orvo::platform
