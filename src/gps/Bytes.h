#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

// Appending the fixed-size fields of binary formats to a byte vector.
namespace orvo::gps {

using Bytes = std::vector<std::uint8_t>;

// Big- and little-endian unsigned fields of `size` (1 to 8) bytes.
void PutBe(Bytes &out, std::uint64_t value, int size);
void PutLe(Bytes &out, std::uint64_t value, int size);
void PutText(Bytes &out, std::string_view text);

template <typename Float> void PutLeFloat(Bytes &out, Float value) {
  static_assert(sizeof(Float) == 4 || sizeof(Float) == 8);
  using Word = std::conditional_t<sizeof(Float) == 4, std::uint32_t, std::uint64_t>;
  Word word;
  std::memcpy(&word, &value, sizeof word);
  PutLe(out, word, sizeof word);
}

// A sample entry box of an "stsd" as far as its data reference index (the
// fields every sample entry starts with); the caller appends its own fields
// and then FinishBox.
Bytes StartSampleEntry(std::string_view type);
// Writes the box's size into its first four bytes.
void FinishBox(Bytes &box);

// A payload with its times in the track, in milliseconds from the part's
// first video frame.
struct TimedSample {
  std::int64_t timeMs = 0;
  std::int64_t durationMs = 0;
  Bytes bytes;
};

} // namespace orvo::gps
