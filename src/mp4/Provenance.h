#pragma once

#include "mp4/Integrity.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Where a clip's samples come from: a second "uuid" box inside its "moov",
// beside the integrity data, naming the record and, for each fragment file
// the clip takes samples from, the run of samples of each track. With the
// card at hand, every sample of the clip can be compared with its source.
// Layout, all integers big-endian:
//
//   offset  size  content
//   0       4     box size
//   4       4     "uuid"
//   8       16    kProvenanceUuid
//   24      1     format version, 1
//   25      3     flags, 0
//   28      4     record number
//   32      16    XXH3 128-bit digest of the record file (marks as 0)
//   48      2     L: length of the record folder name, at most 255
//   50      L     record folder name
//   50+L    4     F: number of fragments, at most kProvenanceMaxFragments
//   54+L    ...   per fragment: its number (4), T: the track count (1, at
//                 most 8), then per track its first sample and sample count
//                 (4 + 4), in the clip's track order
namespace orvo {

inline constexpr std::uint8_t kProvenanceUuid[16] = {0x3D, 0x6B, 0x1E, 0x52, 0x9A, 0x04, 0x4F, 0x1C,
                                                     0x8B, 0x37, 0xC2, 0x55, 0x0E, 0x91, 0x6A, 0xD8};
inline constexpr std::uint8_t kProvenanceVersion = 1;
inline constexpr std::uint32_t kProvenanceMaxFragments = 100000;

struct ProvenanceRun {
  std::uint32_t firstSample = 0;
  std::uint32_t count = 0;
};

struct ProvenanceFragment {
  std::uint32_t number = 0;
  std::vector<ProvenanceRun> tracks; // in the clip's track order
};

struct ClipProvenance {
  std::uint32_t recordNumber = 0;
  Digest128 recordDigest;
  std::string recordFolder;
  std::vector<ProvenanceFragment> fragments;
};

// The body after the UUID; empty when it cannot be encoded.
std::vector<std::uint8_t> EncodeProvenance(const ClipProvenance &provenance);
// False when anything does not fit the layout exactly.
bool DecodeProvenance(const std::uint8_t *body, std::size_t size, ClipProvenance &provenance);

} // namespace orvo
