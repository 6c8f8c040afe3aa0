#include "cardgen/CardGen.h"
#include "platform/Console.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

int Usage(const char *message) {
  if (message)
    std::fprintf(stderr, "orvo-mkcard: %s\n", message);
  std::fprintf(stderr,
               "usage: orvo-mkcard [--preset sample|varied|damaged|bench] [--size-mib N]\n"
               "                   [--records N] [--catalog-only] [--seed N]\n"
               "                   [--fragment-seconds S] [--fragments N] OUTFOLDER\n"
               "  --preset            records to write (default sample; bench with --size-mib)\n"
               "  --size-mib N        repeat the preset's records until the card holds N MiB\n"
               "  --records N         write exactly N records, repeating the preset\n"
               "  --catalog-only      record folders and record files only (10000 records unless\n"
               "                      --records or --size-mib says otherwise)\n"
               "  --seed N            varies the times and marks of repeated records\n"
               "  --fragment-seconds  length of every fragment in whole seconds\n"
               "  --fragments N       fragments of every record (1..100000)\n");
  return 2;
}

bool ParseNumber(const char *text, std::uint64_t &value) {
  if (!text || !*text)
    return false;
  char *end = nullptr;
  errno = 0;
  const unsigned long long v = std::strtoull(text, &end, 10);
  if (errno || *end || text[0] == '-')
    return false;
  value = v;
  return true;
}

} // namespace

int main(int argc, char **argv) {
  using namespace orvo::cardgen;
  CardOptions options;
  std::string folder;
  bool presetGiven = false;
  const std::vector<std::string> args = orvo::platform::ProgramArguments(argc, argv);
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string &arg = args[i];
    const char *next = i + 1 < args.size() ? args[i + 1].c_str() : nullptr;
    std::uint64_t n = 0;
    if (arg == "--help" || arg == "-h") {
      Usage(nullptr);
      return 0;
    } else if (arg == "--catalog-only") {
      options.catalogOnly = true;
    } else if (arg == "--preset" && next) {
      options.preset = next;
      presetGiven = true;
      ++i;
    } else if (arg == "--size-mib" || arg == "--records" || arg == "--seed" ||
               arg == "--fragment-seconds" || arg == "--fragments") {
      if (!ParseNumber(next, n))
        return Usage(("bad or missing number after " + arg).c_str());
      ++i;
      if (arg == "--size-mib")
        options.sizeMiB = n;
      else if (arg == "--records")
        options.records = static_cast<std::uint32_t>(n);
      else if (arg == "--seed")
        options.seed = n;
      else if (arg == "--fragments" && (n == 0 || n > 100000))
        return Usage("fragments must be 1..100000");
      else if (arg == "--fragments")
        options.fragments = static_cast<std::uint32_t>(n);
      else if (n == 0 || n > 3600)
        return Usage("fragment seconds must be 1..3600");
      else
        options.fragmentSeconds = static_cast<unsigned>(n);
    } else if (!arg.empty() && arg[0] == '-') {
      return Usage(("unknown option " + arg).c_str());
    } else if (folder.empty()) {
      folder = arg;
    } else {
      return Usage("only one output folder");
    }
  }
  if (folder.empty())
    return Usage("no output folder");
  if (options.catalogOnly && !options.records && !options.sizeMiB)
    options.records = 10000;
  if (options.sizeMiB && !presetGiven)
    options.preset = "bench";
  if (PresetRecords(options.preset).empty())
    return Usage(("unknown preset " + options.preset).c_str());

  CardInfo info;
  std::string error;
  if (!MakeCard(folder, options, info, &error)) {
    std::fprintf(stderr, "orvo-mkcard: %s\n", error.c_str());
    return 1;
  }
  const bool brief = info.records.size() > 40;
  for (const auto &r : info.records) {
    if (brief)
      break;
    const auto &s = r.plan;
    std::string audio = "no audio";
    if (s.audioRate)
      audio = std::to_string(s.audioRate) + " Hz " + (s.audioChannels == 1 ? "mono" : "stereo");
    std::printf("%-26s %4ux%-4u %2u fps  %-17s %3u x %2u s  mode %u%s%s%s%s%s\n",
                r.folderName.c_str(), unsigned(s.width), unsigned(s.height), s.fps, audio.c_str(),
                unsigned(s.fragmentCount), s.fragmentSeconds, unsigned(s.mode),
                s.gps ? "  gps" : "", s.checked ? "  checked" : "",
                s.converted ? "  converted" : "", s.damage != Damage::None ? "  damage: " : "",
                s.damage != Damage::None ? DamageName(s.damage) : "");
  }
  std::printf("%zu records, %u fragment files, %.1f MiB in %s\n", info.records.size(),
              info.fragmentFiles, double(info.bytes) / (1 << 20), folder.c_str());
  return 0;
}
