#include "RecordPageHarness.h"

#include "settings/Folders.h"

#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QUrl>

#include <filesystem>
#include <fstream>

using namespace orvo;
using orvo::test::RecordPageTest;
namespace fs = std::filesystem;

namespace {

cardgen::RecordPlan Plan(std::uint32_t number) {
  cardgen::RecordPlan plan;
  plan.number = number;
  plan.minute = static_cast<std::uint8_t>(number); // distinct output names
  return plan;
}

void Catalog(const test::TempDir &card, const cardgen::RecordPlan &plan,
             std::uint32_t durationMs = 60000) {
  ASSERT_TRUE(test::WriteCatalogRecord(card.path, plan, durationMs));
}

} // namespace

TEST_F(RecordPageTest, CardAppearingAndGoingEnablesAndEmpties) {
  for (std::uint32_t n = 1; n <= 2; ++n)
    Catalog(card, Plan(n));
  EXPECT_FALSE(page->ButtonScan->isEnabled());
  EXPECT_TRUE(page->ButtonOpenFolder->isEnabled());
  CardAppears();
  Click(page->ButtonScan);
  ASSERT_TRUE(WaitScanned());
  EXPECT_EQ(Rows(), 2);
  EXPECT_TRUE(page->ButtonConvert->isEnabled());
  CardGoes();
  EXPECT_EQ(Rows(), 0);
  QTest::mouseClick(page->ButtonScan, Qt::LeftButton);
  EXPECT_FALSE(page->Scanning()) << "no scan without a card";
  page->ButtonConvertClick();
  EXPECT_FALSE(page->Converting());
}

TEST_F(RecordPageTest, CardGoingDuringAScanLeavesItsCommandsDisabled) {
  for (std::uint32_t n = 1; n <= 2; ++n)
    Catalog(card, Plan(n));
  CardAppears();
  Click(page->ButtonScan);
  CardGoes();
  ASSERT_TRUE(WaitScanned());
  EXPECT_EQ(Caption(page->ButtonScan), "Scan");
  for (QPushButton *b :
       {page->ButtonScan, page->ButtonConvert, page->ButtonFiltering, form->TabSheet2->ButtonFormat,
        form->TabSheet2->ButtonPrepare, form->TabSheet2->ButtonClean})
    EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
  EXPECT_TRUE(form->TabSheet2->ButtonSetup->isEnabled());
  EXPECT_EQ(Rows(), 0);
}

TEST_F(RecordPageTest, ScanShowsABusyBarThenTheCount) {
  for (std::uint32_t n = 1; n <= 3; ++n)
    Catalog(card, Plan(n));
  // A record folder whose record file is empty is shown, not dropped; a
  // plain file named like one is no record.
  std::filesystem::create_directories(card.File("R00000009_D210315_T090000"));
  std::ofstream(card.File("R00000009_D210315_T090000/record.dat"));
  std::ofstream(card.File("R00000010_D210315_T090000"));
  CardAppears();
  Click(page->ButtonScan);
  EXPECT_TRUE(page->Scanning());
  EXPECT_EQ(Status(), "Scanning...");
  EXPECT_TRUE(page->ProgressBar->isVisible());
  EXPECT_EQ(page->ProgressBar->maximum(), 0) << "marquee";
  // A hint does not cover the job's status while it runs.
  QStatusTipEvent hint(page->ButtonScan->statusTip());
  QApplication::sendEvent(page->ButtonOpenFolder, &hint);
  EXPECT_TRUE(form->StatusBar->currentMessage().isEmpty());
  EXPECT_EQ(Caption(page->ButtonScan), "Cancel");
  EXPECT_TRUE(page->ButtonScan->isEnabled());
  for (QPushButton *b :
       {form->TabSheet2->ButtonSetup, page->ButtonFiltering, form->TabSheet2->ButtonFormat})
    EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
  ASSERT_TRUE(WaitScanned());
  EXPECT_EQ(Status(), "Records found: 3, unreadable: 1");
  EXPECT_FALSE(page->ProgressBar->isVisible());
  EXPECT_EQ(Caption(page->ButtonScan), "Scan");
  ASSERT_EQ(Rows(), 4);
  EXPECT_EQ(Cell(3, 0), "Unreadable record R00000009_D210315_T090000: the record file is shorter "
                        "than 60 bytes");
  EXPECT_TRUE(page->ListViewRecord->isFirstColumnSpanned(3, QModelIndex()));
  Click(page->ButtonSetAll);
  EXPECT_FALSE(At(3, 0, Qt::CheckStateRole).isValid()) << "never checkable";
  for (QPushButton *b :
       {page->ButtonScan, page->ButtonConvert, page->ButtonDeleting, page->ButtonSetAll,
        page->ButtonClearAll, page->ButtonFiltering, form->TabSheet2->ButtonSetup})
    EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();
  EXPECT_FALSE(form->TabSheet2->ButtonClean->isEnabled()) << "never has a command";
}

TEST_F(RecordPageTest, EmptyCardFindsNothingAndKeepsRecordCommandsDisabled) {
  CardAppears();
  Click(page->ButtonScan);
  ASSERT_TRUE(WaitScanned());
  EXPECT_EQ(Status(), "No recordings in " +
                          QDir::toNativeSeparators(QString::fromStdString(settings.InPath)));
  for (QPushButton *b :
       {page->ButtonConvert, page->ButtonDeleting, page->ButtonSetAll, page->ButtonClearAll})
    EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
  EXPECT_TRUE(page->ButtonScan->isEnabled());
}

TEST_F(RecordPageTest, CancelledScanStillReportsWhatItFound) {
  for (std::uint32_t n = 1; n <= 100; ++n)
    Catalog(card, Plan(n));
  CardAppears();
  Click(page->ButtonScan);
  Click(page->ButtonScan);
  EXPECT_FALSE(page->ButtonScan->isEnabled());
  EXPECT_EQ(Status(), "Scan was interrupted by user");
  ASSERT_TRUE(WaitScanned());
  EXPECT_EQ(Status(), "Records found: " + QString::number(worker->GetRecordCount()));
  EXPECT_TRUE(page->ButtonScan->isEnabled());
  EXPECT_EQ(Caption(page->ButtonScan), "Scan");
}

TEST_F(RecordPageTest, SortByDateTwiceThenByTime) {
  const int days[] = {20, 10, 15};
  const int hours[] = {7, 9, 8};
  for (std::uint32_t n = 1; n <= 3; ++n) {
    auto plan = Plan(n);
    plan.day = static_cast<std::uint8_t>(days[n - 1]);
    plan.hour = static_cast<std::uint8_t>(hours[n - 1]);
    Catalog(card, plan);
  }
  CardAppears();
  Scan();
  // The first list is in date order, and the header says so.
  EXPECT_EQ(Numbers(), (std::vector<std::uint32_t>{2, 3, 1}));
  QHeaderView *header = page->ListViewRecord->header();
  EXPECT_TRUE(header->isSortIndicatorShown());
  EXPECT_EQ(header->sortIndicatorSection(), 1);
  ClickHeader(1);
  EXPECT_EQ(Numbers(), (std::vector<std::uint32_t>{1, 3, 2}));
  EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
  ClickHeader(1);
  EXPECT_EQ(Numbers(), (std::vector<std::uint32_t>{2, 3, 1}));
  ClickHeader(2);
  EXPECT_EQ(Numbers(), (std::vector<std::uint32_t>{1, 3, 2}));
  EXPECT_EQ(page->SortColumn, 1);
  EXPECT_TRUE(page->SortAscending);
  // A rescan keeps the sort.
  Scan();
  EXPECT_EQ(Numbers(), (std::vector<std::uint32_t>{1, 3, 2}));
}

TEST_F(RecordPageTest, DayLongRecordShowsAPlusButSortsByItsLength) {
  Catalog(card, Plan(1), 26u * 3600 * 1000);
  Catalog(card, Plan(2), 25u * 3600 * 1000);
  Catalog(card, Plan(3), 3600u * 1000);
  CardAppears();
  Scan();
  ClickHeader(3);
  EXPECT_EQ(Numbers(), (std::vector<std::uint32_t>{3, 2, 1}));
  EXPECT_EQ(Cell(2, 3), "23:59:59+");
  EXPECT_EQ(Cell(1, 3), "23:59:59+");
  EXPECT_EQ(Cell(0, 3), "1:00:00");
}

TEST_F(RecordPageTest, ImpossibleDateShowsAnEmptyCellAndTheListGoesOn) {
  auto bad = Plan(1);
  bad.month = 0;
  bad.hour = 25;
  Catalog(card, bad);
  Catalog(card, Plan(2));
  CardAppears();
  Scan();
  ASSERT_EQ(Rows(), 2);
  ClickHeader(4); // by mode: both Linear, catalog order otherwise unknown
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(Cell(i, 1).isEmpty(), NumberOf(i) == 1);
    EXPECT_EQ(Cell(i, 2).isEmpty(), NumberOf(i) == 1);
    EXPECT_EQ(Cell(i, 5), "320x240");
  }
}

TEST_F(RecordPageTest, FilterDefaultsApplyFromTheFirstShowing) {
  Catalog(card, Plan(1), 1400);
  Catalog(card, Plan(2), 1500);
  CardAppears();
  Scan();
  EXPECT_EQ(Rows(), 2) << "before the first showing";
  WhenShown(filter, [&] { QTest::mouseClick(filter->ButtonOK, Qt::LeftButton); });
  Click(page->ButtonFiltering);
  EXPECT_EQ(Numbers(), (std::vector<std::uint32_t>{2}));
  EXPECT_EQ(Cell(0, 3), "0:00:02");
  Scan();
  EXPECT_EQ(Status(), "Records found: 2 (shown: 1)") << "the count is the whole catalog";
  EXPECT_EQ(Rows(), 1);
}

TEST_F(RecordPageTest, FilterModesConvertedAndCancel) {
  auto loop2 = Plan(1);
  loop2.mode = 2;
  Catalog(card, loop2);
  auto unknown = Plan(2);
  unknown.mode = 6;
  Catalog(card, unknown);
  auto converted = Plan(3);
  converted.converted = true;
  Catalog(card, converted);
  CardAppears();
  Scan();
  ClickHeader(4);
  EXPECT_EQ(Numbers(), (std::vector<std::uint32_t>{2, 3, 1}));
  EXPECT_EQ(Cell(0, 4), "");
  EXPECT_EQ(Cell(2, 4), "Loop 2");
  EXPECT_TRUE(GreyAt(1));

  WhenShown(filter, [&] {
    filter->CheckBoxLoop2->click();
    filter->CheckBoxShowConverted->click();
    QTest::mouseClick(filter->ButtonCancel, Qt::LeftButton);
  });
  Click(page->ButtonFiltering);
  EXPECT_EQ(Rows(), 3) << "Cancel changes nothing";

  // Whatever the bar said last (the last job's result), the filter's count
  // takes its place.
  form->Status.SetConversionResult(false, true, 1, 0);
  EXPECT_EQ(Status(), "Conversion completed successfully");
  WhenShown(filter, [&] {
    filter->CheckBoxLoop2->click();
    filter->CheckBoxShowConverted->click();
    QTest::mouseClick(filter->ButtonOK, Qt::LeftButton);
  });
  Click(page->ButtonFiltering);
  EXPECT_EQ(Numbers(), (std::vector<std::uint32_t>{2}));
  EXPECT_FALSE(settings.ShowConverted);
  EXPECT_EQ(Status(), "Records found: 3 (shown: 1)");

  WhenShown(filter, [&] { QTest::mouseClick(filter->ButtonShowAll, Qt::LeftButton); });
  Click(page->ButtonFiltering);
  EXPECT_EQ(Rows(), 3);
  EXPECT_TRUE(settings.ShowConverted);
  EXPECT_EQ(Status(), "Records found: 3");
}

TEST_F(RecordPageTest, SetAllAndClearAllReachTheCatalogOnlyThroughPushChecks) {
  for (std::uint32_t n = 1; n <= 2; ++n)
    Catalog(card, Plan(n));
  CardAppears();
  Scan();
  Click(page->ButtonSetAll);
  for (int i = 0; i < 2; ++i)
    EXPECT_TRUE(CheckedAt(i));
  bool checked = true, converted = false;
  ASSERT_TRUE(worker->GetMarks(0, checked, converted));
  EXPECT_FALSE(checked);
  page->PushChecks();
  ASSERT_TRUE(worker->GetMarks(0, checked, converted));
  EXPECT_TRUE(checked);
  Click(page->ButtonClearAll);
  page->PushChecks();
  ASSERT_TRUE(worker->GetMarks(1, checked, converted));
  EXPECT_FALSE(checked);
}

TEST_F(RecordPageTest, KeyboardChecksRowsAndNeverStartsAJob) {
  for (std::uint32_t n = 1; n <= 3; ++n)
    Catalog(card, Plan(n));
  CardAppears();
  Scan();
  form->activateWindow();
  // A click on a button leaves the focus on the list, which a scan gave it.
  Click(page->ButtonClearAll);
  ASSERT_TRUE(page->ListViewRecord->hasFocus());
  for (QPushButton *b : {page->ButtonScan, page->ButtonConvert, page->ButtonDeleting,
                         form->TabSheet2->ButtonFormat, form->TabSheet2->ButtonPrepare})
    EXPECT_FALSE(b->autoDefault() || b->isDefault() || (b->focusPolicy() & Qt::ClickFocus))
        << b->objectName().toStdString();
  QTest::keyClick(page->ListViewRecord, Qt::Key_Down);
  QTest::keyClick(page->ListViewRecord, Qt::Key_Space);
  QTest::keyClick(page->ListViewRecord, Qt::Key_Return);
  EXPECT_FALSE(page->Converting() || page->Scanning());
  EXPECT_EQ(page->RecordModel->CheckedCount(), 1);
  EXPECT_TRUE(CheckedAt(page->ListViewRecord->currentIndex().row()));
  QTest::keyClick(page->ListViewRecord, Qt::Key_Space);
  EXPECT_EQ(page->RecordModel->CheckedCount(), 0);
  QTest::keyClick(page->ListViewRecord, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(page->RecordModel->CheckedCount(), 3);
  EXPECT_FALSE(page->Converting());
  QTest::keyClick(page->ListViewRecord, Qt::Key_F5);
  EXPECT_TRUE(page->Scanning()) << "F5 scans";
  ASSERT_TRUE(WaitScanned());
}

TEST_F(RecordPageTest, CardComingBackDuringAScanChangesNothingUntilItsEnd) {
  for (std::uint32_t n = 1; n <= 3; ++n)
    Catalog(card, Plan(n));
  settings.AutoScan = true;
  CardAppears();
  ASSERT_TRUE(page->Scanning()) << "AutoScan";
  // The worker is held busy so that the card can go and come back mid-scan.
  ASSERT_TRUE(WaitScanned());
  ASSERT_TRUE(worker->StartScan());
  page->State.End();
  ASSERT_TRUE(page->State.Begin(JobState::Job::Scan));
  page->TimerCommon->start(40);
  CardGoes();
  CardAppears();
  EXPECT_TRUE(page->Scanning()) << "no second scan while one runs";
  for (QPushButton *b : {page->ButtonConvert, page->ButtonFiltering, form->TabSheet2->ButtonSetup,
                         form->TabSheet2->ButtonFormat})
    EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
  ASSERT_TRUE(WaitScanned());
  EXPECT_FALSE(worker->IsBusy());
  EXPECT_TRUE(page->ButtonScan->isEnabled());
  EXPECT_TRUE(form->TabSheet2->ButtonSetup->isEnabled());
}

TEST_F(RecordPageTest, LanguageChangeWithoutACardKeepsTheNoCardState) {
  for (std::uint32_t n = 1; n <= 2; ++n)
    Catalog(card, Plan(n));
  CardAppears();
  Scan();
  CardGoes();
  settings.Language = 1;
  form->RefreshSettingsPages();
  EXPECT_EQ(Rows(), 0);
  for (QPushButton *b : {page->ButtonScan, page->ButtonConvert, page->ButtonDeleting,
                         page->ButtonSetAll, page->ButtonClearAll, page->ButtonFiltering})
    EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
  // The status follows the language, names the folder and says what to do.
  EXPECT_TRUE(
      Status().startsWith(QString::fromUtf8(BuiltInRussian[40]) + ": " +
                          QDir::toNativeSeparators(QString::fromStdString(settings.InPath))))
      << Status().toStdString();
  EXPECT_TRUE(Status().contains(QString::fromUtf8("вставьте карту")));
  settings.Language = 0;
  form->RefreshSettingsPages();
}

TEST_F(RecordPageTest, AnotherInputFolderDropsTheListUntilItIsScanned) {
  Catalog(card, Plan(1));
  test::TempDir other;
  Catalog(other, Plan(2));
  Catalog(other, Plan(3));
  CardAppears();
  Scan();
  ASSERT_EQ(Rows(), 1);
  // The other folder is dropped onto the window and confirmed.
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(other.path))});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(form.get(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  seam.answers = {kAnswerYes};
  QApplication::sendEvent(form.get(), &drop);
  EXPECT_EQ(settings.InPath, WithTrailingBackslash(other.path));
  EXPECT_EQ(Rows(), 0);
  EXPECT_FALSE(page->ButtonConvert->isEnabled());
  EXPECT_FALSE(page->ButtonDeleting->isEnabled());
  // Scan is not offered until the folder is seen: the bar does not say to
  // scan, it names the folder and waits.
  EXPECT_TRUE(Status().startsWith(
      "Drive is not ready: " + QDir::toNativeSeparators(QString::fromStdString(settings.InPath))))
      << Status().toStdString();
  CardAppears();
  EXPECT_EQ(Status(),
            "Drive is ready: " + QDir::toNativeSeparators(QString::fromStdString(settings.InPath)) +
                "; press Scan to list its recordings");
  Scan();
  EXPECT_EQ(Numbers(), (std::vector<std::uint32_t>{2, 3}));
  EXPECT_EQ(worker->GetEngine().GetCatalogFolder(), settings.InPath);
}
