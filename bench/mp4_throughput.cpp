// Throughput of the MP4 writer and reader against a plain write of the same
// bytes to the same disk. Files go to $ORVO_BENCH_DIR (default: the system's
// temporary folder) and are deleted before every iteration and at the end.
#include "mp4/Mp4container.h"
#include "platform/File.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr std::uint64_t kTotalBytes = 1ull << 30;
constexpr std::uint32_t kSampleSize = 80 * 1024;
constexpr std::uint32_t kSamples = kTotalBytes / kSampleSize; // 13107
constexpr std::uint32_t kGop = 25;

std::string Folder() {
  const char *dir = std::getenv("ORVO_BENCH_DIR");
  return dir && *dir ? dir : "/tmp";
}
std::string PlainPath() {
  return Folder() + "/orvo-bench-plain.bin";
}
std::string Mp4Path() {
  return Folder() + "/orvo-bench.mp4";
}

// One sample of video-like bytes; every sample of the run reuses it with a
// size that varies by a few bytes, as encoded frames do.
const std::vector<std::uint8_t> &Payload() {
  static std::vector<std::uint8_t> data = [] {
    std::vector<std::uint8_t> d(kSampleSize + 64);
    std::uint32_t x = 12345;
    for (auto &b : d) {
      x = x * 1103515245u + 12345u;
      b = static_cast<std::uint8_t>(x >> 24);
    }
    return d;
  }();
  return data;
}
std::uint32_t SizeOf(std::uint32_t i) {
  return kSampleSize - 32 + (i * 7) % 64;
}

// Peak resident memory since the last reset, in bytes.
long PeakRss() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0)
      return std::atol(line.c_str() + 6) * 1024;
  }
  return -1;
}
long CurrentRss() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0)
      return std::atol(line.c_str() + 6) * 1024;
  }
  return -1;
}
void ResetPeakRss() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
}

std::uint64_t WrittenBytes() {
  std::uint64_t total = 0;
  for (std::uint32_t i = 0; i < kSamples; ++i)
    total += SizeOf(i);
  return total;
}

void BM_PlainWrite(benchmark::State &state) {
  const auto &data = Payload();
  for (auto _ : state) {
    state.PauseTiming();
    std::remove(PlainPath().c_str());
    state.ResumeTiming();
    orvo::platform::File f;
    if (!f.CreateTruncate(PlainPath())) {
      state.SkipWithError("cannot create the file");
      return;
    }
    for (std::uint32_t i = 0; i < kSamples; ++i) {
      if (f.Write(data.data(), SizeOf(i)) != SizeOf(i)) {
        state.SkipWithError("write failed");
        return;
      }
    }
    f.Close();
  }
  std::remove(PlainPath().c_str());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * WrittenBytes()));
}

void BM_WriterWrite(benchmark::State &state) {
  const auto &data = Payload();
  long before = 0, peak = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::remove(Mp4Path().c_str());
    ResetPeakRss();
    before = CurrentRss();
    state.ResumeTiming();
    orvo::TMP4Container w;
    if (!w.OpenWrite(Mp4Path())) {
      state.SkipWithError("cannot create the file");
      return;
    }
    int t = w.AddTrack(orvo::kTrackVideo, "VideoHandler", "eng");
    // 1920 x 1080 with stand-in parameter sets: the index needs a picture size.
    static const std::uint8_t record[] = {0, 0,    7, 128, 0, 0, 4,    56,   0,    0,    0,
                                          0, 0,    0, 0,   0, 0, 0,    0,    4,    0x67, 0x64,
                                          0, 0x28, 0, 0,   0, 4, 0x68, 0xEE, 0x3C, 0x80};
    w.SetCodecConfig(t, orvo::kCodecAvc, sizeof record, record);
    for (std::uint32_t i = 0; i < kSamples; ++i) {
      if (!w.WriteSample(t, data.data(), SizeOf(i), i * 3600, i % kGop == 0)) {
        state.SkipWithError("WriteSample failed");
        return;
      }
    }
    w.Close();
    if (!w.LastFinishSucceeded()) {
      state.SkipWithError("finishing failed");
      return;
    }
    peak = PeakRss();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * WrittenBytes()));
  state.counters["peak_rss_growth_MiB"] = static_cast<double>(peak - before) / (1 << 20);
  state.counters["samples"] = kSamples;
}

void BM_ReaderRead(benchmark::State &state) {
  std::vector<std::uint8_t> buffer(kSampleSize + 64);
  std::uint64_t bytes = 0;
  for (auto _ : state) {
    orvo::TMP4Container r;
    if (!r.OpenRead(Mp4Path())) {
      state.SkipWithError("the writer's file does not open (run BM_WriterWrite first)");
      return;
    }
    int track;
    std::uint32_t index, size, time;
    bool key;
    while (r.NextSample(track, index)) {
      if (!r.GetSampleInfo(track, index, size, time, key) ||
          !r.ReadSample(track, index, buffer.data(), static_cast<std::uint32_t>(buffer.size()))) {
        state.SkipWithError("reading failed");
        return;
      }
      bytes += size;
    }
    r.Close();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}

void BM_Cleanup(benchmark::State &state) {
  for (auto _ : state)
    std::remove(Mp4Path().c_str());
}

} // namespace

BENCHMARK(BM_PlainWrite)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_WriterWrite)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_ReaderRead)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_Cleanup)->Iterations(1);

BENCHMARK_MAIN();
