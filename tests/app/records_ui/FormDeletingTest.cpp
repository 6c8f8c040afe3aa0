#include "engine/ui/FormDeleting.h"
#include "UiCards.h"
#include "settings/ProgramSettings.h"
#include "support/Tools.h"

#include <QProgressBar>
#include <QShowEvent>
#include <QTimer>

#include <filesystem>

using namespace orvo;
namespace fs = std::filesystem;

namespace {

struct DeletingDialog : ::testing::Test {
  test::TempDir dir;
  test::TempDir card;
  ProgramSettings settings{SettingsLocation{dir.File("settings.ini"), false}};
  std::vector<std::string> folders;

  void SetUp() override {
    test::App();
    settings.SetInPath(card.path);
    cardgen::CardWriter writer;
    for (std::uint32_t n = 1; n <= 3; ++n) {
      cardgen::RecordPlan plan;
      plan.number = n;
      plan.fragmentCount = 1;
      cardgen::RecordInfo info;
      ASSERT_TRUE(writer.WriteRecord(card.path, plan, info));
      folders.push_back(card.File(info.folderName));
    }
  }
};

} // namespace

TEST_F(DeletingDialog, DeletesTheCheckedRecordsAndClosesWhenTheWorkerIsIdle) {
  TSecondThread worker(&settings);
  ASSERT_TRUE(worker.StartScan());
  ASSERT_TRUE(test::WaitIdle(worker));
  for (std::uint32_t i = 0; i < worker.GetRecordCount(); ++i) {
    RecordEntry e;
    ASSERT_TRUE(worker.GetEngine().GetEntry(i, e));
    worker.SetChecked(i, e.RecordNumber == 2);
  }
  TFormDeleting form(&worker);
  form.show();
  EXPECT_EQ(form.windowTitle(), "Deleting records");
  EXPECT_TRUE(form.Timer->isActive());
  EXPECT_EQ(form.Timer->interval(), 40);
  // The worker wakes at once for a request: the job may be over already.
  EXPECT_TRUE(worker.IsBusy() || !fs::exists(folders[1])) << "the dialog started the job";
  // Restoring a minimised window shows the dialog again: no second start.
  form.ProgressBar->setMaximum(7);
  QShowEvent again;
  QApplication::sendEvent(&form, &again);
  EXPECT_EQ(form.ProgressBar->maximum(), 7);
  QTest::keyClick(&form, Qt::Key_Escape);
  EXPECT_TRUE(form.isVisible()) << "the deletion cannot be interrupted";
  ASSERT_TRUE(QTest::qWaitFor([&] { return !form.isVisible(); }, 60000));
  EXPECT_FALSE(form.Timer->isActive());
  EXPECT_FALSE(worker.IsBusy());
  EXPECT_TRUE(fs::exists(folders[0]));
  EXPECT_FALSE(fs::exists(folders[1]));
  EXPECT_TRUE(fs::exists(folders[2]));
  worker.Shutdown();
  worker.WaitFor();
}

TEST_F(DeletingDialog, NothingCheckedShowsNoneOfOneAndCloses) {
  TSecondThread worker(&settings);
  ASSERT_TRUE(worker.StartScan());
  ASSERT_TRUE(test::WaitIdle(worker));
  TFormDeleting form(&worker);
  form.show();
  EXPECT_EQ(form.ProgressBar->maximum(), 1);
  EXPECT_EQ(form.ProgressBar->value(), 0);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !form.isVisible(); }, 60000));
  EXPECT_EQ(form.ProgressBar->maximum(), 1) << "never a busy indicator";
  for (const auto &f : folders)
    EXPECT_TRUE(fs::exists(f));
  worker.Shutdown();
  worker.WaitFor();
}
