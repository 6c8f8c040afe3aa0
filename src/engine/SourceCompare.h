#pragma once

#include "engine/VideoFileTest.h"
#include "mp4/Integrity.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

// Compares a converted part sample by sample with the card's fragments it
// was made from, as its integrity data names them: the last word on whether
// a file is what came off the card, while that card is at hand.
namespace orvo {

enum class SourceCompareVerdict {
  Same,      // every sample of the part equals the fragments' sample, none left over
  Different, // a sample differs, is missing, or is left over (where: see the result)
  NoSource,  // the part names no record, or one that is not on this card
  ReadError, // the part cannot be read, or a sample of it
  Cancelled,
};

enum class SourceCompareProblem {
  None,
  PartUnreadable,   // the part cannot be opened or parsed (systemError may say why)
  NoIntegrityData,  // the part names no record (another program's file, or damaged data)
  BadRecordName,    // the name it gives is no record folder name, or the range is reversed
  RecordNotFound,   // no such record folder on this card
  SampleUnreadable, // a sample of the part cannot be read
  TrackMissing,     // a fragment has samples of a track the part does not have
  SampleMissing,    // the part ends before the fragments' samples of a track
  SampleLeftOver,   // the part has samples of a track that no fragment has
  SampleDiffers,    // size or bytes of one sample differ
  OutOfMemory,
};

struct SourceCompareResult {
  SourceCompareVerdict verdict = SourceCompareVerdict::ReadError;
  SourceCompareProblem problem = SourceCompareProblem::None;
  std::string fileName;       // the part, or the fragment where the difference shows
  std::string systemError;    // the system's text, when the system reported an error
  std::string recordFolder;   // the record folder compared with
  std::uint32_t fragment = 0; // the fragment where the difference shows
  std::uint32_t trackId = 0;  // the part's track concerned (0: none)
  std::uint32_t sample = 0;   // the part's sample concerned, from 0
  std::uint64_t samples = 0;  // samples found equal
  // Fragments that could not be opened, or whose samples stopped reading
  // part-way: the conversion skips those too (the rest of the fragment), so
  // the part is compared with what the card can give.
  std::uint32_t fragmentsSkipped = 0;
};

// A record folder name as the recorder writes it: "R", 8 digits, "_D", 6
// digits, "_T", 6 digits, nothing else (so it can never lead out of the card).
bool IsRecordFolderName(std::string_view name);

// The path of the record folder that `data` names, below `inputFolder`,
// ending with the separator; false when the name is not a record folder
// name or the folder is not there.
bool FindSourceRecord(const std::string &inputFolder, const IntegrityData &data,
                      std::string &recordFolderPath);

// Compares the part at `partPath` with the fragments of its record below
// `inputFolder`. `cancel` is polled before every sample; `progress` (in
// bytes of the part's samples) may be null.
SourceCompareResult CompareWithSource(const std::string &partPath, const std::string &inputFolder,
                                      const std::atomic<bool> &cancel,
                                      VideoFileProgress *progress = nullptr);

} // namespace orvo
