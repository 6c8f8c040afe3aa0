#include "app/shell_ui/ShellTestSupport.h"
#include "app/ui/FormMain.h"
#include "config/Cfg_mgr.h"
#include "config/ui/FormSetupCam.h"
#include "config/ui/FormSetupVin.h"
#include "settings/ProgramSettings.h"
#include "settings/Stringcode.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

using namespace orvo;

namespace {

constexpr int kYes = kAnswerYes;
constexpr int kNo = kAnswerNo;

// Answers every box with `answer` and keeps what was shown.
class AnsweringSeam : public MessageSeam {
public:
  AnsweringSeam() { InstallMessageSeam(this); }
  ~AnsweringSeam() override { InstallMessageSeam(nullptr); }
  int Show(QWidget *, const QString &, const QString &text, int type) override {
    shown.push_back({text.toStdString(), type});
    return answer;
  }
  struct Message {
    std::string text;
    int type;
  };
  std::vector<Message> shown;
  int answer = kYes;
};

class SettingsPages : public ::testing::Test {
protected:
  void SetUp() override {
    ResetToDefaults();
    settings =
        std::make_unique<ProgramSettings>(SettingsLocation{folder.dir.File("settings.ini"), false});
    form = std::make_unique<TFormMain>(nullptr, settings.get());
    // What the drive polling does when a card appears.
    form->DriveReady = true;
    for (QPushButton *b : {form->ButtonResetSettings, form->ButtonCfgRead, form->ButtonCfgSave})
      b->setEnabled(true);
    form->RefreshSettingsPages();
  }
  void TearDown() override {
    form.reset();
    ResetToDefaults();
  }

  void ShowPage(QWidget *page) {
    form->PageControlRecorderSetup->setCurrentWidget(page);
    form->RefreshSettingsPages();
  }
  // Typing into an edit and leaving it.
  static void Type(QLineEdit *edit, const QString &text) {
    edit->setText(text);
    Leave(edit);
  }
  static void Leave(QWidget *w) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(w, &out);
  }

  test::ScratchWorkingFolder folder;
  AnsweringSeam seam;
  std::vector<AnsweringSeam::Message> &messages = seam.shown;
  int &answer = seam.answer;
  std::unique_ptr<ProgramSettings> settings;
  std::unique_ptr<TFormMain> form;
};

int RectX() {
  return RectField(0, 0) + kRectX;
}

} // namespace

TEST_F(SettingsPages, RectangleXOf150ShowsHundredAndWidthZero) {
  ShowPage(form->TabSheetAutostart);
  Type(form->EditMDROIX, "150");
  EXPECT_EQ(form->EditMDROIX->text(), "100");
  EXPECT_EQ(form->EditMDROIW->text(), "0");
  EXPECT_EQ(GetField(RectX() + kRectWidth), 0);
  Type(form->EditMDROIX, "150");
  EXPECT_EQ(form->EditMDROIX->text(), "100");
}

TEST_F(SettingsPages, EnterCommitsTheEdit) {
  ShowPage(form->TabSheetAutostart);
  form->EditMDROIY->setText("7");
  QTest::keyClick(form->EditMDROIY, Qt::Key_Return);
  EXPECT_EQ(GetField(RectX() + kRectY), 7);
}

TEST_F(SettingsPages, TimeAndDateEditsKeepTheirSeparatorsAndClamp) {
  ShowPage(form->TabSheetRecord);
  EXPECT_EQ(form->MaskEditTimerDate->text(), "01.01.11");
  EXPECT_EQ(form->MaskEditTimerLength->text(), "00:01:00");
  form->MaskEditTimerTime->clear();
  QTest::keyClicks(form->MaskEditTimerTime, "256199");
  EXPECT_EQ(form->MaskEditTimerTime->text(), "25:61:99");
  Leave(form->MaskEditTimerTime);
  EXPECT_EQ(form->MaskEditTimerTime->text(), "23:59:59");
  const struct {
    const char *typed;
    const char *shown;
  } dates[] = {{"310212", "29.02.12"}, {"310213", "28.02.13"}, {"001305", "01.12.05"}};
  for (const auto &d : dates) {
    form->MaskEditTimerDate->clear();
    QTest::keyClicks(form->MaskEditTimerDate, d.typed);
    Leave(form->MaskEditTimerDate);
    EXPECT_EQ(form->MaskEditTimerDate->text().toStdString(), d.shown) << d.typed;
  }
}

TEST_F(SettingsPages, TimerTabSwitchCommitsTheDateToTheTimerShown) {
  ShowPage(form->TabSheetRecord);
  form->TabControlTimers->setCurrentIndex(2);
  form->MaskEditTimerDate->setText("15.06.20");
  form->TabControlTimers->setCurrentIndex(5);
  EXPECT_EQ(GetField(TimerField(2) + kTimerFieldDay), 15);
  EXPECT_EQ(GetField(TimerField(2) + kTimerFieldDay + 1), 6);
  EXPECT_EQ(GetField(TimerField(5) + kTimerFieldDay), 1);
  EXPECT_EQ(form->MaskEditTimerDate->text(), "01.01.11");
  form->TabControlTimers->setCurrentIndex(2);
  EXPECT_EQ(form->MaskEditTimerDate->text(), "15.06.20");
}

TEST_F(SettingsPages, WeekdayBoxesEditTheTimerShown) {
  ShowPage(form->TabSheetRecord);
  form->TabControlTimers->setCurrentIndex(3);
  form->CheckBoxWe->setChecked(false);
  form->CheckBoxTimerEnable->setChecked(true);
  EXPECT_EQ(GetField(TimerField(3) + kTimerFieldWeekdays), 0x80 | 0x7B);
  EXPECT_EQ(GetField(TimerField(0) + kTimerFieldWeekdays), 0x7F);
}

TEST_F(SettingsPages, AgcOffWithVasOnAnsweredNoChangesNothing) {
  std::int32_t v = 3; // motion and VAS on
  SetField(kFieldAutoStartMode, v);
  ShowPage(form->TabSheetAudio);
  answer = kNo;
  form->CheckBoxAudioAGC->setChecked(false);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, GetText(42));
  EXPECT_EQ(messages[0].type, 0x34);
  EXPECT_TRUE(form->CheckBoxAudioAGC->isChecked());
  EXPECT_TRUE(form->CheckBoxVASOn->isChecked());
  EXPECT_EQ(GetField(kFieldAudioAgc), 1);
  EXPECT_EQ(GetField(kFieldAutoStartMode), 3);
}

TEST_F(SettingsPages, AgcOffWithVasOnAnsweredYesTurnsVasOff) {
  std::int32_t v = 3;
  SetField(kFieldAutoStartMode, v);
  ShowPage(form->TabSheetAudio);
  form->CheckBoxAudioAGC->setChecked(false);
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_EQ(GetField(kFieldAudioAgc), 0);
  EXPECT_EQ(GetField(kFieldAutoStartMode), 1);
  EXPECT_FALSE(form->CheckBoxVASOn->isChecked());
}

TEST_F(SettingsPages, VasOnWithAgcOffAsksAndFollowsTheAnswer) {
  std::int32_t v = 0;
  SetField(kFieldAudioAgc, v);
  ShowPage(form->TabSheetAutostart);
  answer = kNo;
  form->CheckBoxVASOn->setChecked(true);
  EXPECT_FALSE(form->CheckBoxVASOn->isChecked());
  EXPECT_EQ(GetField(kFieldAutoStartMode), 0);
  answer = kYes;
  form->CheckBoxVASOn->setChecked(true);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[1].text, GetText(43));
  EXPECT_EQ(GetField(kFieldAutoStartMode), 2);
  EXPECT_EQ(GetField(kFieldAudioAgc), 1);
  EXPECT_TRUE(form->CheckBoxAudioAGC->isChecked());
}

TEST_F(SettingsPages, DuplicateWarnsOfTheBitrateLimitOnlyWhenTurnedOn) {
  ShowPage(form->TabSheetRecord);
  form->CheckBoxDuplicate->setChecked(true);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].type, 0x40);
  EXPECT_EQ(GetField(kFieldDuplicate), 1);
  form->CheckBoxDuplicate->setChecked(false);
  EXPECT_EQ(messages.size(), 1u);
}

TEST_F(SettingsPages, SixtyHertzSourceReadsBackAsFiftyHertz) {
  char dir[] = "/tmp/orvo_pages_XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const QString file = QString::fromLatin1(dir) + "/card.cfg";
  ShowPage(form->TabSheetVideo);
  form->ComboBoxVideoSource->setCurrentIndex(2);
  EXPECT_EQ(GetField(kFieldVSource), 1);
  EXPECT_EQ(form->ComboBoxFPS->count(), 6);
  EXPECT_EQ(form->ComboBoxFPS->itemText(5), "30");
  EXPECT_EQ(form->EditSizeV->text(), "480"); // NTSC 1:1
  form->ChooseCfgFile = [file](bool) { return file; };
  form->ButtonCfgSave->click();
  form->ButtonCfgRead->click();
  EXPECT_EQ(form->SourceIndex, 1);
  EXPECT_EQ(form->ComboBoxVideoSource->currentText(), "Video input (50 Hz)");
  EXPECT_EQ(form->ComboBoxFPS->itemText(5), "25");
  EXPECT_EQ(form->EditSizeV->text(), "576"); // PAL 1:1
  EXPECT_TRUE(messages.empty());
  std::remove(file.toLocal8Bit().constData());
  rmdir(dir);
}

TEST_F(SettingsPages, FailedSaveAndReadAreReported) {
  form->ChooseCfgFile = [](bool) { return QStringLiteral("/nonexistent-folder/x.cfg"); };
  form->ButtonCfgSave->click();
  form->ButtonCfgRead->click();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].text, GetText(34));
  EXPECT_EQ(messages[0].type, 0x10);
  EXPECT_EQ(messages[1].text, GetText(278));
  form->ChooseCfgFile = [](bool) { return QString(); };
  form->ButtonCfgSave->click();
  EXPECT_EQ(messages.size(), 2u);
}

TEST_F(SettingsPages, ResetAsksFirst) {
  std::int32_t v = 4;
  SetField(kFieldRecordMode, v);
  ShowPage(form->TabSheetRecord);
  answer = kNo;
  form->ButtonResetSettings->click();
  EXPECT_EQ(GetField(kFieldRecordMode), 4);
  answer = kYes;
  form->ButtonResetSettings->click();
  EXPECT_EQ(GetField(kFieldRecordMode), 0);
  EXPECT_EQ(form->ComboBoxRecordMode->currentIndex(), 0);
  EXPECT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[1].text, GetText(41));
}

TEST_F(SettingsPages, OsdTextLosesQuotesAndCyrillicAndIsStoredOnExit) {
  ShowPage(form->TabSheetVideo);
  form->EditText1->clear();
  // What a paste does: inserted at the caret as one user edit.
  form->EditText1->insert(QString::fromUtf8("Bus \"\xD0\x90\xD0\x91\" 7"));
  EXPECT_EQ(form->EditText1->text(), "Bus '' 7");
  Leave(form->EditText1);
  EXPECT_EQ(GetOsdText(0), "Bus '' 7");
}

TEST_F(SettingsPages, FrameSizeChoosesTheWindowShownAndOnlyCustomIsEditable) {
  ShowPage(form->TabSheetVideo);
  EXPECT_EQ(form->EditWindowX->property("Tag").toInt(),
            WindowField(kFamilyVS, kSizeH, kWindowOffsetX));
  EXPECT_FALSE(form->EditWindowX->isEnabled());
  form->ComboBoxSize->setCurrentIndex(kSizeC);
  EXPECT_TRUE(form->EditWindowX->isEnabled());
  Type(form->EditWindowX, "101");
  EXPECT_EQ(form->EditWindowX->text(), "100");
  EXPECT_EQ(form->EditWindowW->text(), "540");
  EXPECT_EQ(form->EditSizeH->text(), "528");
  form->ComboBoxSize->setCurrentIndex(kSizeL);
  EXPECT_EQ(form->EditSizeH->text(), "160");
  EXPECT_FALSE(form->EditSizeH->isEnabled());
}

TEST_F(SettingsPages, DriveAbsentDisablesButKeepsTheValues) {
  ShowPage(form->TabSheetMisc);
  EXPECT_TRUE(form->ComboBoxBacklight->isEnabled());
  form->DriveReady = false;
  form->RefreshSettingsPages();
  EXPECT_FALSE(form->ComboBoxBacklight->isEnabled());
  EXPECT_FALSE(form->LabelBacklight->isEnabled());
  EXPECT_EQ(form->ComboBoxBacklight->currentText(), "100%");
  ShowPage(form->TabSheetVideo);
  EXPECT_FALSE(form->ButtonAdvanced->isEnabled());
  EXPECT_FALSE(form->EditText1->isEnabled());
}

TEST_F(SettingsPages, GpsTimeOffDisablesZoneAndDaylightSaving) {
  ShowPage(form->TabSheetTime);
  EXPECT_TRUE(form->ComboBoxTimeZone->isEnabled());
  EXPECT_EQ(form->ComboBoxTimeZone->currentText(), "GMT + 03:00");
  form->CheckBoxGPSTime->setChecked(false);
  EXPECT_FALSE(form->ComboBoxTimeZone->isEnabled());
  EXPECT_FALSE(form->CheckBoxDST->isEnabled());
  EXPECT_FALSE(form->LabelTimeZone->isEnabled());
}

TEST_F(SettingsPages, CheckBoxTagsCarryBitAndField) {
  ShowPage(form->TabSheetAdapter);
  EXPECT_EQ(form->CheckBoxHighLevel5->property("Tag").toInt(), (5 << 24) | kFieldAdaLevel);
  form->CheckBoxUseInput3->setChecked(true);
  form->CheckBoxUseInput0->setChecked(true);
  EXPECT_EQ(GetField(kFieldAdaInput), 9);
}

TEST_F(SettingsPages, AdvancedOpensTheDialogOfTheSource) {
  ShowPage(form->TabSheetVideo);
  bool camera = false;
  QTimer::singleShot(0, form.get(), [&] {
    camera = form->FormSetupCam->isVisible();
    qobject_cast<TFormSetupCam *>(form->FormSetupCam)->OkButton->click();
  });
  form->ButtonAdvanced->click();
  EXPECT_TRUE(camera);
  form->ComboBoxVideoSource->setCurrentIndex(2);
  QString shown;
  QTimer::singleShot(0, form.get(), [&] {
    auto *vin = qobject_cast<TFormSetupVin *>(form->FormSetupVin);
    shown = vin->ComboBoxColorSystem->currentText();
    vin->OkButton->click();
  });
  form->ButtonAdvanced->click();
  EXPECT_EQ(shown, "Auto");
}

namespace {

void Mouse(QWidget *w, QEvent::Type type, Qt::MouseButton button, int x, int y) {
  const QPointF local(x, y);
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
  QMouseEvent event(type, local, w->mapToGlobal(local), button, held, Qt::NoModifier);
  QApplication::sendEvent(w, &event);
}

QColor PictureAt(const TFormMain &form, int x, int y) {
  return form.ImageCfg->pixmap().toImage().pixelColor(x, y);
}

} // namespace

TEST_F(SettingsPages, MotionPageDrawsTheDefaultRectangleAtItsCorners) {
  ShowPage(form->TabSheetAutostart);
  EXPECT_EQ(form->ImageCfg->pixmap().size(), QSize(429, 277));
  EXPECT_EQ(PictureAt(*form, 177, 111), QColor(255, 255, 0));
  EXPECT_EQ(PictureAt(*form, 250, 165), QColor(255, 255, 0));
  EXPECT_EQ(PictureAt(*form, 32, 2), QColor(192, 192, 192));
  ShowPage(form->TabSheetMisc);
  EXPECT_NE(PictureAt(*form, 177, 111), QColor(255, 255, 0));
}

TEST_F(SettingsPages, ClickWithoutMovementCommitsAnEmptyRectangleThere) {
  ShowPage(form->TabSheetAutostart);
  Mouse(form->ImageCfg, QEvent::MouseButtonPress, Qt::LeftButton, 100, 60);
  EXPECT_TRUE(form->DragActive);
  Mouse(form->ImageCfg, QEvent::MouseButtonRelease, Qt::LeftButton, 100, 60);
  EXPECT_FALSE(form->DragActive);
  const int r = RectX();
  EXPECT_EQ(GetField(r + kRectX), 19); // (102 - 32) * 100 / 364
  EXPECT_EQ(GetField(r + kRectY), 21); // (62 - 2) * 100 / 273
  EXPECT_EQ(GetField(r + kRectWidth), 0);
  EXPECT_EQ(GetField(r + kRectHeight), 0);
  EXPECT_EQ(form->EditMDROIW->text(), "0");
}

TEST_F(SettingsPages, DragPastTheFrameStaysInsideIt) {
  ShowPage(form->TabSheetAutostart);
  Mouse(form->ImageCfg, QEvent::MouseButtonPress, Qt::LeftButton, 300, 100);
  Mouse(form->ImageCfg, QEvent::MouseMove, Qt::LeftButton, 428, 276);
  // Shown while dragging, stored only on release.
  EXPECT_EQ(form->EditMDROIX->text(), "74"); // (302 - 32) * 100 / 364
  EXPECT_EQ(GetField(RectX()), 40);
  Mouse(form->ImageCfg, QEvent::MouseButtonRelease, Qt::LeftButton, 428, 276);
  const int r = RectX();
  EXPECT_LE(GetField(r + kRectX) + GetField(r + kRectWidth), 100);
  EXPECT_EQ(GetField(r + kRectX) + GetField(r + kRectWidth), 100);
  EXPECT_EQ(GetField(r + kRectY) + GetField(r + kRectHeight), 100);
  Mouse(form->ImageCfg, QEvent::MouseButtonPress, Qt::LeftButton, 200, 100);
  Mouse(form->ImageCfg, QEvent::MouseButtonRelease, Qt::LeftButton, 0, 120);
  EXPECT_EQ(GetField(r + kRectX), 0);
}

TEST_F(SettingsPages, MousePressDoesNothingWithTheAreaOffOrTheRightButton) {
  ShowPage(form->TabSheetAutostart);
  form->CheckBoxMDROIOn->setChecked(false);
  Mouse(form->ImageCfg, QEvent::MouseButtonPress, Qt::LeftButton, 100, 60);
  EXPECT_FALSE(form->DragActive);
  Mouse(form->ImageCfg, QEvent::MouseButtonRelease, Qt::LeftButton, 100, 60);
  EXPECT_EQ(GetField(RectX()), 40);
  form->CheckBoxMDROIOn->setChecked(true);
  Mouse(form->ImageCfg, QEvent::MouseButtonPress, Qt::RightButton, 100, 60);
  EXPECT_FALSE(form->DragActive);
  Mouse(form->ImageCfg, QEvent::MouseButtonRelease, Qt::RightButton, 100, 60);
  Mouse(form->ImageCfg, QEvent::MouseButtonRelease, Qt::LeftButton, 100, 60);
  EXPECT_EQ(GetField(RectX()), 40);
  EXPECT_EQ(GetField(RectX() + kRectWidth), 20);
}

TEST_F(SettingsPages, MousePressOutsideTheMotionPageOrWithoutCardDoesNothing) {
  ShowPage(form->TabSheetVideo);
  Mouse(form->ImageCfg, QEvent::MouseButtonPress, Qt::LeftButton, 100, 60);
  EXPECT_FALSE(form->DragActive);
  form->DriveReady = false;
  ShowPage(form->TabSheetAutostart);
  Mouse(form->ImageCfg, QEvent::MouseButtonPress, Qt::LeftButton, 100, 60);
  EXPECT_FALSE(form->DragActive);
}

TEST_F(SettingsPages, AreaTabsCommitTheEditsToTheAreaShown) {
  ShowPage(form->TabSheetAutostart);
  form->EditMDROIH->setText("5");
  form->TabControlROI->setCurrentIndex(1);
  EXPECT_EQ(GetField(RectField(0, 0) + kRectHeight), 5);
  EXPECT_EQ(form->EditMDROIH->property("Tag").toInt(), RectField(1, 0) + kRectHeight);
  EXPECT_FALSE(form->CheckBoxMDROIOn->isChecked());
  form->TabControlROIRect->setCurrentIndex(2);
  EXPECT_EQ(form->EditMDROIX->property("Tag").toInt(), RectField(1, 2) + kRectX);
  EXPECT_EQ(form->CheckBoxMDROIRectOn->property("Tag").toInt(), (2 << 24) | AreaField(1));
}

TEST_F(SettingsPages, LanguageChangeRelabelsEveryPageNotOnlyTheActiveOne) {
  ShowPage(form->TabSheetVideo);
  settings->Language = 1;
  form->RefreshSettingsPages();
  EXPECT_EQ(form->LabelVideoSource->text(), test::Russian(104));
  EXPECT_EQ(form->LabelRecordMode->text(), test::Russian(60));
  EXPECT_EQ(form->ComboBoxRecordMode->itemText(0), test::Russian(163));
  EXPECT_EQ(form->LabelBacklight->text(), test::Russian(304));
  EXPECT_EQ(form->TabControlROI->tabText(3), test::Russian(211) + " 4");
  EXPECT_GE(form->width(), form->minimumSizeHint().width());
}
