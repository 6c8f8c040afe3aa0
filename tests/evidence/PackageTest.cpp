#include "cardgen/CardGen.h"
#include "engine/Storagex4tft.h"
#include "evidence/Check.h"
#include "evidence/Package.h"
#include "media/Process.h"
#include "support/Tools.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

using namespace orvo;
namespace fs = std::filesystem;

namespace {

std::map<std::string, std::string> Snapshot(const std::string &folder) {
  std::map<std::string, std::string> files;
  for (auto &e : fs::recursive_directory_iterator(folder))
    if (e.is_regular_file())
      files[e.path().string()] = test::ReadAll(e.path().string());
  return files;
}

void Flip(const fs::path &file, std::size_t at) {
  std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
  f.seekg(static_cast<std::streamoff>(at));
  const char c = static_cast<char>(f.get());
  f.seekp(static_cast<std::streamoff>(at));
  f.put(static_cast<char>(c ^ 0x5A));
}

} // namespace

// A package of a stretch: the originals bit for bit, a clip, a report that
// parses and names every digest, SHA256SUMS that sha256sum accepts; the
// card is byte-identical afterwards; any flipped byte is found and named.
TEST(Evidence, PackageChecksAndEveryChangeIsNamed) {
  test::TempDir dir, out;
  const std::string card = dir.File("card");
  fs::create_directories(card);
  cardgen::CardWriter writer;
  writer.materialSeconds = 12;
  cardgen::RecordPlan plan;
  plan.number = 9;
  plan.width = 160;
  plan.height = 112;
  plan.fragmentCount = 4;
  plan.gps = true;
  cardgen::RecordInfo info;
  ASSERT_TRUE(writer.WriteRecord(card, plan, info));
  const auto before = Snapshot(card);

  TStorageX4TFT engine;
  engine.SetInputFolder(card + "/");
  ASSERT_TRUE(engine.ScanRecords());
  evidence::PackageRequest request;
  ASSERT_TRUE(engine.GetPlaySource(0, request.source));
  request.cardFolder = card;
  request.destination = out.path;
  request.program = "test";
  request.version = "1";
  request.build = "test build";
  ClipRequest clip;
  clip.fromMs = 2500;
  clip.toMs = 4200;
  request.clip = clip;
  request.markedMs = 3000;
  evidence::PackageResult result;
  ASSERT_TRUE(evidence::MakePackage(request, std::atomic<bool>{false}, result)) << result.error;
  EXPECT_EQ(Snapshot(card), before) << "the card is only read";
  const fs::path package = result.folder;
  EXPECT_EQ(package.filename().string(), "D210315_T083002_C_evidence");
  const fs::path original = package / "original" / info.folderName;
  // The fragments the stretch takes samples from, the record file, the track.
  EXPECT_TRUE(fs::exists(original / "record.dat"));
  EXPECT_TRUE(fs::exists(original / "DIR00000" / "F0000001.mp4"));
  EXPECT_TRUE(fs::exists(original / "DIR00000" / "F0000002.mp4"));
  EXPECT_FALSE(fs::exists(original / "DIR00000" / "F0000000.mp4"));
  EXPECT_EQ(test::ReadAll((original / "DIR00000" / "F0000001.mp4").string()),
            test::ReadAll(card + "/" + info.folderName + "/DIR00000/F0000001.mp4"));
  const std::string report = test::ReadAll((package / "report.html").string());
  const std::string sums = test::ReadAll((package / "SHA256SUMS").string());
  for (std::size_t at = 0; at + 66 < sums.size(); at = sums.find('\n', at) + 1) {
    const std::string line = sums.substr(at, sums.find('\n', at) - at);
    if (line.substr(66) != "report.html") {
      EXPECT_NE(report.find(line.substr(0, 64)), std::string::npos) << line;
    }
  }
  EXPECT_NE(report.find("<svg"), std::string::npos) << "the route";
  EXPECT_NE(report.find("sha256sum -c SHA256SUMS"), std::string::npos);

  evidence::CheckResult check = evidence::CheckPackage(package.string(), std::atomic<bool>{false});
  EXPECT_TRUE(check.complete);
  for (const std::string &p : check.problems)
    ADD_FAILURE() << p;

  if (test::ExternalChecks()) {
    std::string said;
    EXPECT_EQ(media::RunProcess({"sh", "-c", "cd '" + package.string() +
                                                 "' && sha256sum --quiet -c SHA256SUMS"},
                                &said),
              0)
        << said;
    EXPECT_EQ(media::RunProcess({"python3", "-c",
                                 "import html.parser,sys\n"
                                 "p=html.parser.HTMLParser()\n"
                                 "p.feed(open(sys.argv[1],encoding='utf-8').read())\n"
                                 "p.close()",
                                 (package / "report.html").string()}),
              0);
  }

  // One changed byte anywhere is named: in an original, the working copy,
  // the report.
  for (const fs::path &spoilt :
       {original / "DIR00000" / "F0000002.mp4", package / "report.html", original / "record.dat"}) {
    const auto saved = test::ReadAll(spoilt.string());
    Flip(spoilt, 40);
    check = evidence::CheckPackage(package.string(), std::atomic<bool>{false});
    EXPECT_FALSE(check.complete) << spoilt;
    bool named = false;
    for (const std::string &p : check.problems)
      named = named || p.find(spoilt.filename().string()) != std::string::npos;
    EXPECT_TRUE(named) << spoilt;
    std::ofstream(spoilt, std::ios::binary | std::ios::trunc) << saved;
  }
  // A file nobody listed is no part of the package.
  std::ofstream(package / "video" / "extra.txt") << "added later";
  check = evidence::CheckPackage(package.string(), std::atomic<bool>{false});
  EXPECT_FALSE(check.complete);
  fs::remove(package / "video" / "extra.txt");

  // Cancelled at once, nothing stands under a package's name.
  evidence::PackageResult cancelled;
  EXPECT_FALSE(evidence::MakePackage(request, std::atomic<bool>{true}, cancelled));
  EXPECT_TRUE(cancelled.interrupted);
  for (auto &e : fs::directory_iterator(out.path))
    EXPECT_EQ(e.path(), package) << "nothing half made is left";
}
