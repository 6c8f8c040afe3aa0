// Closing the program while it converts: the worker finishes the part it
// has open before the program goes on with its shutdown, so every file left
// in the output folder plays.
#include "UiCards.h"
#include "app/ui/Application.h"
#include "app/ui/FormMain.h"
#include "app/ui/RecordPage.h"
#include "app/ui/RecordTableModel.h"
#include "platform/Thread.h"
#include "platform/ui/MessageSeam.h"
#include "support/Tools.h"

#include <QPushButton>
#include <QTimer>

#include <filesystem>

using namespace orvo;
using namespace orvo::test;
namespace fs = std::filesystem;

namespace {

class IdleWorker : public platform::Thread {
protected:
  void Execute() override {
    while (!Terminated())
      Sleep(1);
  }
};

// Yes to quitting during the conversion, and whatever else is asked.
struct QuietSeam : MessageSeam {
  int asked = 0;
  int Show(QWidget *, const QString &, const QString &, int type) override {
    ++asked;
    return (type & 0xF) == 4 ? kAnswerYes : kAnswerOk;
  }
};

std::vector<fs::path> Outputs(const std::string &folder) {
  std::vector<fs::path> files;
  for (const auto &e : fs::directory_iterator(folder))
    if (e.path().extension() == ".mp4")
      files.push_back(e.path());
  return files;
}

} // namespace

TEST(ClosingTheWindow, DuringAConversionLeavesOnlyFinishedFiles) {
  App();
  TempDir work, card, out;
  const fs::path previous = fs::current_path();
  fs::current_path(work.path); // no stored overrides, no language files
  cardgen::CardWriter writer;
  // Enough records that the job still runs when the first one's parts are
  // put under their names.
  constexpr std::uint32_t kRecords = 16;
  for (std::uint32_t n = 1; n <= kRecords; ++n) {
    cardgen::RecordPlan plan;
    plan.number = n;
    plan.minute = static_cast<std::uint8_t>(n);
    plan.fragmentCount = 8;
    cardgen::RecordInfo info;
    ASSERT_TRUE(writer.WriteRecord(card.path, plan, info));
  }
  const SettingsLocation location{work.File("settings.ini"), false};
  {
    ProgramSettings s(location);
    s.SetInPath(card.path);
    s.SetOutPath(out.path);
    s.AutoScan = true;
  }

  QuietSeam seam;
  InstallMessageSeam(&seam);
  ApplicationOptions options;
  options.settings = location;
  options.makeFirmwareThread = [] { return std::make_unique<IdleWorker>(); };
  bool started = false, closedMidJob = false;
  Application app(options);
  // The drive polling finds the card and scans it; then everything is
  // converted and the window closed as soon as the first part is on disk.
  QTimer driver;
  driver.setInterval(5);
  QObject::connect(&driver, &QTimer::timeout, [&] {
    TFormMain *form = app.MainForm();
    if (!form)
      return;
    RecordPage *page = form->TabSheet1;
    if (!started) {
      if (page->Scanning() || !page->ButtonSetAll->isEnabled() ||
          page->RecordModel->rowCount() < static_cast<int>(kRecords))
        return;
      page->ButtonSetAll->click();
      page->ButtonConvert->click();
      started = true;
      return;
    }
    if (Outputs(out.path).empty())
      return;
    driver.stop();
    closedMidJob = app.StorageWorker()->IsBusy();
    form->close();
  });
  driver.start();
  QTimer::singleShot(120000, [&] {
    if (app.MainForm())
      app.MainForm()->close();
  });
  EXPECT_EQ(app.Run(), 0);
  InstallMessageSeam(nullptr);
  fs::current_path(previous);

  ASSERT_TRUE(started) << "the card was never scanned";
  EXPECT_TRUE(closedMidJob);
  EXPECT_EQ(seam.asked, 1) << "quitting during the job was asked first";
  const auto files = Outputs(out.path);
  ASSERT_FALSE(files.empty());
  for (const auto &f : files) {
    std::string messages;
    EXPECT_TRUE(DecodesCleanly(f.string(), &messages)) << f << ": " << messages;
  }
  EXPECT_TRUE(platform::FileExists(location.path));
}
