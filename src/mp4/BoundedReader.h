#pragma once

#include <cstddef>
#include <cstdint>

namespace orvo {

// Reads big-endian fields from bytes that came from a file. Every read is
// checked against what remains; after the first failed read the reader stays
// failed and every later read fails too, so a parser can check once at the end.
class BoundedReader {
public:
  BoundedReader(const std::uint8_t *data, std::size_t size) : data_(data), size_(size) {}

  std::size_t Remaining() const { return ok_ ? size_ - pos_ : 0; }
  std::size_t Offset() const { return pos_; }
  bool Ok() const { return ok_; }

  bool U8(std::uint8_t &v) {
    if (!Need(1))
      return false;
    v = data_[pos_++];
    return true;
  }
  bool U16(std::uint16_t &v) {
    if (!Need(2))
      return false;
    v = static_cast<std::uint16_t>(data_[pos_] << 8 | data_[pos_ + 1]);
    pos_ += 2;
    return true;
  }
  bool U32(std::uint32_t &v) {
    if (!Need(4))
      return false;
    v = static_cast<std::uint32_t>(data_[pos_]) << 24 |
        static_cast<std::uint32_t>(data_[pos_ + 1]) << 16 |
        static_cast<std::uint32_t>(data_[pos_ + 2]) << 8 | data_[pos_ + 3];
    pos_ += 4;
    return true;
  }
  // Points `p` at the next `n` bytes and steps over them.
  bool Bytes(std::size_t n, const std::uint8_t *&p) {
    if (!Need(n))
      return false;
    p = data_ + pos_;
    pos_ += n;
    return true;
  }
  bool Skip(std::size_t n) {
    if (!Need(n))
      return false;
    pos_ += n;
    return true;
  }
  // A reader over the next `n` bytes only; this reader steps over them.
  bool Sub(std::size_t n, BoundedReader &sub) {
    const std::uint8_t *p = nullptr;
    if (!Bytes(n, p))
      return false;
    sub = BoundedReader(p, n);
    return true;
  }

private:
  bool Need(std::size_t n) {
    if (!ok_ || n > size_ - pos_)
      ok_ = false;
    return ok_;
  }

  const std::uint8_t *data_;
  std::size_t size_;
  std::size_t pos_ = 0;
  bool ok_ = true;
};

} // namespace orvo
