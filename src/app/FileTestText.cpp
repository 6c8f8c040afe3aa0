#include "app/FileTestText.h"

#include "settings/AddedTexts.h"
#include "settings/Stringcode.h"

namespace orvo {

namespace {

int ProblemTextId(VideoFileProblem problem) {
  switch (problem) {
  case VideoFileProblem::CannotOpen:
    return txt::FileTestCannotOpen;
  case VideoFileProblem::TooLarge:
    return txt::FileTestTooLarge;
  case VideoFileProblem::NotMp4:
    return txt::FileTestNotMp4;
  case VideoFileProblem::NoMovie:
    return txt::FileTestNoMovie;
  case VideoFileProblem::SampleUnreadable:
    return txt::FileTestSampleUnreadable;
  case VideoFileProblem::IntegrityMalformed:
    return txt::FileTestIntegrityMalformed;
  case VideoFileProblem::TrackMismatch:
    return txt::FileTestTrackMismatch;
  case VideoFileProblem::CountMismatch:
    return txt::FileTestCountMismatch;
  case VideoFileProblem::DigestMismatch:
    return txt::FileTestDigestMismatch;
  case VideoFileProblem::PlaybackChanged:
    return txt::FileTestPlaybackChanged;
  case VideoFileProblem::OutOfMemory:
    return txt::FileTestOutOfMemory;
  case VideoFileProblem::None:
    break;
  }
  return NoTextId;
}

int PlaybackChangeTextId(PlaybackChange change) {
  switch (change) {
  case PlaybackChange::Tracks:
    return txt::PlaybackTracks;
  case PlaybackChange::MovieTimescale:
    return txt::PlaybackMovieTimescale;
  case PlaybackChange::MovieDuration:
    return txt::PlaybackMovieDuration;
  case PlaybackChange::MovieDates:
    return txt::PlaybackMovieDates;
  case PlaybackChange::MovieHeader:
    return txt::PlaybackMovieHeader;
  case PlaybackChange::Timescale:
    return txt::PlaybackTimescale;
  case PlaybackChange::Duration:
    return txt::PlaybackDuration;
  case PlaybackChange::Dimensions:
    return txt::PlaybackDimensions;
  case PlaybackChange::Matrix:
    return txt::PlaybackMatrix;
  case PlaybackChange::TrackDates:
    return txt::PlaybackTrackDates;
  case PlaybackChange::CodecSetup:
    return txt::PlaybackCodecSetup;
  case PlaybackChange::EditList:
    return txt::PlaybackEditList;
  case PlaybackChange::SampleSizes:
    return txt::PlaybackSampleSizes;
  case PlaybackChange::SampleTimes:
    return txt::PlaybackSampleTimes;
  case PlaybackChange::CompositionOffsets:
    return txt::PlaybackCompositionOffsets;
  case PlaybackChange::KeyFrames:
    return txt::PlaybackKeyFrames;
  case PlaybackChange::None:
    break;
  }
  return NoTextId;
}

int ProblemTextId(SourceCompareProblem problem) {
  switch (problem) {
  case SourceCompareProblem::PartUnreadable:
    return txt::FileTestCannotOpen;
  case SourceCompareProblem::NoIntegrityData:
  case SourceCompareProblem::BadRecordName:
  case SourceCompareProblem::RecordNotFound:
    return txt::CompareNoRecord;
  case SourceCompareProblem::SampleUnreadable:
    return txt::FileTestSampleUnreadable;
  case SourceCompareProblem::TrackMissing:
    return txt::CompareTrackMissing;
  case SourceCompareProblem::SampleMissing:
    return txt::CompareSampleMissing;
  case SourceCompareProblem::SampleLeftOver:
    return txt::CompareSampleLeftOver;
  case SourceCompareProblem::SampleDiffers:
    return txt::CompareSampleDiffers;
  case SourceCompareProblem::OutOfMemory:
    return txt::FileTestOutOfMemory;
  case SourceCompareProblem::None:
    break;
  }
  return NoTextId;
}

void Append(std::string &list, const std::string &item) {
  if (item.empty())
    return;
  if (!list.empty())
    list += ", ";
  list += item;
}

std::string Numbered(int id, std::uint32_t n) {
  return GetText(id) + " " + std::to_string(n);
}

// "Verdict: reason (where; system error)"; the parts that are known.
std::string Compose(int verdictId, int reasonId, const std::string &where,
                    const std::string &systemError) {
  std::string text = GetText(verdictId);
  if (reasonId == NoTextId)
    return text;
  text.append(": ").append(GetText(reasonId));
  std::string details = where;
  if (!systemError.empty())
    details.append(details.empty() ? "" : "; ").append(systemError);
  if (!details.empty())
    text.append(" (").append(details).append(")");
  return text;
}

} // namespace

int FileTestVerdictTextId(VideoFileVerdict verdict) {
  switch (verdict) {
  case VideoFileVerdict::Good:
    return 277;
  case VideoFileVerdict::NoIntegrityData:
    return txt::FileTestNoIntegrityData;
  case VideoFileVerdict::ChangedOrDamaged:
    return 279;
  case VideoFileVerdict::ReadError:
    return 278;
  case VideoFileVerdict::Cancelled:
    return 280;
  }
  return NoTextId;
}

std::string DescribeFileTest(const VideoFileTestResult &r) {
  if (r.verdict == VideoFileVerdict::Cancelled)
    return GetText(280);
  std::string where;
  if (r.trackId != 0)
    Append(where, Numbered(txt::FileTestTrack, r.trackId));
  // Samples count from 1 for people, as players show them.
  if (r.problem == VideoFileProblem::SampleUnreadable)
    Append(where, Numbered(txt::FileTestSample, r.sample + 1));
  if (r.problem == VideoFileProblem::PlaybackChanged && r.change != PlaybackChange::None)
    Append(where, GetText(PlaybackChangeTextId(r.change)));
  std::string text =
      Compose(FileTestVerdictTextId(r.verdict), ProblemTextId(r.problem), where, r.systemError);
  if (TimingNotCovered(r) && r.verdict == VideoFileVerdict::Good)
    text.append(" (").append(GetText(txt::FileTestTimingNotCovered)).append(")");
  return text;
}

std::string DescribeFileSource(const VideoFileTestResult &r) {
  if (r.integrity != IntegrityStatus::Present)
    return std::string();
  return GetText(txt::FileTestSource) + " " + r.integrityData.recordFolder + ", " +
         GetText(txt::FileTestFragments) + " " + std::to_string(r.integrityData.firstFragment) +
         "–" + std::to_string(r.integrityData.lastFragment);
}

std::string DescribeCompare(const SourceCompareResult &r, bool brief) {
  int verdictId = txt::CompareFailed;
  std::string where;
  switch (r.verdict) {
  case SourceCompareVerdict::Same:
    verdictId = txt::CompareSame;
    break;
  case SourceCompareVerdict::Cancelled:
    return GetText(280);
  case SourceCompareVerdict::Different:
    verdictId = txt::CompareDiffers;
    // The fragment where the difference shows; the file's own name adds
    // nothing.
    if (r.problem != SourceCompareProblem::SampleLeftOver)
      Append(where, r.fileName);
    Append(where, Numbered(txt::FileTestTrack, r.trackId));
    if (r.problem != SourceCompareProblem::TrackMissing)
      Append(where, Numbered(txt::FileTestSample, r.sample + 1));
    break;
  case SourceCompareVerdict::ReadError:
    if (r.problem == SourceCompareProblem::SampleUnreadable) {
      Append(where, Numbered(txt::FileTestTrack, r.trackId));
      Append(where, Numbered(txt::FileTestSample, r.sample + 1));
    }
    break;
  case SourceCompareVerdict::NoSource:
    break;
  }
  if (brief)
    where.clear();
  std::string text = Compose(verdictId, ProblemTextId(r.problem), where, r.systemError);
  if (!brief && r.fragmentsSkipped > 0)
    text.append("\n").append(Numbered(txt::CompareFragmentsSkipped, r.fragmentsSkipped));
  return text;
}

} // namespace orvo
