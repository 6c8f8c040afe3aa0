#include "cardgen/CardGen.h"
#include "media/Process.h"
#include "support/Tools.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

using namespace orvo;
namespace fs = std::filesystem;

namespace {

const std::string kTool = std::string(ORVO_BINARY_DIR) + "/tools/orvo-convert/orvo-convert";

int RunTool(const std::vector<std::string> &args, std::string *out = nullptr,
            std::string *err = nullptr) {
  std::vector<std::string> argv{kTool};
  argv.insert(argv.end(), args.begin(), args.end());
  return media::RunProcess(argv, out, err);
}

struct CliCard : ::testing::Test {
  test::TempDir dir;
  std::string card, out;
  void Make(const std::vector<cardgen::RecordPlan> &plans) {
    card = dir.File("card");
    out = dir.File("out");
    fs::create_directories(card);
    fs::create_directories(out);
    cardgen::CardWriter writer;
    writer.materialSeconds = 6;
    for (const auto &s : plans) {
      cardgen::RecordInfo info;
      ASSERT_TRUE(writer.WriteRecord(card, s, info));
    }
  }
  static cardgen::RecordPlan Plan(std::uint32_t n, std::uint32_t fragments) {
    cardgen::RecordPlan s;
    s.number = n;
    s.minute = static_cast<std::uint8_t>(n);
    s.width = 160;
    s.height = 112;
    s.fragmentCount = fragments;
    s.fragmentSeconds = 1;
    return s;
  }
  std::size_t OutputFiles() const {
    std::size_t n = 0;
    for (auto &e : fs::directory_iterator(out))
      n += e.path().extension() == ".mp4";
    return n;
  }
};

} // namespace

TEST_F(CliCard, BadUsageAndMissingFoldersExitWithTwo) {
  Make({Plan(1, 1)});
  std::string err;
  EXPECT_EQ(RunTool({}), 2);
  EXPECT_EQ(RunTool({"--bogus", card, out}), 2);
  EXPECT_EQ(RunTool({card}), 2) << "an output folder is needed to convert";
  EXPECT_EQ(RunTool({dir.File("nope"), out}, nullptr, &err), 2);
  EXPECT_NE(err.find("does not exist"), std::string::npos) << err;
  EXPECT_EQ(RunTool({card, dir.File("nope")}), 2);
  EXPECT_EQ(RunTool({"--limit", "0", card, out}), 2);
  EXPECT_EQ(RunTool({"--limit", "2000", card, out}), 2);
  EXPECT_EQ(RunTool({"--only", "1,x", card, out}), 2);
  EXPECT_EQ(RunTool({"--only", "5", card, out}, nullptr, &err), 2) << "no record 5 on the card";
  EXPECT_EQ(OutputFiles(), 0u);
}

TEST_F(CliCard, ListsAndConvertsTheChosenRecords) {
  Make({Plan(1, 2), Plan(2, 2), Plan(3, 2)});
  std::string list;
  ASSERT_EQ(RunTool({"--list", card}, &list), 0);
  EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 4) << list;
  EXPECT_NE(list.find("160x112"), std::string::npos);
  ASSERT_EQ(RunTool({"--only", "1", "--mask", "%N", card, out}), 0);
  ASSERT_EQ(OutputFiles(), 1u);
  ASSERT_EQ(RunTool({card, out}), 0);
  EXPECT_EQ(OutputFiles(), 4u) << "one named by record number, three by date and time";
  std::string after;
  RunTool({"--list", card}, &after);
  std::size_t marked = 0;
  for (std::size_t p = 0; (p = after.find(" yes", p)) != std::string::npos; ++p)
    ++marked;
  EXPECT_EQ(marked, 3u) << "all marked converted\n" << after;
}

TEST_F(CliCard, DamagedRecordExitsWithOne) {
  cardgen::RecordPlan s = Plan(1, 4);
  s.damage = cardgen::Damage::MissingFragment;
  Make({s});
  std::string err;
  EXPECT_EQ(RunTool({card, out}, nullptr, &err), 1);
  EXPECT_NE(err.find("Conversion error"), std::string::npos) << err;
  EXPECT_EQ(OutputFiles(), 1u) << "what could be read is still converted";
}

// Ctrl-C (or SIGTERM) is not success: the open part is finished and kept,
// the record stays unconverted, and the exit status says how it ended.
TEST_F(CliCard, InterruptFinishesTheOpenFileAndIsNotSuccess) {
  Make({Plan(1, 600)});
  for (const auto &[sig, code] : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}}) {
    fs::remove_all(out);
    fs::create_directories(out);
    std::vector<char *> argv{const_cast<char *>(kTool.c_str()), card.data(), out.data(), nullptr};
    pid_t pid;
    ASSERT_EQ(posix_spawn(&pid, kTool.c_str(), nullptr, nullptr, argv.data(), environ), 0);
    // Wait until the first part is being written, then interrupt.
    for (int i = 0; i < 2000 && fs::is_empty(out); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    kill(pid, sig);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), code);
    std::size_t files = 0;
    for (auto &e : fs::directory_iterator(out)) {
      ++files;
      std::string messages;
      EXPECT_EQ(e.path().extension(), ".mp4") << "no temporary is left";
      EXPECT_TRUE(test::DecodesCleanly(e.path().string(), &messages)) << messages;
    }
    EXPECT_EQ(files, 1u);
    std::string list;
    RunTool({"--list", card}, &list);
    EXPECT_EQ(list.find(" yes"), std::string::npos) << "not marked converted\n" << list;
  }
}
