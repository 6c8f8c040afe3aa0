// orvo-convert: lists the recordings of a card (or a copy of one) and
// converts them into MP4 files without the window, for people who offload
// cards from scripts. It runs the same engine as the program.

#include "Listing.h"
#include "Progress.h"

#include "engine/Storagex4tft.h"
#include "platform/FileSystem.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <future>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitJobFailed = 1;
constexpr int kExitUsage = 2;

std::atomic<bool> interrupted{false};

void OnInterrupt(int) { interrupted = true; }

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
             "Ctrl-C stops after the current fragment; the open file is finished.\n",
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

  TStorageX4TFT engine;
  engine.SetInputFolder(card);
  if (!engine.ScanRecords())
    std::fputs("orvo-convert: the card could not be read completely\n", stderr);
  if (list) {
    PrintCatalog(engine, stdout);
    return kExitOk;
  }

  const std::string out = platform::WithSeparator(positional[1]);
  if (!platform::IsEnterableDirectory(out))
    return Fail("the output folder " + positional[1] + " does not exist");
  const std::uint32_t count = engine.GetRecordCount();
  for (std::uint32_t index : only) {
    if (index >= count)
      return Fail("there is no record " + std::to_string(index) + " on the card (see --list)");
  }
  std::vector<std::int64_t> recordEnds;
  std::int64_t running = 0;
  for (std::uint32_t i = 0; i < count; ++i) {
    const bool selected = only.empty() || only.count(i) != 0;
    engine.SetChecked(i, selected);
    RecordEntry entry;
    if (selected && engine.GetEntry(i, entry)) {
      running += entry.FragmentCount;
      recordEnds.push_back(running);
    }
  }
  if (recordEnds.empty()) {
    std::puts("No records to convert.");
    return kExitOk;
  }
  engine.SetOutputFolder(out);
  engine.SetNameMask(mask);
  engine.SetMaxOutputLength(static_cast<std::uint32_t>(limitMib << 20));

  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);
  auto job = std::async(std::launch::async, [&engine] { return engine.ConvertChecked(); });
  ProgressReport progress(stderr, recordEnds);
  bool cancelSent = false;
  while (job.wait_for(std::chrono::milliseconds(40)) != std::future_status::ready) {
    if (interrupted && !cancelSent) {
      engine.RequestCancel();
      cancelSent = true;
      std::fputs("\nConversion was interrupted by user\n", stderr);
    }
    std::int32_t done = 0, total = 1;
    engine.GetProgress(done, total);
    progress.Update(done, total);
  }
  const bool result = job.get();
  progress.Finish(cancelSent);
  std::fputs(result ? "Conversion completed succesfully\n" : "Conversion error\n", stderr);
  return result ? kExitOk : kExitJobFailed;
}
