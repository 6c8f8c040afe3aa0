// What the integrity data costs and what the video file test delivers, each
// as a ratio to a reference run in the same process:
//   1. converting every record of a card as the program does (parts split
//      at the default limit, each flushed and renamed) with digests against
//      without;
//   2. the video file test of every part written against reading the same
//      files with a plain read loop, and with cat.
// Runs alternate, A then B, then B then A, so that neither always runs on a
// warmer cache; the median of each is reported.
//
//   bench_integrity [CARD] [--rounds N] [--cold]
//
// Without CARD a card is generated: the "bench" preset (720x576, 4 Mbit/s,
// stereo AAC) repeated up to $SIZE_MIB MiB, or by default one record of 30
// fragments of 4 s, about 60 MiB. Parts (and a generated card) go to
// $ORVO_BENCH_DIR (default /tmp) and are deleted at the end. --cold drops
// the files read from the page cache before every run (posix_fadvise), so
// the reads come from the disk.
#include "cardgen/CardGen.h"
#include "engine/Storagex4tft.h"
#include "engine/VideoFileTest.h"
#include "media/Process.h"
#include "mp4/Mp4container.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace orvo;

namespace {

struct Record {
  RecordEntry entry;
  std::string folder; // ends with the separator
  std::string name;
};

bool g_cold = false;
std::vector<std::string> g_cardFiles; // every fragment, for --cold

void DropFromCache(const std::vector<std::string> &files) {
  for (const std::string &f : files) {
    int fd = open(f.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
      fdatasync(fd);
      posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
      close(fd);
    }
  }
}

struct Timing {
  double wall = 0, cpu = 0;
};

// Processor time of this process and its children (cat), user and system.
double CpuSeconds() {
  double total = 0;
  for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
    rusage u{};
    getrusage(who, &u);
    total +=
        u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
  }
  return total;
}

Timing Measure(const std::function<void()> &run) {
  sync();
  const double cpu = CpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  run();
  Timing t;
  t.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  t.cpu = CpuSeconds() - cpu;
  return t;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// The conversion itself, as the program runs it (fsync and rename of every
// part included), with the writer's digests on or off; returns the parts.
std::vector<std::string> ConvertCard(const std::string &card, const std::string &out,
                                     bool digests) {
  TStorageX4TFT engine;
  engine.SetInputFolder(card + "/");
  engine.SetOutputFolder(out + "/");
  engine.SetDigestsEnabledForBenchmark(digests);
  engine.ScanRecords();
  for (std::uint32_t i = 0; i < engine.GetRecordCount(); ++i)
    engine.SetChecked(i, true);
  engine.ConvertChecked();
  std::vector<std::string> parts;
  for (const auto &e : fs::directory_iterator(out))
    if (e.path().extension() == ".mp4")
      parts.push_back(e.path().string());
  std::sort(parts.begin(), parts.end());
  return parts;
}

void FreshFolder(const std::string &out) {
  fs::remove_all(out);
  fs::create_directories(out);
}

// Times two runs against each other, alternating their order; prints the
// medians of elapsed and of processor time (the latter holds up on a
// machine that other work shares) and the ratios A / B.
void Compare(const char *nameA, const std::function<void()> &a, const char *nameB,
             const std::function<void()> &b, int rounds, const std::function<void()> &before,
             Timing &medianA) {
  std::vector<double> wall[2], cpu[2];
  for (int i = 0; i < rounds; ++i) {
    for (int k = 0; k < 2; ++k) {
      const int which = (i + k) % 2;
      before();
      const Timing t = Measure(which == 0 ? a : b);
      wall[which].push_back(t.wall);
      cpu[which].push_back(t.cpu);
    }
  }
  const Timing ma{Median(wall[0]), Median(cpu[0])}, mb{Median(wall[1]), Median(cpu[1])};
  std::printf("  %-24s %8.3f s elapsed %8.3f s processor (medians of %d)\n", nameA, ma.wall, ma.cpu,
              rounds);
  std::printf("  %-24s %8.3f s elapsed %8.3f s processor\n", nameB, mb.wall, mb.cpu);
  std::printf("  ratio %-18s %8.3f   elapsed %8.3f   processor\n", "", ma.wall / mb.wall,
              ma.cpu / mb.cpu);
  medianA = ma;
}

} // namespace

int main(int argc, char **argv) {
  std::string card;
  int rounds = 5;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--rounds" && i + 1 < argc)
      rounds = std::max(1, std::atoi(argv[++i]));
    else if (arg == "--cold")
      g_cold = true;
    else
      card = arg;
  }
  const char *dir = std::getenv("ORVO_BENCH_DIR");
  const std::string work = std::string(dir && *dir ? dir : "/tmp") + "/orvo-bench-integrity";
  const std::string out = work + "/out";
  fs::create_directories(work);
  if (card.empty()) {
    card = work + "/card";
    cardgen::CardOptions options;
    options.preset = "bench";
    // By default one record of 30 fragments of 4 s (about 60 MiB).
    const char *mib = std::getenv("SIZE_MIB");
    if (mib && *mib)
      options.sizeMiB = std::strtoull(mib, nullptr, 10);
    else
      options.fragmentSeconds = 4;
    cardgen::CardInfo info;
    std::string error;
    fs::remove_all(card);
    if (!cardgen::MakeCard(card, options, info, &error)) {
      std::fprintf(stderr, "cannot make a card: %s\n", error.c_str());
      return 1;
    }
  }

  TStorageX4TFT engine;
  engine.SetInputFolder(card + "/");
  engine.ScanRecords();
  std::vector<Record> records;
  std::uint64_t cardBytes = 0;
  for (std::uint32_t i = 0; i < engine.GetRecordCount(); ++i) {
    Record r;
    engine.GetEntry(i, r.entry);
    r.folder = engine.RecordFolderPath(i);
    r.name = fs::path(r.folder.substr(0, r.folder.size() - 1)).filename().string();
    for (std::uint32_t j = r.entry.FirstFragment;; ++j) {
      const std::string f =
          r.folder + TStorageX4TFT::FragmentFolderName(j) + TStorageX4TFT::FragmentFileName(j);
      std::error_code ec;
      const auto size = fs::file_size(f, ec);
      if (!ec) {
        g_cardFiles.push_back(f);
        cardBytes += size;
      }
      if (j == r.entry.LastFragment)
        break;
    }
    records.push_back(r);
  }
  std::printf("card %s: %zu records, %zu fragments, %.1f MiB%s\n", card.c_str(), records.size(),
              g_cardFiles.size(), cardBytes / 1048576.0, g_cold ? ", cold reads" : "");
  if (records.empty())
    return 1;

  // Warm-up, then conversion with digests against without.
  FreshFolder(out);
  ConvertCard(card, out, true);
  Timing on;
  std::printf("conversion (read fragments, write parts), digests on against off:\n");
  Compare(
      "digests on", [&] { ConvertCard(card, out, true); }, "digests off",
      [&] { ConvertCard(card, out, false); }, rounds,
      [&] {
        FreshFolder(out);
        if (g_cold)
          DropFromCache(g_cardFiles);
      },
      on);

  FreshFolder(out);
  const std::vector<std::string> parts = ConvertCard(card, out, true);
  std::uint64_t partBytes = 0;
  for (const std::string &p : parts)
    partBytes += fs::file_size(p);
  auto dropParts = [&] {
    if (g_cold)
      DropFromCache(parts);
  };
  bool allGood = true;
  auto test = [&] {
    std::atomic<bool> cancel{false};
    for (const std::string &p : parts)
      allGood = TestVideoFile(p, cancel).verdict == VideoFileVerdict::Good && allGood;
  };
  auto readLoop = [&] {
    std::vector<char> buffer(1 << 20);
    for (const std::string &p : parts) {
      int fd = open(p.c_str(), O_RDONLY | O_CLOEXEC);
      while (fd >= 0 && read(fd, buffer.data(), buffer.size()) > 0) {
      }
      if (fd >= 0)
        close(fd);
    }
  };
  std::vector<std::string> catArgs = {"cat"};
  catArgs.insert(catArgs.end(), parts.begin(), parts.end());
  auto cat = [&] { media::RunProcess(catArgs); };

  std::printf("video file test of %zu parts, %.1f MiB, against reading them:\n", parts.size(),
              partBytes / 1048576.0);
  Timing tested;
  Compare("file test", test, "plain read loop (1 MiB)", readLoop, rounds, dropParts, tested);
  Compare("file test", test, "cat", cat, rounds, dropParts, tested);
  std::printf("  file test throughput     %8.0f MiB/s\n", partBytes / 1048576.0 / tested.wall);
  std::printf("every part tested good: %s\n", allGood ? "yes" : "NO");
  fs::remove_all(work);
  return allGood ? 0 : 1;
}
