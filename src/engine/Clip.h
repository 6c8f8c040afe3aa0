#pragma once

#include "engine/Storagex4tft.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace orvo {

// A stretch of a record, cut without re-encoding: from the key frame at or
// before the in point to the frame shown at the out point, across as many
// fragments as it covers, with its audio cut on AAC frames that keep their
// offset to the picture. Times are milliseconds on the record's time line
// (the player's).
struct ClipRequest {
  std::uint64_t fromMs = 0;
  std::uint64_t toMs = 0;
  // One edit-list entry, so that players honouring one start at the in
  // point rather than at the key frame before it.
  bool exactStart = false;
  // The GPS track's stretch as a .gpx file beside the clip, and inside it
  // (a subtitle, GPMF and camm track and the place).
  bool gpsBeside = true;
  bool gpsInside = true;
};

struct ClipResult {
  // In the output folder, one per decoder set-up the stretch crosses.
  std::vector<std::string> files;
  std::string gpx; // empty: none written
  // The stretch really taken: its first frame (a key frame) and the start
  // of its last.
  std::uint64_t startMs = 0;
  std::uint64_t lastFrameMs = 0;
  bool interrupted = false;
  // Why the clip is not (wholly) there: a file and the system's reason.
  std::string error;
};

// The entry as if the record began `ms` later, for the name mask.
RecordEntry ShiftedEntry(RecordEntry entry, std::uint64_t ms);

// Writes the clip into `outputFolder`, named by the source's name mask for
// its own first frame with "_C" appended; never over another file. Reads
// only the fragments the stretch takes samples from (and the others'
// indexes); the card is not written. False with `error` when it failed.
bool WriteClip(const TStorageX4TFT::PlaySource &source, const ClipRequest &request,
               const std::string &outputFolder, const std::atomic<bool> &cancel,
               ClipResult &result, std::atomic<std::uint64_t> *bytesRead = nullptr);

} // namespace orvo
