#pragma once

#include "platform/File.h"

#include <cstdint>
#include <string>

namespace orvo {

inline constexpr int kMaxTracks = 8;

// Track types.
inline constexpr std::int8_t kTrackVideo = 0;
inline constexpr std::int8_t kTrackAudio = 1;
inline constexpr std::int8_t kTrackNone = 2;
// Timed text (subtitles) and timed metadata: written with a sample entry
// the caller gives whole, read only for their samples.
inline constexpr std::int8_t kTrackText = 3;
inline constexpr std::int8_t kTrackMeta = 4;

// Codec types.
inline constexpr std::uint8_t kCodecNone = 0;
inline constexpr std::uint8_t kCodecAvc = 1;
inline constexpr std::uint8_t kCodecAac = 2;

// Container states.
inline constexpr std::int8_t kStateNotReady = 0;
inline constexpr std::int8_t kStateClosed = 1;
inline constexpr std::int8_t kStateReading = 2;
inline constexpr std::int8_t kStateWriting = 3;

// Every timestamp and duration exchanged with callers is in 1/90000 s.
inline constexpr std::uint32_t kTimeBase = 90000;

// A media file read or written track by track, sample by sample.
class TContainer {
public:
  TContainer();
  virtual ~TContainer();
  TContainer(const TContainer &) = delete;
  TContainer &operator=(const TContainer &) = delete;

  virtual bool OpenWrite(const std::string &fileName) = 0;
  virtual bool OpenRead(const std::string &fileName) = 0;
  // New track index, or -1.
  virtual int AddTrack(std::int8_t type, const std::string &handlerName,
                       const std::string &language) = 0;
  virtual bool GetTrackInfo(int track, std::int8_t &type, std::string &handlerName,
                            std::string &language) = 0;
  virtual int GetTrackCount() = 0;
  virtual std::uint32_t GetSampleCount(int track) = 0;
  virtual bool WriteSample(int track, const std::uint8_t *data, std::uint32_t size,
                           std::uint32_t timestamp, bool keyFrame) = 0;
  virtual bool ReadSample(int track, std::uint32_t sample, std::uint8_t *buffer,
                          std::uint32_t capacity) = 0;
  virtual bool GetSampleInfo(int track, std::uint32_t sample, std::uint32_t &size,
                             std::uint32_t &timestamp, bool &keyFrame) = 0;
  virtual void Close() = 0;

  std::uint32_t GetPosition() const { return position; }
  // value * to / from on 64 bits, truncated to 32 bits; 0 when `from` is 0
  // (a zero time scale read from a file).
  static std::uint32_t Rescale(std::uint32_t value, std::uint32_t from, std::uint32_t to);

  // Duration of each track in time-base units.
  std::uint32_t TrackDuration[kMaxTracks];

protected:
  std::int8_t state;
  platform::File handle;
  std::uint32_t position;
  std::int32_t trackCount;
  std::int8_t trackType[kMaxTracks];
  std::uint32_t trackTimescale[kMaxTracks];
  std::uint32_t movieDuration;
  std::uint16_t videoWidth[kMaxTracks], videoHeight[kMaxTracks];
  std::uint16_t audioChannels[kMaxTracks], audioSampleBits[kMaxTracks];
};

} // namespace orvo
