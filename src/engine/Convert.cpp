#include "engine/Storagex4tft.h"

#include "engine/RecordTime.h"
#include "engine/VideoFileTest.h"
#include "mp4/Mp4container.h"
#include "platform/Error.h"
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "settings/AddedTexts.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>

namespace orvo {

namespace {

// Problems beyond these are only counted: a card with a damaged range can
// have thousands, and nobody reads more than the first few.
constexpr std::size_t kKeptProblems = 8;

DamageKind DamageOf(FragmentFault fault) {
  switch (fault) {
  case FragmentFault::NoTracks:
    return DamageKind::NoTracks;
  case FragmentFault::EmptyTrack:
    return DamageKind::EmptyTrack;
  case FragmentFault::ZeroTimescale:
    return DamageKind::ZeroTimescale;
  case FragmentFault::TimesNotIncreasing:
    return DamageKind::TimesNotIncreasing;
  case FragmentFault::SampleOutsideFile:
    return DamageKind::SampleOutsideFile;
  case FragmentFault::SampleTooLarge:
    return DamageKind::SampleTooLarge;
  case FragmentFault::None:
    break;
  }
  return DamageKind::Structure;
}

ConvertProblem Problem(ProblemKind kind, std::string file, std::string detail = {}) {
  ConvertProblem p;
  p.kind = kind;
  p.file = std::move(file);
  p.detail = std::move(detail);
  return p;
}

ConvertProblem Damaged(DamageKind damage, std::string file) {
  ConvertProblem p = Problem(ProblemKind::FragmentDamaged, std::move(file));
  p.damage = damage;
  return p;
}

} // namespace

void TStorageX4TFT::AddProblem(RecordOutcome &outcome, ConvertProblem problem) {
  if (outcome.problems.size() < kKeptProblems)
    outcome.problems.push_back(std::move(problem));
  ++outcome.problemCount;
}

std::string TStorageX4TFT::PartName(const RecordJob &job, std::uint32_t part) {
  return job.base + "_P" + std::to_string(part) + ".mp4";
}

// Closes the open part. Only a part that was finished and has reached the
// medium appears under its name; otherwise nothing does. False when the
// output failed, which ends the record.
bool TStorageX4TFT::ClosePart(RecordJob &job) {
  job.partOpen = false;
  const std::string name = PartName(job, job.part);
  // A part with no track of two samples (a cancel right after it began, or
  // a fragment of one frame before a new decoder set-up or the record's end)
  // would have an empty index and play nothing: it is not written, and only
  // a cancel makes that no problem. Its number is free for the next part,
  // so the record goes on.
  if (!Writer->HasIndexedTrack()) {
    Writer->Discard();
    if (CancelRequested)
      return true;
    ConvertProblem p = Problem(ProblemKind::OutputFailed, OutputFolder + name);
    p.detailTextId = txt::PartTooShort;
    AddProblem(job.outcome, p);
    return true;
  }
  ++job.part;
  Writer->Close();
  if (!Writer->LastFinishSucceeded()) {
    AddProblem(job.outcome,
               Problem(ProblemKind::OutputFailed, OutputFolder + name, Writer->LastErrorText()));
    return false;
  }
  job.outcome.parts.push_back(name);
  return !VerifyOutputs || VerifyPart(job, OutputFolder + name);
}

// Reads the part back from the disk, not from the system's cache, and checks
// every sample against the digests the writer put into it.
bool TStorageX4TFT::VerifyPart(RecordJob &job, const std::string &path) {
  platform::File file;
  if (file.OpenRead(path))
    file.DropCachedPages();
  file.Close();
  const VideoFileTestResult r = TestVideoFile(path, CancelRequested);
  if (r.verdict == VideoFileVerdict::Good || r.verdict == VideoFileVerdict::Cancelled)
    return true;
  ConvertProblem p = Problem(ProblemKind::VerifyFailed, path, r.systemError);
  if (r.systemError.empty())
    p.detailTextId = r.verdict == VideoFileVerdict::ReadError ? 278 : 279;
  AddProblem(job.outcome, p);
  return false;
}

void TStorageX4TFT::SetDigestsEnabledForBenchmark(bool enabled) {
  Writer->SetDigestsEnabled(enabled);
}

// Starts a part with the tracks of the fragment open in the reader.
bool TStorageX4TFT::OpenPart(RecordJob &job, const std::string &fragmentPath,
                             std::uint32_t fragmentNumber, bool &outputFailed) {
  const std::string path = OutputFolder + PartName(job, job.part);
  if (!Writer->OpenWrite(path)) {
    AddProblem(job.outcome, Problem(ProblemKind::OutputFailed, path, Writer->LastErrorText()));
    outputFailed = true;
    return false;
  }
  // Where the part comes from and when it begins, for its integrity data
  // and header times (the recorder's clock, taken as UTC).
  const RecordEntry &entry = Entries[job.index];
  Writer->SetRecordSource(FolderName(entry), fragmentNumber);
  Writer->SetCreationTime(RecordTimeSince1904(entry, job.elapsed));
  job.tracks.clear();
  const int tracks = Reader->GetTrackCount();
  for (int k = 0; k < tracks; ++k) {
    std::int8_t type = kTrackNone;
    std::string handler, language;
    std::uint8_t codecType = kCodecNone;
    std::int32_t codecSize = 0;
    bool ok = Reader->GetTrackInfo(k, type, handler, language) &&
              Writer->AddTrack(type, handler, language) != -1;
    const std::uint8_t *config = ok ? Reader->GetCodecConfig(k, codecType, codecSize) : nullptr;
    if (config)
      ok = Writer->SetCodecConfig(k, codecType, codecSize, config);
    if (!ok) {
      // The reader accepted a track set-up the writer cannot express: the
      // fragment, not the output, is at fault.
      Writer->Discard();
      AddProblem(job.outcome, Damaged(DamageKind::Structure, fragmentPath));
      return false;
    }
    TrackTypes[k] = static_cast<std::uint8_t>(type);
    job.offsets[k] = 0;
    PartTrack t{type, config ? codecType : kCodecNone, {}};
    if (config)
      t.config.assign(config, config + codecSize);
    job.tracks.push_back(std::move(t));
  }
  job.partOpen = true;
  return true;
}

TStorageX4TFT::CopyResult TStorageX4TFT::CopySamples(RecordJob &job,
                                                     const std::string &fragmentPath) {
  int track = 0;
  std::uint32_t sample = 0;
  while (Reader->NextSample(track, sample)) {
    // Checked per sample so that a cancel takes effect within a moment even
    // on a slow card; what was written so far is whole samples of a valid
    // file.
    if (CancelRequested)
      return CopyResult::Copied;
    std::uint32_t size = 0, timestamp = 0;
    bool key = false;
    Reader->GetSampleInfo(track, sample, size, timestamp, key);
    if (TrackTypes[track] == kTrackAudio) // every AAC frame decodes on its own
      key = true;
    if (!Reader->ReadSample(track, sample, SampleBuffer.get(),
                            static_cast<std::uint32_t>(SampleBufferSize))) {
      AddProblem(job.outcome, Problem(ProblemKind::FragmentUnreadable, fragmentPath,
                                      Reader->LastErrorText()));
      return CopyResult::ReadFailed;
    }
    if (!Writer->WriteSample(track, SampleBuffer.get(), size, job.offsets[track] + timestamp,
                             key)) {
      const std::string why = Writer->LastErrorText();
      AddProblem(job.outcome,
                 Problem(ProblemKind::OutputFailed, OutputFolder + PartName(job, job.part),
                         why.empty() ? "the file would pass 4 GiB" : why));
      return CopyResult::WriteFailed;
    }
  }
  return CopyResult::Copied;
}

// Copies one fragment into the current part, opening a part when none is
// open. A fragment is copied only when all of it is usable: one that cannot
// be opened, yields nothing, or would break the part's timestamps or
// decoder set-up is left out as a whole and reported.
TStorageX4TFT::FragmentResult TStorageX4TFT::CopyFragment(RecordJob &job,
                                                          const Fragment &fragment) {
  struct ReaderCloser {
    TMP4Container &reader;
    ~ReaderCloser() { reader.Close(); }
  };
  if (!Reader->OpenRead(fragment.path)) {
    const std::string &why = Reader->LastErrorText();
    AddProblem(job.outcome, why.empty() ? Damaged(DamageKind::Structure, fragment.path)
                                        : Problem(ProblemKind::FragmentUnreadable,
                                                  fragment.path, why));
    return FragmentResult::Failed;
  }
  ReaderCloser closer{*Reader};
  const FragmentFault fault = Reader->CheckFragment(static_cast<std::uint32_t>(SampleBufferSize));
  if (fault != FragmentFault::None) {
    AddProblem(job.outcome, Damaged(DamageOf(fault), fragment.path));
    return FragmentResult::Failed;
  }
  const int tracks = Reader->GetTrackCount();
  if (job.partOpen) {
    bool sameTracks = static_cast<int>(job.tracks.size()) == tracks;
    bool sameConfig = sameTracks;
    for (int k = 0; sameTracks && k < tracks; ++k) {
      std::int8_t type = kTrackNone;
      std::string handler, language;
      std::uint8_t codecType = kCodecNone;
      std::int32_t size = 0;
      Reader->GetTrackInfo(k, type, handler, language);
      const std::uint8_t *config = Reader->GetCodecConfig(k, codecType, size);
      if (!config)
        codecType = kCodecNone;
      const PartTrack &t = job.tracks[static_cast<std::size_t>(k)];
      sameTracks = t.type == type && t.codecType == codecType;
      sameConfig = sameConfig && sameTracks && t.config.size() == std::size_t(config ? size : 0) &&
                   (!config || std::memcmp(t.config.data(), config, t.config.size()) == 0);
    }
    if (!sameTracks) {
      AddProblem(job.outcome, Damaged(DamageKind::TracksDiffer, fragment.path));
      return FragmentResult::Failed;
    }
    // A new decoder set-up (say the picture size changed) starts a new
    // part, so that every part decodes with the set-up it declares. So
    // does a part whose media time would pass 32 bits.
    bool fits = true;
    for (int k = 0; k < tracks; ++k)
      fits = fits && std::uint64_t{job.offsets[k]} + Reader->TrackDuration[k] <= 0xFFFFFFFFu;
    if ((!sameConfig || !fits) && !ClosePart(job))
      return FragmentResult::RecordEnds;
  }
  if (!job.partOpen) {
    bool outputFailed = false;
    if (!OpenPart(job, fragment.path, fragment.number, outputFailed))
      return outputFailed ? FragmentResult::RecordEnds : FragmentResult::Failed;
  }

  const CopyResult copied = CopySamples(job, fragment.path);
  if (copied == CopyResult::WriteFailed) {
    // A file whose write failed cannot be finished; it never appears.
    Writer->Discard();
    job.partOpen = false;
    ++job.part;
    return FragmentResult::RecordEnds;
  }
  for (int k = 0; k < tracks; ++k)
    job.offsets[k] += Reader->TrackDuration[k];
  job.elapsed += Reader->TrackDuration[0];
  Writer->SetLastFragment(fragment.number);
  if (Writer->GetPosition() > MaxOutputLength && !ClosePart(job))
    return FragmentResult::RecordEnds;
  return copied == CopyResult::Copied ? FragmentResult::Copied : FragmentResult::Failed;
}

// The mark is the one byte of "record.dat" that conversion owns; the rest of
// the file is left exactly as it stands now, whatever changed it since the
// scan. It is written only to the record file the catalog describes, and
// flushed so that a mark never outlives the outputs it stands for.
bool TStorageX4TFT::WriteMark(const std::string &folder, const RecordEntry &entry,
                              ConvertProblem &problem) {
  constexpr std::size_t kMarksOffset = offsetof(RecordEntry, Marks);
  const std::string path = folder + RecordFileName;
  problem = Problem(ProblemKind::MarkFailed, path);
  platform::File file;
  RecordEntry now;
  if (!file.OpenExisting(path) ||
      file.ReadAt(&now, sizeof now, 0) != static_cast<std::int64_t>(sizeof now)) {
    problem.detail = platform::LastErrorText();
    return false;
  }
  if (!HasValidSignature(now) || now.RecordNumber != entry.RecordNumber) {
    problem.detail = "the record file changed since the scan";
    return false;
  }
  const auto marks =
      static_cast<std::uint8_t>((now.Marks & ~kMarkChecked) | kMarkConverted);
  if (file.WriteAt(&marks, 1, kMarksOffset) != 1 || !file.Flush() || !file.Close()) {
    problem.detail = platform::LastErrorText();
    return false;
  }
  return true;
}

// Parts of an earlier conversion with higher numbers than this run wrote
// would look like one set with this run's parts.
void TStorageX4TFT::RemoveStaleParts(const RecordJob &job) {
  if (job.outcome.parts.empty())
    return;
  for (std::uint32_t part = job.part;; ++part) {
    const std::string path = OutputFolder + PartName(job, part);
    if (!platform::IsRegularFile(path) || !platform::DeleteFile(path))
      break;
  }
}

void TStorageX4TFT::ConvertRecord(std::uint32_t index, const std::vector<Fragment> &fragments,
                                  std::uint64_t missing, std::uint32_t firstMissing,
                                  std::set<std::string> &usedBases) {
  RecordEntry &entry = Entries[index];
  const std::string folder = RecordFolderPath(index);
  RecordJob job;
  job.index = index;
  job.base = BaseName(entry);
  // Two records of one job must not replace each other's output (same date
  // and time after a clock reset, or a mask without placeholders).
  if (usedBases.count(job.base)) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "_R%08u", entry.RecordNumber);
    std::string base = job.base + suffix;
    for (unsigned n = 2; usedBases.count(base); ++n)
      base = job.base + suffix + "-" + std::to_string(n);
    job.base = base;
  }
  usedBases.insert(job.base);

  bool interrupted = false;
  for (const Fragment &fragment : fragments) {
    if (CancelRequested) {
      interrupted = true;
      break;
    }
    const FragmentResult r = CopyFragment(job, fragment);
    ProgressDone = ProgressDone + 1;
    BytesDone += static_cast<std::int64_t>(fragment.size);
    if (r == FragmentResult::RecordEnds)
      break;
  }
  interrupted = interrupted || CancelRequested;
  if (missing > 0) {
    ConvertProblem p = Problem(ProblemKind::FragmentsMissing,
                               folder + FragmentFolderName(firstMissing) +
                                   FragmentFileName(firstMissing));
    p.count = missing;
    AddProblem(job.outcome, p);
  }
  if (job.partOpen)
    ClosePart(job);

  RecordOutcome &outcome = job.outcome;
  if (!interrupted && (entry.Attributes & kAttrGps)) {
    const std::string gps = GpsFileName(index);
    if (platform::CopyFileSafely(folder + gps, OutputFolder + gps, &CancelRequested))
      outcome.gpsCopy = gps;
    else if (CancelRequested)
      interrupted = true;
    else
      AddProblem(outcome, Problem(ProblemKind::GpsCopyFailed, folder + gps,
                                  platform::LastErrorText()));
  }
  if (interrupted) {
    outcome.kind = OutcomeKind::Interrupted;
  } else if (outcome.problemCount > 0) {
    outcome.kind = outcome.parts.empty() ? OutcomeKind::Failed : OutcomeKind::Partly;
  } else {
    RemoveStaleParts(job);
    ConvertProblem problem;
    if (WriteMark(folder, entry, problem)) {
      entry.Marks = static_cast<std::uint8_t>((entry.Marks & ~kMarkChecked) | kMarkConverted);
      outcome.kind = OutcomeKind::Converted;
    } else {
      AddProblem(outcome, problem);
      outcome.kind = OutcomeKind::NotMarked;
    }
  }
  Outcomes[index] = std::move(outcome);
}

bool TStorageX4TFT::ConvertChecked() {
  bool expected = false;
  if (!Busy.compare_exchange_strong(expected, true))
    return true;
  Cancelled = false;
  ProgressDone = 0;
  ProgressTotal = 0;
  BytesDone = 0;
  BytesTotal = 0;
  CurrentRecord = -1;
  FinishedCount.store(0, std::memory_order_release);
  Outcomes.assign(Count, RecordOutcome{});

  // Which fragments exist is learnt first, so that the progress counts
  // what will really be copied and no missing number is ever probed.
  struct Planned {
    std::uint32_t index;
    std::vector<Fragment> fragments;
    std::uint64_t missing;
    std::uint32_t firstMissing;
  };
  std::vector<Planned> plan;
  std::int64_t total = 0;
  for (std::uint32_t i = 0; i < Count && !CancelRequested; ++i) {
    const RecordEntry &e = Entries[i];
    if (!(e.Marks & kMarkChecked))
      continue;
    Planned p{i, {}, 0, 0};
    ListFragments(RecordFolderPath(i), e.FirstFragment, e.LastFragment, p.fragments, p.missing,
                  p.firstMissing);
    total += static_cast<std::int64_t>(p.fragments.size());
    for (const Fragment &f : p.fragments)
      BytesTotal += static_cast<std::int64_t>(f.size);
    plan.push_back(std::move(p));
  }
  ProgressTotal = static_cast<std::int32_t>(std::min<std::int64_t>(total, INT32_MAX));
  FinishedOrder.assign(plan.size(), 0);
  // An empty output folder would put the files into the current directory;
  // one inside the card would be scanned as part of it.
  const char *outputRefusal = OutputFolder.empty() ? "no output folder is set"
                              : platform::FolderLiesWithin(OutputFolder, CatalogFolder)
                                  ? "the output folder lies inside the input folder"
                                  : nullptr;
  const bool outputKnown = outputRefusal == nullptr;
  if (outputKnown)
    platform::RemoveStaleTemporaries(OutputFolder);

  bool result = true;
  std::set<std::string> usedBases;
  std::uint32_t finished = 0;
  for (const Planned &p : plan) {
    if (CancelRequested)
      break;
    CurrentRecord = p.index;
    if (!outputKnown) {
      AddProblem(Outcomes[p.index],
                 Problem(ProblemKind::OutputFailed, OutputFolder, outputRefusal));
      Outcomes[p.index].kind = OutcomeKind::Failed;
    } else {
      ConvertRecord(p.index, p.fragments, p.missing, p.firstMissing, usedBases);
    }
    if (Outcomes[p.index].kind != OutcomeKind::Converted)
      result = false;
    FinishedOrder[finished++] = p.index;
    FinishedCount.store(finished, std::memory_order_release);
  }
  CurrentRecord = -1;
  Cancelled = CancelRequested.load();
  if (Cancelled)
    result = false;
  CancelRequested = false;
  ProgressDone = 0;
  ProgressTotal = 0;
  Busy = false;
  return result;
}

} // namespace orvo
