#include "app/ui/Screenshots.h"

#include "app/ui/Application.h"
#include "app/ui/FirmwarePage.h"
#include "app/ui/FormAbout.h"
#include "app/ui/FormMain.h"
#include "app/ui/RecordListView.h"
#include "app/ui/RecordPage.h"
#include "app/ui/RecordTableModel.h"
#include "app/ui/SettingsPage.h"
#include "app/ui/UtilitiesPage.h"
#include "config/ui/RecorderSettings.h"
#include "engine/Secondthread.h"
#include "platform/ui/MessageSeam.h"
#include "player/ui/FrameView.h"
#include "player/ui/PlaybackSession.h"
#include "player/ui/PlayerLauncher.h"
#include "player/ui/PlayerWindow.h"
#include "player/ui/RouteMapView.h"
#include "settings/ui/SetupForm.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QThread>
#include <QTimer>

#include <functional>
#include <utility>

namespace orvo {

namespace {

// Nobody sits at the screen while pictures are taken: a question (compare
// the tested file with the card?) is answered No, a notice OK.
class AnsweringSeam : public MessageSeam {
public:
  int Show(QWidget *, const QString &, const QString &, int type) override {
    return (type & 0x0F) == 0x04 ? kAnswerNo : kAnswerOk;
  }
};

void Settle() {
  for (int i = 0; i < 5; ++i)
    QApplication::processEvents();
}

// Runs the event loop until `done` or `ms` have passed.
bool WaitFor(const std::function<bool()> &done, int ms) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > ms)
      return false;
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

bool Save(QWidget *widget, const QString &folder, const QString &name, const QString &tag) {
  Settle();
  return widget->grab().save(QDir(folder).filePath(name + "-" + tag + ".png"));
}

// The utilities page shows the outcome of a test of `file`.
void TestFile(UtilitiesPage *page, const QString &file) {
  if (file.isEmpty())
    return;
  page->EditFileName->setText(file);
  page->ButtonTestClick();
  QElapsedTimer waited;
  waited.start();
  while (page->Testing && waited.elapsed() < 30000) {
    QApplication::processEvents();
    QThread::msleep(10);
  }
}

// Checks every third listed record that is not converted yet, so that the
// picture shows checked, unchecked and grey rows.
void CheckSome(RecordTableModel &model) {
  for (int row = 0; row < model.rowCount(); ++row) {
    const QModelIndex box = model.index(row, 0);
    const bool grey = model.data(box, Qt::BackgroundRole).isValid();
    if (!grey && row % 3 == 1)
      model.setData(box, Qt::Checked, Qt::CheckStateRole);
  }
}

// Fusion with a dark palette, as a dark desktop theme gives it.
QPalette DarkPalette() {
  QPalette p;
  const QColor window(45, 45, 48), base(30, 30, 32), text(230, 230, 230);
  p.setColor(QPalette::Window, window);
  p.setColor(QPalette::WindowText, text);
  p.setColor(QPalette::Base, base);
  p.setColor(QPalette::AlternateBase, window);
  p.setColor(QPalette::Text, text);
  p.setColor(QPalette::Button, window);
  p.setColor(QPalette::ButtonText, text);
  p.setColor(QPalette::ToolTipBase, base);
  p.setColor(QPalette::ToolTipText, text);
  p.setColor(QPalette::PlaceholderText, QColor(140, 140, 140));
  p.setColor(QPalette::Highlight, QColor(42, 130, 218));
  p.setColor(QPalette::HighlightedText, Qt::white);
  p.setColor(QPalette::Disabled, QPalette::Text, QColor(120, 120, 120));
  p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(120, 120, 120));
  p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(120, 120, 120));
  return p;
}

// The player on the first listed record with a GPS track, a few seconds in.
void ShootPlayer(TFormMain &main, const QString &folder, const QString &tag) {
  RecordTableModel &model = *main.TabSheet1->RecordModel;
  for (int row = 0; row < model.ListedCount(); ++row) {
    TStorageX4TFT::PlaySource source;
    if (!main.Worker()->GetEngine().GetPlaySource(model.IndexAt(row), source) ||
        source.gpxPath.empty())
      continue;
    main.TabSheet1->OpenRecord(row);
    PlayerWindow *player = main.Player->Window();
    if (player == nullptr)
      return;
    player->resize(1100, 560);
    WaitFor([&] { return player->View().FrameStartUs() >= 0 && player->Map().hasTrack(); },
            10000);
    // A stretch marked for a clip, shown on the time line, route and chart.
    player->SetIn(player->Session().Duration() / 3);
    player->SetOut(player->Session().Duration() * 5 / 6);
    player->Session().Seek(player->Session().Duration() * 2 / 3);
    WaitFor([&] { return player->View().FrameStartUs() > 1000000; }, 5000);
    Save(player, folder, "player", tag);
    player->close();
    return;
  }
}

} // namespace

void ScheduleScreenshots(Application &application, const QString &folder, const QString &tag) {
  QTimer::singleShot(200, [&application, folder, tag] {
    static AnsweringSeam answering;
    InstallMessageSeam(&answering);
    QDir().mkpath(folder);
    TFormMain *main = application.MainForm();
    RecordPage *records = main->TabSheet1;
    RecorderSettings &recorder = main->RecorderSetup();
    // With a card in the input folder (and AutoScan), its records, its
    // configuration and its firmware are shown.
    WaitFor([&] { return main->DriveReady && !records->JobRunning(); }, 5000);
    WaitFor([&] { return main->TabSheet5->ListBoxFirmwareOnDisk->count() > 0; }, 2000);
    CheckSome(*records->RecordModel);
    const struct {
      QWidget *page;
      const char *name;
    } pages[] = {{main->TabSheet1, "main-records"},
                 {main->TabSheet2, "main-settings"},
                 {main->TabSheet5, "main-firmware"},
                 {main->TabSheet6, "main-utilities"}};
    for (const auto &p : pages) {
      if (p.page == main->TabSheet6)
        TestFile(main->TabSheet6, qEnvironmentVariable("ORVO_SCREENSHOT_TEST_FILE"));
      main->PageControl1->setCurrentWidget(p.page);
      Save(main, folder, p.name, tag);
    }
    ShootPlayer(*main, folder, tag);
    // Every recorder settings page, with the controls enabled as with a card.
    const bool driveReady = main->DriveReady;
    main->DriveReady = true;
    main->PageControl1->setCurrentWidget(main->TabSheet2);
    const char *const recorderPages[] = {"record", "autostart", "video", "audio",
                                         "time",   "adapter",   "misc"};
    for (int i = 0; i < recorder.PageControlRecorderSetup->count() && i < 7; ++i) {
      recorder.PageControlRecorderSetup->setCurrentIndex(i);
      main->RefreshSettingsPages();
      Save(main, folder, QStringLiteral("settings-") + QString::fromLatin1(recorderPages[i]), tag);
    }
    recorder.PageControlRecorderSetup->setCurrentIndex(0);
    main->DriveReady = driveReady;
    main->RefreshSettingsPages();
    main->PageControl1->setCurrentWidget(main->TabSheet1);

    for (const auto &[dialog, name] :
         {std::pair<QDialog *, const char *>{recorder.FormSetupCam, "advanced-camera"},
          {recorder.FormSetupVin, "advanced-video-input"}}) {
      if (dialog == nullptr)
        continue;
      dialog->show();
      Save(dialog, folder, QString::fromLatin1(name), tag);
      dialog->hide();
    }

    TSetupForm *setup = application.SetupForm();
    setup->show();
    Save(setup, folder, "setup", tag);
    setup->hide();

    TFormAbout *about = application.FormAbout();
    about->LabelAbout();
    about->show();
    Save(about, folder, "about", tag);
    about->hide();

    // A conversion of the checked records, pictured once it is under way;
    // then cancelled, so the card is left as it was but for what finished.
    if (records->ButtonConvert->isEnabled()) {
      records->ButtonConvertClick();
      if (WaitFor([&] {
            return !records->Converting() || (records->ProgressBar->value() > 20 &&
                                              !records->LabelProgress->text().isEmpty());
          },
                  60000) &&
          records->Converting())
        Save(main, folder, "main-converting", tag);
      if (records->Converting())
        records->ButtonConvertClick();
      WaitFor([&] { return !records->JobRunning(); }, 60000);
    }
    // Converted, failed and unreadable rows in the light and the dark theme.
    records->ListViewRecord->scrollToBottom();
    Save(main, folder, "main-outcomes", tag);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setPalette(DarkPalette());
    Save(main, folder, "main-outcomes-dark", tag);
    records->ListViewRecord->scrollToTop();
    Save(main, folder, "main-records-dark", tag);

    main->close();
  });
}

} // namespace orvo
