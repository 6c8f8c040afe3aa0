// How long laying a record out for the player takes (its fragments' indexes
// read and joined into one index), warm, against the floor of reading the
// same index boxes with plain reads in the same run.
//
//   bench_virtual_open [--rounds N] CARD...
//
// Each CARD's first record is laid out N (9) times; the median is printed
// with the floor's median and their ratio, and the memory the layout holds.
#include "engine/Storagex4tft.h"
#include "engine/VirtualRecord.h"
#include "platform/File.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace orvo;
using Clock = std::chrono::steady_clock;

namespace {

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

std::uint32_t Be32(const std::uint8_t *p) {
  return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

// The floor: every fragment opened and its top-level boxes walked, the
// "moov" read whole.
std::size_t ReadIndexes(const std::vector<std::string> &paths) {
  std::size_t bytes = 0;
  std::vector<std::uint8_t> moov;
  for (const std::string &path : paths) {
    platform::File f;
    if (!f.OpenRead(path))
      continue;
    const auto size = static_cast<std::uint64_t>(f.Size());
    std::uint64_t at = 0;
    std::uint8_t head[8];
    while (at + 8 <= size && f.ReadAt(head, 8, at) == 8) {
      const std::uint32_t boxSize = Be32(head);
      if (boxSize < 8)
        break;
      if (std::string(reinterpret_cast<char *>(head + 4), 4) == "moov") {
        moov.resize(boxSize);
        bytes += static_cast<std::size_t>(f.ReadAt(moov.data(), boxSize, at));
      }
      at += boxSize;
    }
  }
  return bytes;
}

} // namespace

int main(int argc, char **argv) {
  int rounds = 9;
  std::vector<std::string> cards;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--rounds" && i + 1 < argc)
      rounds = std::max(1, std::atoi(argv[++i]));
    else
      cards.push_back(arg);
  }
  if (cards.empty()) {
    std::fprintf(stderr, "usage: bench_virtual_open [--rounds N] CARD...\n");
    return 2;
  }
  for (const std::string &card : cards) {
    TStorageX4TFT engine;
    engine.SetInputFolder(card + "/");
    TStorageX4TFT::PlaySource source;
    if (!engine.ScanRecords() || !engine.GetPlaySource(0, source)) {
      std::fprintf(stderr, "%s: no record\n", card.c_str());
      return 1;
    }
    std::vector<double> open, floor;
    std::size_t indexBytes = 0, layoutBytes = 0, fragments = 0;
    std::uint64_t size = 0;
    for (int r = 0; r <= rounds; ++r) { // the first round warms the cache
      TVirtualRecord record;
      auto t0 = Clock::now();
      if (!record.Open(source.folder, source.entry)) {
        std::fprintf(stderr, "%s: %s\n", card.c_str(), record.ErrorText().c_str());
        return 1;
      }
      auto t1 = Clock::now();
      indexBytes = ReadIndexes(record.FragmentPaths());
      auto t2 = Clock::now();
      if (r == 0)
        continue;
      open.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
      floor.push_back(std::chrono::duration<double, std::milli>(t2 - t1).count());
      fragments = record.FragmentPaths().size();
      layoutBytes = 0;
      size = 0;
      for (const VirtualSegment &s : record.Segments()) {
        layoutBytes += s.head.size() + s.extents.size() * sizeof(VirtualSegment::Extent);
        size += s.size;
      }
    }
    const double o = Median(open), f = Median(floor);
    std::printf("%s: %zu fragments, %.1f MiB: laid out in %.1f ms, index reads alone %.1f ms, "
                "ratio %.2f; layout holds %.2f MiB for %.2f MiB of fragment indexes\n",
                card.c_str(), fragments, static_cast<double>(size) / 1048576.0, o, f,
                o / std::max(f, 0.001), static_cast<double>(layoutBytes) / 1048576.0,
                static_cast<double>(indexBytes) / 1048576.0);
  }
  return 0;
}
