#include "app/CardPreparation.h"
#include "app/Threadfirmware.h"
#include "app/ui/CardFormat.h"
#include "app/ui/FirmwarePage.h"
#include "app/ui/FormMain.h"
#include "app/ui/RecordPage.h"
#include "app/ui/SettingsPage.h"
#include "app/ui/UtilitiesPage.h"
#include "config/CfgFields.h"
#include "config/Cfg_mgr.h"
#include "config/ui/RecorderSettings.h"
#include "engine/Secondthread.h"
#include "platform/ui/MessageSeam.h"
#include "settings/ProgramSettings.h"
#include "settings/Stringcode.h"
#include "support/Tools.h"

#include "QtApp.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

using namespace orvo;
namespace fs = std::filesystem;

namespace {

struct Message {
  QString text;
  int type;
};

struct RecordingSeam : MessageSeam {
  std::vector<Message> shown;
  int Show(QWidget *, const QString &, const QString &text, int type) override {
    shown.push_back({text, type});
    return kAnswerOk;
  }
};

void Put(const std::string &path) {
  std::ofstream(path, std::ios::binary) << path;
}

std::set<std::string> Names(const std::string &folder) {
  std::set<std::string> names;
  for (const auto &e : fs::directory_iterator(folder))
    names.insert(e.path().filename().string());
  return names;
}

QStringList Items(const QListWidget *list) {
  QStringList items;
  for (int i = 0; i < list->count(); ++i)
    items << list->item(i)->text();
  return items;
}

// The main window with a card in a folder and the program's folder in
// another; the drive timer is ticked by hand.
struct CardWindow : ::testing::Test {
  test::TempDir dir, disk, parent;
  std::string cardPath;
  std::unique_ptr<ProgramSettings> settings;
  std::unique_ptr<TSecondThread> worker;
  std::unique_ptr<TThreadFirmware> firmware;
  std::unique_ptr<TFormMain> window;
  RecordingSeam seam;

  void SetUp() override {
    EnsureQtApplication();
    ResetLanguages();
    cardPath = parent.File("card");
    fs::create_directory(cardPath);
    Put(cardPath + "/orvo-v264o4_tft_v100.fw");
    Put(disk.File("orvo-v264o4_tft_v101.fw"));
    Put(disk.File("orvo-v264o4_tft_v102.fw"));
    settings = std::make_unique<ProgramSettings>(SettingsLocation{dir.File("s.ini"), false});
    settings->SetInPath(cardPath);
    worker = std::make_unique<TSecondThread>(settings.get());
    firmware = std::make_unique<TThreadFirmware>(disk.path, settings.get());
    SetFirmwareThread(firmware.get());
    window = std::make_unique<TFormMain>(worker.get(), settings.get());
    InstallMessageSeam(&seam);
  }
  void TearDown() override {
    InstallMessageSeam(nullptr);
    window.reset();
    SetFirmwareThread(nullptr);
    firmware.reset();
    worker.reset();
    settings.reset();
  }
  // Ticks until the polling, which asks on a thread of its own, has seen the
  // card `ready`.
  bool PollUntil(bool ready) {
    for (int i = 0; i < 1000; ++i) {
      window->TimerCheckDriveTimer();
      if (window->DriveReady == ready)
        return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }
  // Ticks until the card list shows `count` entries, within a generous bound.
  bool TickUntilCardList(int count) {
    for (int i = 0; i < 3000; ++i) {
      window->TimerCheckDriveTimer();
      if (window->TabSheet5->ListBoxFirmwareOnCard->count() == count &&
          window->TabSheet5->ButtonFwRefresh->isEnabled())
        return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }
};

QString Id(int id) {
  return QString::fromStdString(GetText(id));
}

} // namespace

TEST_F(CardWindow, CardAppearsListsFirmwareAndGoes) {
  window->TimerCheckDriveTimer();
  EXPECT_TRUE(window->StatusText().isEmpty()) << "the first tick does nothing";
  EXPECT_FALSE(window->TabSheet2->ButtonPrepare->isEnabled());
  ASSERT_TRUE(PollUntil(true));
  EXPECT_TRUE(window->StatusText().startsWith(Id(MsgDriveReady) + ": "))
      << window->StatusText().toStdString();
  EXPECT_TRUE(window->TabSheet2->ButtonPrepare->isEnabled());
  EXPECT_TRUE(window->TabSheet2->ButtonFormat->isEnabled());
  EXPECT_FALSE(window->TabSheet2->ButtonClean->isEnabled());
  ASSERT_TRUE(TickUntilCardList(1));
  EXPECT_EQ(Items(window->TabSheet5->ListBoxFirmwareOnDisk), (QStringList{"1.01", "1.02"}));
  EXPECT_EQ(Items(window->TabSheet5->ListBoxFirmwareOnCard), (QStringList{"1.00"}));
  EXPECT_EQ(window->TabSheet5->ListBoxFirmwareOnDisk->currentRow(), 0);
  EXPECT_TRUE(window->TabSheet5->ButtonFwCopyToCard->isEnabled());
  EXPECT_TRUE(window->TabSheet5->ButtonFwCopyFromCard->isEnabled());

  fs::rename(cardPath, parent.File("away"));
  ASSERT_TRUE(PollUntil(false));
  EXPECT_TRUE(window->StatusText().startsWith(Id(MsgDriveNotReady) + ": "))
      << window->StatusText().toStdString();
  EXPECT_EQ(window->TabSheet5->ListBoxFirmwareOnCard->count(), 0);
  EXPECT_EQ(window->TabSheet5->ListBoxFirmwareOnDisk->count(), 0);
  for (QPushButton *b : {window->TabSheet2->ButtonPrepare, window->TabSheet5->ButtonFwRefresh,
                         window->TabSheet5->ButtonFwCopyToCard, window->TabSheet1->ButtonScan})
    EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();

  fs::rename(parent.File("away"), cardPath);
  Put(cardPath + "/orvo-v264o4_tft_v177.fw");
  ASSERT_TRUE(TickUntilCardList(2)) << "a new listing after the card came back";
  EXPECT_EQ(Items(window->TabSheet5->ListBoxFirmwareOnCard), (QStringList{"1.00", "1.77"}));
}

TEST_F(CardWindow, CopyToCardNeedsASelectionThenLeavesTheChosenFileAlone) {
  ASSERT_TRUE(TickUntilCardList(1));
  window->TabSheet5->ListBoxFirmwareOnDisk->clearSelection();
  window->TabSheet5->ButtonFwCopyToCardClick();
  EXPECT_TRUE(window->TabSheet5->ButtonFwCopyToCard->isEnabled())
      << "nothing selected does nothing";
  EXPECT_TRUE(window->TabSheet5->ButtonFwRefresh->isEnabled());

  window->TabSheet5->ListBoxFirmwareOnDisk->item(1)->setSelected(true);
  window->TabSheet5->ButtonFwCopyToCardClick();
  EXPECT_FALSE(window->TabSheet5->ButtonFwCopyToCard->isEnabled())
      << "disabled until the next results";
  ASSERT_TRUE(TickUntilCardList(1));
  EXPECT_EQ(Items(window->TabSheet5->ListBoxFirmwareOnCard), (QStringList{"1.02"}));
  EXPECT_EQ(Names(cardPath), (std::set<std::string>{"orvo-v264o4_tft_v102.fw"}));
}

TEST_F(CardWindow, PreparingANonFat32CardSaysSoAndWritesNothing) {
  // The card is written on a thread of its own; the window keeps going and
  // takes no other job meanwhile.
  window->TabSheet6->EditFileName->setText("part.mp4");
  window->TabSheet2->ButtonPrepareClick();
  EXPECT_TRUE(window->TabSheet2->Preparing() || !seam.shown.empty());
  if (window->TabSheet2->Preparing()) {
    EXPECT_FALSE(window->TabSheet1->ButtonScan->isEnabled());
    EXPECT_FALSE(window->TabSheet6->ButtonTest->isEnabled());
  }
  ASSERT_TRUE(QTest::qWaitFor([&] { return !seam.shown.empty(); }, 10000));
  EXPECT_TRUE(window->TabSheet6->ButtonTest->isEnabled());
  ASSERT_EQ(seam.shown.size(), 1u);
  // What is wrong, then what is needed and how to get it.
  EXPECT_TRUE(seam.shown[0].text.startsWith(Id(MsgIncorrectFileSystem) + "\n"));
  EXPECT_TRUE(seam.shown[0].text.contains("FAT32")) << seam.shown[0].text.toStdString();
  EXPECT_EQ(seam.shown[0].type, kMessageError);
  EXPECT_EQ(Names(cardPath).size(), 1u);
}

TEST_F(CardWindow, FormattingAFolderThatIsNoVolumeRootIsRefused) {
  window->TabSheet2->ButtonFormatClick();
  ASSERT_EQ(seam.shown.size(), 1u);
  EXPECT_EQ(seam.shown[0].text, FormatRefusalText());
  EXPECT_EQ(seam.shown[0].type, kMessageError);
  EXPECT_EQ(settings->InPath, cardPath + "/");
}

TEST_F(CardWindow, CardConfigurationChoosesTheVideoSourceShown) {
  ResetToDefaults();
  {
    std::ofstream cfg(cardPath + "/orvo-v264o4_tft_v1.cfg", std::ios::binary);
    cfg << "VSOURCE = 1\r\nRECORD_MODE = 2\r\n";
  }
  ASSERT_TRUE(PollUntil(true));
  EXPECT_EQ(GetParam(kParamRecordMode), 2);
  EXPECT_EQ(window->RecorderSetup().SourceIndex, 1) << "video input (50 Hz), as the card says";
  EXPECT_FALSE(window->RecorderSetup().RefreshInProgress);
  EXPECT_TRUE(seam.shown.empty()) << "rebinding the pages shows no message";
  ResetToDefaults();
}
