#include "engine/VideoFileTest.h"

#include "engine/SampleStream.h"
#include "mp4/Mp4container.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <memory>

namespace orvo {

namespace {

constexpr std::uint32_t kTestReadAhead = 8u << 20;

VideoFileTestResult &Ends(VideoFileTestResult &r, VideoFileVerdict verdict,
                          VideoFileProblem problem, std::uint32_t trackId = 0) {
  r.verdict = verdict;
  r.problem = problem;
  r.trackId = trackId;
  return r;
}

// Pairs each track of the file with its entry of the integrity data, by
// track ID; every track and every entry must find exactly one partner.
// False with the ID of the first track or entry left alone.
bool PairTracks(TMP4Container &reader, const IntegrityData &data, int entryOf[kMaxTracks],
                std::uint32_t &unpaired) {
  bool taken[kIntegrityMaxTracks] = {};
  for (int t = 0; t < reader.GetTrackCount(); ++t) {
    const std::uint32_t id = reader.GetTrackId(t);
    entryOf[t] = -1;
    for (std::uint32_t e = 0; e < data.trackCount; ++e) {
      if (data.tracks[e].trackId == id && !taken[e]) {
        taken[e] = true;
        entryOf[t] = static_cast<int>(e);
        break;
      }
    }
    if (entryOf[t] < 0) {
      unpaired = id;
      return false;
    }
  }
  for (std::uint32_t e = 0; e < data.trackCount; ++e) {
    if (!taken[e]) {
      unpaired = data.tracks[e].trackId;
      return false;
    }
  }
  return true;
}

} // namespace

namespace {

VideoFileTestResult TestOpened(std::unique_ptr<TMP4Container> reader, VideoFileTestResult r,
                               std::uint64_t fileSize, const std::atomic<bool> &cancel,
                               VideoFileProgress *progress);

} // namespace

VideoFileTestResult TestVideoFile(const std::string &path, const std::atomic<bool> &cancel,
                                  VideoFileProgress *progress) {
  VideoFileTestResult r;
  r.fileName = path;
  using V = VideoFileVerdict;
  using P = VideoFileProblem;
  std::uint64_t fileSize = 0;
  if (!platform::CheckReadableFile(path, r.systemError, fileSize))
    return Ends(r, V::ReadError, P::CannotOpen);
  if (fileSize > 0xFFFFFFFFu)
    return Ends(r, V::ReadError, P::TooLarge);
  // The reader keeps its per-track state inline: too large for a worker's stack.
  auto reader = std::make_unique<TMP4Container>();
  platform::ClearLastError();
  if (!reader->OpenRead(path)) {
    r.systemError = platform::LastErrorText();
    return Ends(r, V::ReadError, P::NotMp4);
  }
  return TestOpened(std::move(reader), std::move(r), fileSize, cancel, progress);
}

VideoFileTestResult TestOpenVideoFile(platform::File &&file, const std::string &name,
                                      const std::atomic<bool> &cancel,
                                      VideoFileProgress *progress) {
  VideoFileTestResult r;
  r.fileName = name;
  const std::int64_t size = file.Size();
  if (size < 0 || size > 0xFFFFFFFF)
    return Ends(r, VideoFileVerdict::ReadError,
                size < 0 ? VideoFileProblem::CannotOpen : VideoFileProblem::TooLarge);
  auto reader = std::make_unique<TMP4Container>();
  platform::ClearLastError();
  if (!reader->OpenReadFile(std::move(file))) {
    r.systemError = platform::LastErrorText();
    return Ends(r, VideoFileVerdict::ReadError, VideoFileProblem::NotMp4);
  }
  return TestOpened(std::move(reader), std::move(r), static_cast<std::uint64_t>(size), cancel,
                    progress);
}

namespace {

VideoFileTestResult TestOpened(std::unique_ptr<TMP4Container> reader, VideoFileTestResult r,
                               std::uint64_t fileSize, const std::atomic<bool> &cancel,
                               VideoFileProgress *progress) {
  using V = VideoFileVerdict;
  using P = VideoFileProblem;
  if (!reader->HasMovie())
    return Ends(r, V::ReadError, P::NoMovie);
  const int tracks = reader->GetTrackCount();
  r.tracks = static_cast<std::uint32_t>(tracks);
  r.integrity = reader->GetIntegrity(r.integrityData);
  const bool checking = r.integrity == IntegrityStatus::Present;
  if (r.integrity == IntegrityStatus::Malformed)
    return Ends(r, V::ChangedOrDamaged, P::IntegrityMalformed);

  // Counts are known from the index: a mismatch needs no reading.
  int entryOf[kMaxTracks] = {};
  if (checking) {
    std::uint32_t unpaired = 0;
    if (!PairTracks(*reader, r.integrityData, entryOf, unpaired))
      return Ends(r, V::ChangedOrDamaged, P::TrackMismatch, unpaired);
    for (int t = 0; t < tracks; ++t) {
      if (reader->GetSampleCount(t) != r.integrityData.tracks[entryOf[t]].sampleCount)
        return Ends(r, V::ChangedOrDamaged, P::CountMismatch, reader->GetTrackId(t));
    }
  }

  std::uint64_t total = 0;
  std::uint32_t largest = 0;
  TSampleStream::Totals(*reader, fileSize, total, largest);
  if (progress) {
    progress->done = 0;
    progress->total = total;
  }
  TSampleStream stream;
  TSampleDigest digests[kMaxTracks];
  if (!stream.Allocate(largest))
    return Ends(r, V::ReadError, P::OutOfMemory);
  for (int t = 0; checking && t < tracks; ++t) {
    if (!digests[t].Reset())
      return Ends(r, V::ReadError, P::OutOfMemory);
  }

  // The file is read front to back in large blocks, each sample's bytes fed
  // to its track's digest where they lie. Taking samples in time order
  // instead would jump back and forth between the tracks' chunks, and each
  // jump back costs a read of its own.
  reader->UseSharedWindow(kTestReadAhead);
  int track = 0;
  std::uint32_t sample = 0, size = 0, time = 0;
  bool key = false;
  while (reader->NextSampleInFileOrder(track, sample)) {
    if (cancel.load(std::memory_order_relaxed))
      return Ends(r, V::Cancelled, P::None);
    platform::ClearLastError();
    bool ok = reader->GetSampleInfo(track, sample, size, time, key);
    if (ok && size <= stream.Capacity()) {
      const std::uint8_t *bytes =
          reader->PeekSample(track, sample, stream.Buffer(), stream.Capacity());
      ok = bytes != nullptr;
      if (ok && checking)
        digests[track].Update(bytes, size);
    } else {
      for (std::uint32_t from = 0, n = 0; ok && from < size; from += n) {
        const std::uint8_t *piece = stream.Piece(*reader, track, sample, size, from, n);
        ok = piece != nullptr;
        if (ok && checking)
          digests[track].Update(piece, n);
      }
    }
    if (!ok) {
      r.systemError = platform::LastErrorText();
      r.sample = sample;
      return Ends(r, V::ReadError, P::SampleUnreadable, reader->GetTrackId(track));
    }
    ++r.samples;
    r.bytes += size;
    if (progress)
      progress->done.fetch_add(size, std::memory_order_relaxed);
  }

  if (!checking)
    return Ends(r, V::NoIntegrityData, P::None);
  for (int t = 0; t < tracks; ++t) {
    if (!(digests[t].Final() == r.integrityData.tracks[entryOf[t]].digest))
      return Ends(r, V::ChangedOrDamaged, P::DigestMismatch, reader->GetTrackId(t));
  }
  if (r.integrityData.version >= 2) {
    // The reader above takes only what it needs from the index; how the file
    // plays is read from the whole "moov" again.
    MoviePlayback now;
    if (!reader->DescribeOpenFile(now))
      return Ends(r, V::ChangedOrDamaged, P::PlaybackChanged);
    std::uint32_t trackId = 0;
    r.change = ComparePlayback(r.integrityData.playback, now, trackId);
    if (r.change != PlaybackChange::None)
      return Ends(r, V::ChangedOrDamaged, P::PlaybackChanged, trackId);
  }
  return Ends(r, V::Good, P::None);
}

} // namespace

const char *DescribePlaybackChange(PlaybackChange change) {
  switch (change) {
  case PlaybackChange::None:
    return "the index cannot be read again";
  case PlaybackChange::Tracks:
    return "other tracks or sample counts";
  case PlaybackChange::MovieTimescale:
    return "the movie's time scale changed";
  case PlaybackChange::MovieDuration:
    return "the movie's duration changed";
  case PlaybackChange::MovieDates:
    return "the movie's dates changed";
  case PlaybackChange::MovieHeader:
    return "the movie header (rate, volume or matrix) changed";
  case PlaybackChange::Timescale:
    return "the time scale changed";
  case PlaybackChange::Duration:
    return "the duration changed";
  case PlaybackChange::Dimensions:
    return "the picture size changed";
  case PlaybackChange::Matrix:
    return "the display matrix (rotation) changed";
  case PlaybackChange::TrackDates:
    return "the dates changed";
  case PlaybackChange::CodecSetup:
    return "the decoder set-up changed";
  case PlaybackChange::EditList:
    return "the edit list changed";
  case PlaybackChange::SampleSizes:
    return "the sample boundaries changed";
  case PlaybackChange::SampleTimes:
    return "the sample times changed";
  case PlaybackChange::CompositionOffsets:
    return "the composition offsets changed";
  case PlaybackChange::KeyFrames:
    return "the key frames changed";
  }
  return "";
}

std::string DescribeVideoFileTest(const VideoFileTestResult &r) {
  std::string text;
  switch (r.verdict) {
  case VideoFileVerdict::Good:
    text = TimingNotCovered(r) ? "good (integrity data of an earlier version: sample bytes "
                                 "checked, timing not covered)"
                               : "good";
    break;
  case VideoFileVerdict::NoIntegrityData:
    text = "no integrity data (samples read, nothing to compare them with)";
    break;
  case VideoFileVerdict::ChangedOrDamaged:
    text = "changed or damaged";
    break;
  case VideoFileVerdict::ReadError:
    text = "read error";
    break;
  case VideoFileVerdict::Cancelled:
    return "cancelled";
  }
  const std::string track = "track " + std::to_string(r.trackId);
  switch (r.problem) {
  case VideoFileProblem::None:
    break;
  case VideoFileProblem::CannotOpen:
    text += ": cannot be opened as a file";
    break;
  case VideoFileProblem::TooLarge:
    text += ": 4 GiB or larger";
    break;
  case VideoFileProblem::NotMp4:
    text += ": not a readable MP4 file";
    break;
  case VideoFileProblem::NoMovie:
    text += ": no movie index (\"moov\")";
    break;
  case VideoFileProblem::SampleUnreadable:
    text += ": sample " + std::to_string(r.sample + 1) + " of " + track + " cannot be read";
    break;
  case VideoFileProblem::IntegrityMalformed:
    text += ": the integrity data is damaged";
    break;
  case VideoFileProblem::TrackMismatch:
    text += ": " + track + " is not in both the file and its integrity data";
    break;
  case VideoFileProblem::CountMismatch:
    text += ": " + track + " has another number of samples";
    break;
  case VideoFileProblem::DigestMismatch:
    text += ": the samples of " + track + " differ";
    break;
  case VideoFileProblem::PlaybackChanged:
    text += ": " + std::string(r.trackId ? track + ": " : std::string()) +
            DescribePlaybackChange(r.change);
    break;
  case VideoFileProblem::OutOfMemory:
    text += ": out of memory";
    break;
  }
  if (!r.systemError.empty())
    text += " (" + r.systemError + ")";
  return text;
}

} // namespace orvo
