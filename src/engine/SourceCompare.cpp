#include "engine/SourceCompare.h"

#include "engine/SampleStream.h"
#include "engine/Storagex4tft.h"
#include "mp4/Mp4container.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace orvo {

namespace {

using V = SourceCompareVerdict;
using P = SourceCompareProblem;

SourceCompareResult &Ends(SourceCompareResult &r, V verdict, P problem) {
  r.verdict = verdict;
  r.problem = problem;
  return r;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

} // namespace

bool IsRecordFolderName(std::string_view name) {
  // "R%08d_D%02d%02d%02d_T%02d%02d%02d": 25 characters.
  constexpr std::string_view shape = "R########_D######_T######";
  if (name.size() != shape.size())
    return false;
  for (std::size_t i = 0; i < shape.size(); ++i) {
    if (shape[i] == '#' ? !IsDigit(name[i]) : name[i] != shape[i])
      return false;
  }
  return true;
}

bool FindSourceRecord(const std::string &inputFolder, const IntegrityData &data,
                      std::string &recordFolderPath) {
  if (!IsRecordFolderName(data.recordFolder))
    return false;
  const std::string folder = platform::WithSeparator(inputFolder) + data.recordFolder;
  if (!platform::IsEnterableDirectory(folder))
    return false;
  recordFolderPath = folder + platform::kPathSeparator;
  return true;
}

namespace {

// The state of one comparison: the part open for reading, where each of its
// tracks has got to, and a buffer for each side.
struct Comparison {
  SourceCompareResult &r;
  const std::string &partPath;
  const std::atomic<bool> &cancel;
  VideoFileProgress *progress;
  std::unique_ptr<TMP4Container> part = std::make_unique<TMP4Container>();
  std::unique_ptr<TMP4Container> fragment = std::make_unique<TMP4Container>();
  int partTrackOfId[kMaxTracks] = {-1, -1, -1, -1, -1, -1, -1, -1}; // part track of ID i + 1
  std::uint32_t cursor[kMaxTracks] = {};
  TSampleStream partStream = {}, fragmentStream = {};
  std::uint32_t partLargest = 0;

  enum class Step { Next, FragmentEnds, Stop };

  // Compares one sample of the open fragment with the part's next sample of
  // the same track.
  Step CompareSample(int track, std::uint32_t sample) {
    std::uint32_t size = 0, partSize = 0, time = 0;
    bool key = false;
    if (!fragment->GetSampleInfo(track, sample, size, time, key))
      return Step::FragmentEnds;
    // Fragment track k was written to the part's track k, whose ID is k + 1.
    const int pt = track < kMaxTracks ? partTrackOfId[track] : -1;
    r.trackId = static_cast<std::uint32_t>(track + 1);
    if (pt < 0) {
      Ends(r, V::Different, P::TrackMissing);
      return Step::Stop;
    }
    r.sample = cursor[pt];
    if (cursor[pt] >= part->GetSampleCount(pt)) {
      Ends(r, V::Different, P::SampleMissing);
      return Step::Stop;
    }
    if (!part->GetSampleInfo(pt, cursor[pt], partSize, time, key) || partSize != size) {
      Ends(r, V::Different, P::SampleDiffers);
      return Step::Stop;
    }
    for (std::uint32_t from = 0, n = 0, m = 0; from < size; from += n) {
      platform::ClearLastError();
      const std::uint8_t *theirs = fragmentStream.Piece(*fragment, track, sample, size, from, n);
      if (!theirs)
        return Step::FragmentEnds;
      const std::uint8_t *ours = partStream.Piece(*part, pt, cursor[pt], size, from, m);
      if (!ours || m != n) {
        r.systemError = platform::LastErrorText();
        r.fileName = partPath;
        Ends(r, V::ReadError, P::SampleUnreadable);
        return Step::Stop;
      }
      if (std::memcmp(ours, theirs, n) != 0) {
        Ends(r, V::Different, P::SampleDiffers);
        return Step::Stop;
      }
    }
    ++cursor[pt];
    ++r.samples;
    if (progress)
      progress->done.fetch_add(size, std::memory_order_relaxed);
    return Step::Next;
  }

  // False when the comparison has its verdict.
  bool CompareFragment(const std::string &path, std::uint32_t number) {
    r.fragment = number;
    r.fileName = path;
    if (!fragment->OpenRead(path)) {
      ++r.fragmentsSkipped;
      return true;
    }
    Step step = Step::Next;
    int track = 0;
    std::uint32_t sample = 0;
    while (step == Step::Next && fragment->NextSample(track, sample)) {
      if (cancel.load(std::memory_order_relaxed)) {
        Ends(r, V::Cancelled, P::None);
        step = Step::Stop;
      } else {
        step = CompareSample(track, sample);
      }
    }
    if (step == Step::FragmentEnds)
      ++r.fragmentsSkipped;
    fragment->Close();
    return step != Step::Stop;
  }
};

} // namespace

SourceCompareResult CompareWithSource(const std::string &partPath, const std::string &inputFolder,
                                      const std::atomic<bool> &cancel,
                                      VideoFileProgress *progress) {
  SourceCompareResult r;
  r.fileName = partPath;
  Comparison c{r, partPath, cancel, progress};
  std::uint64_t fileSize = 0;
  if (!platform::CheckReadableFile(partPath, r.systemError, fileSize))
    return Ends(r, V::ReadError, P::PartUnreadable);
  platform::ClearLastError();
  if (!c.part->OpenRead(partPath)) {
    r.systemError = platform::LastErrorText();
    return Ends(r, V::ReadError, P::PartUnreadable);
  }
  IntegrityData data;
  if (c.part->GetIntegrity(data) != IntegrityStatus::Present)
    return Ends(r, V::NoSource, P::NoIntegrityData);
  if (!IsRecordFolderName(data.recordFolder) || data.firstFragment > data.lastFragment)
    return Ends(r, V::NoSource, P::BadRecordName);
  std::string folder;
  if (!FindSourceRecord(inputFolder, data, folder))
    return Ends(r, V::NoSource, P::RecordNotFound);
  r.recordFolder = folder;

  for (int t = 0; t < c.part->GetTrackCount(); ++t) {
    const std::uint32_t id = c.part->GetTrackId(t);
    if (id >= 1 && id <= kMaxTracks && c.partTrackOfId[id - 1] < 0)
      c.partTrackOfId[id - 1] = t;
  }
  std::uint64_t total = 0;
  TSampleStream::Totals(*c.part, fileSize, total, c.partLargest);
  if (progress) {
    progress->done = 0;
    progress->total = total;
  }
  if (!c.partStream.Allocate(c.partLargest))
    return Ends(r, V::ReadError, P::OutOfMemory);

  // A sample is compared only when it is as large as the part's, so no
  // fragment needs a larger buffer than the part's largest sample.
  if (!c.fragmentStream.Allocate(c.partLargest))
    return Ends(r, V::ReadError, P::OutOfMemory);
  // Only the fragments that exist are visited: a damaged range (up to
  // 0xFFFFFFFF) costs one listing per fragment folder, not a probe per number.
  std::vector<TStorageX4TFT::Fragment> fragments;
  std::uint64_t missing = 0;
  std::uint32_t firstMissing = 0;
  TStorageX4TFT::ListFragments(folder, data.firstFragment, data.lastFragment, fragments, missing,
                               firstMissing);
  r.fragmentsSkipped = static_cast<std::uint32_t>(std::min<std::uint64_t>(missing, 0xFFFFFFFFu));
  for (const TStorageX4TFT::Fragment &f : fragments) {
    if (cancel.load(std::memory_order_relaxed))
      return Ends(r, V::Cancelled, P::None);
    if (!c.CompareFragment(f.path, f.number))
      return r;
  }
  r.fileName = partPath;
  for (int t = 0; t < c.part->GetTrackCount(); ++t) {
    // The GPS tracks come from the track file, not from the fragments.
    std::int8_t type = kTrackNone;
    std::string name, language;
    c.part->GetTrackInfo(t, type, name, language);
    if (type != kTrackVideo && type != kTrackAudio)
      continue;
    if (c.cursor[t] < c.part->GetSampleCount(t)) {
      r.trackId = c.part->GetTrackId(t);
      r.sample = c.cursor[t];
      return Ends(r, V::Different, P::SampleLeftOver);
    }
  }
  r.trackId = 0;
  r.sample = 0;
  return Ends(r, V::Same, P::None);
}

} // namespace orvo
