#include "engine/ClipCheck.h"

#include "engine/OutputSet.h"
#include "engine/SourceCompare.h"
#include "engine/Storagex4tft.h"
#include "mp4/Mp4container.h"
#include "platform/Error.h"
#include "platform/File.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace orvo {

namespace {

ClipCheckResult Verdict(ClipCheckVerdict v, std::string detail) {
  ClipCheckResult r;
  r.verdict = v;
  r.detail = std::move(detail);
  return r;
}

} // namespace

ClipCheckResult CheckClipAgainstCard(const std::string &clip, const std::string &cardFolder,
                                     const std::atomic<bool> &cancel) {
  TMP4Container copy, source;
  ClipProvenance provenance;
  if (!copy.OpenRead(clip))
    return Verdict(ClipCheckVerdict::Differs, clip + ": " + copy.LastErrorText());
  if (!copy.GetProvenance(provenance))
    return Verdict(ClipCheckVerdict::NotAClip, clip);
  // The name comes from the file: only a record folder's name may lead
  // into the card.
  if (!IsRecordFolderName(provenance.recordFolder))
    return Verdict(ClipCheckVerdict::Differs, clip + ": names no record folder");
  const std::string folder =
      platform::WithSeparator(cardFolder) + provenance.recordFolder + platform::kPathSeparator;
  // The record file tells this record from another of the same name.
  RecordEntry entry;
  const std::string recordFile = folder + TStorageX4TFT::RecordFileName;
  if (!platform::ReadFileHead(recordFile, &entry, sizeof entry))
    return Verdict(ClipCheckVerdict::SourceGone, recordFile + ": " + platform::LastErrorText());
  if (!(RecordDigest(entry) == provenance.recordDigest))
    return Verdict(ClipCheckVerdict::Differs, recordFile + ": another record than the clip's");

  ClipCheckResult result;
  std::vector<std::uint32_t> next(static_cast<std::size_t>(copy.GetTrackCount()), 0);
  std::vector<std::uint8_t> a, b;
  for (const ProvenanceFragment &f : provenance.fragments) {
    // A fragment the stretch only touched gave no sample to compare.
    if (std::all_of(f.tracks.begin(), f.tracks.end(),
                    [](const ProvenanceRun &r) { return r.count == 0; }))
      continue;
    const std::string path = folder + TStorageX4TFT::FragmentFolderName(f.number) +
                             TStorageX4TFT::FragmentFileName(f.number);
    if (!source.OpenRead(path))
      return Verdict(ClipCheckVerdict::SourceGone, path + ": " + source.LastErrorText());
    for (std::size_t t = 0; t < f.tracks.size(); ++t) {
      const ProvenanceRun &run = f.tracks[t];
      const int track = static_cast<int>(t);
      for (std::uint32_t k = 0; k < run.count; ++k) {
        if (cancel)
          return Verdict(ClipCheckVerdict::Cancelled, clip);
        std::uint32_t sa = 0, sb = 0, time = 0;
        bool key = false;
        const std::uint32_t mine = t < next.size() ? next[t]++ : 0xFFFFFFFFu;
        const bool counted = t < next.size() && copy.GetSampleInfo(track, mine, sa, time, key) &&
                             source.GetSampleInfo(track, run.firstSample + k, sb, time, key);
        if (!counted || sa != sb)
          return Verdict(ClipCheckVerdict::Differs,
                         clip + ": track " + std::to_string(t + 1) + " sample " +
                             std::to_string(mine) + " is not sample " +
                             std::to_string(run.firstSample + k) + " of " + path);
        // Samples stay below the reader's largest, a few MiB.
        a.resize(sa);
        b.resize(sb);
        if (!copy.ReadSample(track, mine, a.data(), sa))
          return Verdict(ClipCheckVerdict::Differs, clip + ": " + copy.LastErrorText());
        if (!source.ReadSample(track, run.firstSample + k, b.data(), sb))
          return Verdict(ClipCheckVerdict::SourceGone, path + ": " + source.LastErrorText());
        if (sa > 0 && std::memcmp(a.data(), b.data(), sa) != 0)
          return Verdict(ClipCheckVerdict::Differs,
                         clip + ": track " + std::to_string(t + 1) + " sample " +
                             std::to_string(mine) + " differs from sample " +
                             std::to_string(run.firstSample + k) + " of " + path);
        ++result.samples;
      }
    }
    source.Close();
    ++result.fragments;
  }
  // Nothing in the clip that no source names.
  for (std::size_t t = 0; t < next.size(); ++t) {
    std::int8_t type = kTrackNone;
    std::string handler, language;
    copy.GetTrackInfo(static_cast<int>(t), type, handler, language);
    if ((type == kTrackVideo || type == kTrackAudio) &&
        next[t] != copy.GetSampleCount(static_cast<int>(t)))
      return Verdict(ClipCheckVerdict::Differs,
                     clip + ": track " + std::to_string(t + 1) + " holds samples from no source");
  }
  result.verdict = ClipCheckVerdict::Identical;
  result.detail = clip;
  return result;
}

SourceCompareResult ClipCompareResult(const ClipCheckResult &check, const std::string &clip) {
  SourceCompareResult r;
  r.fileName = clip;
  r.samples = check.samples;
  switch (check.verdict) {
  case ClipCheckVerdict::Identical:
    r.verdict = SourceCompareVerdict::Same;
    break;
  case ClipCheckVerdict::Differs:
    r.verdict = SourceCompareVerdict::Different;
    r.problem = SourceCompareProblem::SampleDiffers;
    r.fileName = check.detail;
    break;
  case ClipCheckVerdict::NotAClip:
  case ClipCheckVerdict::SourceGone:
    r.verdict = SourceCompareVerdict::NoSource;
    r.problem = SourceCompareProblem::RecordNotFound;
    r.systemError = check.detail;
    break;
  case ClipCheckVerdict::Cancelled:
    r.verdict = SourceCompareVerdict::Cancelled;
    break;
  }
  return r;
}

std::string DescribeClipCheck(const ClipCheckResult &r) {
  switch (r.verdict) {
  case ClipCheckVerdict::Identical:
    return r.detail + ": every sample (" + std::to_string(r.samples) + ", from " +
           std::to_string(r.fragments) + " fragment files) is byte for byte the card's";
  case ClipCheckVerdict::Differs:
    return "differs from the card: " + r.detail;
  case ClipCheckVerdict::NotAClip:
    return r.detail + ": names no source on a card (not a clip)";
  case ClipCheckVerdict::SourceGone:
    return "source not readable: " + r.detail;
  case ClipCheckVerdict::Cancelled:
    return r.detail + ": cancelled";
  }
  return r.detail;
}

} // namespace orvo
