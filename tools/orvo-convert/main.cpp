// orvo-convert: lists the recordings of a card (or a copy of one) and
// converts them into MP4 files without the window, for people who offload
// cards from scripts. It runs the same engine as the program.

#include "Escape.h"
#include "Listing.h"
#include "Progress.h"

#include "app/OutcomeText.h"
#include "engine/Clip.h"
#include "engine/ClipCheck.h"
#include "engine/ClipTime.h"
#include "engine/Secondthread.h"
#include "engine/VideoFileTest.h"
#include "engine/VirtualRecord.h"
#include "evidence/Check.h"
#include "evidence/Package.h"
#include "gps/Export.h"
#include "platform/Console.h"
#include "platform/FileSystem.h"
#include "settings/AddedTexts.h"
#include "settings/Folders.h"
#include "settings/ProgramSettings.h"
#include "settings/Stringcode.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitJobFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitInterrupted = 130; // 128 + SIGINT, as shells report it
constexpr int kExitTerminated = 143;  // 128 + SIGTERM

std::atomic<bool> interrupted{false};
std::atomic<int> interruptSignal{0};

void OnInterrupt(int sig) {
  interrupted = true;
  interruptSignal = sig;
  // A second Ctrl-C ends the program at once.
  std::signal(sig, SIG_DFL);
}

int InterruptedExit() {
  std::fprintf(stderr, "%s\n", orvo::GetText(26).c_str());
  return interruptSignal == SIGTERM ? kExitTerminated : kExitInterrupted;
}

// The README's command-line section is this text; a test keeps them equal.
constexpr char kUsage[] =
    R"(Usage: orvo-convert [OPTIONS] CARD OUTDIR
       orvo-convert --list [--json] CARD
       orvo-convert --track INDEX [--format gpx|geojson|csv] CARD
       orvo-convert --clip RANGE [--exact-start] --only INDEX CARD OUTDIR
       orvo-convert --evidence DIR [--clip RANGE] --only INDEX CARD
       orvo-convert --check-evidence PACKAGE
       orvo-convert --stdout INDEX [--segment N] CARD
       orvo-convert --test FILE... [--card CARD]
       orvo-convert --version | --help

Converts the recordings of the recorder's memory card (or a copy of one)
into MP4 files in OUTDIR, an existing folder: each recording's fragments
joined, split by size, named by a mask, its GPS track copied beside them,
and every recording converted completely marked as converted on the card.

  --list         print the recordings of the card with their index, and
                 the record folders that cannot be read, with the reason
  --json         with --list: one JSON document, for scripts
  --all          convert every recording, those already converted too
                 (without it: the ones not yet converted)
  --only N,...   convert only the recordings with these indices
  --mask MASK    output name mask, "_P<part>.mp4" is appended (default
                 %D_%T): %D date, %T time, %N record number, %L length,
                 %S frame size, %F frames per second, %B bit rates,
                 %R record mode
  --limit MIB    start a new part once a file has grown past MIB MiB
                 (1 to 1900, default 1900)
  --verify       read every part back from the disk and check it against
                 its integrity data before the recording is marked
  --gps WHERE    where a recording's GPS track goes: embed (tracks inside
                 every part), beside (a copy of the .gpx file), both
                 (the default) or none
  --track INDEX  write the GPS track of the recording with this index to
                 standard output, placed on UTC and on the recording's
                 clock: --format gpx (the default), geojson or csv
  --clip RANGE   write the stretch RANGE of the recording --only names,
                 without re-encoding, as FROM-TO or AT+-SECONDS (also
                 ATÂ±SECONDS); a moment is the recorder's clock (08:31:05
                 or 2021-03-15T08:31:05) or a time from the recording's
                 start (+12:30); the clip starts on the key frame at or
                 before FROM, is named by the mask for its first frame with
                 _C appended, gets its GPS stretch beside it, and the
                 recording is not marked converted
  --exact-start  with --clip: an edit list makes players that honour one
                 start at FROM itself
  --evidence DIR make an evidence package of the recording --only names
                 (or of the stretch --clip gives) in the folder DIR: the
                 card's files of it bit for bit in original/, the working
                 copy in video/, report.html and SHA256SUMS over every
                 other file; nothing on the card changes
  --check-evidence PACKAGE
                 check a package again: every SHA-256, the working copy's
                 integrity data, and its samples against original/
  --stdout INDEX write the recording with this index to standard output as
                 one MP4 stream read straight from the card, to play or
                 process at once (orvo-convert --stdout 3 CARD | mpv -);
                 its samples are those a conversion writes, and nothing
                 on the card changes
  --segment N    with --stdout: the stretch of the recording after its Nth
                 change of decoder set-up (default 0, the first)
  --quiet        print only the recordings that were not converted
  --test FILE... test MP4 files written by this program: every sample is
                 read and checked against the file's integrity data; one
                 line per file, exit status 0 when every file tested good
  --card CARD    with --test: also compare every sample of each clip with
                 its source on the card, byte for byte
  --version      print the version and exit
  --help         print this text and exit

Progress goes to standard error (a bar on a terminal). One line per
recording goes to standard output as it ends: its outcome, the first reason
when something failed, and the files written. Control characters in names
are printed escaped ("\n", "\t", "\xNN").

Ctrl-C stops within a moment: the open file is finished and kept, and the
recording stays unconverted on the card. Exit status: 0 all converted,
1 some recording not converted completely or a record folder unreadable
(--list too), or a fragment left out of --stdout, 2 bad usage, a missing folder or OUTDIR inside CARD,
130 interrupted by Ctrl-C, 143 stopped by SIGTERM.
)";

int Fail(const std::string &message) {
  std::fprintf(stderr, "orvo-convert: %s (see --help)\n", orvo::PrintableText(message).c_str());
  return kExitUsage;
}

bool ParseNumber(const char *text, unsigned long &value) {
  if (!*text)
    return false;
  char *end = nullptr;
  errno = 0;
  value = std::strtoul(text, &end, 10);
  return errno == 0 && *end == '\0' && text[0] != '-';
}

bool ParseIndices(const std::string &text, std::set<std::uint32_t> &indices) {
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t comma = text.find(',', pos);
    std::string item = text.substr(pos, comma == std::string::npos ? comma : comma - pos);
    unsigned long v;
    if (!ParseNumber(item.c_str(), v) || v > 0xFFFFFFFFul)
      return false;
    indices.insert(static_cast<std::uint32_t>(v));
    if (comma == std::string::npos)
      break;
    pos = comma + 1;
  }
  return !indices.empty();
}

struct Options {
  bool list = false, json = false, all = false, quiet = false, verify = false, test = false;
  orvo::GpsPlacement gps = orvo::GpsPlacement::Both;
  bool track = false;
  std::uint32_t trackIndex = 0;
  bool stream = false;
  std::uint32_t streamIndex = 0;
  unsigned long segment = 0;
  bool segmentGiven = false;
  std::string clip;
  bool exactStart = false;
  std::string card;
  std::string evidence, checkEvidence;
  orvo::gps::ExportFormat format = orvo::gps::ExportFormat::Gpx;
  std::string mask = "%D_%T";
  unsigned long limitMib = 1900;
  std::set<std::uint32_t> only;
  std::vector<std::string> positional;
};

// Parses the arguments; answers an exit status when the program is done.
int ParseOptions(const std::vector<std::string> &argv, Options &o) {
  const std::size_t argc = argv.size();
  for (std::size_t i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const char *v = nullptr;
    const bool takesValue =
        arg == "--mask" || arg == "--limit" || arg == "--only" || arg == "--gps" ||
        arg == "--track" || arg == "--format" || arg == "--stdout" || arg == "--segment" ||
        arg == "--clip" || arg == "--card" || arg == "--evidence" || arg == "--check-evidence";
    if (takesValue) {
      if (i + 1 >= argc)
        return Fail(arg + " needs a value");
      v = argv[++i].c_str();
    }
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return kExitOk;
    } else if (arg == "--version") {
      std::printf("orvo-convert %s\n", ORVO_VERSION);
      return kExitOk;
    } else if (arg == "--list") {
      o.list = true;
    } else if (arg == "--json") {
      o.json = true;
    } else if (arg == "--all") {
      o.all = true;
    } else if (arg == "--quiet") {
      o.quiet = true;
    } else if (arg == "--verify") {
      o.verify = true;
    } else if (arg == "--test") {
      o.test = true;
    } else if (arg == "--mask") {
      o.mask = v;
    } else if (arg == "--limit") {
      if (!ParseNumber(v, o.limitMib) || o.limitMib < 1 || o.limitMib > 1900)
        return Fail("--limit takes a whole number of MiB from 1 to 1900");
    } else if (arg == "--track") {
      unsigned long index = 0;
      if (!ParseNumber(v, index) || index > 0xFFFFFFFFul)
        return Fail("--track takes a record index (see --list)");
      o.track = true;
      o.trackIndex = static_cast<std::uint32_t>(index);
    } else if (arg == "--clip") {
      o.clip = v;
      if (o.clip.empty())
        return Fail("--clip takes a stretch FROM-TO or AT+-SECONDS");
    } else if (arg == "--evidence") {
      o.evidence = v;
    } else if (arg == "--check-evidence") {
      o.checkEvidence = v;
    } else if (arg == "--card") {
      o.card = v;
    } else if (arg == "--exact-start") {
      o.exactStart = true;
    } else if (arg == "--stdout") {
      unsigned long index = 0;
      if (!ParseNumber(v, index) || index > 0xFFFFFFFFul)
        return Fail("--stdout takes a record index (see --list)");
      o.stream = true;
      o.streamIndex = static_cast<std::uint32_t>(index);
    } else if (arg == "--segment") {
      if (!ParseNumber(v, o.segment) || o.segment > 0xFFFFul)
        return Fail("--segment takes a segment number");
      o.segmentGiven = true;
    } else if (arg == "--format") {
      const auto format = orvo::gps::ParseExportFormat(v);
      if (!format)
        return Fail("--format takes gpx, geojson or csv");
      o.format = *format;
    } else if (arg == "--gps") {
      const std::string where = v;
      if (where == "embed")
        o.gps = orvo::GpsPlacement::Embed;
      else if (where == "beside")
        o.gps = orvo::GpsPlacement::Beside;
      else if (where == "both")
        o.gps = orvo::GpsPlacement::Both;
      else if (where == "none")
        o.gps = orvo::GpsPlacement::None;
      else
        return Fail("--gps takes embed, beside, both or none");
    } else if (arg == "--only") {
      if (!ParseIndices(v, o.only))
        return Fail("--only takes record indices separated by commas, e.g. --only 0,3,4");
    } else if (arg.size() > 1 && arg[0] == '-') {
      return Fail("unknown option " + arg);
    } else {
      o.positional.push_back(arg);
    }
  }
  if (o.json && !o.list)
    return Fail("--json goes with --list");
  if (o.test)
    return o.positional.empty() ? Fail("--test takes the files to test") : -1;
  if (o.track && (o.list || o.positional.size() != 1))
    return Fail("--track takes the card's folder alone");
  if (o.track)
    return -1;
  if (!o.checkEvidence.empty())
    return o.positional.empty() ? -1 : Fail("--check-evidence takes the package alone");
  if (!o.evidence.empty()) {
    if (o.only.size() != 1 || o.list || o.stream || o.track || o.positional.size() != 1)
      return Fail("--evidence takes one recording (--only INDEX) and the card's folder");
    return -1;
  }
  if (!o.card.empty() && !o.test)
    return Fail("--card goes with --test");
  if (o.exactStart && o.clip.empty())
    return Fail("--exact-start goes with --clip");
  if (!o.clip.empty() && o.evidence.empty() && (o.only.size() != 1 || o.list || o.stream || o.track))
    return Fail("--clip takes one recording: --only INDEX");
  if (o.segmentGiven && !o.stream)
    return Fail("--segment goes with --stdout");
  if (o.stream && (o.list || o.positional.size() != 1))
    return Fail("--stdout takes the card's folder alone");
  if (o.stream)
    return -1;
  if (o.positional.size() != (o.list ? 1u : 2u))
    return Fail(o.list ? "--list takes the card's folder" : "a card folder and an output folder");
  return -1;
}

std::string RecordName(const orvo::TSecondThread &worker, std::uint32_t index) {
  return worker.GetEngine().RecordFolderName(index);
}

// "R00000012_D210315_T083000: Converted; Files written: D210315_T083000_P0.mp4 ..."
std::string OutcomeLine(const orvo::TSecondThread &worker, std::uint32_t index,
                        const orvo::RecordOutcome &outcome) {
  using namespace orvo;
  std::string line = RecordName(worker, index) + ": " + DescribeOutcome(outcome);
  std::vector<std::string> files = outcome.parts;
  if (!outcome.gpsCopy.empty())
    files.push_back(outcome.gpsCopy);
  if (!files.empty()) {
    line += "; " + GetText(txt::FilesWritten);
    for (const std::string &f : files)
      line += " " + f;
  }
  return PrintableText(line);
}

} // namespace

// Tests each file in turn, a line each; interrupted, the rest is not tested.
int TestFiles(const std::vector<std::string> &files, const std::string &card) {
  using namespace orvo;
  bool allGood = true;
  for (const std::string &file : files) {
    const VideoFileTestResult r = TestVideoFile(file, interrupted);
    if (r.verdict == VideoFileVerdict::Cancelled)
      return InterruptedExit();
    std::printf("%s\n", PrintableText(file + ": " + DescribeVideoFileTest(r)).c_str());
    allGood = allGood && r.verdict == VideoFileVerdict::Good;
    // A clip names its source; with the card at hand each sample is
    // compared with it.
    if (!card.empty()) {
      const ClipCheckResult c = CheckClipAgainstCard(file, card, interrupted);
      if (c.verdict == ClipCheckVerdict::Cancelled)
        return InterruptedExit();
      if (c.verdict != ClipCheckVerdict::NotAClip) {
        std::printf("%s\n", PrintableText(DescribeClipCheck(c)).c_str());
        allGood = allGood && c.verdict == ClipCheckVerdict::Identical;
      }
    }
    std::fflush(stdout);
  }
  return allGood ? kExitOk : kExitJobFailed;
}

// The record's aligned track on standard output; what could not be read of
// it on standard error.
int PrintTrack(const orvo::TSecondThread &worker, std::uint32_t index,
               orvo::gps::ExportFormat format) {
  using namespace orvo;
  if (index >= worker.GetRecordCount())
    return Fail("there is no record " + std::to_string(index) + " on the card (see --list)");
  gps::GpsTrack track;
  gps::TrackAlignment alignment;
  if (!worker.GetEngine().GetRecordTrack(index, track, alignment)) {
    std::fprintf(stderr, "orvo-convert: record %u has no GPS track\n", index);
    return kExitJobFailed;
  }
  if (!track.note.empty())
    std::fprintf(stderr, "orvo-convert: %s\n", PrintableText(track.note).c_str());
  if (!alignment.aligned)
    std::fprintf(stderr, "orvo-convert: %s\n", PrintableText(alignment.note).c_str());
  std::fputs(gps::ExportTrack(track, alignment, format).c_str(), stdout);
  return track.fixes.empty() ? kExitJobFailed : kExitOk;
}

// The record as one MP4 stream on standard output, laid out from its
// fragments' indexes and read from them as it is written; what was left out
// goes to standard error.
int StreamRecord(const orvo::TSecondThread &worker, std::uint32_t index, std::uint32_t segment) {
  using namespace orvo;
  if (index >= worker.GetRecordCount())
    return Fail("there is no record " + std::to_string(index) + " on the card (see --list)");
  if (platform::IsTerminal(stdout))
    return Fail("--stdout writes video: send it to a player or a file, not the terminal");
  RecordEntry entry;
  worker.GetEngine().GetEntry(index, entry);
  const std::string folder = worker.GetEngine().RecordFolderPath(index);
  TVirtualRecord record;
  const bool opened = record.Open(folder, entry, &interrupted);
  if (interrupted)
    return InterruptedExit();
  for (const ConvertProblem &p : record.Problems())
    std::fprintf(stderr, "orvo-convert: %s\n", PrintableText(DescribeProblem(p)).c_str());
  if (!opened) {
    std::fprintf(stderr, "orvo-convert: %s: %s\n", PrintableText(folder).c_str(),
                 PrintableText(record.ErrorText()).c_str());
    return kExitJobFailed;
  }
  const std::size_t segments = record.Segments().size();
  if (segment >= segments)
    return Fail("record " + std::to_string(index) + " has " + std::to_string(segments) +
                " segment(s)");
  if (segments > 1)
    std::fprintf(stderr,
                 "orvo-convert: the decoder set-up changes within the recording: this is "
                 "segment %u of %zu (--segment)\n",
                 segment, segments);
  platform::UseBinaryOutput();
  std::vector<std::uint8_t> buffer(1u << 20);
  const std::uint64_t size = record.Segments()[segment].size;
  for (std::uint64_t at = 0; at < size;) {
    if (interrupted)
      return InterruptedExit();
    const std::int64_t n = record.Read(segment, at, buffer.data(), buffer.size());
    if (n <= 0) {
      std::fprintf(stderr, "orvo-convert: %s\n", PrintableText(record.ErrorText()).c_str());
      return kExitJobFailed;
    }
    if (std::fwrite(buffer.data(), 1, static_cast<std::size_t>(n), stdout) !=
        static_cast<std::size_t>(n))
      return kExitJobFailed; // the reader went away
    at += static_cast<std::uint64_t>(n);
  }
  return std::fflush(stdout) == 0 && record.ProblemCount() == 0 ? kExitOk : kExitJobFailed;
}

// One clip of one record into the output folder; its lines on standard
// output.
int WriteRecordClip(const orvo::TSecondThread &worker, std::uint32_t index, const Options &o,
                    const std::string &out) {
  using namespace orvo;
  if (index >= worker.GetRecordCount())
    return Fail("there is no record " + std::to_string(index) + " on the card (see --list)");
  TStorageX4TFT::PlaySource source;
  worker.GetEngine().GetPlaySource(index, source);
  source.nameMask = o.mask;
  ClipRequest request;
  std::string error;
  if (!ParseClipRange(o.clip, source.entry, source.entry.DurationMs, request.fromMs, request.toMs,
                      error))
    return Fail(error);
  request.exactStart = o.exactStart;
  request.gpsBeside = o.gps == GpsPlacement::Beside || o.gps == GpsPlacement::Both;
  request.gpsInside = o.gps == GpsPlacement::Embed || o.gps == GpsPlacement::Both;
  ClipResult result;
  const bool ok = WriteClip(source, request, out, interrupted, result);
  if (result.interrupted)
    return InterruptedExit();
  for (const std::string &file : result.files)
    std::printf("%s\n", PrintableText(file).c_str());
  if (!result.gpx.empty())
    std::printf("%s\n", PrintableText(result.gpx).c_str());
  if (!result.files.empty()) {
    char line[160];
    std::snprintf(line, sizeof line,
                  "the clip starts at +%.3f s (its key frame, %.3f s before the in point) and "
                  "ends with the frame at +%.3f s",
                  static_cast<double>(result.startMs) / 1000.0,
                  static_cast<double>(request.fromMs - result.startMs) / 1000.0,
                  static_cast<double>(result.lastFrameMs) / 1000.0);
    std::fprintf(stderr, "orvo-convert: %s%s\n", line,
                 result.files.size() > 1 ? "; the decoder set-up changes within it: one file "
                                           "per set-up"
                                         : "");
  }
  if (!ok)
    std::fprintf(stderr, "orvo-convert: %s\n", PrintableText(result.error).c_str());
  return ok ? kExitOk : kExitJobFailed;
}

// An evidence package of one record (or a stretch of it) into a folder; its
// path on standard output.
int WriteEvidence(const orvo::TSecondThread &worker, std::uint32_t index, const Options &o,
                  const std::string &card, const std::string &command) {
  using namespace orvo;
  if (index >= worker.GetRecordCount())
    return Fail("there is no record " + std::to_string(index) + " on the card (see --list)");
  if (!platform::IsEnterableDirectory(platform::WithSeparator(o.evidence)))
    return Fail("the folder " + o.evidence + " does not exist");
  if (const std::string refusal =
          OutputFolderRefusal(card, platform::WithSeparator(o.evidence));
      !refusal.empty()) {
    std::fprintf(stderr, "orvo-convert: %s\n", PrintableText(refusal).c_str());
    return kExitUsage;
  }
  evidence::PackageRequest request;
  worker.GetEngine().GetPlaySource(index, request.source);
  request.source.nameMask = o.mask;
  if (!o.clip.empty()) {
    ClipRequest clip;
    std::string error;
    if (!ParseClipRange(o.clip, request.source.entry, request.source.entry.DurationMs, clip.fromMs,
                        clip.toMs, error))
      return Fail(error);
    clip.exactStart = o.exactStart;
    request.clip = clip;
    request.markedMs = (clip.fromMs + clip.toMs) / 2;
  }
  request.cardFolder = card;
  request.destination = o.evidence;
  request.program = "orvo-convert";
  request.version = ORVO_VERSION;
  request.build = ORVO_BUILD;
  request.command = command;
  request.noThumbnailsReason = "No pictures: the command line decodes no video; the window's "
                               "\"Export evidence...\" puts thumbnails of key frames here.";
  evidence::PackageResult result;
  const bool ok = evidence::MakePackage(request, interrupted, result);
  if (result.interrupted)
    return InterruptedExit();
  if (!ok) {
    std::fprintf(stderr, "orvo-convert: %s\n", PrintableText(result.error).c_str());
    return kExitJobFailed;
  }
  std::printf("%s\n", PrintableText(result.folder).c_str());
  return kExitOk;
}

int CheckEvidence(const std::string &folder) {
  using namespace orvo;
  const evidence::CheckResult r = evidence::CheckPackage(folder, interrupted);
  if (r.interrupted)
    return InterruptedExit();
  for (const std::string &line : r.lines)
    std::printf("%s\n", PrintableText(line).c_str());
  for (const std::string &line : r.problems)
    std::printf("FAILED: %s\n", PrintableText(line).c_str());
  std::printf("%s\n", r.complete ? "The package is complete and unchanged."
                                 : "The package does not check.");
  return r.complete ? kExitOk : kExitJobFailed;
}

int main(int argc, char **argv) {
  using namespace orvo;
  Options o;
  platform::UseUtf8Console();
  if (const int done = ParseOptions(platform::ProgramArguments(argc, argv), o); done >= 0)
    return done;
  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);
  if (o.test)
    return TestFiles(o.positional, o.card);
  if (!o.checkEvidence.empty())
    return CheckEvidence(o.checkEvidence);
  const std::string card = platform::WithSeparator(o.positional[0]);
  if (!platform::IsEnterableDirectory(card))
    return Fail("the card folder " + o.positional[0] + " does not exist");

  // The settings live only for this run: an empty location is never stored.
  ProgramSettings settings{SettingsLocation{}};
  settings.SetInPath(card);
  if (!o.list && !o.track && !o.stream && o.evidence.empty()) {
    const std::string out = platform::WithSeparator(o.positional[1]);
    if (!platform::IsEnterableDirectory(out))
      return Fail("the output folder " + o.positional[1] + " does not exist");
    if (const std::string refusal = OutputFolderRefusal(card, out); !refusal.empty()) {
      std::fprintf(stderr, "orvo-convert: %s\n", PrintableText(refusal).c_str());
      return kExitUsage;
    }
    settings.SetOutPath(out);
    settings.SetFileMask(o.mask);
    settings.MaxFileLength = static_cast<std::uint32_t>(o.limitMib << 20);
  }

  // The same worker and the same requests as the window: start a job, wait
  // for its end, cancel on request, shut down at the end.
  settings.VerifyOutputs = o.verify;
  settings.GpsInVideo = o.gps;
  TSecondThread worker(&settings);
  if (!worker.StartScan())
    return kExitJobFailed;
  while (!worker.WaitUntilIdle(std::chrono::milliseconds(20)))
    if (interrupted)
      worker.CancelJob();
  if (interrupted)
    return InterruptedExit();
  if (!worker.GetLastResult())
    std::fputs("orvo-convert: the card could not be read completely\n", stderr);
  // A record folder that cannot be read is a recording this run cannot
  // convert.
  const std::uint32_t unreadable = worker.GetUnreadableCount();
  if (o.track)
    return PrintTrack(worker, o.trackIndex, o.format);
  if (o.stream)
    return StreamRecord(worker, o.streamIndex, static_cast<std::uint32_t>(o.segment));
  if (!o.evidence.empty()) {
    std::string command;
    for (const std::string &a : platform::ProgramArguments(argc, argv))
      command.append(command.empty() ? "" : " ").append(a);
    return WriteEvidence(worker, *o.only.begin(), o, card, command);
  }
  if (!o.clip.empty())
    return WriteRecordClip(worker, *o.only.begin(), o, o.positional[1]);
  if (o.list) {
    if (o.json)
      PrintCatalogJson(worker.GetEngine(), stdout);
    else
      PrintCatalog(worker.GetEngine(), stdout);
    return unreadable ? kExitJobFailed : kExitOk;
  }
  for (std::uint32_t i = 0; i < unreadable; ++i) {
    TStorageX4TFT::UnreadableRecord record;
    if (worker.GetUnreadable(i, record))
      std::printf("%s\n", PrintableText(DescribeUnreadable(record)).c_str());
  }
  std::fflush(stdout);

  const std::uint32_t count = worker.GetRecordCount();
  for (std::uint32_t index : o.only) {
    if (index >= count)
      return Fail("there is no record " + std::to_string(index) + " on the card (see --list)");
  }
  std::uint32_t selected = 0;
  for (std::uint32_t i = 0; i < count; ++i) {
    bool checked = false, converted = false;
    worker.GetMarks(i, checked, converted);
    const bool take = o.only.empty() ? (o.all || !converted) : o.only.count(i) != 0;
    worker.SetChecked(i, take);
    selected += take;
  }
  if (selected == 0) {
    if (!o.quiet)
      std::puts("No records to convert.");
    return unreadable ? kExitJobFailed : kExitOk;
  }

  ProgressReport progress(stderr, stdout, o.quiet);
  if (!worker.StartConvert())
    return kExitJobFailed;
  bool cancelSent = false;
  std::uint32_t reported = 0;
  auto report = [&] {
    std::uint32_t index = 0;
    RecordOutcome outcome;
    while (worker.GetFinishedOutcome(reported, index, outcome)) {
      ++reported;
      progress.RecordEnded(OutcomeLine(worker, index, outcome),
                           outcome.kind == OutcomeKind::Converted);
    }
  };
  for (;;) {
    const bool idle = worker.WaitUntilIdle(std::chrono::milliseconds(20));
    if (interrupted && !cancelSent) {
      worker.CancelJob();
      cancelSent = true;
    }
    report();
    if (idle)
      break;
    const auto live = worker.GetLiveProgress();
    progress.Update(
        live.bytesDone, live.bytesTotal,
        live.currentRecord >= 0
            ? PrintableText(RecordName(worker, static_cast<std::uint32_t>(live.currentRecord)))
            : std::string());
  }
  progress.Finish();
  const bool result = worker.GetLastResult() && unreadable == 0;
  worker.Shutdown();
  worker.WaitFor();
  if (cancelSent || worker.WasCancelled())
    return InterruptedExit();
  if (!result || !o.quiet)
    std::fprintf(stderr, "%s\n", GetText(result ? 30 : 31).c_str());
  return result ? kExitOk : kExitJobFailed;
}
