#include "ShellTestSupport.h"

#include "app/ui/FormAbout.h"
#include "app/ui/FormMain.h"
#include "platform/FileSystem.h"
#include "settings/AddedTexts.h"
#include "settings/Folders.h"
#include "settings/ProgramSettings.h"
#include "settings/ui/Labels.h"
#include "settings/ui/SetupForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <string_view>

namespace orvo::test {
namespace {

class SetupDialog : public ::testing::Test {
protected:
  SetupDialog() : settings(SettingsLocation{folder.dir.File("s.ini"), false}) {
    DiscoverLanguages();
    setup = std::make_unique<TSetupForm>(nullptr, &settings);
    setup->show();
  }
  void Fill(const std::string &in, const std::string &out) {
    setup->InFolderEdit->setText(QString::fromStdString(in));
    setup->OutFolderEdit->setText(QString::fromStdString(out));
  }
  std::vector<int> Types() const {
    std::vector<int> types;
    for (const ShownMessage &m : seam.shown)
      types.push_back(m.type);
    return types;
  }
  std::vector<QString> Texts() const {
    std::vector<QString> texts;
    for (const ShownMessage &m : seam.shown)
      texts.push_back(m.text);
    return texts;
  }

  ScratchWorkingFolder folder;
  ProgramSettings settings;
  RecordingSeam seam;
  std::unique_ptr<TSetupForm> setup;
};

TEST_F(SetupDialog, EmptyInputFolderIsAnErrorBeforeAnythingElse) {
  Fill("", "");
  setup->OkButtonClick();
  EXPECT_EQ(Texts(), std::vector<QString>{English(204)});
  EXPECT_EQ(Types(), std::vector<int>{0x10});
  EXPECT_EQ(seam.shown[0].title, English(44));
  EXPECT_TRUE(setup->isVisible());
}

TEST_F(SetupDialog, EmptyOutputFolderIsAnError) {
  Fill("/nowhere/card", "");
  setup->OkButtonClick();
  EXPECT_EQ(Texts(), std::vector<QString>{English(205)});
  EXPECT_EQ(Types(), std::vector<int>{0x10});
  EXPECT_TRUE(setup->isVisible());
  EXPECT_TRUE(settings.InPath.empty());
}

TEST_F(SetupDialog, ExistingOutputFolderAppliesWithoutAQuestion) {
  // The input folder is not checked for existence.
  Fill("/nowhere/card", folder.dir.path);
  setup->EditFileMask->setText("%T");
  setup->CheckBoxAutoScan->setChecked(true);
  setup->OkButtonClick();
  EXPECT_TRUE(seam.shown.empty());
  EXPECT_FALSE(setup->isVisible());
  EXPECT_EQ(settings.InPath, "/nowhere/card" + std::string(1, platform::kPathSeparator));
  EXPECT_EQ(settings.OutPath, WithTrailingBackslash(folder.dir.path));
  EXPECT_EQ(settings.FileMask, "%T");
  EXPECT_TRUE(settings.AutoScan);
  // The edits show the stored, normalised paths.
  EXPECT_EQ(setup->OutFolderEdit->text().toStdString(), settings.OutPath);
}

TEST_F(SetupDialog, DeclinedCreationKeepsTheDialogOpenAndChangesNothing) {
  const std::string out = folder.dir.File("new/out");
  Fill("/card", out);
  seam.answers = {kAnswerNo};
  setup->OkButtonClick();
  EXPECT_EQ(Texts(), std::vector<QString>{English(206)});
  EXPECT_EQ(Types(), std::vector<int>{0x34});
  EXPECT_FALSE(FolderExists(out));
  EXPECT_TRUE(setup->isVisible());
  EXPECT_TRUE(settings.OutPath.empty());
}

TEST_F(SetupDialog, AcceptedCreationMakesMissingParentsReportsAndApplies) {
  const std::string out = folder.dir.File("new/out");
  Fill("/card", out);
  seam.answers = {kAnswerYes};
  setup->OkButtonClick();
  EXPECT_EQ(Texts(), (std::vector<QString>{English(206), English(207)}));
  EXPECT_EQ(Types(), (std::vector<int>{0x34, 0x40}));
  EXPECT_TRUE(FolderExists(out));
  EXPECT_FALSE(setup->isVisible());
  EXPECT_EQ(settings.OutPath, WithTrailingBackslash(out));
}

// An output folder inside the input folder, existing or still to be made,
// is refused with both folders named, before any question.
TEST_F(SetupDialog, OutputFolderInsideTheInputFolderIsRefused) {
  const std::string card = folder.dir.File("card");
  ASSERT_TRUE(CreateFolderPath(card + "/sub"));
  for (const std::string &out : {card, card + "/sub", card + "/sub/new/out"}) {
    seam.shown.clear();
    Fill(card, out);
    setup->OkButtonClick();
    ASSERT_EQ(Types(), std::vector<int>{0x10}) << out;
    EXPECT_TRUE(Texts()[0].contains(QString::fromStdString(out))) << Texts()[0].toStdString();
    EXPECT_TRUE(Texts()[0].contains(QString::fromStdString("input folder " + card)));
    EXPECT_TRUE(setup->isVisible());
    EXPECT_FALSE(FolderExists(card + "/sub/new"));
    EXPECT_TRUE(settings.OutPath.empty());
  }
}

TEST_F(SetupDialog, FailedCreationIsAnErrorAndKeepsTheDialogOpen) {
  const std::string blocker = folder.dir.File("plain-file");
  ASSERT_TRUE(platform::WriteWholeFileAtomically(blocker, "x"));
  Fill("/card", blocker + "/out");
  seam.answers = {kAnswerYes};
  setup->OkButtonClick();
  EXPECT_EQ(Texts(), (std::vector<QString>{English(206), English(208)}));
  EXPECT_EQ(Types(), (std::vector<int>{0x34, 0x10}));
  EXPECT_TRUE(setup->isVisible());
  EXPECT_TRUE(settings.OutPath.empty());
}

TEST_F(SetupDialog, SizeFieldCapsAt1900AndAnEmptyFieldStoresZero) {
  setup->MaskEditFileLimit->setText("2500");
  setup->MaskEditFileLimitExit();
  EXPECT_EQ(settings.MaxFileLength, 1900u << 20);
  EXPECT_EQ(setup->MaskEditFileLimit->text(), QString("1900"));

  setup->MaskEditFileLimit->setText("");
  setup->MaskEditFileLimitExit();
  EXPECT_EQ(settings.MaxFileLength, 0u);
  EXPECT_EQ(setup->MaskEditFileLimit->text(), QString("0"));

  setup->MaskEditFileLimit->setText("700");
  setup->MaskEditFileLimitExit();
  // Written at once; Cancel does not take it back.
  setup->CancelButtonClick();
  EXPECT_EQ(settings.MaxFileLength, 700u << 20);
  EXPECT_EQ(setup->MaskEditFileLimit->text(), QString("700"));

  // Typed and confirmed with Enter, which presses OK with the focus still in
  // the field: the number is taken all the same, with the verify and GPS
  // choices.
  setup->show();
  Fill("/nowhere/card", folder.dir.path);
  setup->CheckBoxVerify->setChecked(true);
  EXPECT_EQ(setup->ComboBoxGpsInVideo->currentIndex(), 3) << "both, by default";
  setup->ComboBoxGpsInVideo->setCurrentIndex(1);
  setup->activateWindow();
  setup->MaskEditFileLimit->setFocus();
  setup->MaskEditFileLimit->selectAll();
  QTest::keyClicks(setup->MaskEditFileLimit, "650");
  QTest::keyClick(setup->MaskEditFileLimit, Qt::Key_Return);
  EXPECT_FALSE(setup->isVisible());
  EXPECT_EQ(settings.MaxFileLength, 650u << 20);
  EXPECT_TRUE(settings.VerifyOutputs);
  EXPECT_EQ(settings.GpsInVideo, GpsPlacement::Beside);
}

TEST(FileLimitParsing, ReadsLeadingDigitsAndCapsNegativeOrLargeNumbers) {
  EXPECT_EQ(ParseFileLimitMiB("1899"), 1899u);
  EXPECT_EQ(ParseFileLimitMiB("  12"), 12u);
  EXPECT_EQ(ParseFileLimitMiB("0012"), 12u);
  EXPECT_EQ(ParseFileLimitMiB("12 4"), 12u);
  EXPECT_EQ(ParseFileLimitMiB("abc"), 0u);
  EXPECT_EQ(ParseFileLimitMiB("-5"), 1900u);
  EXPECT_EQ(ParseFileLimitMiB("1900"), 1900u);
  EXPECT_EQ(ParseFileLimitMiB("99999999999999999999"), 1900u);
}

TEST_F(SetupDialog, CancelUndoesALanguagePreview) {
  setup->ComboBoxLanguage->setCurrentIndex(1);
  setup->ComboBoxLanguageChange();
  EXPECT_EQ(CurrentLanguage(), 1);
  EXPECT_EQ(setup->windowTitle(), Russian(44));
  EXPECT_EQ(setup->OkButton->text(), Russian(209));

  setup->CancelButtonClick();
  EXPECT_EQ(settings.Language, 0);
  EXPECT_EQ(CurrentLanguage(), 0);
  EXPECT_EQ(setup->windowTitle(), English(44));
  EXPECT_EQ(setup->ComboBoxLanguage->currentIndex(), 0);
  EXPECT_TRUE(setup->EditFileMask->toolTip().startsWith(English(202) + "\n%N"));
}

TEST_F(SetupDialog, EscapeActsAsCancel) {
  setup->ComboBoxLanguage->setCurrentIndex(1);
  setup->ComboBoxLanguageChange();
  setup->InFolderEdit->setText("/typed");
  setup->reject();
  EXPECT_FALSE(setup->isVisible());
  EXPECT_EQ(CurrentLanguage(), 0);
  EXPECT_TRUE(setup->InFolderEdit->text().isEmpty());
}

TEST(AboutBox, NamesThisProgramItsVersionLicenceAndSourceInTheLanguage) {
  ScratchWorkingFolder folder;
  TFormAbout about;
  about.LabelAbout();
  EXPECT_EQ(about.windowTitle(), English(219));
  EXPECT_TRUE(about.Label1->text().contains("orvo"));
  EXPECT_TRUE(about.Label1->text().contains("1.02"));
  const QString all = about.Label2->text() + about.Label3->text() + about.Label4->text();
  EXPECT_TRUE(all.contains("MIT"));
  EXPECT_TRUE(all.contains("README"));
  for (const char *placeholder : {"example", "Example"})
    EXPECT_FALSE(all.contains(placeholder));

  SelectLanguage(1);
  about.LabelAbout();
  EXPECT_EQ(about.windowTitle(), Russian(219));
  EXPECT_TRUE(about.Label1->text().contains("1.02"));
  EXPECT_NE(about.Label2->text() + about.Label3->text() + about.Label4->text(), all);
  // Russian throughout, the product's name on one line.
  EXPECT_EQ(about.ButtonLicense->text(), QString::fromUtf8("Лицензия MIT"));
  EXPECT_FALSE(about.Label2->text().contains("oRVO-V")) << "joined, never broken";
  EXPECT_EQ(about.Label2->text().remove(QChar(0x2060)).replace(QChar(0x00A0), ' '),
            QString::fromStdString(GetText(txt::AboutProgram)));
  SelectLanguage(0);
}

TEST(AboutBox, AClickOnALabelOrTheCloseButtonClosesIt) {
  ScratchWorkingFolder folder;
  TFormAbout about;
  about.LabelAbout();
  about.show();
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(about.Label3, &press);
  EXPECT_FALSE(about.isVisible());
  EXPECT_EQ(about.result(), 1);
  about.show();
  QPushButton *close = about.ButtonClose->button(QDialogButtonBox::Close);
  ASSERT_NE(close, nullptr);
  EXPECT_EQ(close->text(), "Close");
  close->click();
  EXPECT_FALSE(about.isVisible());
}

// The licence travels as a resource of a static library, which is easily
// left out of the program; the button must not close the box either.
TEST(AboutBox, TheLicenseButtonShowsTheLicenseFile) {
  ScratchWorkingFolder folder;
  TFormAbout about;
  about.LabelAbout();
  about.show();
  about.ButtonLicense->click();
  EXPECT_TRUE(about.isVisible());
  auto *box = about.findChild<QDialog *>("FormLicense");
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(box->isVisible());
  QFile license(ORVO_SOURCE_DIR "/LICENSE");
  ASSERT_TRUE(license.open(QIODevice::ReadOnly));
  EXPECT_EQ(box->findChild<QPlainTextEdit *>()->toPlainText(),
            QString::fromUtf8(license.readAll()));
}

TEST(Relabelling, ComposedTabsHintsAndPartialLists) {
  ScratchWorkingFolder folder;
  QTabBar tabs;
  tabs.addTab("a");
  tabs.addTab("b");
  tabs.addTab("c");
  const std::string_view regions[] = {"*R 1", "*R 2"};
  LabelTabs(&tabs, regions, 85);
  EXPECT_EQ(tabs.tabText(0), English(211) + " 1");
  EXPECT_EQ(tabs.tabText(1), English(211) + " 2");
  EXPECT_EQ(tabs.tabText(2), QString("c"));
  EXPECT_EQ(tabs.toolTip(), English(85));
  EXPECT_EQ(tabs.statusTip(), English(85));
  LabelTabs(&tabs, {}, 86);
  EXPECT_EQ(tabs.tabText(0), English(211) + " 1");
  EXPECT_EQ(tabs.toolTip(), English(86));

  QTabWidget pages;
  pages.addTab(new QWidget, "x");
  pages.addTab(new QWidget, "y");
  LabelPages(&pages, {55});
  EXPECT_EQ(pages.tabText(0), English(55));
  EXPECT_EQ(pages.tabText(1), QString("y"));
  LabelPages(nullptr, {55});

  QLabel label;
  LabelLabel(&label, 264, false);
  EXPECT_FALSE(label.isEnabled());
  EXPECT_EQ(label.text(), English(264));
  QGroupBox box;
  LabelGroupBox(&box, NoTextId);
  EXPECT_TRUE(box.title().isEmpty());
}

} // namespace
} // namespace orvo::test
