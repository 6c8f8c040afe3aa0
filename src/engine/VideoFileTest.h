#pragma once

#include "mp4/Integrity.h"
#include "platform/File.h"

#include <atomic>
#include <cstdint>
#include <string>

// The video file test: reads every sample of an MP4 file and checks it
// against the integrity data the file carries. Runs on a worker thread; the
// window or the command line watches its progress and may cancel it.
namespace orvo {

enum class VideoFileVerdict {
  Good,             // parses, every sample reads, every count and digest matches
  NoIntegrityData,  // another program's file, or an earlier version's: structure
                    // and readable samples checked only
  ChangedOrDamaged, // a count or digest differs, or the integrity data is damaged
  ReadError,        // cannot be opened or parsed, or a sample cannot be read
  Cancelled,
};

// Why a file failed; the track and sample fields of the result say where.
enum class VideoFileProblem {
  None,
  CannotOpen,         // missing, not readable, or not a regular file
  TooLarge,           // 4 GiB or more: past the 32-bit offsets this reader uses
  NotMp4,             // opened, but its boxes could not be parsed
  NoMovie,            // no "moov": nothing says where the samples are
  SampleUnreadable,   // a sample lies beyond the file's end or the read failed
  IntegrityMalformed, // the integrity box is damaged
  TrackMismatch,      // a track is in the file but not in the integrity data, or the reverse
  CountMismatch,      // a track holds another number of samples than recorded
  DigestMismatch,     // a track's sample bytes differ from those recorded
  PlaybackChanged,    // same bytes, but the index plays them otherwise; see `change`
  OutOfMemory,
};

// Sample bytes read and to read; written by the test, read by any thread.
struct VideoFileProgress {
  std::atomic<std::uint64_t> done{0};
  std::atomic<std::uint64_t> total{0};
};

struct VideoFileTestResult {
  VideoFileVerdict verdict = VideoFileVerdict::ReadError;
  VideoFileProblem problem = VideoFileProblem::None;
  std::string fileName;      // the path tested
  std::string systemError;   // the system's text, when the system reported an error
  std::uint32_t trackId = 0; // the track concerned, as in "tkhd" (0: none)
  std::uint32_t sample = 0;  // the sample concerned, from 0, for SampleUnreadable
  std::uint32_t tracks = 0;  // tracks in the file
  std::uint64_t samples = 0; // samples read
  std::uint64_t bytes = 0;   // sample bytes read
  PlaybackChange change = PlaybackChange::None; // for PlaybackChanged
  IntegrityStatus integrity = IntegrityStatus::Absent;
  IntegrityData integrityData; // when present: names the record the file came from
};

// Tests one file in bounded memory: the index is held, the samples are
// streamed through one buffer of at most a few MiB. `cancel` is polled
// before every sample; `progress` may be null.
VideoFileTestResult TestVideoFile(const std::string &path, const std::atomic<bool> &cancel,
                                  VideoFileProgress *progress = nullptr);
// The same for a file already open for reading (a part not yet under its
// name), reported under `name`.
VideoFileTestResult TestOpenVideoFile(platform::File &&file, const std::string &name,
                                      const std::atomic<bool> &cancel,
                                      VideoFileProgress *progress = nullptr);
// Whether a good file's integrity data is of the earlier kind that does not
// cover how the file plays.
inline bool TimingNotCovered(const VideoFileTestResult &r) {
  return r.integrity == IntegrityStatus::Present && r.integrityData.version < 2;
}

// Plain English for a change of how a file plays.
const char *DescribePlaybackChange(PlaybackChange change);
// Plain English for the command line and logs: the verdict, then the reason.
std::string DescribeVideoFileTest(const VideoFileTestResult &result);

} // namespace orvo
