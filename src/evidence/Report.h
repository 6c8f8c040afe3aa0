#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The report of an evidence package: one self-contained HTML page (styles,
// the route as SVG and the thumbnails inline) that prints as it shows.
namespace orvo::evidence {

struct ReportFile {
  std::string path; // relative to the package, with "/"
  std::uint64_t size = 0;
  std::string sha256;
};

struct ReportMoment {
  std::string recorderTime;
  std::string utcTime; // empty when the track is not placed
  double latitude = 0, longitude = 0, speedKmh = 0;
  bool hasPosition = false;
};

struct ReportThumbnail {
  std::string label;     // the recorder's time of the frame
  std::string pngBase64; // the picture
};

struct ReportModel {
  std::string program, version, build;
  std::string command; // how the package was asked for
  std::string exportUtc, exportLocal;
  std::string computer, user;
  std::string cardFolder, volumeLabel, volumeSerial, volumeDevice;
  std::string recordFolder;
  std::uint32_t recordNumber = 0;
  std::string recorderStart, recorderEnd; // of the exported stretch
  std::string utcStart, utcEnd;           // empty when the track does not place it
  std::string clockOffset;                // "+03:00", or why unknown
  std::optional<ReportMoment> marked;
  std::string routeSvg; // empty: no track
  std::vector<ReportThumbnail> thumbnails;
  std::string thumbnailNote; // why there are none, when there are none
  std::vector<ReportFile> files;
  std::vector<std::string> steps;
  std::vector<std::string> verifyCommands;
};

std::string ReportHtml(const ReportModel &model);

// Text made safe inside HTML.
std::string EscapeHtml(const std::string &text);
std::string Base64(const std::string &bytes);

} // namespace orvo::evidence
