#include "media/MediaSource.h"

#include "media/Process.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace orvo::media {

namespace {

void SetError(std::string *error, const std::string &text) {
  if (error)
    *error = text;
}

bool ReadFile(const std::string &path, std::vector<std::uint8_t> &bytes) {
  bytes.clear();
  FILE *f = std::fopen(path.c_str(), "rb");
  if (!f)
    return false;
  std::uint8_t buf[65536];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
    bytes.insert(bytes.end(), buf, buf + n);
  std::fclose(f);
  return true;
}

void Put32(std::vector<std::uint8_t> &out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v >> 24));
  out.push_back(static_cast<std::uint8_t>(v >> 16));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
  out.push_back(static_cast<std::uint8_t>(v));
}

std::string Number(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%g", v);
  return buf;
}

bool IsCached(const std::string &path) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  return !ec && size > 0;
}

// A name of this run alone: the time and a count stand in for the process
// id, which the standard library does not give.
std::string PartName(const std::string &path) {
  static std::atomic<unsigned> count{0};
  const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
  return path + "." + std::to_string(now) + "-" + std::to_string(++count) + ".part";
}

// Runs ffmpeg into `path` unless a previous run left it there. The output is
// written under a temporary name and renamed, so tests running in parallel
// never read a half-written file.
bool EncodeCached(const std::string &path, std::vector<std::string> args, std::string *error) {
  if (IsCached(path))
    return true;
  const std::string temp = PartName(path);
  args.insert(args.begin(), {"ffmpeg", "-nostdin", "-v", "error", "-y"});
  args.push_back(temp);
  std::string err;
  int rc = RunProcess(args, nullptr, &err);
  std::error_code ec;
  if (rc == 0)
    std::filesystem::rename(temp, path, ec);
  // Where a rename does not replace, another run may have got there first.
  if (rc != 0 || (ec && !IsCached(path))) {
    std::filesystem::remove(temp, ec);
    SetError(error, rc == -1 ? "ffmpeg could not be run to make the test material"
                             : "ffmpeg failed (" + std::to_string(rc) + "): " + err);
    return false;
  }
  std::filesystem::remove(temp, ec);
  return true;
}

} // namespace

std::string CacheFolder() {
  const char *env = std::getenv("ORVO_MEDIA_CACHE");
  std::string dir = env && *env ? env : ORVO_MEDIA_CACHE_DIR;
  std::error_code ec;
  std::filesystem::create_directory(dir, ec);
  return dir;
}

bool ParseAnnexB(const std::vector<std::uint8_t> &bytes, unsigned fps, VideoStream &stream) {
  stream.samples.clear();
  stream.sps.clear();
  stream.pps.clear();
  if (fps == 0)
    return false;
  // Start positions of NAL unit payloads (after each 00 00 01).
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i + 2 < bytes.size(); ++i) {
    if (bytes[i] == 0 && bytes[i + 1] == 0 && bytes[i + 2] == 1) {
      starts.push_back(i + 3);
      i += 2;
    }
  }
  Sample current;
  bool open = false;
  auto finish = [&] {
    if (open && !current.data.empty()) {
      const auto index = static_cast<std::uint64_t>(stream.samples.size());
      current.time = static_cast<std::uint32_t>(index * 90000 / fps);
      stream.samples.push_back(std::move(current));
    }
    current = Sample();
    open = false;
  };
  for (std::size_t k = 0; k < starts.size(); ++k) {
    std::size_t begin = starts[k];
    std::size_t end = k + 1 < starts.size() ? starts[k + 1] - 3 : bytes.size();
    // Zero bytes before the next start code belong to it (4-byte form).
    while (end > begin && bytes[end - 1] == 0)
      --end;
    if (end <= begin)
      continue;
    const int type = bytes[begin] & 0x1F;
    if (type == 9) { // access unit delimiter: a new sample begins
      finish();
      open = true;
      continue;
    }
    open = true;
    if (type == 7) {
      if (stream.sps.empty())
        stream.sps.assign(bytes.begin() + begin, bytes.begin() + end);
      continue;
    }
    if (type == 8) {
      if (stream.pps.empty())
        stream.pps.assign(bytes.begin() + begin, bytes.begin() + end);
      continue;
    }
    if (type == 5)
      current.key = true;
    Put32(current.data, static_cast<std::uint32_t>(end - begin));
    current.data.insert(current.data.end(), bytes.begin() + begin, bytes.begin() + end);
  }
  finish();
  stream.fps = fps;
  return !stream.sps.empty() && !stream.pps.empty() && !stream.samples.empty();
}

bool ParseAdts(const std::vector<std::uint8_t> &bytes, AudioStream &stream) {
  static const std::uint32_t kRates[] = {96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                         22050, 16000, 12000, 11025, 8000,  7350};
  stream.samples.clear();
  std::size_t pos = 0;
  while (pos + 7 <= bytes.size()) {
    const std::uint8_t *h = &bytes[pos];
    if (h[0] != 0xFF || (h[1] & 0xF0) != 0xF0)
      return false;
    const bool crc = (h[1] & 1) == 0;
    const unsigned profile = (h[2] >> 6) & 3;
    const unsigned rateIndex = (h[2] >> 2) & 0xF;
    const unsigned channels = ((h[2] & 1) << 2) | (h[3] >> 6);
    const std::size_t length = ((h[3] & 3u) << 11) | (h[4] << 3) | (h[5] >> 5);
    const std::size_t header = crc ? 9 : 7;
    if (rateIndex >= 13 || length <= header || pos + length > bytes.size())
      return false;
    if (stream.samples.empty()) {
      const unsigned objectType = profile + 1;
      stream.sampleRate = kRates[rateIndex];
      stream.channels = static_cast<std::uint16_t>(channels);
      stream.asc = {static_cast<std::uint8_t>((objectType << 3) | (rateIndex >> 1)),
                    static_cast<std::uint8_t>(((rateIndex & 1) << 7) | (channels << 3))};
    }
    Sample s;
    s.key = true;
    s.time = static_cast<std::uint32_t>(static_cast<std::uint64_t>(stream.samples.size()) * 1024 *
                                        90000 / stream.sampleRate);
    s.data.assign(h + header, h + length);
    stream.samples.push_back(std::move(s));
    pos += length;
  }
  return !stream.samples.empty();
}

bool EncodeVideo(const VideoParams &p, VideoStream &stream, std::string *error) {
  if (p.fps == 0 || p.width == 0 || p.height == 0) {
    SetError(error, "bad video parameters");
    return false;
  }
  const unsigned gop = p.gopFrames ? p.gopFrames : p.fps;
  const std::string size = std::to_string(p.width) + "x" + std::to_string(p.height);
  const std::string key = "v_" + p.pattern + "_" + size + "_" + std::to_string(p.fps) + "_" +
                          Number(p.seconds) + "_" + std::to_string(gop) + "_" +
                          std::to_string(p.kbps) + ".h264";
  const std::string path = CacheFolder() + "/" + key;
  std::vector<std::string> args = {"-f",
                                   "lavfi",
                                   "-i",
                                   p.pattern + "=size=" + size + ":rate=" + std::to_string(p.fps),
                                   "-t",
                                   Number(p.seconds),
                                   "-c:v",
                                   "libx264",
                                   "-profile:v",
                                   "baseline",
                                   "-preset",
                                   "veryfast",
                                   "-bf",
                                   "0",
                                   "-g",
                                   std::to_string(gop),
                                   "-keyint_min",
                                   std::to_string(gop),
                                   "-sc_threshold",
                                   "0",
                                   "-pix_fmt",
                                   "yuv420p"};
  if (p.kbps) {
    args.insert(args.end(), {"-b:v", std::to_string(p.kbps) + "k"});
  }
  args.insert(args.end(), {"-bsf:v", "h264_metadata=aud=insert", "-f", "h264"});
  if (!EncodeCached(path, args, error))
    return false;
  std::vector<std::uint8_t> bytes;
  if (!ReadFile(path, bytes) || !ParseAnnexB(bytes, p.fps, stream)) {
    SetError(error, "cannot cut " + path + " into samples");
    return false;
  }
  stream.width = p.width;
  stream.height = p.height;
  return true;
}

bool EncodeAudio(const AudioParams &p, AudioStream &stream, std::string *error) {
  const std::string key = "a_" + std::to_string(p.sampleRate) + "_" + std::to_string(p.channels) +
                          "_" + Number(p.seconds) + "_" + std::to_string(p.frequency) + "_" +
                          std::to_string(p.kbps) + ".aac";
  const std::string path = CacheFolder() + "/" + key;
  std::vector<std::string> args = {"-f",
                                   "lavfi",
                                   "-i",
                                   "sine=frequency=" + std::to_string(p.frequency) +
                                       ":sample_rate=" + std::to_string(p.sampleRate),
                                   "-t",
                                   Number(p.seconds),
                                   "-ac",
                                   std::to_string(p.channels),
                                   "-c:a",
                                   "aac",
                                   "-b:a",
                                   std::to_string(p.kbps) + "k",
                                   "-f",
                                   "adts"};
  if (!EncodeCached(path, args, error))
    return false;
  std::vector<std::uint8_t> bytes;
  if (!ReadFile(path, bytes) || !ParseAdts(bytes, stream)) {
    SetError(error, "cannot cut " + path + " into samples");
    return false;
  }
  return true;
}

std::vector<std::uint8_t> AvcRecord(const VideoStream &s) {
  std::vector<std::uint8_t> r;
  Put32(r, s.width);
  Put32(r, s.height);
  r.insert(r.end(), 8, 0);
  Put32(r, static_cast<std::uint32_t>(s.sps.size()));
  r.insert(r.end(), s.sps.begin(), s.sps.end());
  Put32(r, static_cast<std::uint32_t>(s.pps.size()));
  r.insert(r.end(), s.pps.begin(), s.pps.end());
  return r;
}

std::vector<std::uint8_t> AacRecord(const AudioStream &s, std::uint32_t sampleBits) {
  std::vector<std::uint8_t> r;
  Put32(r, 0);
  Put32(r, s.sampleRate);
  Put32(r, sampleBits);
  Put32(r, s.channels);
  Put32(r, 0);
  r.insert(r.end(), s.asc.begin(), s.asc.end());
  return r;
}

} // namespace orvo::media
