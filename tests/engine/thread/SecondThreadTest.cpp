#include "engine/Finisher.h"
#include "engine/Secondthread.h"
#include "cardgen/CardGen.h"
#include "settings/ProgramSettings.h"
#include "support/Tools.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

using namespace orvo;
namespace fs = std::filesystem;

namespace {

void WriteRecords(const test::TempDir &card, int count) {
  for (int n = 1; n <= count; ++n) {
    RecordEntry e;
    std::memset(&e, 0, sizeof e);
    e.Magic = kRecordMagic;
    e.ModelTag = kRecordModelTag;
    e.RecordNumber = static_cast<std::uint32_t>(n);
    e.FirstFragment = 0;
    e.LastFragment = 0;
    e.FragmentCount = 1;
    e.Day = 1;
    e.Month = 1;
    e.Year = 24;
    char name[64];
    std::snprintf(name, sizeof name, "R%08d_D240101_T000000", n);
    fs::create_directories(card.File(name));
    std::ofstream(card.File(std::string(name) + "/record.dat"), std::ios::binary)
        .write(reinterpret_cast<const char *>(&e), sizeof e);
  }
}

// Polls like the window's timer does, with a generous bound so that a
// broken worker fails the test instead of hanging it.
bool WaitIdle(const TSecondThread &worker) {
  for (int i = 0; i < 3000 && worker.IsBusy(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return !worker.IsBusy();
}

struct Worker : ::testing::Test {
  test::TempDir dir;
  test::TempDir card;
  ProgramSettings settings{SettingsLocation{dir.File("settings.ini"), false}};
  void SetUp() override {
    settings.SetInPath(card.path);
    settings.SetOutPath(dir.path);
  }
};

} // namespace

TEST_F(Worker, OneJobAtATimeAndBusyAtOnce) {
  // A request wakes the worker at once: enough records that the scan is
  // still running when the next lines ask.
  WriteRecords(card, 1500);
  TSecondThread worker(&settings);
  ASSERT_TRUE(worker.StartScan());
  EXPECT_TRUE(worker.IsBusy()) << "busy before the worker has even woken up";
  EXPECT_FALSE(worker.StartConvert()) << "a request while another is pending";
  EXPECT_FALSE(worker.StartDelete());
  ASSERT_TRUE(WaitIdle(worker));
  EXPECT_TRUE(worker.GetLastResult());
  EXPECT_EQ(worker.GetRecordCount(), 1500u) << "the scan ran, not the conversion";
  int day, month, year;
  EXPECT_TRUE(worker.GetRecordDate(0, day, month, year));
  EXPECT_EQ(year, 24);
}

TEST_F(Worker, SettingsAreReadWhenTheJobStarts) {
  WriteRecords(card, 2);
  TSecondThread worker(&settings);
  settings.SetInPath(dir.path); // changed after construction, before the request
  ASSERT_TRUE(worker.StartScan());
  ASSERT_TRUE(WaitIdle(worker));
  EXPECT_EQ(worker.GetRecordCount(), 0u);
}

TEST_F(Worker, ShutdownWhileIdleEndsTheThread) {
  auto worker = std::make_unique<TSecondThread>(&settings);
  worker->Shutdown();
  worker->WaitFor();
  EXPECT_TRUE(worker->Finished());
  EXPECT_FALSE(worker->IsBusy());
}

// Many requests, cancels and polls from a second thread while this one reads
// the catalog the way the window does; ThreadSanitizer watches the flags.
TEST_F(Worker, StartCancelAndPollManyTimes) {
  WriteRecords(card, 40);
  TSecondThread worker(&settings);
  std::atomic<bool> stop{false};
  std::thread window([&] {
    for (int round = 0; round < 60; ++round) {
      bool started = round % 3 == 2 ? worker.StartConvert() : worker.StartScan();
      if (round % 2 == 1)
        worker.CancelJob();
      std::int32_t done, total;
      while (worker.IsBusy()) {
        worker.GetProgress(done, total);
        EXPECT_LE(done, total);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
      (void)started;
      for (std::uint32_t i = 0; i < worker.GetRecordCount(); ++i) {
        bool checked, converted;
        worker.GetMarks(i, checked, converted);
      }
    }
    stop = true;
  });
  window.join();
  EXPECT_TRUE(stop);
  EXPECT_FALSE(worker.IsBusy());
  ASSERT_TRUE(worker.StartScan());
  ASSERT_TRUE(WaitIdle(worker));
  EXPECT_TRUE(worker.GetLastResult()) << "a scan, cancelled or not, reports success";
  EXPECT_EQ(worker.GetRecordCount(), 40u);
}

// Closing the program during a conversion: the worker stops before its next
// fragment, finishes the open part as a playable file, and ends.
TEST_F(Worker, ShutdownDuringConversionFinishesTheOpenPart) {
  cardgen::RecordPlan plan;
  plan.width = 160;
  plan.height = 112;
  plan.fragmentSeconds = 1;
  plan.fragmentCount = 500;
  plan.checked = true;
  cardgen::CardWriter writer;
  writer.materialSeconds = 6;
  cardgen::RecordInfo info;
  ASSERT_TRUE(writer.WriteRecord(card.path, plan, info));
  test::TempDir out;
  settings.SetOutPath(out.path);

  auto worker = std::make_unique<TSecondThread>(&settings);
  ASSERT_TRUE(worker->StartScan());
  ASSERT_TRUE(WaitIdle(*worker));
  ASSERT_TRUE(worker->StartConvert());
  // By the clock: a short sleep may take much longer, or no time at all.
  std::int32_t done = 0, total = 1;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (done < 1 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::microseconds(100));
    worker->GetProgress(done, total);
  }
  worker->Shutdown();
  worker->WaitFor();
  EXPECT_TRUE(worker->Finished());
  worker.reset();

  std::vector<std::string> files;
  for (auto &e : fs::directory_iterator(out.path))
    files.push_back(e.path().string());
  ASSERT_EQ(files.size(), 1u);
  if (!test::ExternalChecks())
    return;
  std::string messages;
  EXPECT_TRUE(test::DecodesCleanly(files[0], &messages)) << messages;
  std::vector<test::ProbedStream> streams;
  ASSERT_TRUE(test::Probe(files[0], streams));
  ASSERT_FALSE(streams.empty());
  EXPECT_GT(streams[0].packets, 0);
  EXPECT_LT(streams[0].packets, 500 * 25);
}

// Conversion's finisher runs jobs in the order posted and away from the
// poster, lets no more than its depth wait (a full queue holds the poster
// back), and runs all of them before it is gone.
TEST(Finisher, RunsInOrderWithABoundedQueueAndAllBeforeItEnds) {
  std::vector<int> ran;
  std::atomic<bool> gate{false}, posted{false};
  const auto poster = std::this_thread::get_id();
  bool elsewhere = true;
  {
    TFinisher finisher(2);
    finisher.Post([&] {
      elsewhere = std::this_thread::get_id() != poster;
      while (!gate)
        std::this_thread::yield();
      ran.push_back(0);
    });
    // The first job runs and blocks; two fill the queue; the fourth waits.
    finisher.Post([&] { ran.push_back(1); });
    finisher.Post([&] { ran.push_back(2); });
    std::thread late([&] {
      finisher.Post([&] { ran.push_back(3); });
      posted = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(posted);
    gate = true;
    late.join();
    finisher.Drain();
    EXPECT_EQ(ran, (std::vector<int>{0, 1, 2, 3}));
    for (int i = 4; i < 40; ++i)
      finisher.Post([&ran, i] { ran.push_back(i); });
  }
  EXPECT_TRUE(elsewhere);
  ASSERT_EQ(ran.size(), 40u);
  for (int i = 0; i < 40; ++i)
    EXPECT_EQ(ran[static_cast<std::size_t>(i)], i);
}
