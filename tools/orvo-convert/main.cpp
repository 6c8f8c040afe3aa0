// orvo-convert: lists the recordings of a card (or a copy of one) and
// converts them into MP4 files without the window, for people who offload
// cards from scripts. It runs the same engine as the program.

#include "Listing.h"
#include "Progress.h"

#include "app/OutcomeText.h"
#include "engine/Secondthread.h"
#include "platform/FileSystem.h"
#include "settings/AddedTexts.h"
#include "settings/ProgramSettings.h"
#include "settings/Stringcode.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <thread>
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

void Usage(std::FILE *out) {
  std::fputs("Usage: orvo-convert --list CARD\n"
             "       orvo-convert [--mask MASK] [--limit MIB] [--only N,...] CARD OUTDIR\n"
             "\n"
             "CARD is the card's folder (or a copy of it), OUTDIR an existing folder.\n"
             "  --list       print the recordings of the card with their index\n"
             "  --mask MASK  output name mask, %D date, %T time, %N record number\n"
             "               (default %D_%T; \"_P<part>.mp4\" is appended)\n"
             "  --limit MIB  start a new part once a file has grown past MIB MiB\n"
             "               (1 to 1900, default 1900)\n"
             "  --only N,... convert only the recordings with these indices\n"
             "Ctrl-C stops within a moment; the open file is finished and kept, the\n"
             "record stays unconverted on the card. Exit status: 0 all converted,\n"
             "1 some recording not converted completely, 2 bad usage, 130 interrupted\n"
             "by Ctrl-C, 143 by SIGTERM.\n",
             out);
}

int Fail(const std::string &message) {
  std::fprintf(stderr, "orvo-convert: %s\n", message.c_str());
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

} // namespace

int main(int argc, char **argv) {
  using namespace orvo;
  bool list = false;
  std::string mask = "%D_%T";
  unsigned long limitMib = 1900;
  std::set<std::uint32_t> only;
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](const char *name) -> const char * {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "orvo-convert: %s needs a value\n", name);
        return nullptr;
      }
      return argv[++i];
    };
    if (arg == "--help" || arg == "-h") {
      Usage(stdout);
      return kExitOk;
    } else if (arg == "--list") {
      list = true;
    } else if (arg == "--mask") {
      const char *v = value("--mask");
      if (!v)
        return kExitUsage;
      mask = v;
    } else if (arg == "--limit") {
      const char *v = value("--limit");
      if (!v)
        return kExitUsage;
      if (!ParseNumber(v, limitMib) || limitMib < 1 || limitMib > 1900)
        return Fail("--limit takes a whole number of MiB from 1 to 1900");
    } else if (arg == "--only") {
      const char *v = value("--only");
      if (!v)
        return kExitUsage;
      if (!ParseIndices(v, only))
        return Fail("--only takes record indices separated by commas, e.g. --only 0,3,4");
    } else if (arg.size() > 1 && arg[0] == '-') {
      Usage(stderr);
      return Fail("unknown option " + arg);
    } else {
      positional.push_back(arg);
    }
  }
  if (positional.size() != (list ? 1u : 2u)) {
    Usage(stderr);
    return kExitUsage;
  }
  const std::string card = platform::WithSeparator(positional[0]);
  if (!platform::IsEnterableDirectory(card))
    return Fail("the card folder " + positional[0] + " does not exist");

  // The settings live only for this run: an empty location is never stored.
  ProgramSettings settings{SettingsLocation{}};
  settings.SetInPath(card);
  std::string out;
  if (!list) {
    out = platform::WithSeparator(positional[1]);
    if (!platform::IsEnterableDirectory(out))
      return Fail("the output folder " + positional[1] + " does not exist");
    settings.SetOutPath(out);
    settings.SetFileMask(mask);
    settings.MaxFileLength = static_cast<std::uint32_t>(limitMib << 20);
  }

  // The same worker and the same requests as the window: start a job, poll
  // until it is idle, cancel on request, shut down at the end.
  TSecondThread worker(&settings);
  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);
  auto runJob = [&worker](bool (TSecondThread::*start)(), ProgressReport *progress) {
    bool cancelSent = false;
    if (!(worker.*start)())
      return std::pair{false, false};
    while (worker.IsBusy()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(40));
      if (interrupted && !cancelSent) {
        worker.CancelJob();
        cancelSent = true;
      }
      if (progress) {
        std::int32_t done = 0, total = 1;
        worker.GetProgress(done, total);
        progress->Update(done, total);
      }
    }
    return std::pair{worker.GetLastResult(), cancelSent};
  };

  if (!runJob(&TSecondThread::StartScan, nullptr).first)
    std::fputs("orvo-convert: the card could not be read completely\n", stderr);
  if (interrupted)
    return InterruptedExit();
  if (list) {
    PrintCatalog(worker.GetEngine(), stdout);
    return kExitOk;
  }

  const std::uint32_t count = worker.GetRecordCount();
  for (std::uint32_t index : only) {
    if (index >= count)
      return Fail("there is no record " + std::to_string(index) + " on the card (see --list)");
  }
  std::vector<std::int64_t> recordEnds;
  std::int64_t running = 0;
  for (std::uint32_t i = 0; i < count; ++i) {
    const bool selected = only.empty() || only.count(i) != 0;
    worker.SetChecked(i, selected);
    RecordEntry entry;
    if (selected && worker.GetEngine().GetEntry(i, entry)) {
      running += entry.FragmentCount;
      recordEnds.push_back(running);
    }
  }
  if (recordEnds.empty()) {
    std::puts("No records to convert.");
    return kExitOk;
  }

  ProgressReport progress(stderr, recordEnds);
  const auto [result, cancelled] = runJob(&TSecondThread::StartConvert, &progress);
  progress.Finish(cancelled);
  worker.Shutdown();
  worker.WaitFor();
  // One line per record: its outcome, why when it failed, and the files.
  for (std::uint32_t i = 0; i < count; ++i) {
    RecordOutcome outcome;
    if (!worker.GetEngine().GetOutcome(i, outcome) || outcome.kind == OutcomeKind::None)
      continue;
    std::string line = platform::WithoutSeparator(worker.GetEngine().RecordFolderPath(i));
    line = line.substr(line.find_last_of(platform::kPathSeparator) + 1);
    line += ": " + DescribeOutcome(outcome);
    std::vector<std::string> files = outcome.parts;
    if (!outcome.gpsCopy.empty())
      files.push_back(outcome.gpsCopy);
    if (!files.empty()) {
      line += "; " + GetText(txt::FilesWritten);
      for (const std::string &f : files)
        line += " " + f;
    }
    std::printf("%s\n", line.c_str());
  }
  std::fflush(stdout);
  if (cancelled || worker.GetEngine().WasCancelled())
    return InterruptedExit();
  std::fprintf(stderr, "%s\n", GetText(result ? 30 : 31).c_str());
  return result ? kExitOk : kExitJobFailed;
}
