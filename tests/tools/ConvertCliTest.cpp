#include "cardgen/CardGen.h"
#include "media/Process.h"
#include "support/System.h"
#include "support/Tools.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

using namespace orvo;
namespace fs = std::filesystem;

namespace {

const std::string kTool = std::string(ORVO_BINARY_DIR) + "/tools/orvo-convert/orvo-convert";

int RunTool(const std::vector<std::string> &args, std::string *out = nullptr,
            std::string *err = nullptr) {
  std::vector<std::string> argv{kTool};
  argv.insert(argv.end(), args.begin(), args.end());
  const int status = media::RunProcess(argv, out, err);
  // Windows ends the lines of a text stream with CR LF.
  for (std::string *text : {out, err})
    if (text)
      std::erase(*text, '\r');
  return status;
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
  EXPECT_EQ(RunTool({"--json", card, out}), 2) << "--json goes with --list";
  fs::create_directories(card + "/out");
  for (const std::string &inside : {card, card + "/out/"}) {
    EXPECT_EQ(RunTool({card, inside}, nullptr, &err), 2) << inside;
    EXPECT_NE(err.find("lies inside the input folder"), std::string::npos) << err;
  }
  EXPECT_EQ(OutputFiles(), 0u);
}

// Record folders that cannot be read are listed with their reason and make
// the exit status 1; no name can forge a line or break the JSON.
TEST_F(CliCard, UnreadableRecordsAndControlCharactersInNames) {
  Make({Plan(1, 2)});
  fs::create_directories(card + "/R00000002_D210315_T080200"); // no record file
  std::error_code error;
  fs::create_directories(card + "/R0000\n003_D210315_T080300", error);
  const std::string tabbed = dir.File("a\tb.mp4");
  std::ofstream(tabbed) << "not a movie";
  if (error || !fs::exists(tabbed))
    GTEST_SKIP() << "this system's names hold no control characters";
  std::string list, json, lines;
  EXPECT_EQ(RunTool({"--list", card}, &list), 1);
  EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 4) << list;
  EXPECT_NE(list.find("Unreadable record R00000002_D210315_T080200: " + test::MissingFileText()),
            std::string::npos)
      << list;
  EXPECT_NE(list.find("Unreadable record R0000\\n003_D210315_T080300: "), std::string::npos);
  EXPECT_EQ(RunTool({"--list", "--json", card}, &json), 1);
  EXPECT_NE(json.find("\"unreadable\": [\n  {\"folder\": \"R"), std::string::npos) << json;
  EXPECT_NE(json.find("{\"folder\": \"R0000\\n003_D210315_T080300\", \"reason\": \""),
            std::string::npos)
      << json;
  EXPECT_EQ(RunTool({card, out}, &lines), 1) << "the readable record is converted all the same";
  EXPECT_EQ(OutputFiles(), 1u);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 3) << lines;
  EXPECT_EQ(RunTool({"--test", tabbed}, &lines), 1);
  EXPECT_EQ(lines.rfind(dir.File("a\\tb.mp4: "), 0), 0u) << lines;
}

// By default only what is not converted yet; --all everything; --only the
// indices given. Off a terminal, one line per record as it ends.
TEST_F(CliCard, ListsAndConvertsTheChosenRecords) {
  Make({Plan(1, 2), Plan(2, 2), Plan(3, 2)});
  std::string list, json, lines;
  ASSERT_EQ(RunTool({"--list", card}, &list), 0);
  EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 4) << list;
  EXPECT_NE(list.find("160x112"), std::string::npos);
  ASSERT_EQ(RunTool({"--only", "1", "--mask", "%N", card, out}, &lines), 0);
  ASSERT_EQ(OutputFiles(), 1u);
  EXPECT_NE(lines.find(": Converted; Files written: R0000000"), std::string::npos) << lines;
  ASSERT_EQ(RunTool({card, out}, &lines), 0);
  EXPECT_EQ(OutputFiles(), 3u) << "the two not yet converted, named by date and time";
  EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 2) << lines;
  ASSERT_EQ(RunTool({card, out}, &lines), 0);
  EXPECT_EQ(lines, "No records to convert.\n");
  ASSERT_EQ(RunTool({"--all", "--quiet", "--verify", card, out}, &lines), 0);
  EXPECT_EQ(OutputFiles(), 4u);
  EXPECT_EQ(lines, "") << "quiet shows only what failed";

  // Every output tests good; one changed byte makes the test fail.
  std::vector<std::string> files{"--test"};
  for (auto &e : fs::directory_iterator(out))
    files.push_back(e.path().string());
  ASSERT_EQ(RunTool(files, &lines), 0) << lines;
  EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 4) << lines;
  {
    std::fstream f(files[1], std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(4000);
    f.put('\x5A');
  }
  EXPECT_EQ(RunTool(files, &lines), 1);
  EXPECT_NE(lines.find(files[1] + ": changed or damaged"), std::string::npos) << lines;

  // The JSON listing is one valid document with every record, all marked.
  ASSERT_EQ(RunTool({"--list", "--json", card}, &json), 0);
  const std::string check =
      "import json,sys; d=json.load(sys.stdin); r=d['records']; "
      "assert len(r)==3 and all(x['converted'] and not x['checked'] for x in r); "
      "assert r[0]['start'].startswith('2021-03-15T08:0') and r[0]['width']==160; print('ok')";
  const std::string jsonFile = dir.File("list.json");
  std::ofstream(jsonFile) << json;
  if (!test::ExternalChecks())
    return;
  std::string verdict;
  EXPECT_EQ(media::RunProcess({"sh", "-c", "python3 -c \"" + check + "\" < " + jsonFile},
                              &verdict),
            0)
      << json;
  EXPECT_EQ(verdict, "ok\n");
}

// A record streamed to standard output plays from a pipe, holds what a
// conversion holds, and leaves the card as it was.
TEST_F(CliCard, StdoutStreamsARecordThatPlaysFromAPipe) {
  Make({Plan(1, 3), Plan(2, 1)});
  std::string stream, err, record;
  for (auto &e : fs::recursive_directory_iterator(card))
    if (e.path().filename() == "record.dat")
      record += test::ReadAll(e.path().string());
  EXPECT_EQ(RunTool({"--stdout", "5", card}), 2) << "no record 5";
  EXPECT_EQ(RunTool({"--stdout", "0", card, out}), 2);
  EXPECT_EQ(RunTool({"--segment", "1", card, out}), 2) << "--segment goes with --stdout";
  EXPECT_EQ(RunTool({"--stdout", "0", "--segment", "1", card}, nullptr, &err), 2);
  EXPECT_NE(err.find("has 1 segment"), std::string::npos) << err;
  ASSERT_EQ(media::RunProcess({kTool, "--stdout", "0", card}, &stream, &err), 0) << err;
  EXPECT_EQ(stream.substr(4, 8), "ftypvqm4");
  EXPECT_EQ(stream.substr(32, 4), "moov") << "the index first, for a reader that cannot seek";
  std::string after;
  for (auto &e : fs::recursive_directory_iterator(card))
    if (e.path().filename() == "record.dat")
      after += test::ReadAll(e.path().string());
  EXPECT_EQ(after, record);
  EXPECT_EQ(OutputFiles(), 0u);
  if (!test::ExternalChecks())
    return;
  std::string messages;
  EXPECT_EQ(media::RunProcess({"sh", "-c",
                               "'" + kTool + "' --stdout 0 '" + card +
                                   "' | ffmpeg -v error -i - -f null - 2>&1"},
                              &messages),
            0);
  EXPECT_EQ(messages, "");
  ASSERT_EQ(RunTool({"--only", "0", card, out}), 0);
  const std::string file = dir.File("streamed.mp4");
  std::ofstream(file, std::ios::binary).write(stream.data(), static_cast<std::streamsize>(stream.size()));
  for (auto &e : fs::directory_iterator(out))
    for (int track : {0, 1})
      EXPECT_EQ(test::PacketChecksums(file, track),
                test::PacketChecksums(e.path().string(), track));
}

// A clip of a stretch: named by its own first frame, its real start said,
// its samples proved against the card; a stretch outside the record or a
// clip of several records is bad usage.
TEST_F(CliCard, ClipOfAStretchProvesItsSource) {
  Make({Plan(1, 4)}); // four 1-second fragments from 08:01:00
  std::string lines, err;
  EXPECT_EQ(RunTool({"--clip", "08:01:01-08:01:03", card, out}), 2) << "--only is needed";
  EXPECT_EQ(RunTool({"--clip", "08:05:00-08:05:03", "--only", "0", card, out}, nullptr, &err), 2);
  EXPECT_NE(err.find("lies outside the record"), std::string::npos) << err;
  EXPECT_EQ(RunTool({"--card", card, card, out}), 2) << "--card goes with --test";
  ASSERT_EQ(RunTool({"--clip", "+1.5+-1", "--only", "0", card, out}, &lines, &err), 0) << err;
  EXPECT_EQ(lines, "D210315_T080100_C.mp4\n");
  EXPECT_NE(err.find("starts at +0.000 s (its key frame, 0.500 s before the in point)"),
            std::string::npos)
      << err;
  EXPECT_EQ(OutputFiles(), 1u);
  const std::string clip = out + "/D210315_T080100_C.mp4";
  ASSERT_EQ(RunTool({"--test", clip, "--card", card}, &lines), 0) << lines;
  EXPECT_NE(lines.find("is byte for byte the card's"), std::string::npos) << lines;
  {
    std::fstream f(clip, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(3000);
    f.put('\x5A');
  }
  EXPECT_EQ(RunTool({"--test", clip, "--card", card}, &lines), 1);
  EXPECT_NE(lines.find("differs from the card"), std::string::npos) << lines;

  // The same stretch as evidence: a package that checks, then does not
  // once its working copy changed.
  EXPECT_EQ(RunTool({"--evidence", dir.File("nope"), "--only", "0", card}), 2);
  EXPECT_EQ(RunTool({"--check-evidence", card, out}), 2);
  ASSERT_EQ(RunTool({"--evidence", out, "--clip", "+1.5+-1", "--only", "0", card}, &lines, &err), 0)
      << err;
  const std::string package = out + "/D210315_T080100_C_evidence";
  EXPECT_NE(lines.find("D210315_T080100_C_evidence"), std::string::npos) << lines;
  ASSERT_EQ(RunTool({"--check-evidence", package}, &lines), 0) << lines;
  EXPECT_NE(lines.find("The package is complete and unchanged."), std::string::npos);
  {
    std::fstream f(package + "/video/D210315_T080100_C.mp4",
                   std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(3000);
    f.put('\x5A');
  }
  EXPECT_EQ(RunTool({"--check-evidence", package}, &lines), 1);
  EXPECT_NE(lines.find("D210315_T080100_C.mp4: its SHA-256 differs"), std::string::npos)
      << lines;
}

// --version, and the README and the manual page say what --help says.
TEST_F(CliCard, HelpVersionReadmeAndManualAgree) {
  std::string help, version;
  ASSERT_EQ(RunTool({"--help"}, &help), 0);
  ASSERT_EQ(RunTool({"--version"}, &version), 0);
  EXPECT_EQ(version.rfind("orvo-convert ", 0), 0u) << version;
  std::ifstream readme(std::string(ORVO_SOURCE_DIR) + "/README.md");
  const std::string text(std::istreambuf_iterator<char>(readme), {});
  EXPECT_NE(text.find("```\n" + help + "```\n"), std::string::npos)
      << "the README's command-line section must hold the --help text";
  std::ifstream manual(std::string(ORVO_SOURCE_DIR) + "/tools/orvo-convert/orvo-convert.1");
  const std::string man(std::istreambuf_iterator<char>(manual), {});
  for (const char *option : {"--list", "--json", "--all", "--only", "--mask", "--limit",
                             "--verify", "--quiet", "--test", "--version", "--help"}) {
    EXPECT_NE(help.find(option), std::string::npos) << option;
    const std::string escaped = "\\-\\-" + std::string(option + 2);
    EXPECT_NE(man.find(escaped), std::string::npos) << option << " missing from the manual";
  }
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
  // Long enough to be interrupted: converting it takes a few tenths of a
  // second.
  cardgen::RecordPlan plan = Plan(1, 600);
  plan.width = 320;
  plan.height = 240;
  Make({plan});
  for (const auto &[terminate, code] : {std::pair{false, 130}, std::pair{true, 143}}) {
    fs::remove_all(out);
    fs::create_directories(out);
    test::Child tool;
    ASSERT_TRUE(tool.Start({kTool, card, out}));
    // Wait until the first part has some frames in it, then interrupt: a
    // part cut off before its second frame has nothing to play and is not
    // kept.
    const auto written = [&] {
      std::uintmax_t bytes = 0;
      for (const auto &e : fs::directory_iterator(out))
        bytes += e.is_regular_file() ? e.file_size() : 0;
      return bytes;
    };
    for (int i = 0; i < 2000 && written() < 100000; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (!tool.Interrupt(terminate))
      GTEST_SKIP() << test::kNoSignals;
    EXPECT_EQ(tool.Wait(), code);
    std::size_t files = 0;
    for (auto &e : fs::directory_iterator(out)) {
      ++files;
      std::string messages;
      EXPECT_EQ(e.path().extension(), ".mp4") << "no temporary is left";
      if (test::ExternalChecks()) {
        EXPECT_TRUE(test::DecodesCleanly(e.path().string(), &messages)) << messages;
      }
    }
    EXPECT_EQ(files, 1u);
    std::string list;
    RunTool({"--list", card}, &list);
    EXPECT_EQ(list.find(" yes"), std::string::npos) << "not marked converted\n" << list;
  }
}
