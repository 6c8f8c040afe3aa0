#include "RecordPageHarness.h"

#include <filesystem>
#include <map>
#include <set>

using namespace orvo;
using orvo::test::RecordPageTest;
namespace fs = std::filesystem;

namespace {

// Records with real fragments, their start minute equal to their number so
// that their output names differ.
struct CardRecords : RecordPageTest {
  cardgen::CardWriter writer;
  std::map<std::uint32_t, std::string> folders;

  void Record(std::uint32_t number, std::uint8_t mode = 0,
              cardgen::Damage damage = cardgen::Damage::None, std::uint32_t fragments = 2) {
    cardgen::RecordPlan plan;
    plan.number = number;
    plan.minute = static_cast<std::uint8_t>(number);
    plan.mode = mode;
    plan.damage = damage;
    plan.fragmentCount = fragments;
    cardgen::RecordInfo info;
    ASSERT_TRUE(writer.WriteRecord(card.path, plan, info));
    folders[number] = card.File(info.folderName);
  }

  // Output files, by name.
  std::set<std::string> Outputs() const {
    std::set<std::string> names;
    for (const auto &e : fs::directory_iterator(out.path))
      names.insert(e.path().filename().string());
    return names;
  }

  int RowOf(std::uint32_t number) const {
    for (int i = 0; i < Rows(); ++i)
      if (NumberOf(i) == number)
        return i;
    return -1;
  }
  bool Grey(std::uint32_t number) const {
    return GreyAt(RowOf(number));
  }
  bool Checked(std::uint32_t number) const {
    return CheckedAt(RowOf(number));
  }
};

std::string OutputName(std::uint32_t number) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "D210315_T08%02u00_P0.mp4", number);
  return buf;
}

} // namespace

TEST_F(CardRecords, ConvertsOnlyTheListedCheckedRecords) {
  Record(1);
  Record(2);
  Record(3, 2); // Loop 2, hidden below
  CardAppears();
  Scan();
  WhenShown(filter, [&] {
    filter->CheckBoxLoop2->click();
    QTest::mouseClick(filter->ButtonOK, Qt::LeftButton);
  });
  Click(page->ButtonFiltering);
  ASSERT_EQ(Rows(), 2);
  ASSERT_TRUE(worker->SetChecked(0, true) && worker->SetChecked(1, true) &&
              worker->SetChecked(2, true))
      << "even a record checked in the catalog but hidden is not converted";
  Click(page->ButtonSetAll);
  Click(page->ButtonConvert);
  EXPECT_EQ(Status(), "Converting...");
  EXPECT_EQ(Caption(page->ButtonConvert), "Cancel");
  EXPECT_TRUE(page->ProgressBar->isVisible());
  for (QPushButton *b : {page->ButtonScan, page->ButtonSetAll, page->ButtonFiltering,
                         page->ButtonDeleting, form->TabSheet2->ButtonSetup})
    EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
  ASSERT_TRUE(WaitConverted());
  EXPECT_EQ(Status(), "Conversion completed successfully");
  EXPECT_EQ(Caption(page->ButtonConvert), "Conversion");
  EXPECT_FALSE(page->ProgressBar->isVisible());
  EXPECT_EQ(Outputs(), (std::set<std::string>{OutputName(1), OutputName(2)}));
  for (std::uint32_t n : {1u, 2u}) {
    EXPECT_TRUE(Grey(n)) << n;
    EXPECT_FALSE(Checked(n)) << n;
    std::vector<test::ProbedStream> streams;
    ASSERT_TRUE(test::Probe(out.File(OutputName(n)), streams));
    ASSERT_EQ(streams.size(), 2u);
    EXPECT_EQ(streams[0].codec, "h264");
    EXPECT_EQ(streams[1].codec, "aac");
    EXPECT_NEAR(streams[0].duration, 4.0, 0.1) << "both fragments";
    EXPECT_TRUE(test::DecodesCleanly(out.File(OutputName(n))));
  }
  // After a rescan the converted records are still listed, grey and
  // unchecked; the hidden one stays hidden.
  Scan();
  ASSERT_EQ(Rows(), 2);
  EXPECT_TRUE(Grey(1) && Grey(2));
  EXPECT_EQ(RowOf(3), -1);
}

TEST_F(CardRecords, ConvertedRecordsListedAfterRescanWhenShown) {
  Record(1);
  CardAppears();
  Scan();
  Click(page->ButtonSetAll);
  Click(page->ButtonConvert);
  ASSERT_TRUE(WaitConverted());
  Scan();
  ASSERT_EQ(Rows(), 1);
  EXPECT_TRUE(Grey(1));
  settings.ShowConverted = false;
  Scan();
  EXPECT_EQ(Rows(), 0);

  // A card pulled out during a conversion takes its list with it when the
  // job ends: once the card is back, nothing stale is offered for converting.
  Record(2, 0, cardgen::Damage::None, 40);
  Scan();
  Click(page->ButtonSetAll);
  Click(page->ButtonConvert);
  CardGoes();
  ASSERT_TRUE(WaitConverted());
  EXPECT_EQ(Rows(), 0);
  CardAppears();
  EXPECT_FALSE(page->ButtonConvert->isEnabled());
  EXPECT_FALSE(page->ButtonDeleting->isEnabled());
}

TEST_F(CardRecords, FailedRecordStaysCheckedAndIsNotGreyed) {
  Record(1);
  Record(2, 0, cardgen::Damage::TruncatedFragment, 3);
  CardAppears();
  Scan();
  Click(page->ButtonSetAll);
  Click(page->ButtonConvert);
  ASSERT_TRUE(WaitConverted());
  EXPECT_EQ(Status(), "Conversion error: 1 converted, 1 failed");
  EXPECT_TRUE(page->ListViewRecord->hasFocus()) << "the list, not a button";
  EXPECT_TRUE(Grey(1));
  EXPECT_FALSE(Checked(1));
  EXPECT_FALSE(Grey(2));
  EXPECT_TRUE(Checked(2));
  EXPECT_TRUE(page->ButtonConvert->isEnabled());
  // The reason is the failed row's hint, and one box after the job lists
  // the records that were not converted.
  const QString why = At(RowOf(2), 3, Qt::ToolTipRole).toString();
  EXPECT_TRUE(why.startsWith("Partly converted") || why.startsWith("Not converted")) << why.toStdString();
  EXPECT_EQ(Cell(RowOf(2), kOutcomeColumn), why) << "in the row, not only in the hint";
  EXPECT_FALSE(At(RowOf(2), kOutcomeColumn, Qt::DecorationRole).isNull());
  EXPECT_EQ(Cell(RowOf(1), kOutcomeColumn), "Converted");
  ASSERT_EQ(seam.shown.size(), 1u);
  EXPECT_TRUE(seam.shown[0].text.startsWith("Records not converted:"));
  EXPECT_TRUE(seam.shown[0].text.contains(why)) << seam.shown[0].text.toStdString();
}

TEST_F(CardRecords, MissingOutputFolderIsReportedAndNothingStarts) {
  Record(1);
  CardAppears();
  Scan();
  settings.SetOutPath(out.File("gone"));
  Click(page->ButtonSetAll);
  Click(page->ButtonConvert);
  EXPECT_FALSE(page->Converting());
  ASSERT_EQ(seam.shown.size(), 1u);
  EXPECT_EQ(seam.shown[0].text, "Output folder does not exist");
  EXPECT_EQ(seam.shown[0].type, 0x10);
  EXPECT_EQ(Caption(page->ButtonConvert), "Conversion");
  Click(page->ButtonOpenFolder);
  ASSERT_EQ(seam.shown.size(), 2u);
  EXPECT_TRUE(seam.shown[1].text.startsWith("The folder cannot be opened: "));
  // An output folder inside the card is named with the card, and refused.
  std::filesystem::create_directories(card.File("converted"));
  settings.SetOutPath(card.File("converted"));
  Click(page->ButtonConvert);
  EXPECT_FALSE(page->Converting());
  ASSERT_EQ(seam.shown.size(), 3u);
  EXPECT_TRUE(seam.shown[2].text.contains("lies inside the input folder " +
                                          QString::fromStdString(settings.InPath)))
      << seam.shown[2].text.toStdString();
}

TEST_F(CardRecords, CancelledConversionReportsTheJobsResultWhenItStops) {
  for (std::uint32_t n = 1; n <= 3; ++n)
    Record(n, 0, cardgen::Damage::None, 6);
  CardAppears();
  Scan();
  Click(page->ButtonSetAll);
  Click(page->ButtonConvert);
  Click(page->ButtonConvert);
  EXPECT_EQ(Status(), "Conversion was interrupted by user");
  EXPECT_FALSE(page->ButtonConvert->isEnabled());
  ASSERT_TRUE(WaitConverted());
  // A job that was still running when the cancel reached it says so; one
  // that had just ended gives its result.
  EXPECT_EQ(Status(), worker->WasCancelled()    ? "Conversion was interrupted by user"
                      : worker->GetLastResult() ? "Conversion completed successfully"
                                                : "Conversion error");
  EXPECT_TRUE(page->ButtonConvert->isEnabled());
  EXPECT_EQ(Caption(page->ButtonConvert), "Conversion");
  // Whatever was not converted is still checked, ready for another go.
  for (int i = 0; i < Rows(); ++i)
    EXPECT_NE(CheckedAt(i), GreyAt(i));
}

TEST_F(CardRecords, DeletionNeedsTwoYesAnswers) {
  Record(1);
  Record(2);
  CardAppears();
  Scan();
  Click(page->ButtonSetAll);
  seam.answers = {kAnswerNo};
  Click(page->ButtonDeleting);
  ASSERT_EQ(seam.shown.size(), 1u);
  EXPECT_EQ(seam.shown[0].text, "Records to delete: 2\nSelected records will be deleted, continue?");
  EXPECT_EQ(seam.shown[0].type, kMessageAskDestructive);
  seam.answers = {kAnswerYes, kAnswerNo};
  Click(page->ButtonDeleting);
  ASSERT_EQ(seam.shown.size(), 3u);
  EXPECT_EQ(seam.shown[2].type, kMessageAskDestructive);
  EXPECT_EQ(seam.shown[2].text, "This operation cannot be interrupted, continue?");
  EXPECT_FALSE(page->Scanning()) << "no rescan";
  EXPECT_TRUE(fs::exists(folders[1]) && fs::exists(folders[2]));
  bool checked = true, converted = false;
  ASSERT_TRUE(worker->GetMarks(0, checked, converted));
  EXPECT_FALSE(checked) << "the check boxes were not even pushed";
}

TEST_F(CardRecords, DeletionWithoutAReadyDriveDoesNothing) {
  Record(1);
  CardAppears();
  Scan();
  Click(page->ButtonSetAll);
  // The card is pulled while the user is being asked.
  seam.whileShown = [&] {
    if (form->DriveReady)
      CardGoes();
  };
  seam.answers = {kAnswerYes, kAnswerYes};
  Click(page->ButtonDeleting);
  EXPECT_EQ(seam.shown.size(), 2u);
  EXPECT_FALSE(deleting->isVisible());
  EXPECT_FALSE(page->Scanning());
  CardAppears();
  EXPECT_TRUE(fs::exists(folders[1]));
}

TEST_F(CardRecords, DeletionRemovesTheListedCheckedRecordsAndRescans) {
  Record(1);
  Record(2);
  Record(3);
  CardAppears();
  Scan();
  Model()->setData(Model()->index(RowOf(2), 0), Qt::Checked, Qt::CheckStateRole);
  seam.answers = {kAnswerYes, kAnswerYes};
  Click(page->ButtonDeleting); // returns once the dialog has closed itself
  EXPECT_FALSE(deleting->isVisible());
  EXPECT_FALSE(deleting->Timer->isActive());
  EXPECT_TRUE(page->Scanning()) << "a rescan follows";
  ASSERT_TRUE(WaitScanned());
  EXPECT_EQ(Status(), "Records found: 2");
  EXPECT_EQ(Rows(), 2);
  EXPECT_EQ(RowOf(2), -1);
  EXPECT_FALSE(fs::exists(folders[2]));
  EXPECT_TRUE(fs::exists(folders[1]) && fs::exists(folders[3]));
}

TEST_F(CardRecords, NothingCheckedIsSaidAndNoJobStarts) {
  Record(1);
  CardAppears();
  Scan();
  Click(page->ButtonDeleting);
  Click(page->ButtonConvert);
  ASSERT_EQ(seam.shown.size(), 2u);
  for (const auto &shown : seam.shown) {
    EXPECT_EQ(shown.text, "No records are checked");
    EXPECT_EQ(shown.type, kMessageInformation);
  }
  EXPECT_FALSE(deleting->isVisible());
  EXPECT_FALSE(page->Scanning() || page->Converting());
  EXPECT_TRUE(fs::exists(folders[1]));
}
