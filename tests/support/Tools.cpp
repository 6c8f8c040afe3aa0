#include "support/Tools.h"

#include "media/Process.h"
#include "platform/FileSystem.h"
#include "support/System.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace orvo::test {

std::string ReadAll(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

using media::RunProcess;

TempDir::TempDir() : path(MakeTempFolder("orvo-test-")) {}

TempDir::~TempDir() {
  if (!path.empty()) {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
}

std::string NativePath(std::string path) {
  for (char &c : path)
    if (c == '/')
      c = platform::kPathSeparator;
  return path;
}

std::string TempDir::File(std::string_view name) const {
  return path + "/" + std::string(name);
}

namespace {

// Values of one "key=value" line block as ffprobe's default writer prints it.
std::string Field(const std::string &block, const std::string &key) {
  std::istringstream in(block);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(key + "=", 0) == 0)
      return line.substr(key.size() + 1);
  }
  return {};
}

long ToLong(const std::string &s) {
  return s.empty() ? 0 : std::strtol(s.c_str(), nullptr, 10);
}
double ToDouble(const std::string &s) {
  return s.empty() ? 0 : std::strtod(s.c_str(), nullptr);
}

} // namespace

bool ExternalToolsAvailable() {
  static const bool available =
      RunProcess({"ffprobe", "-version"}) == 0 && RunProcess({"ffmpeg", "-version"}) == 0;
  return available;
}

bool Probe(const std::string &file, std::vector<ProbedStream> &streams, std::string *error) {
  streams.clear();
  std::string out, err;
  int rc = RunProcess(
      {"ffprobe", "-v", "error", "-count_frames", "-count_packets", "-show_streams", file}, &out,
      &err);
  if (error)
    *error = err;
  if (rc != 0)
    return false;
  std::size_t pos = 0;
  while ((pos = out.find("[STREAM]", pos)) != std::string::npos) {
    std::size_t end = out.find("[/STREAM]", pos);
    std::string block = out.substr(pos, end - pos);
    ProbedStream s;
    s.type = Field(block, "codec_type");
    s.codec = Field(block, "codec_name");
    s.frames = ToLong(Field(block, "nb_read_frames"));
    s.packets = ToLong(Field(block, "nb_read_packets"));
    s.duration = ToDouble(Field(block, "duration"));
    s.width = static_cast<int>(ToLong(Field(block, "width")));
    s.height = static_cast<int>(ToLong(Field(block, "height")));
    s.sampleRate = static_cast<int>(ToLong(Field(block, "sample_rate")));
    s.channels = static_cast<int>(ToLong(Field(block, "channels")));
    streams.push_back(s);
    pos = end;
  }
  return true;
}

bool DecodesCleanly(const std::string &file, std::string *messages) {
  std::string out, err;
  int rc =
      RunProcess({"ffmpeg", "-nostdin", "-v", "error", "-i", file, "-f", "null", "-"}, &out, &err);
  if (messages)
    *messages = err;
  return rc == 0 && err.empty();
}

bool GStreamerPlays(const std::string &file, std::string *messages) {
  std::string out, err;
  const std::string uri = "file://" + std::filesystem::absolute(file).string();
  int rc = RunProcess({"gst-launch-1.0", "-q", "playbin", "uri=" + uri, "video-sink=fakesink",
                       "audio-sink=fakesink"},
                      &out, &err);
  if (messages)
    *messages = out + err;
  return rc == 0 && err.empty();
}

std::vector<std::string> PacketChecksums(const std::string &file, int streamIndex) {
  std::string out;
  const std::string map = "0:" + std::to_string(streamIndex);
  RunProcess({"ffmpeg", "-nostdin", "-v", "error", "-i", file, "-map", map, "-c", "copy", "-f",
              "framemd5", "-"},
             &out);
  std::vector<std::string> sums;
  std::istringstream in(out);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#')
      continue;
    auto comma = line.rfind(',');
    if (comma == std::string::npos)
      continue;
    std::string sum = line.substr(comma + 1);
    sum.erase(0, sum.find_first_not_of(' '));
    sums.push_back(sum);
  }
  return sums;
}

std::vector<double> PacketTimes(const std::string &file, int streamIndex) {
  std::string out;
  RunProcess({"ffprobe", "-v", "error", "-select_streams", std::to_string(streamIndex),
              "-show_entries", "packet=pts_time", "-of", "csv=p=0", file},
             &out);
  std::vector<double> times;
  std::istringstream in(out);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty())
      times.push_back(std::strtod(line.c_str(), nullptr));
  }
  return times;
}

std::string PacketBytes(const std::string &file, int streamIndex) {
  std::string out;
  RunProcess({"ffmpeg", "-nostdin", "-v", "error", "-i", file, "-map",
              "0:" + std::to_string(streamIndex), "-c", "copy", "-f", "data", "-"},
             &out);
  return out;
}

} // namespace orvo::test
