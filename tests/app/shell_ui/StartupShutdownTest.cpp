#include "ShellTestSupport.h"

#include "app/ui/Application.h"
#include "app/ui/FirmwarePage.h"
#include "app/ui/FormAbout.h"
#include "app/ui/FormFiltering.h"
#include "app/ui/FormFormatCard.h"
#include "app/ui/FormMain.h"
#include "app/ui/HintPause.h"
#include "app/ui/RecordPage.h"
#include "app/ui/SettingsPage.h"
#include "app/ui/UtilitiesPage.h"
#include "config/ui/Binders.h"
#include "config/ui/FormSetupCam.h"
#include "config/ui/FormSetupVin.h"
#include "config/ui/RecorderSettings.h"
#include "engine/Secondthread.h"
#include "engine/ui/FormDeleting.h"
#include "platform/FileSystem.h"
#include "platform/Thread.h"
#include "settings/ui/SetupForm.h"

#include "app/ui/RecordListView.h"
#include "app/ui/RecordTableModel.h"
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include <gtest/gtest.h>

namespace orvo::test {
namespace {

// Stands in for the firmware worker: idles until told to end.
class IdleWorker : public platform::Thread {
protected:
  void Execute() override {
    while (!Terminated())
      Sleep(1);
  }
};

TEST(StartupShutdown, SettingsFileWrittenOnlyAfterBothWorkersHaveEnded) {
  ScratchWorkingFolder folder;
  const std::string file = folder.dir.File("settings.ini");
  std::vector<ShutdownStep> steps;
  std::vector<bool> fileExisted;
  bool storageEndedFirst = false;
  bool firmwareEnded = false;
  Application *running = nullptr;

  ApplicationOptions options;
  options.settings = SettingsLocation{file, false};
  options.makeFirmwareThread = [] { return std::make_unique<IdleWorker>(); };
  options.onShutdownStep = [&](ShutdownStep step) {
    steps.push_back(step);
    fileExisted.push_back(platform::FileExists(file));
    if (step == ShutdownStep::StorageWorkerEnded)
      storageEndedFirst =
          running->StorageWorker()->Finished() && !running->FirmwareWorker()->Finished();
    if (step == ShutdownStep::FirmwareWorkerEnded)
      firmwareEnded = running->StorageWorker() == nullptr && running->FirmwareWorker()->Finished();
  };
  Application app(options);
  running = &app;
  bool registered = false;
  QTimer::singleShot(0, [&] {
    registered = Settings() == app.Settings();
    app.Settings()->AutoScan = true;
    app.MainForm()->close();
  });
  EXPECT_EQ(app.Run(), 0);

  EXPECT_TRUE(registered);
  EXPECT_EQ(Settings(), nullptr);
  const std::vector<ShutdownStep> expected = {
      ShutdownStep::StorageWorkerEnded, ShutdownStep::FirmwareWorkerEnded,
      ShutdownStep::WindowsDestroyed, ShutdownStep::OverridesReleased, ShutdownStep::SettingsSaved};
  EXPECT_EQ(steps, expected);
  EXPECT_EQ(fileExisted, (std::vector<bool>{false, false, false, false, true}));
  EXPECT_TRUE(storageEndedFirst);
  EXPECT_TRUE(firmwareEnded);
  std::string text;
  ASSERT_TRUE(platform::ReadWholeFile(file, text));
  EXPECT_NE(text.find("AUTOSCAN"), std::string::npos);
  ProgramSettings reread(SettingsLocation{file, false});
  EXPECT_TRUE(reread.AutoScan);
}

TEST(StartupShutdown, FirstStartWithoutSettingsOrLanguageFilesIsEnglishWithCardButtonsOff) {
  ScratchWorkingFolder folder;
  ApplicationOptions options;
  options.settings = SettingsLocation{folder.dir.File("absent/settings.ini"), true};
  Application app(options);
  app.StartUp();
  TFormMain &w = *app.MainForm();
  RecordPage &records = *w.TabSheet1;
  SettingsPage &card = *w.TabSheet2;
  RecorderSettings &recorder = w.RecorderSetup();
  FirmwarePage &firmware = *w.TabSheet5;

  EXPECT_EQ(w.windowTitle(), QString(kMainCaption));
  EXPECT_EQ(w.LastAppliedLanguage, 0);
  EXPECT_EQ(w.PageControl1->count(), 4);
  EXPECT_EQ(w.PageControl1->tabText(0), English(1));
  EXPECT_EQ(w.PageControl1->tabText(1), English(2));
  EXPECT_EQ(w.PageControl1->tabText(2), English(263));
  EXPECT_EQ(w.PageControl1->tabText(3), English(272));
  EXPECT_TRUE(w.PageControl1->isTabVisible(3));
  EXPECT_EQ(records.RecordModel->headerData(0, Qt::Horizontal, Qt::DisplayRole), QString());
  EXPECT_EQ(records.RecordModel->headerData(7, Qt::Horizontal, Qt::DisplayRole), English(20));

  for (QPushButton *b :
       {records.ButtonScan, records.ButtonConvert, records.ButtonSetAll, records.ButtonClearAll,
        records.ButtonFiltering, records.ButtonDeleting, card.ButtonPrepare, card.ButtonFormat,
        card.ButtonClean, recorder.ButtonResetSettings, recorder.ButtonCfgRead,
        recorder.ButtonCfgSave, firmware.ButtonFwRefresh, firmware.ButtonFwCopyToCard,
        firmware.ButtonFwCopyFromCard})
    EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
  EXPECT_TRUE(card.ButtonSetup->isEnabled());
  EXPECT_TRUE(records.ButtonOpenFolder->isEnabled());
  EXPECT_TRUE(card.ButtonClean->isHidden());
  EXPECT_TRUE(records.ProgressBar->isHidden());
  // Nothing is greyed without a word: the status bar says how to begin.
  EXPECT_TRUE(w.StatusText().contains(English(45))) << w.StatusText().toStdString();
  EXPECT_TRUE(w.StatusBar->currentMessage().isEmpty());
  EXPECT_TRUE(w.TimerCheckDrive->isActive());
  EXPECT_EQ(w.TimerCheckDrive->interval(), 500);
  EXPECT_FALSE(records.TimerCommon->isActive());
  EXPECT_FALSE(w.DriveReady);
  EXPECT_FALSE(records.Scanning());
  EXPECT_FALSE(records.Converting());
  EXPECT_EQ(records.SortColumn, 0) << "by date until a header says otherwise";
  // Every page has the dialogs it opens.
  for (const QObject *dialog : std::initializer_list<const QObject *>{
           card.SetupForm, records.FormAbout, records.FormDeleting, records.FormFiltering,
           recorder.FormSetupCam, recorder.FormSetupVin})
    EXPECT_NE(dialog, nullptr);
  EXPECT_EQ(app.SetupForm()->ComboBoxLanguage->count(), 2);
  app.ShutDown();
}

TEST(MainWindow, ComponentsCarryTheirNamesTagsAndColumnWidths) {
  ScratchWorkingFolder folder;
  ProgramSettings settings(SettingsLocation{folder.dir.File("s.ini"), false});
  TFormMain w(nullptr, &settings);
  RecorderSettings &recorder = w.RecorderSetup();
  RecordListView *list = w.TabSheet1->ListViewRecord;
  for (const char *name : {"PageControl1", "TabSheet1", "TabSheet2", "TabSheet5", "TabSheet6",
                           "ListViewRecord", "ProgressBar", "SpeedButtonInfo", "GroupBoxPrepare",
                           "PageControlRecorderSetup", "PanelCfg", "ImageCfg", "LabelDataOnCard",
                           "ListBoxFirmwareOnDisk", "StatusBar", "TimerCheckDrive", "TimerCommon"})
    EXPECT_NE(w.findChild<QObject *>(name), nullptr) << name;
  const char *pages[] = {"TabSheetRecord", "TabSheetAutostart", "TabSheetVideo", "TabSheetAudio",
                         "TabSheetTime",   "TabSheetAdapter",   "TabSheetMisc"};
  for (int i = 0; i < 7; ++i) {
    const QWidget *page = recorder.PageControlRecorderSetup->widget(i);
    EXPECT_EQ(page->objectName(), pages[i]);
    EXPECT_EQ(ControlTag(page), i);
  }
  const int widths[] = {22, 76, 62, 62, 134, 94, 45, 140};
  // The titles are never clipped: a column is only ever wider than its width.
  EXPECT_GE(list->columnWidth(0), 22);
  for (int i = 1; i < 8; ++i) {
    EXPECT_GE(list->columnWidth(i), widths[i]) << i;
    EXPECT_GE(list->columnWidth(i), list->header()->sectionSizeHint(i));
  }
  EXPECT_EQ(list->header()->sectionResizeMode(0), QHeaderView::Fixed);
  EXPECT_EQ(list->focusPolicy(), Qt::StrongFocus);
  EXPECT_EQ(recorder.ImageCfg->size(), QSize(429, 277));
  EXPECT_GE(w.width(), 892);
  EXPECT_GE(w.height(), 522);
  EXPECT_EQ(w.TabSheet1->ButtonScan->toolTip(), English(4));
  EXPECT_EQ(w.TabSheet1->ButtonScan->statusTip(), English(4));
}

TEST(MainWindow, MainMessagesGoThroughTheSeamTitledWithTheCaption) {
  ScratchWorkingFolder folder;
  ProgramSettings settings(SettingsLocation{folder.dir.File("s.ini"), false});
  TFormMain w(nullptr, &settings);
  RecordingSeam seam;
  seam.answers = {kAnswerNo};
  EXPECT_EQ(w.ShowMainMessage(41, kMessageAskWarning), kAnswerNo);
  ASSERT_EQ(seam.shown.size(), 1u);
  EXPECT_EQ(seam.shown[0].title, QString(kMainCaption));
  EXPECT_EQ(seam.shown[0].text, English(41));
  EXPECT_EQ(seam.shown[0].type, 0x34);
}

// The real boxes: Enter answers a destructive question with No, an ordinary
// one with Yes.
TEST(MainWindow, EnterNeverConfirmsADestructiveQuestion) {
  ScratchWorkingFolder folder;
  ProgramSettings settings(SettingsLocation{folder.dir.File("s.ini"), false});
  TFormMain w(nullptr, &settings);
  for (const auto &[type, answer] :
       {std::pair{kMessageAskDestructive, kAnswerNo}, std::pair{kMessageAskWarning, kAnswerYes}}) {
    QTimer::singleShot(0, [] {
      if (QWidget *box = QApplication::activeModalWidget())
        QTest::keyClick(box, Qt::Key_Return);
    });
    EXPECT_EQ(w.ShowMainMessage(41, type), answer) << type;
  }
}

TEST(MainWindow, RelabelsOnALanguageChangeAndNotWithoutOne) {
  ScratchWorkingFolder folder;
  ProgramSettings settings(SettingsLocation{folder.dir.File("s.ini"), false});
  TFormMain w(nullptr, &settings);
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  const QSize shown = w.size();
  w.TabSheet1->ButtonScan->setText("untouched");
  w.RefreshSettingsPages();
  EXPECT_EQ(w.TabSheet1->ButtonScan->text(), QString("untouched"));

  settings.Language = 1;
  w.RefreshSettingsPages();
  EXPECT_EQ(w.LastAppliedLanguage, 1);
  EXPECT_EQ(w.TabSheet1->ButtonScan->text().remove('&'), Russian(3));
  EXPECT_EQ(w.TabSheet1->ButtonScan->toolTip(), Russian(4));
  EXPECT_EQ(w.PageControl1->tabText(1), Russian(2));
  EXPECT_EQ(w.RecorderSetup().PageControlRecorderSetup->tabText(4), Russian(14));
  EXPECT_EQ(w.TabSheet1->RecordModel->headerData(1, Qt::Horizontal, Qt::DisplayRole),
            Russian(13));
  EXPECT_EQ(w.TabSheet2->GroupBoxRecorderSetup->title(), Russian(54));
  EXPECT_EQ(w.TabSheet5->LabelDataOnDisk->text(), Russian(264));
  EXPECT_EQ(w.TabSheet5->ButtonFwCopyFromCard->statusTip(), Russian(271));
  EXPECT_EQ(w.PageControl1->tabText(3), Russian(272));
  EXPECT_EQ(w.TabSheet6->GroupBoxFileTest->title(), Russian(273));
  EXPECT_EQ(w.TabSheet6->ButtonTest->text(), Russian(275));
  // Qt's own buttons and dialogs speak the language too.
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes").remove('&'),
            QString::fromUtf8("Да"));
  // The window keeps its size through pages and languages, and can be made
  // larger; its size and columns are kept in the settings when it closes.
  w.PageControl1->setCurrentWidget(w.TabSheet2);
  QTest::qWait(20);
  EXPECT_EQ(w.size(), shown);
  EXPECT_GE(w.minimumWidth(), 892);
  EXPECT_GT(w.maximumWidth(), w.minimumWidth());
  w.resize(shown + QSize(200, 100));
  w.TabSheet1->ListViewRecord->setColumnWidth(2, 151);
  w.close();
  EXPECT_EQ(settings.WindowWidth, shown.width() + 200);
  EXPECT_EQ(settings.WindowHeight, shown.height() + 100);
  EXPECT_EQ(QString::fromStdString(settings.ColumnWidths).split(',').value(2), "151");
  TFormMain again(nullptr, &settings);
  again.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&again));
  EXPECT_EQ(again.size(), shown + QSize(200, 100));
  EXPECT_EQ(again.TabSheet1->ListViewRecord->columnWidth(2), 151);
  again.close();

  // A remembered width that would cut the date gives way to the fitting one,
  // on start-up and at every change of language; a wide one stays.
  QStringList narrow = QString::fromStdString(settings.ColumnWidths).split(',');
  narrow[1] = "30";
  settings.ColumnWidths = narrow.join(',').toStdString();
  TFormMain third(nullptr, &settings);
  third.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&third));
  RecordListView *list = third.TabSheet1->ListViewRecord;
  EXPECT_GE(list->columnWidth(1), list->FittingWidths({})[1]);
  for (int language : {0, 1}) {
    settings.Language = language;
    third.RefreshSettingsPages();
    EXPECT_EQ(QLocale().language(), language == 0 ? QLocale::English : QLocale::Russian)
        << "dates follow the window's language";
    EXPECT_GE(list->columnWidth(1), list->FittingWidths({})[1]);
    EXPECT_EQ(list->columnWidth(2), 151);
  }
}

TEST(MainWindow, SetupDialogClosedWithoutLanguageChangeLeavesLabelsAlone) {
  ScratchWorkingFolder folder;
  ProgramSettings settings(SettingsLocation{folder.dir.File("s.ini"), false});
  TFormMain w(nullptr, &settings);
  TSetupForm setup(&w, &settings);
  w.TabSheet2->SetupForm = &setup;
  w.TabSheet1->ButtonScan->setText("untouched");
  QTimer::singleShot(0, [&] { setup.CancelButtonClick(); });
  w.TabSheet2->ButtonSetupClick();
  EXPECT_EQ(w.TabSheet1->ButtonScan->text(), QString("untouched"));

  // A language chosen and confirmed relabels the window as the dialog closes.
  QTimer::singleShot(0, [&] {
    setup.InFolderEdit->setText(QString::fromStdString(folder.dir.File("card")));
    setup.OutFolderEdit->setText(QString::fromStdString(folder.dir.path));
    setup.ComboBoxLanguage->setCurrentIndex(1);
    setup.ComboBoxLanguageChange();
    setup.OkButtonClick();
  });
  w.TabSheet2->ButtonSetupClick();
  EXPECT_EQ(settings.Language, 1);
  EXPECT_EQ(w.TabSheet1->ButtonScan->text().remove('&'), Russian(3));
}

} // namespace
} // namespace orvo::test

namespace orvo::test {
namespace {

TEST(MainWindow, HintsShowInTheStatusBarWithoutLosingItsText) {
  ScratchWorkingFolder folder;
  ProgramSettings settings(SettingsLocation{folder.dir.File("s.ini"), false});
  TFormMain w(nullptr, &settings);
  w.Status.SetConversionResult(false, true, 1, 0);
  const QString status = w.StatusText();
  QStatusTipEvent enter(w.TabSheet2->ButtonSetup->statusTip());
  QApplication::sendEvent(w.TabSheet2->ButtonSetup, &enter);
  EXPECT_EQ(w.StatusBar->currentMessage(), English(46));
  QStatusTipEvent leave{QString()};
  QApplication::sendEvent(w.TabSheet2->ButtonSetup, &leave);
  EXPECT_TRUE(w.StatusBar->currentMessage().isEmpty());
  EXPECT_EQ(w.StatusText(), status);
}

TEST(MainWindow, ToolTipsShowThroughTheHintPause) {
  ScratchWorkingFolder folder;
  ProgramSettings settings(SettingsLocation{folder.dir.File("s.ini"), false});
  TFormMain w(nullptr, &settings);
  w.show();
  InstallHintPause(30000);
  QHelpEvent help(QEvent::ToolTip, QPoint(2, 2),
                  w.TabSheet2->ButtonSetup->mapToGlobal(QPoint(2, 2)));
  QApplication::sendEvent(w.TabSheet2->ButtonSetup, &help);
  EXPECT_EQ(QToolTip::text(), English(46));
  QToolTip::hideText();
}

// Whatever the screen and scale, the window and its status bar fit the
// screen's available area, a remembered size larger than the screen
// included; pages larger than the window scroll.
TEST(WindowFits, TheScreenItIsShownOn) {
  ScratchWorkingFolder folder;
  ProgramSettings settings(SettingsLocation{folder.dir.File("s.ini"), false});
  settings.WindowWidth = 4000;
  settings.WindowHeight = 3000;
  TFormMain w(nullptr, &settings);
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  const QSize available = w.screen()->availableGeometry().size();
  EXPECT_LE(w.minimumWidth(), available.width());
  EXPECT_LE(w.minimumHeight(), available.height());
  EXPECT_LE(w.width(), available.width());
  EXPECT_LE(w.height(), available.height());
  EXPECT_TRUE(w.StatusBar->isVisible());
  EXPECT_LE(w.StatusBar->geometry().bottom(), w.height());
  const auto *scroll = w.findChild<QScrollArea *>("PageScroll");
  ASSERT_NE(scroll, nullptr);
  const QSize pages = w.PageControl1->minimumSizeHint();
  EXPECT_TRUE(scroll->viewport()->width() >= pages.width() ||
              scroll->horizontalScrollBar()->isVisible());
  EXPECT_TRUE(scroll->viewport()->height() >= pages.height() ||
              scroll->verticalScrollBar()->isVisible());
}

// Every dialog, shown on the same screen, stays within its available area;
// what does not fit scrolls, so nothing is cut off.
TEST(WindowFits, EveryDialog) {
  ScratchWorkingFolder folder;
  ProgramSettings settings(SettingsLocation{folder.dir.File("s.ini"), false});
  DiscoverLanguages();
  TSetupForm setup(nullptr, &settings);
  TFormFiltering filtering(nullptr, &settings);
  TFormDeleting deleting;
  TFormSetupCam camera;
  TFormSetupVin videoInput;
  TFormAbout about;
  about.LabelAbout();
  TFormFormatCard format(CardVolume{"/dev/sdb1", {}, 16'000'000'000, "CARD", "vfat", false});
  std::vector<QDialog *> dialogs{&setup, &filtering, &deleting, &camera, &videoInput, &about,
                                 &format};
  about.show();
  about.ButtonLicense->click();
  if (auto *licence = about.findChild<QDialog *>("FormLicense"))
    dialogs.push_back(licence);
  ASSERT_EQ(dialogs.size(), 8u);
  for (QDialog *dialog : dialogs) {
    const std::string name = dialog->metaObject()->className();
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog)) << name;
    const QRect available = dialog->screen()->availableGeometry();
    EXPECT_TRUE(available.contains(dialog->frameGeometry())) << name;
    EXPECT_LE(dialog->minimumWidth(), available.width()) << name;
    EXPECT_LE(dialog->minimumHeight(), available.height()) << name;
    // The content gets the room it needs, or a scroll bar to reach the rest.
    const auto *scroll = dialog->findChild<QScrollArea *>("DialogScroll");
    if (scroll == nullptr) {
      const QSize content = dialog->layout()->totalMinimumSize();
      EXPECT_LE(content.width(), dialog->width()) << name;
      EXPECT_LE(content.height(), dialog->height()) << name;
    } else {
      const QSize page = scroll->widget()->minimumSizeHint();
      EXPECT_TRUE(scroll->viewport()->width() >= page.width() ||
                  scroll->horizontalScrollBar()->isVisible())
          << name;
      EXPECT_TRUE(scroll->viewport()->height() >= page.height() ||
                  scroll->verticalScrollBar()->isVisible())
          << name;
    }
    dialog->hide();
  }
}

} // namespace
} // namespace orvo::test
