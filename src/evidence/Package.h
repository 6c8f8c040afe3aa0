#pragma once

#include "engine/Clip.h"
#include "engine/Storagex4tft.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// An evidence package of a record, or of a stretch of it: a folder
// "<name>_evidence" holding the record's card files bit for bit in
// original/ (as they lie in the record's folder), the working copy in
// video/ (a clip, or the whole record as one, with its GPS track), a report
// and SHA256SUMS over every other file, in the form `sha256sum -c` checks.
// It is made under a temporary name and renamed when complete; the card is
// only read.
namespace orvo::evidence {

// Pictures of frames across the stretch, decoded where a decoder is at
// hand: each with the moment on the record's time line it shows, as PNG.
struct Thumbnail {
  std::uint64_t recordMs = 0;
  std::string png;
};

struct PackageRequest {
  TStorageX4TFT::PlaySource source;
  std::string cardFolder;          // the folder the card was read from
  std::optional<ClipRequest> clip; // none: the whole record
  std::optional<std::uint64_t> markedMs; // a moment to report, on the record's time line
  std::string destination;         // the folder the package goes into
  std::string program, version, build;
  std::string command; // how the package was asked for, for the report
  std::vector<Thumbnail> thumbnails;
  std::string noThumbnailsReason;
  // The report as PDF, from its HTML; none when not given or it fails.
  std::function<bool(const std::string &html, std::string &pdf)> pdf;
};

struct PackageResult {
  std::string folder; // the package, once complete
  std::vector<std::string> files; // relative to it
  std::uint64_t bytes = 0;
  bool interrupted = false;
  std::string error; // a file and the system's reason
};

bool MakePackage(const PackageRequest &request, const std::atomic<bool> &cancel,
                 PackageResult &result);

// The names a package gives its parts.
inline constexpr const char *kSumsFile = "SHA256SUMS";
inline constexpr const char *kReportFile = "report.html";
inline constexpr const char *kReportPdf = "report.pdf";
inline constexpr const char *kOriginalFolder = "original";
inline constexpr const char *kVideoFolder = "video";

} // namespace orvo::evidence
