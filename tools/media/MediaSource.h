#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Real H.264 and AAC material for tests, benchmarks and generated cards:
// ffmpeg encodes a moving test pattern and a tone, and the elementary streams
// are cut into samples the way the recorder stores them in its fragments.
namespace orvo::media {

struct Sample {
  std::vector<std::uint8_t> data;
  std::uint32_t time = 0; // 90 kHz ticks from the start of the stream
  bool key = false;
};

// Video samples are access units of NAL units, each preceded by a 4-byte
// big-endian length; parameter sets and access unit delimiters are kept out
// of the samples (they travel in the codec configuration).
struct VideoStream {
  std::uint16_t width = 0, height = 0;
  unsigned fps = 0;
  std::vector<std::uint8_t> sps, pps;
  std::vector<Sample> samples;
};

// Audio samples are raw AAC frames of 1024 PCM samples each.
struct AudioStream {
  std::uint32_t sampleRate = 0;
  std::uint16_t channels = 0;
  std::vector<std::uint8_t> asc; // AudioSpecificConfig
  std::vector<Sample> samples;
};

struct VideoParams {
  std::uint16_t width = 320, height = 240;
  unsigned fps = 25;
  double seconds = 2;
  unsigned gopFrames = 0;           // 0: one IDR frame per second
  std::string pattern = "testsrc2"; // any ffmpeg lavfi video source
  unsigned kbps = 0;                // 0: the encoder's default quality
};

struct AudioParams {
  std::uint32_t sampleRate = 16000;
  std::uint16_t channels = 1;
  double seconds = 2;
  unsigned frequency = 440;
  unsigned kbps = 32;
};

// Encodes with ffmpeg (libx264 baseline, no B-frames; native AAC). Results
// are cached by their parameters, so repeated calls cost only the parsing.
bool EncodeVideo(const VideoParams &params, VideoStream &stream, std::string *error = nullptr);
bool EncodeAudio(const AudioParams &params, AudioStream &stream, std::string *error = nullptr);

// Cutting of the elementary streams, usable on their own.
bool ParseAnnexB(const std::vector<std::uint8_t> &bytes, unsigned fps, VideoStream &stream);
bool ParseAdts(const std::vector<std::uint8_t> &bytes, AudioStream &stream);

// Codec configuration records in the container's layout: width, height, 8
// zero bytes, then each parameter set with a 32-bit length (AVC); zero,
// sampling rate, sample bits, channels, zero, then the AudioSpecificConfig
// (AAC). All integers big-endian.
std::vector<std::uint8_t> AvcRecord(const VideoStream &stream);
std::vector<std::uint8_t> AacRecord(const AudioStream &stream, std::uint32_t sampleBits = 16);

// Folder of the encoding cache (created on demand).
std::string CacheFolder();

} // namespace orvo::media
