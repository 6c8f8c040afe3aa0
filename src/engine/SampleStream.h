#pragma once

#include "mp4/Mp4container.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>

namespace orvo {

// Reads the samples of an open reader through one buffer of bounded size: a
// sample that fits is read whole (through the reader's read-ahead), a larger
// one piece by piece, so a file of any content is read in bounded memory.
class TSampleStream {
public:
  static constexpr std::uint32_t kMaxBuffer = 4u << 20;

  // A buffer for samples up to `largest` bytes, or kMaxBuffer at most.
  bool Allocate(std::uint32_t largest) {
    capacity_ = std::clamp<std::uint32_t>(largest, 1, kMaxBuffer);
    buffer_.reset(new (std::nothrow) std::uint8_t[capacity_]);
    return buffer_ != nullptr;
  }

  std::uint8_t *Buffer() { return buffer_.get(); }
  std::uint32_t Capacity() const { return capacity_; }

  // The bytes of the sample from `from` on, at most one buffer's worth;
  // nullptr when the read fails. `n` receives the length.
  const std::uint8_t *Piece(TMP4Container &reader, int track, std::uint32_t sample,
                            std::uint32_t size, std::uint32_t from, std::uint32_t &n) {
    n = std::min(size - from, capacity_);
    const bool ok = size <= capacity_
                        ? reader.ReadSample(track, sample, buffer_.get(), capacity_)
                        : reader.ReadSamplePart(track, sample, from, buffer_.get(), n);
    return ok ? buffer_.get() : nullptr;
  }

  // The bytes of all samples of an open reader, and the largest sample that
  // can be read at all (none is larger than the file).
  static void Totals(TMP4Container &reader, std::uint64_t fileSize, std::uint64_t &total,
                     std::uint32_t &largest) {
    total = 0;
    largest = 0;
    std::uint32_t size = 0, time = 0;
    bool key = false;
    for (int t = 0; t < reader.GetTrackCount(); ++t) {
      for (std::uint32_t i = 0; i < reader.GetSampleCount(t); ++i) {
        if (reader.GetSampleInfo(t, i, size, time, key)) {
          total += size;
          largest = std::max(largest, size);
        }
      }
    }
    largest = static_cast<std::uint32_t>(std::min<std::uint64_t>(largest, fileSize));
  }

private:
  std::unique_ptr<std::uint8_t[]> buffer_;
  std::uint32_t capacity_ = 0;
};

} // namespace orvo
