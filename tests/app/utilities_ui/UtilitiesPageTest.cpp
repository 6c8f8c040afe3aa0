#include "app/ui/UtilitiesPage.h"
#include "../records_ui/RecordPageHarness.h"
#include "media/Process.h"
#include "mp4/BoxBuilder.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>

#include <algorithm>
#include <filesystem>

using namespace orvo;
namespace fs = std::filesystem;

namespace {

// The utilities page of the main window over the real worker, with a card
// whose one record has been converted by the worker.
struct FileTestPage : test::RecordPageTest {
  UtilitiesPage *tests = nullptr;
  cardgen::RecordInfo record;
  std::string part;

  void SetUp() override {
    test::RecordPageTest::SetUp();
    tests = form->TabSheet6;
    form->PageControl1->setCurrentWidget(tests);
    cardgen::CardWriter writer;
    cardgen::RecordPlan plan;
    ASSERT_TRUE(writer.WriteRecord(card.path, plan, record));
    ASSERT_TRUE(worker->StartScan());
    ASSERT_TRUE(test::WaitIdle(*worker));
    ASSERT_TRUE(worker->SetChecked(0, true));
    ASSERT_TRUE(worker->StartConvert());
    ASSERT_TRUE(test::WaitIdle(*worker));
    for (const auto &e : fs::directory_iterator(out.path))
      if (e.path().extension() == ".mp4")
        part = e.path().string();
    ASSERT_FALSE(part.empty());
  }

  void Start(const std::string &file) {
    tests->EditFileName->setText(QString::fromStdString(file));
    Click(tests->ButtonTest);
  }
  // Tests `file` and answers the status bar's headline at the end.
  QString Test(const std::string &file) {
    Start(file);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !tests->Testing; }, 60000));
    return Status();
  }
  QString Result() const { return tests->MemoResult->toPlainText(); }
};

// A copy of `from` with one byte of its sample data inverted.
std::string Flipped(const std::string &from, const std::string &to) {
  test::Bytes b = test::ReadFile(from);
  const auto mdat = std::search(b.begin(), b.end(), std::begin("mdat"), std::end("mdat") - 1);
  mdat[1000] ^= 0xFF;
  test::WriteFile(to, b);
  return to;
}

} // namespace

TEST_F(FileTestPage, TellsAGoodFileFromAChangedOneAndFromOneItCannotRead) {
  EXPECT_EQ(form->PageControl1->tabText(3), "Utilities");
  EXPECT_FALSE(tests->ButtonTest->isEnabled()) << "no file named yet";

  // The file is chosen in the open dialog, which starts in the output folder.
  QTimer::singleShot(0, [&] {
    QWidget *modal = QApplication::activeModalWidget();
    auto *dialog = qobject_cast<QFileDialog *>(modal);
    if (dialog == nullptr) {
      ADD_FAILURE() << "no file dialog";
      if (modal != nullptr)
        modal->close();
      return;
    }
    EXPECT_EQ(dialog->nameFilters(), QStringList({"MP4 file (*.mp4)", "Any file (*)"}));
    EXPECT_EQ(dialog->directory().absolutePath().toStdString(), out.path);
    dialog->selectFile(QString::fromStdString(part));
    static_cast<QDialog *>(dialog)->accept();
  });
  QTest::mouseClick(tests->ButtonBrowse, Qt::LeftButton);
  EXPECT_EQ(tests->FilePath().toStdString(), part);
  Click(tests->ButtonTest);
  // While the worker tests, nothing else may give it a job.
  EXPECT_EQ(Status(), "Testing video file");
  EXPECT_EQ(tests->ButtonTest->text(), "Cancel");
  EXPECT_TRUE(tests->ProgressBar->isVisible());
  EXPECT_FALSE(page->isEnabled());
  EXPECT_FALSE(form->TabSheet2->ButtonSetup->isEnabled());
  ASSERT_TRUE(QTest::qWaitFor([&] { return !tests->Testing; }, 60000));
  EXPECT_EQ(Status(), "File was tested successfully");
  EXPECT_TRUE(Result().contains(
      QString::fromStdString("Made from record: " + record.folderName + ", fragments 0–2")))
      << Result().toStdString();
  EXPECT_TRUE(seam.shown.empty()) << "no card, so no comparison is offered";
  EXPECT_EQ(tests->ButtonTest->text(), "Test");
  EXPECT_FALSE(tests->ProgressBar->isVisible());
  EXPECT_TRUE(page->isEnabled());
  EXPECT_TRUE(form->TabSheet2->ButtonSetup->isEnabled());
  // The result follows a change of language.
  settings.Language = 1;
  form->RefreshSettingsPages();
  EXPECT_EQ(Status(), QString::fromUtf8(BuiltInRussian[277]));
  settings.Language = 0;
  form->RefreshSettingsPages();

  EXPECT_EQ(Test(Flipped(part, out.File("flipped.mp4"))),
            "File was changed or damaged: the samples of a track differ (track 1)");
  const QString missing = Test(out.File("absent.mp4"));
  EXPECT_TRUE(missing.startsWith("File read error: the file cannot be opened ("))
      << missing.toStdString();
  EXPECT_TRUE(missing.contains("No such file")) << missing.toStdString();

  const std::string other = out.File("ffmpeg.mp4");
  ASSERT_EQ(
      media::RunProcess({"ffmpeg", "-nostdin", "-v", "error", "-f", "lavfi", "-i",
                         "testsrc2=size=160x120:rate=25", "-t", "1", "-c:v", "libx264", other}),
      0);
  EXPECT_EQ(Test(other), "File has no integrity data: only its structure and the reading of its "
                         "samples were checked");
  EXPECT_FALSE(Result().contains("Made from")) << Result().toStdString();

  // The outcome is told again in the language chosen.
  settings.Language = 1;
  form->RefreshSettingsPages();
  EXPECT_TRUE(Result().contains("В файле нет данных о целостности")) << Result().toStdString();
  EXPECT_EQ(tests->ButtonTest->text(), "Проверить");
}

// 3.5 GiB of samples that take no room on the disk: "moov" first, then
// "mdat" as a hole. Even read at the speed of memory, its test takes long
// enough to be refused, interrupted and cancelled.
TEST_F(FileTestPage, RefusedWhileTheWorkerIsBusyAndCancelled) {
  constexpr std::uint32_t kSamples = 3500, kSize = 1 << 20;
  test::Trak video = test::VideoTrak(0);
  test::Bytes sizes = test::Words({0, kSamples});
  sizes.resize(sizes.size() + 4 * kSamples);
  for (std::uint32_t i = 0; i < kSamples; ++i)
    sizes[8 + 4 * i + 1] = kSize >> 16;
  video.stsz = test::FullBox("stsz", 0, sizes);
  video.stts = test::Table("stts", {1, kSamples, 3600});
  video.stsc = test::Table("stsc", {1, 1, kSamples, 1});
  const auto moovSize = static_cast<std::uint32_t>(
      test::Box("moov", test::Cat({test::Mvhd(), video.Build()})).size());
  video.stco = test::Table("stco", {1, moovSize + 8});
  test::Bytes file = test::Box("moov", test::Cat({test::Mvhd(), video.Build()}));
  ASSERT_EQ(file.size(), moovSize);
  test::Be32(file, 8 + kSamples * kSize);
  file.insert(file.end(), {'m', 'd', 'a', 't'});
  const std::string big = out.File("big.mp4");
  ASSERT_TRUE(test::WriteFile(big, file));
  fs::resize_file(big, file.size() + std::uint64_t{kSamples} * kSize);

  // A job the worker already runs refuses the test; the page stays as it
  // was. A card that comes meanwhile is not scanned: the worker would refuse
  // the scan too.
  ASSERT_TRUE(worker->StartFileTest(big, false));
  const QString before = Status();
  Start(big);
  EXPECT_FALSE(tests->Testing);
  EXPECT_FALSE(tests->TimerFileTest->isActive());
  EXPECT_EQ(tests->ButtonTest->text(), "Test");
  EXPECT_EQ(Status(), before);
  EXPECT_TRUE(page->isEnabled());
  settings.AutoScan = true;
  CardAppears();
  EXPECT_FALSE(page->Scanning());
  ASSERT_TRUE(QTest::qWaitFor([&] {
    worker->CancelJob();
    return !worker->IsBusy();
  }));

  // Cancelled at once, perhaps before the worker has taken the test up.
  Start(big);
  Click(tests->ButtonTest);
  EXPECT_FALSE(tests->ButtonTest->isEnabled()) << "cancelled once";
  ASSERT_TRUE(QTest::qWaitFor([&] { return !tests->Testing; }, 60000));
  EXPECT_EQ(Status(), "Test was cancelled");
  EXPECT_TRUE(tests->ButtonTest->isEnabled());
}

TEST_F(FileTestPage, OffersToCompareWithTheCardAndSaysWhereTheyDiffer) {
  CardAppears();
  // While the record page's scan runs, the Test button waits.
  tests->EditFileName->setText(QString::fromStdString(part));
  Click(page->ButtonScan);
  EXPECT_FALSE(tests->ButtonTest->isEnabled());
  ASSERT_TRUE(WaitScanned());
  EXPECT_TRUE(tests->ButtonTest->isEnabled());

  seam.answers = {kAnswerNo};
  EXPECT_EQ(Test(part), "File was tested successfully");
  ASSERT_EQ(seam.shown.size(), 1u);
  EXPECT_EQ(seam.shown[0].type, kMessageAskWarning);
  EXPECT_TRUE(seam.shown[0].text.contains("Compare the file with it sample by sample?"));

  seam.answers = {kAnswerYes};
  Start(part);
  ASSERT_TRUE(QTest::qWaitFor([&] { return seam.shown.size() == 2 && !tests->Testing; }, 60000));
  EXPECT_EQ(Status(), "File is the same as its record on the card");
  EXPECT_EQ(seam.shown.size(), 2u) << "asked once per test";

  // A byte changed on the card: the comparison names the fragment.
  const std::string fragment = card.File(record.folderName + "/" + record.fragments[1].path);
  Flipped(fragment, fragment);
  seam.answers = {kAnswerYes};
  Start(part);
  ASSERT_TRUE(QTest::qWaitFor([&] { return seam.shown.size() == 3 && !tests->Testing; }, 60000));
  EXPECT_EQ(Status(), "File differs from its record on the card: a sample differs");
  EXPECT_TRUE(Result().contains(QString::fromStdString(
      "File differs from its record on the card: a sample differs (" + fragment + ", track 1, ")))
      << Result().toStdString();
}
