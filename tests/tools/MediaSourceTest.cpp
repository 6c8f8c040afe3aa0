#include "media/MediaSource.h"
#include "support/Tools.h"

#include <gtest/gtest.h>

using namespace orvo::media;

// The test material itself must be what the other tests assume: whole
// access units with key frames where asked, AAC frames of 1024 samples.
TEST(MediaSource, VideoIsCutIntoAccessUnitsWithOneKeyFramePerGop) {
  VideoStream v;
  std::string error;
  ASSERT_TRUE(EncodeVideo({160, 112, 25, 2.0, 0, "testsrc2", 0}, v, &error)) << error;
  ASSERT_EQ(v.samples.size(), 50u);
  for (std::size_t i = 0; i < v.samples.size(); ++i) {
    EXPECT_EQ(v.samples[i].key, i % 25 == 0) << i;
    EXPECT_EQ(v.samples[i].time, i * 3600) << i;
  }
  EXPECT_EQ(v.sps[0] & 0x1F, 7);
  EXPECT_EQ(v.pps[0] & 0x1F, 8);
  EXPECT_EQ(AvcRecord(v).size(), 24 + v.sps.size() + v.pps.size());
}

TEST(MediaSource, AudioIsCutIntoAdtsFrames) {
  AudioStream a;
  std::string error;
  ASSERT_TRUE(EncodeAudio({48000, 2, 1.0, 440, 64}, a, &error)) << error;
  EXPECT_EQ(a.sampleRate, 48000u);
  EXPECT_EQ(a.channels, 2);
  ASSERT_GE(a.samples.size(), 46u);
  EXPECT_EQ(a.samples[1].time, 1920u); // 1024 samples at 48 kHz in 90 kHz ticks
  // AAC-LC, rate index 3, two channels.
  EXPECT_EQ(a.asc, (std::vector<std::uint8_t>{0x11, 0x90}));
  EXPECT_EQ(AacRecord(a).size(), 22u);
}

TEST(MediaSource, BrokenAdtsIsRefused) {
  AudioStream a;
  EXPECT_FALSE(ParseAdts({0xFF, 0xF1, 0x50, 0x80, 0xFF, 0xFF, 0xFC}, a));
  EXPECT_FALSE(ParseAdts({1, 2, 3, 4, 5, 6, 7, 8}, a));
}
