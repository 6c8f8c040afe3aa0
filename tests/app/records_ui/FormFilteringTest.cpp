#include "app/ui/FormFiltering.h"
#include "UiCards.h"
#include "app/RecordSource.h"
#include "settings/ProgramSettings.h"
#include "support/Tools.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

using namespace orvo;
using namespace orvo::filter;

namespace {

struct FilterDialog : ::testing::Test {
  test::TempDir dir;
  test::TempDir card;
  ProgramSettings settings{SettingsLocation{dir.File("settings.ini"), false}};
  std::unique_ptr<TFormFiltering> form;

  void SetUp() override {
    test::App();
    settings.SetInPath(card.path);
    form = std::make_unique<TFormFiltering>(nullptr, &settings);
  }

  // Shows the dialog as the main window does, without blocking.
  void Show() {
    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  }

  void Type(QLineEdit *edit, const QString &text) {
    edit->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit->hasFocus(); }, 5000));
    edit->selectAll();
    QTest::keyClicks(edit, text);
  }

  // Leaves the focused field the way a user does, by tabbing on.
  void Leave(QLineEdit *edit) {
    form->ButtonCancel->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !edit->hasFocus(); }, 5000));
  }

  // Scans `card` with a real worker and asks the dialog about every record,
  // in the order of their numbers.
  std::vector<bool> Passing() {
    TSecondThread worker(&settings);
    EXPECT_TRUE(worker.StartScan());
    EXPECT_TRUE(test::WaitIdle(worker));
    WorkerRecords records(worker);
    std::vector<bool> out(worker.GetRecordCount());
    for (std::uint32_t i = 0; i < worker.GetRecordCount(); ++i) {
      RecordEntry e;
      EXPECT_TRUE(worker.GetEngine().GetEntry(i, e));
      out.at(e.RecordNumber - 1) = form->RecordPasses(records, i);
    }
    worker.Shutdown();
    worker.WaitFor();
    return out;
  }

  void Record(std::uint32_t number, std::uint32_t durationMs, std::uint8_t mode = 0,
              bool converted = false) {
    cardgen::RecordPlan plan;
    plan.number = number;
    plan.mode = mode;
    plan.converted = converted;
    ASSERT_TRUE(test::WriteCatalogRecord(card.path, plan, durationMs));
  }
};

} // namespace

TEST_F(FilterDialog, ShortRecordsHiddenOnlyFromTheFirstShowing) {
  Record(1, 1400);
  Record(2, 1500);
  EXPECT_EQ(Passing(), (std::vector<bool>{true, true})) << "before the dialog was ever shown";
  EXPECT_FALSE(form->MaskEditLengthFrom->isEnabled());
  Show();
  EXPECT_TRUE(form->CheckBoxLengthFrom->isChecked());
  EXPECT_TRUE(form->MaskEditLengthFrom->isEnabled());
  EXPECT_FALSE(form->MaskEditLengthTo->isEnabled());
  EXPECT_EQ(form->MaskEditLengthFrom->text(), "00:00:02");
  EXPECT_EQ(form->MaskEditDateTo->text(), "31.12.99");
  EXPECT_EQ(form->EditVideoBitrateTo->text(), "2048");
  QTest::mouseClick(form->ButtonOK, Qt::LeftButton);
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(Passing(), (std::vector<bool>{false, true}));
}

TEST_F(FilterDialog, UncheckedModeHidesOnlyItsRecords) {
  Record(1, 5000, 2);
  Record(2, 5000, 5); // unknown to the program
  Record(3, 5000, 1);
  Show();
  form->CheckBoxLoop2->click();
  EXPECT_EQ(Passing(), (std::vector<bool>{false, true, true})) << "the shown state applies";
  QTest::mouseClick(form->ButtonOK, Qt::LeftButton);
  EXPECT_FALSE(form->StoredSettings().Checks[Loop2]);
}

TEST_F(FilterDialog, ShowConvertedOffHidesConvertedRecordsAndIsSaved) {
  Record(1, 5000, 0, true);
  Record(2, 5000, 0, false);
  Show();
  EXPECT_TRUE(form->CheckBoxShowConverted->isChecked());
  form->CheckBoxShowConverted->click();
  QTest::mouseClick(form->ButtonOK, Qt::LeftButton);
  EXPECT_FALSE(settings.ShowConverted);
  EXPECT_EQ(Passing(), (std::vector<bool>{false, true}));
  ASSERT_TRUE(settings.Save());
  ProgramSettings again{SettingsLocation{dir.File("settings.ini"), false}};
  EXPECT_FALSE(again.ShowConverted);
}

TEST_F(FilterDialog, CancelAndTheCloseBoxRestoreBoundsAndChecks) {
  Show();
  form->CheckBoxSizeXFrom->click();
  Type(form->EditSizeXFrom, "500");
  form->CheckBoxLinear->click();
  form->CheckBoxShowConverted->click();
  QTest::mouseClick(form->ButtonCancel, Qt::LeftButton);
  EXPECT_FALSE(form->isVisible());
  EXPECT_FALSE(form->CheckBoxSizeXFrom->isChecked());
  EXPECT_FALSE(form->EditSizeXFrom->isEnabled());
  EXPECT_EQ(form->EditSizeXFrom->text(), "96");
  EXPECT_TRUE(form->CheckBoxLinear->isChecked());
  EXPECT_EQ(form->StoredSettings().Values[SizeXFromValue], 96);
  EXPECT_TRUE(settings.ShowConverted);

  Show();
  form->CheckBoxLinear->click();
  QTest::keyClick(form.get(), Qt::Key_Escape);
  EXPECT_FALSE(form->isVisible());
  EXPECT_TRUE(form->CheckBoxLinear->isChecked()) << "Escape and the close box undo as Cancel";
}

TEST_F(FilterDialog, DateFieldsClampOnLeavingAndOnOk) {
  Show();
  form->CheckBoxDateFrom->click();
  Type(form->MaskEditDateFrom, "310221");
  EXPECT_EQ(form->MaskEditDateFrom->displayText(), "31.02.21") << "'.' whatever the locale";
  Leave(form->MaskEditDateFrom);
  EXPECT_EQ(form->MaskEditDateFrom->text(), "28.02.21");
  form->CheckBoxDateTo->click();
  Type(form->MaskEditDateTo, "311320");
  QTest::mouseClick(form->ButtonOK, Qt::LeftButton);
  EXPECT_EQ(form->StoredSettings().Values[DateFromValue], 0x15021C);
  EXPECT_EQ(form->StoredSettings().Values[DateToValue], 0x140C1F) << "month 13 becomes 12";
  Show();
  EXPECT_EQ(form->MaskEditDateTo->text(), "31.12.20");
}

TEST_F(FilterDialog, TimeAndLengthFieldsClampOnLeaving) {
  Show();
  form->CheckBoxTimeTo->click();
  Type(form->MaskEditTimeTo, "257000");
  Leave(form->MaskEditTimeTo);
  EXPECT_EQ(form->MaskEditTimeTo->text(), "23:59:00");
  Type(form->MaskEditLengthFrom, "057599");
  Leave(form->MaskEditLengthFrom);
  EXPECT_EQ(form->MaskEditLengthFrom->text(), "05:59:59");
  QTest::mouseClick(form->ButtonOK, Qt::LeftButton);
  EXPECT_EQ(form->StoredSettings().Values[TimeToValue], 0x173B00);
  EXPECT_EQ(form->StoredSettings().Values[LengthFromValue], 0x053B3B);
}

TEST_F(FilterDialog, NumberFieldsTakeDigitsOnlyAndThreeTyped) {
  Show();
  form->CheckBoxSizeXFrom->click();
  Type(form->EditSizeXFrom, "7a2");
  EXPECT_EQ(form->EditSizeXFrom->text(), "72");
  Type(form->EditSizeXFrom, "12345");
  EXPECT_EQ(form->EditSizeXFrom->text(), "123");
  form->CheckBoxVideoBitrateTo->click();
  form->EditVideoBitrateTo->setFocus();
  form->EditVideoBitrateTo->end(false);
  QTest::keyClicks(form->EditVideoBitrateTo, "9");
  EXPECT_EQ(form->EditVideoBitrateTo->text(), "2048") << "no fifth digit";
  QTest::mouseClick(form->ButtonOK, Qt::LeftButton);
  EXPECT_EQ(form->StoredSettings().Values[SizeXFromValue], 123);
  EXPECT_EQ(form->StoredSettings().Values[VideoToValue], 2048);
}

TEST_F(FilterDialog, EmptyFieldsKeepTheStoredValueOnOk) {
  Show();
  form->CheckBoxSizeYTo->click();
  Type(form->EditSizeYTo, "");
  form->EditSizeYTo->clear();
  form->CheckBoxDateFrom->click();
  form->MaskEditDateFrom->clear();
  QTest::mouseClick(form->ButtonOK, Qt::LeftButton);
  EXPECT_EQ(form->StoredSettings().Values[SizeYToValue], 576);
  EXPECT_EQ(form->StoredSettings().Values[DateFromValue], 0x000101);
  EXPECT_TRUE(form->StoredSettings().Checks[SizeYTo]);
}

TEST_F(FilterDialog, LabelledFromTheStringTable) {
  Show();
  EXPECT_EQ(form->windowTitle(), "Record filters");
  EXPECT_EQ(form->CheckBoxLoop2->text(), "Loop 2");
  EXPECT_EQ(form->CheckBoxFPSTo->text(), "To");
  EXPECT_EQ(form->CheckBoxShowConverted->text(), "Show converted records");
  EXPECT_EQ(form->findChild<QLineEdit *>("MaskEditLengthTo"), form->MaskEditLengthTo);
}
