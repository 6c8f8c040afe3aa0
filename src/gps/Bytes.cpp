#include "gps/Bytes.h"

namespace orvo::gps {

void PutBe(Bytes &out, std::uint64_t value, int size) {
  for (int i = size - 1; i >= 0; --i)
    out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutLe(Bytes &out, std::uint64_t value, int size) {
  for (int i = 0; i < size; ++i)
    out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutText(Bytes &out, std::string_view text) {
  out.insert(out.end(), text.begin(), text.end());
}

Bytes StartSampleEntry(std::string_view type) {
  Bytes out;
  // Reserving first also keeps GCC 12 at -O3 from a false
  // -Wstringop-overflow on the vector's growth (GCC bug 106199).
  out.reserve(64);
  PutBe(out, 0, 4); // size, set by FinishBox
  PutText(out, type);
  PutBe(out, 0, 6); // reserved
  PutBe(out, 1, 2); // data reference index
  return out;
}

void FinishBox(Bytes &box) {
  const auto size = static_cast<std::uint32_t>(box.size());
  for (int i = 0; i < 4; ++i)
    box[i] = static_cast<std::uint8_t>(size >> (8 * (3 - i)));
}

} // namespace orvo::gps
