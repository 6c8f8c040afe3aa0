#include "app/DriveProbe.h"
#include "support/Tools.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <thread>

using namespace orvo;

namespace {

bool WaitAnswer(DriveProbe &probe, DriveProbe::Answer &answer) {
  for (int i = 0; i < 5000; ++i) {
    if (probe.TakeAnswer(answer))
      return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return false;
}

} // namespace

// A card reader that hangs holds only the probe's thread: the asker gets no
// answer and its further questions are dropped, never waited on.
TEST(DriveProbeTest, AHangingCheckNeverBlocksTheAskerAndTheCardComesWithItsConfiguration) {
  test::TempDir card;
  std::ofstream(card.File("orvo-v264o4_tft_v1.cfg"), std::ios::binary) << "RECORD_MODE = 2\r\n";
  std::mutex m;
  std::condition_variable cv;
  bool release = false;
  DriveProbe probe([&](std::uint8_t, const std::string &) {
    std::unique_lock<std::mutex> lock(m);
    cv.wait(lock, [&] { return release; });
    return true;
  });
  const std::string folder = card.path + "/";
  ASSERT_TRUE(probe.Ask(255, folder, true));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  DriveProbe::Answer answer;
  EXPECT_FALSE(probe.TakeAnswer(answer));
  EXPECT_FALSE(probe.Ask(255, folder, true)) << "dropped while the first is out";
  {
    const std::lock_guard<std::mutex> lock(m);
    release = true;
  }
  cv.notify_all();
  ASSERT_TRUE(WaitAnswer(probe, answer));
  EXPECT_TRUE(answer.ready);
  EXPECT_EQ(answer.inPath, folder);
  EXPECT_TRUE(answer.configRead);
  EXPECT_EQ(answer.config, "RECORD_MODE = 2\r\n");
  EXPECT_FALSE(probe.TakeAnswer(answer)) << "an answer is taken once";
  ASSERT_TRUE(probe.Ask(255, folder, false));
  ASSERT_TRUE(WaitAnswer(probe, answer));
  EXPECT_FALSE(answer.configRead) << "read only when asked";
}
