#pragma once

// Real H.264 and AAC streams written through the writer, and an independent
// verdict on the result from ffprobe and ffmpeg.

#include "media/MediaSource.h"
#include "mp4/Mp4container.h"
#include "support/Tools.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace orvo::test {

inline media::VideoStream Video(double seconds, unsigned gop = 0, std::uint16_t width = 160,
                                std::uint16_t height = 120) {
  media::VideoParams p;
  p.width = width;
  p.height = height;
  p.seconds = seconds;
  p.gopFrames = gop;
  media::VideoStream s;
  std::string error;
  EXPECT_TRUE(media::EncodeVideo(p, s, &error)) << error;
  return s;
}

inline media::AudioStream Audio(double seconds) {
  media::AudioParams p;
  p.seconds = seconds;
  media::AudioStream s;
  std::string error;
  EXPECT_TRUE(media::EncodeAudio(p, s, &error)) << error;
  return s;
}

// Writes both streams (either may be empty) in decode-time order, video
// first at equal times, the way the conversion feeds the writer. `setUp`
// runs right after the file is opened.
inline bool WriteMovie(const std::string &path, const media::VideoStream *video,
                       const media::AudioStream *audio, TMP4Container &w,
                       const std::function<bool(TMP4Container &)> &setUp = {}) {
  if (!w.OpenWrite(path) || (setUp && !setUp(w)))
    return false;
  int vt = -1, at = -1;
  if (video) {
    vt = w.AddTrack(kTrackVideo, "VideoHandler", "eng");
    auto rec = media::AvcRecord(*video);
    if (vt < 0 ||
        !w.SetCodecConfig(vt, kCodecAvc, static_cast<std::int32_t>(rec.size()), rec.data()))
      return false;
  }
  if (audio) {
    at = w.AddTrack(kTrackAudio, "SoundHandler", "rus");
    auto rec = media::AacRecord(*audio);
    if (at < 0 ||
        !w.SetCodecConfig(at, kCodecAac, static_cast<std::int32_t>(rec.size()), rec.data()))
      return false;
  }
  std::size_t v = 0, a = 0;
  const std::size_t nv = video ? video->samples.size() : 0, na = audio ? audio->samples.size() : 0;
  while (v < nv || a < na) {
    bool takeVideo = a >= na || (v < nv && video->samples[v].time <= audio->samples[a].time);
    const media::Sample &s = takeVideo ? video->samples[v++] : audio->samples[a++];
    if (!w.WriteSample(takeVideo ? vt : at, s.data.data(),
                       static_cast<std::uint32_t>(s.data.size()), s.time, s.key))
      return false;
  }
  w.Close();
  return w.LastFinishSucceeded();
}

// ffprobe finds the streams with the expected frame counts and durations,
// and ffmpeg decodes the file without a single message.
inline void ExpectPlays(const std::string &file, long videoFrames, double videoSeconds,
                        long audioFrames = 0, double audioSeconds = 0) {
  if (!ExternalChecks())
    return;
  std::vector<ProbedStream> streams;
  std::string error;
  ASSERT_TRUE(Probe(file, streams, &error)) << error;
  bool sawVideo = false, sawAudio = false;
  for (const ProbedStream &s : streams) {
    if (s.type == "video") {
      sawVideo = true;
      EXPECT_EQ(s.codec, "h264");
      EXPECT_EQ(s.frames, videoFrames);
      EXPECT_NEAR(s.duration, videoSeconds, 0.002);
    } else if (s.type == "audio") {
      sawAudio = true;
      EXPECT_EQ(s.codec, "aac");
      EXPECT_EQ(s.packets, audioFrames);
      EXPECT_NEAR(s.duration, audioSeconds, 0.002);
    }
  }
  EXPECT_EQ(sawVideo, videoFrames > 0);
  EXPECT_EQ(sawAudio, audioFrames > 0);
  std::string messages;
  EXPECT_TRUE(DecodesCleanly(file, &messages)) << messages;
}

} // namespace orvo::test
