#include "engine/VirtualRecord.h"

#include "engine/PartJoin.h"
#include "engine/RecordTime.h"
#include "engine/SampleStream.h"
#include "engine/Storagex4tft.h"
#include "mp4/Mp4container.h"
#include "platform/Error.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace orvo {

namespace {

constexpr std::size_t kKeptProblems = 8;

// Where each sample put into the layout comes from, in the order taken.
struct SourceTap final : TPartJoin::Tap {
  TMP4Container &reader;
  std::uint32_t fragment = 0;
  struct Source {
    std::uint32_t fragment, offset, size;
  };
  std::vector<Source> byTrack[kMaxTracks];
  explicit SourceTap(TMP4Container &r) : reader(r) {}
  void Taken(int track, std::uint32_t sample, std::uint32_t size) override {
    byTrack[track].push_back({fragment, reader.GetSampleOffset(track, sample), size});
  }
  void Clear() {
    for (auto &t : byTrack)
      t.clear();
  }
};

} // namespace

void TVirtualRecord::AddProblem(ConvertProblem problem) {
  if (problems_.size() < kKeptProblems)
    problems_.push_back(std::move(problem));
  ++problemCount_;
}

bool TVirtualRecord::Open(const std::string &recordFolder, const RecordEntry &entry,
                          const std::atomic<bool> *cancel) {
  const std::atomic<bool> never{false};
  const std::atomic<bool> &stop = cancel ? *cancel : never;
  entry_ = entry;
  segments_.clear();
  paths_.clear();
  sizes_.clear();
  spans_.clear();
  problems_.clear();
  problemCount_ = 0;
  error_.clear();
  {
    std::lock_guard<std::mutex> lock(readLock_);
    open_.Close();
    openFragment_ = 0xFFFFFFFFu;
  }
  if (entry.FirstFragment > entry.LastFragment) {
    error_ = "no fragments in the record's range";
    return false;
  }
  std::vector<TStorageX4TFT::Fragment> fragments;
  std::uint64_t missing = 0;
  std::uint32_t firstMissing = 0;
  TStorageX4TFT::ListFragments(recordFolder, entry.FirstFragment, entry.LastFragment, fragments,
                               missing, firstMissing);
  if (missing > 0) {
    ConvertProblem p;
    p.kind = ProblemKind::FragmentsMissing;
    p.file = recordFolder + TStorageX4TFT::FragmentFolderName(firstMissing) +
             TStorageX4TFT::FragmentFileName(firstMissing);
    p.count = missing;
    AddProblem(p);
  }

  TMP4Container reader, layout;
  TPartJoin join;
  SourceTap tap(reader);
  std::uint64_t elapsed = 0;
  VirtualSegment segment;

  auto damaged = [&](DamageKind kind, const std::string &file) {
    ConvertProblem p;
    p.kind = ProblemKind::FragmentDamaged;
    p.damage = kind;
    p.file = file;
    AddProblem(p);
  };
  // Ends the open segment: its index, and its data as runs of the
  // fragments. A segment whose every track has fewer than two samples has
  // no index and plays nothing; like such a part, it is left out.
  auto closeSegment = [&]() -> bool {
    join.End();
    std::vector<TMP4Container::LayoutChunk> chunks;
    std::uint64_t dataBytes = 0;
    const bool indexed = layout.HasIndexedTrack();
    const bool ok = indexed && layout.FinishLayout(segment.head, chunks, dataBytes);
    segment.durationTicks = *std::max_element(layout.TrackDuration, layout.TrackDuration + kMaxTracks);
    layout.Close();
    if (!ok) {
      tap.Clear();
      // Its fragments play nowhere.
      const auto dropped = static_cast<std::uint32_t>(segments_.size());
      std::erase_if(spans_, [dropped](const Span &s) { return s.segment == dropped; });
      return !indexed; // a layout that cannot be finished is too large
    }
    segment.size = segment.head.size() + dataBytes;
    for (const TMP4Container::LayoutChunk &c : chunks) {
      std::uint64_t at = c.offset;
      const auto &sources = tap.byTrack[c.track];
      for (std::uint32_t i = c.firstSample; i < c.firstSample + c.count && i < sources.size();
           ++i) {
        const SourceTap::Source &s = sources[i];
        auto &runs = segment.extents;
        if (!runs.empty() && runs.back().fragment == s.fragment &&
            runs.back().offset + runs.back().length == at &&
            std::uint64_t{runs.back().source} + runs.back().length == s.offset &&
            std::uint64_t{runs.back().length} + s.size <= 0xFFFFFFFFu) {
          runs.back().length += s.size;
        } else if (s.size > 0) {
          runs.push_back({at, s.fragment, s.offset, s.size});
        }
        at += s.size;
      }
    }
    segment.videoSamples = 0;
    for (int t = 0; t < kMaxTracks; ++t)
      if (join.TrackType(t) == kTrackVideo)
        segment.videoSamples += static_cast<std::uint32_t>(tap.byTrack[t].size());
    segments_.push_back(std::move(segment));
    segment = VirtualSegment{};
    tap.Clear();
    return true;
  };

  for (const TStorageX4TFT::Fragment &fragment : fragments) {
    if (stop) {
      error_ = "cancelled";
      return false;
    }
    if (!reader.OpenRead(fragment.path)) {
      const std::string why = reader.LastErrorText();
      if (why.empty()) {
        damaged(DamageKind::Structure, fragment.path);
      } else {
        ConvertProblem p;
        p.kind = ProblemKind::FragmentUnreadable;
        p.file = fragment.path;
        p.detail = why;
        AddProblem(p);
      }
      continue;
    }
    const FragmentFault fault = reader.CheckFragment(TStorageX4TFT::kSampleBufferBytes);
    if (fault != FragmentFault::None) {
      damaged(DamageOf(fault), fragment.path);
      reader.Close();
      continue;
    }
    std::uint64_t bytes = 0;
    std::uint32_t largest = 0;
    TSampleStream::Totals(reader, 0xFFFFFFFFu, bytes, largest);
    if (join.IsOpen()) {
      const TPartJoin::Fit fit = join.Check(reader);
      if (fit == TPartJoin::Fit::TracksDiffer) {
        damaged(DamageKind::TracksDiffer, fragment.path);
        reader.Close();
        continue;
      }
      if ((fit == TPartJoin::Fit::NewPart ||
           layout.GetPosition() + bytes + (1u << 20) > kSegmentLimit) &&
          !closeSegment()) {
        error_ = "the record's index is too large";
        return false;
      }
    }
    if (!join.IsOpen()) {
      if (!layout.OpenLayout() || !join.Begin(reader, layout)) {
        layout.Close();
        damaged(DamageKind::Structure, fragment.path);
        reader.Close();
        continue;
      }
      segment.startTicks = elapsed;
      segment.firstFragment = fragment.number;
      layout.SetCreationTime(RecordTimeSince1904(entry, elapsed));
    }
    tap.fragment = static_cast<std::uint32_t>(paths_.size());
    paths_.push_back(fragment.path);
    sizes_.push_back(reader.GetFileSize());
    if (join.CopySamples(reader, layout, nullptr, 0, stop, &tap) != TPartJoin::Copy::Copied) {
      reader.Close();
      error_ = stop ? "cancelled" : "the record's index is too large";
      return false;
    }
    join.Advance(reader);
    spans_.push_back({fragment.number, tap.fragment, static_cast<std::uint32_t>(segments_.size()),
                      elapsed, reader.TrackDuration[0]});
    elapsed += reader.TrackDuration[0];
    segment.lastFragment = fragment.number;
    reader.Close();
  }
  if (join.IsOpen() && !closeSegment()) {
    error_ = "the record's index is too large";
    return false;
  }
  if (segments_.empty()) {
    error_ = problems_.empty() ? "no fragment of the record can be played"
                               : problems_.front().file;
    return false;
  }
  return true;
}

std::uint64_t TVirtualRecord::SegmentStartMs(std::size_t segment) const {
  std::uint64_t ms = 0;
  for (std::size_t k = 0; k < segment && k < segments_.size(); ++k)
    ms += segments_[k].durationTicks / 90;
  return ms;
}

std::uint64_t TVirtualRecord::DurationMs() const {
  return SegmentStartMs(segments_.size());
}

void TVirtualRecord::Locate(std::uint64_t recordMs, std::size_t &segment,
                            std::uint64_t &segmentMs) const {
  segment = 0;
  segmentMs = recordMs;
  while (segment + 1 < segments_.size() && segmentMs >= segments_[segment].durationTicks / 90) {
    segmentMs -= segments_[segment].durationTicks / 90;
    ++segment;
  }
  if (!segments_.empty())
    segmentMs = std::min<std::uint64_t>(segmentMs, segments_[segment].durationTicks / 90);
}

bool TVirtualRecord::ReadSource(std::uint32_t fragment, std::uint32_t source, std::uint8_t *to,
                                std::uint32_t n) {
  if (fragment >= paths_.size())
    return false;
  const std::string &path = paths_[fragment];
  if (openFragment_ != fragment) {
    open_.Close();
    openFragment_ = 0xFFFFFFFFu;
    if (!open_.OpenRead(path)) {
      error_ = path;
      error_.append(": ").append(platform::LastErrorText());
      return false;
    }
    // Another file under the fragment's name is not the one laid out.
    if (open_.Size() != static_cast<std::int64_t>(sizes_[fragment])) {
      error_ = path;
      error_.append(": the file changed since the record was opened");
      open_.Close();
      return false;
    }
    openFragment_ = fragment;
  }
  const std::int64_t got = open_.ReadAt(to, n, source);
  if (got == static_cast<std::int64_t>(n))
    return true;
  error_ = path;
  error_.append(": ").append(got < 0 ? platform::LastErrorText()
                                     : std::string("the file is shorter than its index says"));
  open_.Close();
  openFragment_ = 0xFFFFFFFFu;
  return false;
}

std::int64_t TVirtualRecord::Read(std::size_t index, std::uint64_t offset, void *buffer,
                                  std::size_t n) {
  std::lock_guard<std::mutex> lock(readLock_);
  if (index >= segments_.size())
    return -1;
  const VirtualSegment &s = segments_[index];
  if (offset >= s.size)
    return 0;
  n = static_cast<std::size_t>(std::min<std::uint64_t>(n, s.size - offset));
  auto *out = static_cast<std::uint8_t *>(buffer);
  std::size_t done = 0;
  const std::uint64_t headSize = s.head.size();
  if (offset < headSize) {
    const auto k = static_cast<std::size_t>(std::min<std::uint64_t>(n, headSize - offset));
    std::memcpy(out, s.head.data() + offset, k);
    done = k;
  }
  // The first run that ends after the position.
  auto run = std::upper_bound(s.extents.begin(), s.extents.end(), offset + done,
                              [](std::uint64_t at, const VirtualSegment::Extent &e) {
                                return at < e.offset + e.length;
                              });
  while (done < n) {
    const std::uint64_t at = offset + done;
    if (run == s.extents.end() || at < run->offset) {
      const std::uint64_t gapEnd = run == s.extents.end() ? s.size : run->offset;
      const auto k = static_cast<std::size_t>(std::min<std::uint64_t>(n - done, gapEnd - at));
      std::memset(out + done, 0, k);
      done += k;
      continue;
    }
    const std::uint64_t into = at - run->offset;
    const auto k = static_cast<std::uint32_t>(
        std::min<std::uint64_t>(n - done, run->length - into));
    if (!ReadSource(run->fragment, run->source + static_cast<std::uint32_t>(into), out + done, k))
      return -1;
    done += k;
    ++run;
  }
  return static_cast<std::int64_t>(done);
}

} // namespace orvo
