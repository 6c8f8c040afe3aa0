#include "engine/Storagex4tft.h"

#include "engine/Finisher.h"
#include "engine/OutputSet.h"
#include "engine/PartJoin.h"
#include "engine/RecordTime.h"
#include "gps/CardClock.h"
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

// Jobs the finisher may have waiting: enough for a part being read back
// while the next is copied, few enough that the copying stays close behind.
constexpr std::size_t kFinisherDepth = 4;

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
  return TOutputFolder::PartName(job.tail->base, part);
}

// Whether two names are one file (the output folder may be the record's own
// under another name).
bool TStorageX4TFT::SameFile(const std::string &a, const std::string &b) {
  platform::File fa, fb;
  std::uint64_t da = 0, ia = 0, db = 1, ib = 1;
  return fa.OpenRead(a) && fb.OpenRead(b) && fa.Identity(da, ia) && fb.Identity(db, ib) &&
         da == db && ia == ib;
}

// Compares two files byte for byte, in bounded pieces.
bool TStorageX4TFT::SameContent(const std::string &a, const std::string &b) {
  platform::File fa, fb;
  if (!fa.OpenRead(a) || !fb.OpenRead(b) || fa.Size() != fb.Size())
    return false;

  std::vector<std::uint8_t> x(1 << 20), y(1 << 20);
  for (;;) {
    const std::int64_t n = fa.Read(x.data(), x.size());
    if (n < 0 || fb.Read(y.data(), y.size()) != n)
      return false;
    if (n == 0)
      return true;
    if (std::memcmp(x.data(), y.data(), static_cast<std::size_t>(n)) != 0)
      return false;
  }
}

// Closes the open part: finished under a temporary name, it goes to the
// finisher, which flushes it (and reads it back) while the next part is
// copied, and keeps it until the record's whole set is put under its names
// together. False when the output failed, which ends the record.
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
  WriteGpsSamples(job);
  auto staged = std::make_shared<StagedPart>(StagedPart{name, {}});
  if (!Writer->CloseUnflushed(staged->file)) {
    AddProblem(job.outcome,
               Problem(ProblemKind::OutputFailed, OutputFolder + name, Writer->LastErrorText()));
    return false;
  }
  const std::uint64_t at = job.outcome.problemCount;
  Finisher->Post([this, tail = job.tail, staged, at] { FinishPart(*tail, *staged, at); });
  return true;
}

// Flushes a closed part and, when asked, verifies it. A part that cannot be
// flushed is dropped; one that does not read back stays staged, as the
// record's files up to the failure are put under their names (the record
// is then not marked).
void TStorageX4TFT::FinishPart(RecordTail &tail, StagedPart &part, std::uint64_t at) {
  if (tail.failed)
    return; // the record ended at an earlier part; dropping the file drops it
  if (!part.file.SealReplacement()) {
    tail.problems.emplace_back(at, Problem(ProblemKind::OutputFailed, OutputFolder + part.name,
                                           platform::LastErrorText()));
    tail.failed = true;
    return;
  }
  tail.staged.push_back(std::move(part));
  if (VerifyOutputs && !VerifyPart(tail, tail.staged.back(), at))
    tail.failed = true;
}

// Reads the part back from the disk, not from the system's cache, and checks
// every sample against the digests the writer put into it. A cancel stops
// the record as interrupted: a part not verified is not a verified one.
bool TStorageX4TFT::VerifyPart(RecordTail &tail, const StagedPart &part, std::uint64_t at) {
  const std::string path = OutputFolder + part.name;
  platform::File reading;
  if (!part.file.DuplicateForReading(reading)) {
    tail.problems.emplace_back(
        at, Problem(ProblemKind::VerifyFailed, path, platform::LastErrorText()));
    return false;
  }
  reading.DropCachedPages();
  const VideoFileTestResult r = TestOpenVideoFile(std::move(reading), path, CancelRequested);
  if (r.verdict == VideoFileVerdict::Good)
    return true;
  if (r.verdict == VideoFileVerdict::Cancelled) {
    tail.interrupted = true;
    return false;
  }
  ConvertProblem p = Problem(ProblemKind::VerifyFailed, path, r.systemError);
  if (r.systemError.empty())
    p.detailTextId = r.verdict == VideoFileVerdict::ReadError ? 278 : 279;
  tail.problems.emplace_back(at, std::move(p));
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
  Writer->SetRecordSource(FolderName(entry), fragmentNumber, RecordDigest(entry));
  // The recorder's clock is local time where the track or the card says so;
  // the headers take UTC.
  const std::uint32_t local = RecordTimeSince1904(entry, job.elapsed);
  const std::int64_t utc = std::int64_t{local} - ClockOffsetSeconds(job);
  Writer->SetCreationTime(local == 0 || utc <= 0 || utc > 0xFFFFFFFF
                              ? local
                              : static_cast<std::uint32_t>(utc));
  if (!job.join.Begin(*Reader, *Writer)) {
    // The reader accepted a track set-up the writer cannot express: the
    // fragment, not the output, is at fault.
    Writer->Discard();
    AddProblem(job.outcome, Damaged(DamageKind::Structure, fragmentPath));
    return false;
  }
  AddGpsTracks(job);
  job.partOpen = true;
  return true;
}

TStorageX4TFT::CopyResult TStorageX4TFT::CopySamples(RecordJob &job,
                                                     const std::string &fragmentPath) {
  switch (job.join.CopySamples(*Reader, *Writer, SampleBuffer.get(),
                               static_cast<std::uint32_t>(SampleBufferSize), CancelRequested)) {
  case TPartJoin::Copy::Copied:
  case TPartJoin::Copy::Cancelled: // whole samples so far: a valid file
    return CopyResult::Copied;
  case TPartJoin::Copy::ReadFailed:
    AddProblem(job.outcome, Problem(ProblemKind::FragmentUnreadable, fragmentPath,
                                    Reader->LastErrorText()));
    return CopyResult::ReadFailed;
  case TPartJoin::Copy::WriteFailed:
    break;
  }
  const std::string why = Writer->LastErrorText();
  AddProblem(job.outcome, Problem(ProblemKind::OutputFailed, OutputFolder + PartName(job, job.part),
                                  why.empty() ? "the file would pass 4 GiB" : why));
  return CopyResult::WriteFailed;
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
  if (job.partOpen) {
    const TPartJoin::Fit fit = job.join.Check(*Reader);
    if (fit == TPartJoin::Fit::TracksDiffer) {
      AddProblem(job.outcome, Damaged(DamageKind::TracksDiffer, fragment.path));
      return FragmentResult::Failed;
    }
    if (fit == TPartJoin::Fit::NewPart && !ClosePart(job))
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
  job.join.Advance(*Reader);
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

// The record file's own numbers: a range that holds nothing fails the
// record; a fragment count that disagrees with the range, or fragments that
// lie beyond it within the count, leave the record converted as the range
// says but not complete. False when nothing is to be converted.
bool TStorageX4TFT::CheckRecordNumbers(RecordJob &job, const std::string &folder) {
  const RecordEntry &e = Entries[job.index];
  const std::string recordFile = folder + RecordFileName;
  if (e.FirstFragment > e.LastFragment) {
    AddProblem(job.outcome,
               Problem(ProblemKind::RecordRangeEmpty, recordFile,
                       std::to_string(e.FirstFragment) + " > " + std::to_string(e.LastFragment)));
    return false;
  }
  const std::uint64_t range = std::uint64_t{e.LastFragment} - e.FirstFragment + 1;
  if (e.FragmentCount < 0 || std::uint64_t(e.FragmentCount) != range) {
    ConvertProblem p = Problem(ProblemKind::RecordFileDisagrees, recordFile,
                               std::to_string(e.FragmentCount) + " / " + std::to_string(range));
    p.detailTextId = txt::RecordCountVsRange;
    AddProblem(job.outcome, p);
  }
  if (e.FragmentCount > 0 && std::uint64_t(e.FragmentCount) > range) {
    const std::uint64_t end = std::uint64_t{e.FirstFragment} + std::uint64_t(e.FragmentCount) - 1;
    std::vector<Fragment> beyond;
    std::uint64_t missing = 0;
    std::uint32_t firstMissing = 0;
    ListFragments(folder, e.LastFragment + 1,
                  static_cast<std::uint32_t>(std::min<std::uint64_t>(end, 0xFFFFFFFFu)), beyond,
                  missing, firstMissing);
    if (!beyond.empty()) {
      ConvertProblem p = Problem(ProblemKind::RecordFileDisagrees, recordFile,
                                 std::to_string(beyond.size()) + " (" + beyond.front().path + ")");
      p.detailTextId = txt::RecordFragmentsBeyondRange;
      AddProblem(job.outcome, p);
    }
  }
  return true;
}

// The GPS copy is the record's own when it holds the track file's bytes;
// anything else under its name is kept and the copy takes "-2", "-3"...
bool TStorageX4TFT::CopyGps(RecordTail &tail, RecordOutcome &outcome,
                           const std::string &folder) {
  const std::string gps = GpsFileName(tail.index);
  const std::string source = folder + gps;
  const std::string stem = gps.substr(0, gps.size() - 4);
  std::string name = gps;
  for (unsigned n = 2;; ++n) {
    const std::string target = OutputFolder + name;
    if (!platform::EntryExists(target))
      break;
    if (platform::IsRegularFile(target) && SameFile(source, target)) {
      ConvertProblem p = Problem(ProblemKind::GpsCopyFailed, source, "is the output itself");
      AddProblem(outcome, p);
      return false;
    }
    if (platform::IsRegularFile(target) && SameContent(source, target)) {
      outcome.gpsCopy = name;
      return true;
    }
    if (n == 2) {
      ConvertProblem p = Problem(ProblemKind::NameTaken, target);
      p.detailTextId = txt::NameTakenOtherRecord;
      outcome.notes.push_back(p);
    }
    name = stem + "-" + std::to_string(n) + ".gpx";
  }
  if (platform::CopyFileSafely(source, OutputFolder + name, &CancelRequested, false)) {
    outcome.gpsCopy = name;
    return true;
  }
  if (!CancelRequested)
    AddProblem(outcome,
               Problem(ProblemKind::GpsCopyFailed, source, platform::LastErrorText()));
  return false;
}

// Puts the record's staged parts under their names: all of them, in one
// journalled step, when the run was complete or the record has no earlier
// files; otherwise the earlier files stay and the new ones are dropped.
// True when the new set is under its names.
bool TStorageX4TFT::PublishParts(RecordTail &tail, RecordOutcome &outcome, TOutputFolder &out,
                                 bool complete) {
  if (tail.staged.empty())
    return false;
  const RecordEntry &entry = Entries[tail.index];
  const RecordIdentity id{FolderName(entry), RecordDigest(entry)};
  const SetPlacement place = out.Place(tail.base, entry.RecordNumber,
                                       static_cast<std::uint32_t>(tail.staged.size()), id,
                                       UsedBases);
  if (!place.takenName.empty()) {
    ConvertProblem p = Problem(ProblemKind::NameTaken, OutputFolder + place.takenName);
    p.detailTextId = place.takenWhyTextId;
    outcome.notes.push_back(p);
  }
  if (!complete && place.earlierSet) {
    tail.staged.clear(); // closing a staged part drops it
    outcome.notes.push_back(
        Problem(ProblemKind::EarlierSetKept, OutputFolder + out.PartName(place.base, 0)));
    return false;
  }
  UsedBases.insert(place.base);
  for (std::size_t n = 0; n < tail.staged.size(); ++n)
    tail.staged[n].name = out.PartName(place.base, static_cast<std::uint32_t>(n));
  std::string failedFile, error;
  const bool ok = out.Commit(tail.staged, complete ? place.stale : std::vector<std::string>{},
                             id, failedFile, error);
  for (const StagedPart &p : tail.staged) {
    if (p.committed)
      outcome.parts.push_back(p.name);
  }
  tail.staged.clear();
  if (!ok)
    AddProblem(outcome, Problem(ProblemKind::OutputFailed, failedFile, error));
  return ok;
}

void TStorageX4TFT::ConvertRecord(std::uint32_t index, const std::vector<Fragment> &fragments,
                                  std::uint64_t missing, std::uint32_t firstMissing) {
  const RecordEntry &entry = Entries[index];
  const std::string folder = RecordFolderPath(index);
  RecordJob job;
  job.index = index;
  job.tail = std::make_shared<RecordTail>();
  job.tail->index = index;
  // The name wanted; where it is taken, PublishParts finds another.
  job.tail->base = BaseName(entry);

  ReadTrack(job, folder);
  bool interrupted = false;
  if (CheckRecordNumbers(job, folder)) {
    for (const Fragment &fragment : fragments) {
      if (CancelRequested) {
        interrupted = true;
        break;
      }
      const FragmentResult r = CopyFragment(job, fragment);
      ProgressDone = ProgressDone + 1;
      BytesDone += static_cast<std::int64_t>(fragment.size);
      if (r == FragmentResult::RecordEnds || job.tail->failed)
        break;
    }
    if (missing > 0) {
      ConvertProblem p = Problem(ProblemKind::FragmentsMissing,
                                 folder + FragmentFolderName(firstMissing) +
                                     FragmentFileName(firstMissing));
      p.count = missing;
      AddProblem(job.outcome, p);
    }
    if (job.partOpen && job.tail->failed) {
      Writer->Discard(); // after a part that failed, the record has ended
      job.partOpen = false;
    }
    if (job.partOpen)
      ClosePart(job);
  }
  interrupted = interrupted || CancelRequested;
  Finisher->Post([this, tail = job.tail, outcome = std::move(job.outcome), interrupted] {
    FinishRecord(*tail, outcome, interrupted);
  });
}

// The end of a record, on the finisher once its parts are finished: the
// parts go under their names, the GPS copy beside them, one flush of the
// folder makes every rename durable, and only then is the record marked.
void TStorageX4TFT::FinishRecord(RecordTail &tail, RecordOutcome outcome, bool interrupted) {
  // Finishing problems go where their part closed among the others.
  std::uint64_t added = 0;
  for (auto &[at, problem] : tail.problems) {
    const std::uint64_t position = at + added++;
    if (position < outcome.problems.size()) {
      outcome.problems.insert(outcome.problems.begin() + static_cast<std::ptrdiff_t>(position),
                              std::move(problem));
      if (outcome.problems.size() > kKeptProblems)
        outcome.problems.pop_back();
      ++outcome.problemCount;
    } else {
      AddProblem(outcome, std::move(problem));
    }
  }
  interrupted = interrupted || tail.interrupted;
  const RecordEntry &entry = Entries[tail.index];
  const std::string folder = RecordFolderPath(tail.index);
  const bool complete = !interrupted && outcome.problemCount == 0;
  TOutputFolder out(OutputFolder, *FinishReader);
  const bool published = PublishParts(tail, outcome, out, complete);
  bool gpsDone = !(entry.Attributes & kAttrGps) || !GpsBeside(Gps);
  if (!interrupted && published && !gpsDone) {
    gpsDone = CopyGps(tail, outcome, folder);
    interrupted = !gpsDone && CancelRequested;
  }
  // One flush of the folder makes every rename of the record durable before
  // the mark can be written.
  if (std::string error; published && !out.Finish(error)) {
    AddProblem(outcome, Problem(ProblemKind::OutputFailed, OutputFolder, error));
    gpsDone = false;
  }
  if (interrupted) {
    outcome.kind = OutcomeKind::Interrupted;
  } else if (outcome.problemCount > 0 || !gpsDone) {
    outcome.kind = outcome.parts.empty() ? OutcomeKind::Failed : OutcomeKind::Partly;
  } else {
    ConvertProblem problem;
    if (WriteMark(folder, entry, problem)) {
      Entries[tail.index].Marks =
          static_cast<std::uint8_t>((entry.Marks & ~kMarkChecked) | kMarkConverted);
      outcome.kind = OutcomeKind::Converted;
    } else {
      AddProblem(outcome, problem);
      outcome.kind = OutcomeKind::NotMarked;
    }
  }
  PublishOutcome(tail.index, std::move(outcome));
}

// Outcomes are published from one thread at a time, in the order records
// end: the outcome, its place in FinishedOrder, then the count (release).
void TStorageX4TFT::PublishOutcome(std::uint32_t index, RecordOutcome outcome) {
  Outcomes[index] = std::move(outcome);
  const std::uint32_t finished = FinishedCount.load(std::memory_order_relaxed);
  FinishedOrder[finished] = index;
  FinishedCount.store(finished + 1, std::memory_order_release);
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
  CardClock = gps::ReadCardClockOffset(CatalogFolder);

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
  // The order the list shows first, then any other checked record in
  // catalog order.
  std::vector<std::uint32_t> order;
  std::vector<bool> taken(Count, false);
  for (std::uint32_t i : ConvertOrder)
    if (i < Count && !taken[i]) {
      taken[i] = true;
      order.push_back(i);
    }
  for (std::uint32_t i = 0; i < Count; ++i)
    if (!taken[i])
      order.push_back(i);
  for (std::uint32_t i : order) {
    if (CancelRequested)
      break;
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
  if (outputKnown) {
    // A swap a killed run left half done is finished before its
    // temporaries could be taken for stale ones.
    TOutputFolder(OutputFolder, *Reader).RecoverSwaps();
    platform::RemoveStaleTemporaries(OutputFolder);
    platform::AllowManyOpenFiles();
  }

  // Flushing, reading back, renaming and marking run on the finisher while
  // the next part or record is copied.
  Finisher = std::make_unique<TFinisher>(kFinisherDepth);
  FinishReader = std::make_unique<TMP4Container>();
  UsedBases.clear();
  for (const Planned &p : plan) {
    if (CancelRequested)
      break;
    CurrentRecord = p.index;
    if (!outputKnown) {
      RecordOutcome outcome;
      AddProblem(outcome, Problem(ProblemKind::OutputFailed, OutputFolder, outputRefusal));
      outcome.kind = OutcomeKind::Failed;
      Finisher->Post([this, index = p.index, outcome] { PublishOutcome(index, outcome); });
    } else {
      ConvertRecord(p.index, p.fragments, p.missing, p.firstMissing);
    }
  }
  Finisher.reset(); // runs what was posted
  FinishReader.reset();
  bool result = true;
  for (const Planned &p : plan)
    if (Outcomes[p.index].kind != OutcomeKind::Converted)
      result = false;
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
