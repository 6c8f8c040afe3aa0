#include "config/Cfg_mgr.h"
#include "config/ui/AdapterSetupPage.h"
#include "config/ui/AudioSetupPage.h"
#include "config/ui/AutostartSetupPage.h"
#include "config/ui/FormSetupCam.h"
#include "config/ui/FormSetupVin.h"
#include "config/ui/MiscSetupPage.h"
#include "config/ui/RecordSetupPage.h"
#include "config/ui/RecorderSettings.h"
#include "config/ui/RoiEditor.h"
#include "config/ui/SettingsHost.h"
#include "config/ui/TimeSetupPage.h"
#include "config/ui/VideoSetupPage.h"
#include "platform/ui/MessageSeam.h"
#include "settings/Stringcode.h"

#include <fstream>

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

// Stands in for the window that holds the pages: the card's state, its
// message boxes and the refresh after every committed change.
class PagesHost : public SettingsHost {
public:
  bool CardReady() const override { return cardReady; }
  int ShowMainMessage(int textId, int type) override {
    return ShowMessage(nullptr, QString(), QString::fromStdString(GetText(textId)), type);
  }
  void RefreshSettingsPages() override { pages->RefreshActiveSettingsPage(); }
  bool cardReady = false;
  RecorderSettings *pages = nullptr;
};

class SettingsPages : public ::testing::Test {
protected:
  void SetUp() override {
    ResetLanguages();
    ResetToDefaults();
    pages = std::make_unique<RecorderSettings>(host);
    host.pages = pages.get();
    record = pages->TabSheetRecord;
    motion = pages->TabSheetAutostart;
    video = pages->TabSheetVideo;
    audio = pages->TabSheetAudio;
    timePage = pages->TabSheetTime;
    adapter = pages->TabSheetAdapter;
    misc = pages->TabSheetMisc;
    // What the window does when a card appears.
    host.cardReady = true;
    pages->CardAppeared();
    host.RefreshSettingsPages();
  }
  void TearDown() override {
    pages.reset();
    ResetToDefaults();
    ResetLanguages();
  }

  void ShowPage(QWidget *page) {
    pages->PageControlRecorderSetup->setCurrentWidget(page);
    host.RefreshSettingsPages();
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

  AnsweringSeam seam;
  std::vector<AnsweringSeam::Message> &messages = seam.shown;
  int &answer = seam.answer;
  PagesHost host;
  std::unique_ptr<RecorderSettings> pages;
  RecordSetupPage *record = nullptr;
  AutostartSetupPage *motion = nullptr;
  VideoSetupPage *video = nullptr;
  AudioSetupPage *audio = nullptr;
  TimeSetupPage *timePage = nullptr;
  AdapterSetupPage *adapter = nullptr;
  MiscSetupPage *misc = nullptr;
};

QString Russian(int id) {
  return QString::fromUtf8(BuiltInRussian[id]);
}

int RectX() {
  return RectField(0, 0) + kRectX;
}

} // namespace

TEST_F(SettingsPages, RectangleXOf150ShowsHundredAndWidthZero) {
  ShowPage(motion);
  Type(motion->EditMDROIX, "150");
  EXPECT_EQ(motion->EditMDROIX->text(), "100");
  EXPECT_EQ(motion->EditMDROIW->text(), "0");
  EXPECT_EQ(GetField(RectX() + kRectWidth), 0);
  Type(motion->EditMDROIX, "150");
  EXPECT_EQ(motion->EditMDROIX->text(), "100");
}

TEST_F(SettingsPages, EnterCommitsTheEdit) {
  ShowPage(motion);
  motion->EditMDROIY->setText("7");
  QTest::keyClick(motion->EditMDROIY, Qt::Key_Return);
  EXPECT_EQ(GetField(RectX() + kRectY), 7);
}

TEST_F(SettingsPages, TimeAndDateEditsKeepTheirSeparatorsAndClamp) {
  ShowPage(record);
  EXPECT_EQ(record->MaskEditTimerDate->text(), "01.01.11");
  EXPECT_EQ(record->MaskEditTimerLength->text(), "00:01:00");
  record->MaskEditTimerTime->clear();
  QTest::keyClicks(record->MaskEditTimerTime, "256199");
  EXPECT_EQ(record->MaskEditTimerTime->text(), "25:61:99");
  Leave(record->MaskEditTimerTime);
  EXPECT_EQ(record->MaskEditTimerTime->text(), "23:59:59");
  const struct {
    const char *typed;
    const char *shown;
  } dates[] = {{"310212", "29.02.12"}, {"310213", "28.02.13"}, {"001305", "01.12.05"}};
  for (const auto &d : dates) {
    record->MaskEditTimerDate->clear();
    QTest::keyClicks(record->MaskEditTimerDate, d.typed);
    Leave(record->MaskEditTimerDate);
    EXPECT_EQ(record->MaskEditTimerDate->text().toStdString(), d.shown) << d.typed;
  }
}

TEST_F(SettingsPages, TimerTabSwitchCommitsTheDateToTheTimerShown) {
  ShowPage(record);
  record->TabControlTimers->setCurrentIndex(2);
  record->MaskEditTimerDate->setText("15.06.20");
  record->TabControlTimers->setCurrentIndex(5);
  EXPECT_EQ(GetField(TimerField(2) + kTimerFieldDay), 15);
  EXPECT_EQ(GetField(TimerField(2) + kTimerFieldDay + 1), 6);
  EXPECT_EQ(GetField(TimerField(5) + kTimerFieldDay), 1);
  EXPECT_EQ(record->MaskEditTimerDate->text(), "01.01.11");
  record->TabControlTimers->setCurrentIndex(2);
  EXPECT_EQ(record->MaskEditTimerDate->text(), "15.06.20");
}

TEST_F(SettingsPages, WeekdayBoxesEditTheTimerShown) {
  ShowPage(record);
  record->TabControlTimers->setCurrentIndex(3);
  record->CheckBoxWe->setChecked(false);
  record->CheckBoxTimerEnable->setChecked(true);
  EXPECT_EQ(GetField(TimerField(3) + kTimerFieldWeekdays), 0x80 | 0x7B);
  EXPECT_EQ(GetField(TimerField(0) + kTimerFieldWeekdays), 0x7F);
}

TEST_F(SettingsPages, AgcOffWithVasOnAnsweredNoChangesNothing) {
  std::int32_t v = 3; // motion and VAS on
  SetField(kFieldAutoStartMode, v);
  ShowPage(audio);
  answer = kNo;
  audio->CheckBoxAudioAGC->setChecked(false);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, GetText(42));
  EXPECT_EQ(messages[0].type, 0x34);
  EXPECT_TRUE(audio->CheckBoxAudioAGC->isChecked());
  EXPECT_TRUE(motion->CheckBoxVASOn->isChecked());
  EXPECT_EQ(GetField(kFieldAudioAgc), 1);
  EXPECT_EQ(GetField(kFieldAutoStartMode), 3);
}

TEST_F(SettingsPages, AgcOffWithVasOnAnsweredYesTurnsVasOff) {
  std::int32_t v = 3;
  SetField(kFieldAutoStartMode, v);
  ShowPage(audio);
  audio->CheckBoxAudioAGC->setChecked(false);
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_EQ(GetField(kFieldAudioAgc), 0);
  EXPECT_EQ(GetField(kFieldAutoStartMode), 1);
  EXPECT_FALSE(motion->CheckBoxVASOn->isChecked());
}

TEST_F(SettingsPages, VasOnWithAgcOffAsksAndFollowsTheAnswer) {
  std::int32_t v = 0;
  SetField(kFieldAudioAgc, v);
  ShowPage(motion);
  answer = kNo;
  motion->CheckBoxVASOn->setChecked(true);
  EXPECT_FALSE(motion->CheckBoxVASOn->isChecked());
  EXPECT_EQ(GetField(kFieldAutoStartMode), 0);
  answer = kYes;
  motion->CheckBoxVASOn->setChecked(true);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[1].text, GetText(43));
  EXPECT_EQ(GetField(kFieldAutoStartMode), 2);
  EXPECT_EQ(GetField(kFieldAudioAgc), 1);
  EXPECT_TRUE(audio->CheckBoxAudioAGC->isChecked());
}

TEST_F(SettingsPages, DuplicateWarnsOfTheBitrateLimitOnlyWhenTurnedOn) {
  ShowPage(record);
  record->CheckBoxDuplicate->setChecked(true);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].type, 0x40);
  EXPECT_EQ(GetField(kFieldDuplicate), 1);
  record->CheckBoxDuplicate->setChecked(false);
  EXPECT_EQ(messages.size(), 1u);
}

TEST_F(SettingsPages, SixtyHertzSourceReadsBackAsFiftyHertz) {
  char dir[] = "/tmp/orvo_pages_XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const QString file = QString::fromLatin1(dir) + "/card.cfg";
  ShowPage(video);
  video->ComboBoxVideoSource->setCurrentIndex(2);
  EXPECT_EQ(GetField(kFieldVSource), 1);
  EXPECT_EQ(video->ComboBoxFPS->count(), 6);
  EXPECT_EQ(video->ComboBoxFPS->itemText(5), "30");
  EXPECT_EQ(video->EditSizeV->text(), "480"); // NTSC 1:1
  pages->ChooseCfgFile = [file](bool) { return file; };
  pages->ButtonCfgSave->click();
  pages->ButtonCfgRead->click();
  EXPECT_EQ(pages->SourceIndex, 1);
  EXPECT_EQ(video->ComboBoxVideoSource->currentText(), "Video input (50 Hz)");
  EXPECT_EQ(video->ComboBoxFPS->itemText(5), "25");
  EXPECT_EQ(video->EditSizeV->text(), "576"); // PAL 1:1
  EXPECT_TRUE(messages.empty());
  std::remove(file.toLocal8Bit().constData());
  rmdir(dir);
}

TEST_F(SettingsPages, FailedSaveAndReadAreReported) {
  pages->ChooseCfgFile = [](bool) { return QStringLiteral("/nonexistent-folder/x.cfg"); };
  pages->ButtonCfgSave->click();
  pages->ButtonCfgRead->click();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].text, GetText(34));
  EXPECT_EQ(messages[0].type, 0x10);
  EXPECT_EQ(messages[1].text, GetText(278));
  pages->ChooseCfgFile = [](bool) { return QString(); };
  pages->ButtonCfgSave->click();
  EXPECT_EQ(messages.size(), 2u);
}

TEST_F(SettingsPages, ResetAsksFirst) {
  std::int32_t v = 4;
  SetField(kFieldRecordMode, v);
  ShowPage(record);
  answer = kNo;
  pages->ButtonResetSettings->click();
  EXPECT_EQ(GetField(kFieldRecordMode), 4);
  answer = kYes;
  pages->ButtonResetSettings->click();
  EXPECT_EQ(GetField(kFieldRecordMode), 0);
  EXPECT_EQ(record->ComboBoxRecordMode->currentIndex(), 0);
  EXPECT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[1].text, GetText(41));
}

TEST_F(SettingsPages, OsdTextLosesQuotesAndCyrillicAndIsStoredOnExit) {
  ShowPage(video);
  video->EditText1->clear();
  // What a paste does: inserted at the caret as one user edit.
  video->EditText1->insert(QString::fromUtf8("Bus \"\xD0\x90\xD0\x91\" 7"));
  EXPECT_EQ(video->EditText1->text(), "Bus '' 7");
  Leave(video->EditText1);
  EXPECT_EQ(GetOsdText(0), "Bus '' 7");

  // A card's text of the full 47 characters shows whole, is not changed by
  // leaving the field, and a save and a read give back what was seen; a
  // text still being typed when Save is clicked is saved as it shows.
  char dir[] = "/tmp/orvo_pages_XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string file = std::string(dir) + "/card.cfg";
  const std::string full = "0123456789 abcdefghijklmnopqrstuvwxyz %D %T!?()";
  ASSERT_EQ(full.size(), 47u);
  {
    std::ofstream cfg(file, std::ios::binary);
    cfg << "OSD_STR1 = \"" << full << "\"\r\n";
  }
  pages->ChooseCfgFile = [&](bool) { return QString::fromStdString(file); };
  pages->ButtonCfgRead->click();
  EXPECT_EQ(video->EditText1->text().toStdString(), full);
  Leave(video->EditText1);
  EXPECT_EQ(GetOsdText(0), full);
  pages->ButtonCfgSave->click();
  ResetToDefaults();
  pages->ButtonCfgRead->click();
  EXPECT_EQ(GetOsdText(0), full);
  EXPECT_EQ(video->EditText1->text().toStdString(), full);

  QWidget window;
  pages->setParent(&window);
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  video->EditText1->setFocus();
  video->EditText1->selectAll();
  QTest::keyClicks(video->EditText1, "Typed");
  video->EditText1->insert(QStringLiteral(";\t7")); // pasted
  QTest::mouseClick(pages->ButtonCfgSave, Qt::LeftButton);
  ResetToDefaults();
  pages->ButtonCfgRead->click();
  EXPECT_EQ(GetOsdText(0), "Typed7");
  pages->setParent(nullptr);
  std::remove(file.c_str());
  rmdir(dir);
}

TEST_F(SettingsPages, FrameSizeChoosesTheWindowShownAndOnlyCustomIsEditable) {
  ShowPage(video);
  EXPECT_EQ(video->EditWindowX->property("Tag").toInt(),
            WindowField(kFamilyVS, kSizeH, kWindowOffsetX));
  EXPECT_FALSE(video->EditWindowX->isEnabled());
  video->ComboBoxSize->setCurrentIndex(kSizeC);
  EXPECT_TRUE(video->EditWindowX->isEnabled());
  Type(video->EditWindowX, "101");
  EXPECT_EQ(video->EditWindowX->text(), "100");
  EXPECT_EQ(video->EditWindowW->text(), "540");
  EXPECT_EQ(video->EditSizeH->text(), "528");
  video->ComboBoxSize->setCurrentIndex(kSizeL);
  EXPECT_EQ(video->EditSizeH->text(), "160");
  EXPECT_FALSE(video->EditSizeH->isEnabled());
}

TEST_F(SettingsPages, DriveAbsentDisablesButKeepsTheValues) {
  ShowPage(misc);
  EXPECT_TRUE(misc->ComboBoxBacklight->isEnabled());
  host.cardReady = false;
  host.RefreshSettingsPages();
  EXPECT_FALSE(misc->ComboBoxBacklight->isEnabled());
  EXPECT_FALSE(misc->LabelBacklight->isEnabled());
  EXPECT_EQ(misc->ComboBoxBacklight->currentText(), "100%");
  ShowPage(video);
  EXPECT_FALSE(video->ButtonAdvanced->isEnabled());
  EXPECT_FALSE(video->EditText1->isEnabled());
}

TEST_F(SettingsPages, GpsTimeOffDisablesZoneAndDaylightSaving) {
  ShowPage(timePage);
  EXPECT_TRUE(timePage->ComboBoxTimeZone->isEnabled());
  EXPECT_EQ(timePage->ComboBoxTimeZone->currentText(), "GMT + 03:00");
  timePage->CheckBoxGPSTime->setChecked(false);
  EXPECT_FALSE(timePage->ComboBoxTimeZone->isEnabled());
  EXPECT_FALSE(timePage->CheckBoxDST->isEnabled());
  EXPECT_FALSE(timePage->LabelTimeZone->isEnabled());
}

TEST_F(SettingsPages, CheckBoxTagsCarryBitAndField) {
  ShowPage(adapter);
  EXPECT_EQ(adapter->CheckBoxHighLevel5->property("Tag").toInt(), (5 << 24) | kFieldAdaLevel);
  adapter->CheckBoxUseInput3->setChecked(true);
  adapter->CheckBoxUseInput0->setChecked(true);
  EXPECT_EQ(GetField(kFieldAdaInput), 9);
}

TEST_F(SettingsPages, AdvancedOpensTheDialogOfTheSource) {
  ShowPage(video);
  bool camera = false;
  QTimer::singleShot(0, pages.get(), [&] {
    camera = pages->FormSetupCam->isVisible();
    qobject_cast<TFormSetupCam *>(pages->FormSetupCam)->OkButton->click();
  });
  video->ButtonAdvanced->click();
  EXPECT_TRUE(camera);
  video->ComboBoxVideoSource->setCurrentIndex(2);
  QString shown;
  QTimer::singleShot(0, pages.get(), [&] {
    auto *vin = qobject_cast<TFormSetupVin *>(pages->FormSetupVin);
    shown = vin->ComboBoxColorSystem->currentText();
    vin->OkButton->click();
  });
  video->ButtonAdvanced->click();
  EXPECT_EQ(shown, "Auto");
}

namespace {

void Mouse(QWidget *w, QEvent::Type type, Qt::MouseButton button, int x, int y) {
  const QPointF local(x, y);
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
  QMouseEvent event(type, local, w->mapToGlobal(local), button, held, Qt::NoModifier);
  QApplication::sendEvent(w, &event);
}

QColor PictureAt(const RecorderSettings &pages, int x, int y) {
  return pages.ImageCfg->pixmap().toImage().pixelColor(x, y);
}

} // namespace

TEST_F(SettingsPages, MotionPageDrawsTheDefaultRectangleAtItsCorners) {
  ShowPage(motion);
  EXPECT_EQ(pages->ImageCfg->pixmap().size(), QSize(429, 277));
  EXPECT_EQ(PictureAt(*pages, 177, 111), QColor(255, 255, 0));
  EXPECT_EQ(PictureAt(*pages, 250, 165), QColor(255, 255, 0));
  EXPECT_EQ(PictureAt(*pages, 32, 2), QColor(192, 192, 192));
  ShowPage(misc);
  EXPECT_NE(PictureAt(*pages, 177, 111), QColor(255, 255, 0));
}

TEST_F(SettingsPages, ClickWithoutMovementCommitsAnEmptyRectangleThere) {
  ShowPage(motion);
  Mouse(pages->ImageCfg, QEvent::MouseButtonPress, Qt::LeftButton, 100, 60);
  EXPECT_TRUE(pages->AreaEditor->DragActive);
  Mouse(pages->ImageCfg, QEvent::MouseButtonRelease, Qt::LeftButton, 100, 60);
  EXPECT_FALSE(pages->AreaEditor->DragActive);
  const int r = RectX();
  EXPECT_EQ(GetField(r + kRectX), 19); // (102 - 32) * 100 / 364
  EXPECT_EQ(GetField(r + kRectY), 21); // (62 - 2) * 100 / 273
  EXPECT_EQ(GetField(r + kRectWidth), 0);
  EXPECT_EQ(GetField(r + kRectHeight), 0);
  EXPECT_EQ(motion->EditMDROIW->text(), "0");
}

TEST_F(SettingsPages, DragPastTheFrameStaysInsideIt) {
  ShowPage(motion);
  Mouse(pages->ImageCfg, QEvent::MouseButtonPress, Qt::LeftButton, 300, 100);
  Mouse(pages->ImageCfg, QEvent::MouseMove, Qt::LeftButton, 428, 276);
  // Shown while dragging, stored only on release.
  EXPECT_EQ(motion->EditMDROIX->text(), "74"); // (302 - 32) * 100 / 364
  EXPECT_EQ(GetField(RectX()), 40);
  Mouse(pages->ImageCfg, QEvent::MouseButtonRelease, Qt::LeftButton, 428, 276);
  const int r = RectX();
  EXPECT_LE(GetField(r + kRectX) + GetField(r + kRectWidth), 100);
  EXPECT_EQ(GetField(r + kRectX) + GetField(r + kRectWidth), 100);
  EXPECT_EQ(GetField(r + kRectY) + GetField(r + kRectHeight), 100);
  Mouse(pages->ImageCfg, QEvent::MouseButtonPress, Qt::LeftButton, 200, 100);
  Mouse(pages->ImageCfg, QEvent::MouseButtonRelease, Qt::LeftButton, 0, 120);
  EXPECT_EQ(GetField(r + kRectX), 0);
}

TEST_F(SettingsPages, MousePressDoesNothingWithTheAreaOffOrTheRightButton) {
  ShowPage(motion);
  motion->CheckBoxMDROIOn->setChecked(false);
  Mouse(pages->ImageCfg, QEvent::MouseButtonPress, Qt::LeftButton, 100, 60);
  EXPECT_FALSE(pages->AreaEditor->DragActive);
  Mouse(pages->ImageCfg, QEvent::MouseButtonRelease, Qt::LeftButton, 100, 60);
  EXPECT_EQ(GetField(RectX()), 40);
  motion->CheckBoxMDROIOn->setChecked(true);
  Mouse(pages->ImageCfg, QEvent::MouseButtonPress, Qt::RightButton, 100, 60);
  EXPECT_FALSE(pages->AreaEditor->DragActive);
  Mouse(pages->ImageCfg, QEvent::MouseButtonRelease, Qt::RightButton, 100, 60);
  Mouse(pages->ImageCfg, QEvent::MouseButtonRelease, Qt::LeftButton, 100, 60);
  EXPECT_EQ(GetField(RectX()), 40);
  EXPECT_EQ(GetField(RectX() + kRectWidth), 20);
}

TEST_F(SettingsPages, MousePressOutsideTheMotionPageOrWithoutCardDoesNothing) {
  ShowPage(video);
  Mouse(pages->ImageCfg, QEvent::MouseButtonPress, Qt::LeftButton, 100, 60);
  EXPECT_FALSE(pages->AreaEditor->DragActive);
  host.cardReady = false;
  ShowPage(motion);
  Mouse(pages->ImageCfg, QEvent::MouseButtonPress, Qt::LeftButton, 100, 60);
  EXPECT_FALSE(pages->AreaEditor->DragActive);
}

TEST_F(SettingsPages, AreaTabsCommitTheEditsToTheAreaShown) {
  ShowPage(motion);
  motion->EditMDROIH->setText("5");
  motion->TabControlROI->setCurrentIndex(1);
  EXPECT_EQ(GetField(RectField(0, 0) + kRectHeight), 5);
  EXPECT_EQ(motion->EditMDROIH->property("Tag").toInt(), RectField(1, 0) + kRectHeight);
  EXPECT_FALSE(motion->CheckBoxMDROIOn->isChecked());
  motion->TabControlROIRect->setCurrentIndex(2);
  EXPECT_EQ(motion->EditMDROIX->property("Tag").toInt(), RectField(1, 2) + kRectX);
  EXPECT_EQ(motion->CheckBoxMDROIRectOn->property("Tag").toInt(), (2 << 24) | AreaField(1));
}

TEST_F(SettingsPages, LanguageChangeRelabelsEveryPageNotOnlyTheActiveOne) {
  ShowPage(video);
  SelectLanguage(1);
  // The window grows to the new texts when the pages say they took them.
  EXPECT_TRUE(pages->RefreshActiveSettingsPage());
  EXPECT_FALSE(pages->RefreshActiveSettingsPage());
  EXPECT_EQ(video->LabelVideoSource->text(), Russian(104));
  EXPECT_EQ(record->LabelRecordMode->text(), Russian(60));
  EXPECT_EQ(record->ComboBoxRecordMode->itemText(0), Russian(163));
  EXPECT_EQ(misc->LabelBacklight->text(), Russian(304));
  EXPECT_EQ(motion->TabControlROI->tabText(3), Russian(211) + " 4");
}
