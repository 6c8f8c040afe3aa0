#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// The files that card preparation writes, carried inside the program. Builds
// without the maker's files carry placeholder blocks of the same names and
// sizes, which start with a readable "ORVO PLACEHOLDER PAYLOAD" line.
namespace orvo {

struct Payload {
  const char *name; // file name on the card
  const std::uint8_t *data;
  std::size_t size;
  bool placeholder;
  std::span<const std::uint8_t> Bytes() const { return {data, size}; }
};

inline constexpr std::size_t FirmwareImageSize = 426992;
inline constexpr std::size_t RussianSkinSize = 611508;
inline constexpr std::size_t EnglishSkinSize = 585384;

const Payload &FirmwareImagePayload(); // "orvo-v264o4_tft_v1.bin"
const Payload &RussianSkinPayload();   // "ru_std.skn"
const Payload &EnglishSkinPayload();   // "en_std.skn"

} // namespace orvo
