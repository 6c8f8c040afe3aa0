#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvo {

// What went wrong with one record of a conversion. The window and the
// command line turn it into a text of the language tables; `file` and
// `detail` (the system's own wording of an error) are shown as they are.
enum class ProblemKind : std::uint8_t {
  FragmentUnreadable, // cannot be opened or read; detail says why
  FragmentDamaged,    // opened, but not usable as a whole; `fault` says why
  FragmentsMissing,   // `count` fragments of the range are not on the card
  OutputFailed,       // an output part could not be written; detail says why
  GpsCopyFailed,
  MarkFailed,   // the outputs are complete, but "record.dat" kept no mark
  VerifyFailed, // a part read back from the disk is not what was written
  RecordRangeEmpty,    // the record file's first fragment lies after its last
  RecordFileDisagrees, // its fragment count, range or fragments disagree
  // Notes, which leave the outcome as it is:
  NameTaken,      // `file` was kept; the output took another name
  EarlierSetKept, // the run was not complete; the record's earlier files stay
  GpsTrackNote,   // the GPS track file: what could not be read or placed
};

// Why a fragment that opened is not usable as a whole.
enum class DamageKind : std::uint8_t {
  Structure, // the MP4 boxes cannot be read
  NoTracks,
  EmptyTrack,
  ZeroTimescale,
  TimesNotIncreasing,
  SampleOutsideFile,
  SampleTooLarge,
  TracksDiffer, // other tracks than the part's earlier fragments
  SampleOutsideData,
  SamplesOverlap,
  EmptySample,
};

struct ConvertProblem {
  ProblemKind kind = ProblemKind::FragmentUnreadable;
  DamageKind damage = DamageKind::Structure;
  std::string file;   // the file concerned, as a path
  std::string detail; // the system's text, when there is one
  int detailTextId = 0; // a text of the language tables, before `detail`
  std::uint64_t count = 0;
};

enum class OutcomeKind : std::uint8_t {
  None,        // not part of the last conversion
  Converted,   // every fragment, the GPS copy and the mark
  NotMarked,   // every output complete, but the mark could not be written
  Partly,      // some parts written, something failed
  Failed,      // nothing written
  Interrupted, // cancelled by the user; finished parts stay
};

struct RecordOutcome {
  OutcomeKind kind = OutcomeKind::None;
  std::vector<std::string> parts; // names of the output files written, in order
  std::string gpsCopy;            // name of the GPS copy, when made
  // The first problems in the order they happened; `problemCount` counts
  // them all (a damaged card can have thousands).
  std::vector<ConvertProblem> problems;
  std::uint64_t problemCount = 0;
  // What the user should know although nothing failed (NameTaken,
  // EarlierSetKept).
  std::vector<ConvertProblem> notes;
};

} // namespace orvo
