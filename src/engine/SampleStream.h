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

private:
  std::unique_ptr<std::uint8_t[]> buffer_;
  std::uint32_t capacity_ = 0;
};

} // namespace orvo
