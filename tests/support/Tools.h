#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

// Helpers shared by the tests: scratch folders and an independent opinion on
// MP4 files from ffprobe and ffmpeg.
namespace orvo::test {

// A fresh folder under the system's temporary folder, removed with
// everything in it when the object goes.
struct TempDir {
  TempDir();
  ~TempDir();
  TempDir(const TempDir &) = delete;
  TempDir &operator=(const TempDir &) = delete;
  std::string File(std::string_view name) const; // path + separator + name
  std::string path;                              // no trailing separator
};

// Whether the programs that judge the files independently (ffmpeg, ffprobe,
// GStreamer, python3) can be run here; under Wine only the Linux ones exist,
// which a Windows program cannot start.
bool ExternalToolsAvailable();
// Guards each check by those programs: where they cannot run, the test is
// reported as skipped with the reason and goes on with its own checks, which
// still count (a failure among them still fails it).
inline bool ExternalChecks() {
  if (ExternalToolsAvailable())
    return true;
  [] {
    GTEST_SKIP() << "ffmpeg, ffprobe, GStreamer and python3 cannot be run here to check the "
                    "files (under Wine only the Linux ones exist)";
  }();
  return false;
}

// `path` with the system's separator throughout, to compare a path the
// program built with one a test built with "/".
std::string NativePath(std::string path);

struct ProbedStream {
  std::string type;  // "video", "audio"
  std::string codec; // "h264", "aac"
  long frames = 0;   // counted by decoding
  long packets = 0;
  double duration = 0; // seconds, as the container declares it
  int width = 0, height = 0;
  int sampleRate = 0, channels = 0;
};

// The whole content of a file (empty when it cannot be read).
std::string ReadAll(const std::string &path);

bool Probe(const std::string &file, std::vector<ProbedStream> &streams,
           std::string *error = nullptr);
// `ffmpeg -v error -i FILE -f null -` succeeds and prints nothing.
bool DecodesCleanly(const std::string &file, std::string *messages = nullptr);
// GStreamer's player demuxes and decodes every stream without an error.
bool GStreamerPlays(const std::string &file, std::string *messages = nullptr);
// One checksum per packet of the stream, taken without decoding.
std::vector<std::string> PacketChecksums(const std::string &file, int streamIndex);
// Presentation times of a stream's packets, in seconds.
std::vector<double> PacketTimes(const std::string &file, int streamIndex);
// The bytes of a stream's packets one after another, as ffmpeg reads them.
std::string PacketBytes(const std::string &file, int streamIndex);

} // namespace orvo::test
