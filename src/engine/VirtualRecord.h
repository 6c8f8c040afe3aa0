#pragma once

#include "engine/Outcome.h"
#include "engine/RecordEntry.h"
#include "platform/File.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace orvo {

// One decoder set-up's stretch of a record as an MP4 file that exists only
// as a description: its head ("ftyp", the index first, the "mdat" header)
// is held in memory and its sample data is read from the fragment files
// where it lies. The samples, their order, times and chunks are those a
// conversion of the record writes.
struct VirtualSegment {
  std::vector<std::uint8_t> head;
  std::uint64_t size = 0;        // of the whole file
  std::uint64_t startTicks = 0;  // media time of the record before it (90 kHz)
  std::uint32_t durationTicks = 0;
  std::uint32_t firstFragment = 0, lastFragment = 0;
  std::uint32_t videoSamples = 0;
  // Where the file's data comes from: runs of bytes of one fragment, by
  // offset; bytes no run covers read as zero.
  struct Extent {
    std::uint64_t offset;
    std::uint32_t fragment; // index into TVirtualRecord::FragmentPaths
    std::uint32_t source;   // offset in that file
    std::uint32_t length;
  };
  std::vector<Extent> extents;
};

class TVirtualRecord {
public:
  // Lays the record out from its fragments' indexes alone, leaving out the
  // fragments a conversion leaves out, for the same reasons. False with
  // ErrorText when nothing of it can be played; a cancel makes it false too.
  bool Open(const std::string &recordFolder, const RecordEntry &entry,
            const std::atomic<bool> *cancel = nullptr);
  const std::vector<VirtualSegment> &Segments() const { return segments_; }
  const std::vector<std::string> &FragmentPaths() const { return paths_; }
  // Each fragment laid out, in order: where it lies on the record's media
  // time (90 kHz) and in which segment.
  struct Span {
    std::uint32_t number;
    std::uint32_t path; // index into FragmentPaths
    std::uint32_t segment;
    std::uint64_t startTicks;
    std::uint32_t durationTicks;
  };
  const std::vector<Span> &Spans() const { return spans_; }
  // Fragments left out or missing, the first few of them, and how many.
  const std::vector<ConvertProblem> &Problems() const { return problems_; }
  std::uint64_t ProblemCount() const { return problemCount_; }
  const std::string &ErrorText() const { return error_; }
  const RecordEntry &Entry() const { return entry_; }

  // The segments one after another, in milliseconds: the whole length, and
  // where a moment of it lies (the last segment's end for one past it).
  std::uint64_t DurationMs() const;
  void Locate(std::uint64_t recordMs, std::size_t &segment, std::uint64_t &segmentMs) const;
  std::uint64_t SegmentStartMs(std::size_t segment) const;

  // Up to `n` bytes of segment `segment` from `offset` on; the count read
  // (0 at the end), or -1 with ErrorText naming the fragment and why (a
  // card pulled out, a file that changed). Safe from any one thread at a
  // time per object; calls are serialised.
  std::int64_t Read(std::size_t segment, std::uint64_t offset, void *buffer, std::size_t n);

  // The largest file a segment may be: its offsets are 32-bit, and the
  // index comes before the data.
  static constexpr std::uint64_t kSegmentLimit = 0xF0000000u;

private:
  void AddProblem(ConvertProblem problem);
  bool ReadSource(std::uint32_t fragment, std::uint32_t source, std::uint8_t *to,
                  std::uint32_t n);

  RecordEntry entry_{};
  std::vector<VirtualSegment> segments_;
  std::vector<std::string> paths_;
  std::vector<std::uint64_t> sizes_; // as listed when opened
  std::vector<Span> spans_;
  std::vector<ConvertProblem> problems_;
  std::uint64_t problemCount_ = 0;
  std::string error_;
  std::mutex readLock_;
  platform::File open_;
  std::uint32_t openFragment_ = 0xFFFFFFFFu;
};

} // namespace orvo
