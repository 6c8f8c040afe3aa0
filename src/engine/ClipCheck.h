#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace orvo {

enum class ClipCheckVerdict {
  Identical,  // every sample is byte for byte its source on the card
  Differs,    // a sample, a count or the record differs; `detail` says where
  NotAClip,   // the file names no source (not a clip of this program)
  SourceGone, // the record or a fragment cannot be read from the card
  Cancelled,
};

struct ClipCheckResult {
  ClipCheckVerdict verdict = ClipCheckVerdict::NotAClip;
  std::string detail; // the file and what differs, or the system's reason
  std::uint64_t samples = 0;
  std::uint32_t fragments = 0;
};

// Compares every sample of a clip with the samples its provenance names in
// the record's fragments under `cardFolder`, in bounded memory; the card is
// only read.
ClipCheckResult CheckClipAgainstCard(const std::string &clip, const std::string &cardFolder,
                                     const std::atomic<bool> &cancel);

// The same verdict as a comparison of a file with its source, for the
// window's file test.
struct SourceCompareResult;
SourceCompareResult ClipCompareResult(const ClipCheckResult &check, const std::string &clip);

// One line of plain English.
std::string DescribeClipCheck(const ClipCheckResult &result);

} // namespace orvo
