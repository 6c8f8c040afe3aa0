#pragma once

#include <bit>
#include <cstdint>
#include <type_traits>

namespace orvo {

// The recorder's 60-byte record descriptor, stored little-endian in
// "record.dat" and kept byte for byte in the catalog: conversion writes the
// whole entry back, so reserved bytes must survive untouched.
struct RecordEntry {
  std::uint32_t Magic;        // "H264"
  std::uint32_t ModelTag;     // "4TFT"
  std::uint32_t RecordNumber; // the 8 digits of the folder name
  std::uint32_t FirstFragment;
  std::uint32_t LastFragment; // inclusive
  std::int32_t FragmentCount; // only a progress total, never checked
  std::uint32_t DurationMs;
  std::uint8_t Day;
  std::uint8_t Month;
  std::uint8_t Year; // minus 2000
  std::uint8_t reserved31;
  std::uint8_t Hour;
  std::uint8_t Minute;
  std::uint8_t Second;
  std::uint8_t reserved35;
  std::uint16_t Width;
  std::uint16_t Height;
  std::uint32_t VideoBitrate; // bits per second
  std::uint32_t AudioBitrate;
  std::uint32_t FrameDuration; // frame period in 90 kHz ticks, 0 = unknown
  std::uint8_t reserved52[4];
  std::uint8_t Attributes; // bits 0-2 record mode, bit 6 GPS track present
  std::uint8_t Marks;      // bit 0 checked, bit 1 converted
  std::uint8_t reserved58[2];
};

static_assert(sizeof(RecordEntry) == 60);
static_assert(std::is_trivially_copyable_v<RecordEntry>);
// The entry is copied to and from the file as it is.
static_assert(std::endian::native == std::endian::little);

inline constexpr std::uint32_t kRecordMagic = 0x34363248;    // "H264"
inline constexpr std::uint32_t kRecordModelTag = 0x54465434; // "4TFT"
inline constexpr std::uint8_t kAttrModeMask = 0x07;
inline constexpr std::uint8_t kAttrGps = 0x40;
inline constexpr std::uint8_t kMarkChecked = 0x01;
inline constexpr std::uint8_t kMarkConverted = 0x02;

inline bool HasValidSignature(const RecordEntry &e) {
  return e.Magic == kRecordMagic && e.ModelTag == kRecordModelTag;
}

// Integer forms in which the record list sorts and the filter compares.
constexpr std::int32_t PackDate(int year, int month, int day) {
  return year * 65536 + month * 256 + day;
}
constexpr std::int32_t PackTime(int hour, int minute, int second) {
  return hour * 65536 + minute * 256 + second;
}

} // namespace orvo
