#include "app/OutcomeText.h"

#include "settings/AddedTexts.h"
#include "settings/Stringcode.h"

namespace orvo {

namespace {

int ProblemTextId(ProblemKind kind) {
  switch (kind) {
  case ProblemKind::FragmentUnreadable:
    return txt::ProblemFragmentUnreadable;
  case ProblemKind::FragmentDamaged:
    return txt::ProblemFragmentDamaged;
  case ProblemKind::FragmentsMissing:
    return txt::ProblemFragmentsMissing;
  case ProblemKind::OutputFailed:
    return txt::ProblemOutputFailed;
  case ProblemKind::GpsCopyFailed:
    return txt::ProblemGpsCopyFailed;
  case ProblemKind::MarkFailed:
    return txt::ProblemMarkFailed;
  case ProblemKind::VerifyFailed:
    return txt::ProblemVerifyFailed;
  case ProblemKind::RecordRangeEmpty:
    return txt::ProblemRecordRangeEmpty;
  case ProblemKind::RecordFileDisagrees:
    return txt::ProblemRecordFileDisagrees;
  case ProblemKind::NameTaken:
    return txt::NoteNameTaken;
  case ProblemKind::EarlierSetKept:
    return txt::NoteEarlierSetKept;
  case ProblemKind::GpsTrackNote:
    return txt::NoteGpsTrack;
  }
  return NoTextId;
}

int DamageTextId(DamageKind kind) {
  switch (kind) {
  case DamageKind::Structure:
    return txt::DamageStructure;
  case DamageKind::NoTracks:
    return txt::DamageNoTracks;
  case DamageKind::EmptyTrack:
    return txt::DamageEmptyTrack;
  case DamageKind::ZeroTimescale:
    return txt::DamageZeroTimescale;
  case DamageKind::TimesNotIncreasing:
    return txt::DamageTimesNotIncreasing;
  case DamageKind::SampleOutsideFile:
    return txt::DamageSampleOutsideFile;
  case DamageKind::SampleTooLarge:
    return txt::DamageSampleTooLarge;
  case DamageKind::TracksDiffer:
    return txt::DamageTracksDiffer;
  case DamageKind::SampleOutsideData:
    return txt::DamageSampleOutsideData;
  case DamageKind::SamplesOverlap:
    return txt::DamageSamplesOverlap;
  case DamageKind::EmptySample:
    return txt::DamageEmptySample;
  }
  return NoTextId;
}

} // namespace

int OutcomeTextId(OutcomeKind kind) {
  switch (kind) {
  case OutcomeKind::Converted:
    return txt::OutcomeConverted;
  case OutcomeKind::NotMarked:
    return txt::OutcomeNotMarked;
  case OutcomeKind::Partly:
    return txt::OutcomePartly;
  case OutcomeKind::Failed:
    return txt::OutcomeFailed;
  case OutcomeKind::Interrupted:
    return txt::OutcomeInterrupted;
  case OutcomeKind::None:
    break;
  }
  return NoTextId;
}

std::string DescribeProblem(const ConvertProblem &problem) {
  std::string text = GetText(ProblemTextId(problem.kind)) + ":";
  // "Fragments missing: 3 (…/F0000002.mp4 …)": the count, then the first.
  if (problem.kind == ProblemKind::FragmentsMissing)
    return text + " " + std::to_string(problem.count) + " (" + problem.file +
           (problem.count > 1 ? " …)" : ")");
  if (!problem.file.empty())
    text += " " + problem.file;
  std::string detail = problem.kind == ProblemKind::FragmentDamaged
                           ? GetText(DamageTextId(problem.damage))
                           : problem.detail;
  if (problem.kind != ProblemKind::FragmentDamaged && problem.detailTextId != 0)
    detail = GetText(problem.detailTextId) + (detail.empty() ? "" : " " + detail);
  if (!detail.empty())
    text += " (" + detail + ")";
  return text;
}

std::string DescribeOutcome(const RecordOutcome &outcome) {
  std::string text = GetText(OutcomeTextId(outcome.kind));
  if (!outcome.problems.empty()) {
    text += ": " + DescribeProblem(outcome.problems.front());
    if (outcome.problemCount > 1)
      text += "; " + GetText(txt::MoreProblems) + " " + std::to_string(outcome.problemCount - 1);
  }
  // Notes tell where a file went and why, even when all went well.
  for (const ConvertProblem &note : outcome.notes)
    text += "; " + DescribeProblem(note);
  return text;
}

std::string DescribeUnreadable(const TStorageX4TFT::UnreadableRecord &record) {
  return GetTextWith(
      txt::UnreadableRow,
      {record.folder, record.reasonTextId != 0 ? GetText(record.reasonTextId) : record.reason});
}

} // namespace orvo
