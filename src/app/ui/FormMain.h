#pragma once

// The main window: a frame of pages (records, settings, firmware,
// utilities), the status bar and the drive polling. It keeps the card state
// the pages share, tells them when the card comes and goes, and relabels
// them after a language change. The window never waits for a worker; it
// sets requests and polls.

#include "app/DriveProbe.h"
#include "app/StatusLine.h"
#include "config/ui/SettingsHost.h"

#include <QMainWindow>
#include <QString>

#include <memory>

class QLabel;
class QStatusBar;
class QTabWidget;
class QTimer;

namespace orvo {

class ProgramSettings;
class TSecondThread;
class RecordPage;
class SettingsPage;
class FirmwarePage;
class UtilitiesPage;
class PlayerLauncher;
class RecorderSettings;

inline constexpr char kMainCaption[] = "oRVO-V.264o4 TFT V1.02";

class TFormMain : public QMainWindow, public SettingsHost {
  Q_OBJECT

public:
  // Without `settings`, the process's settings object is used. Builds the
  // language list and labels the whole window in the stored language.
  explicit TFormMain(TSecondThread *worker, ProgramSettings *settings = nullptr,
                     QWidget *parent = nullptr);
  ~TFormMain() override;

  // Shows a message box owned by this window and titled with its caption;
  // answers the button pressed (1 OK, 6 Yes, 7 No).
  int ShowMainMessage(const QString &text, int type);
  int ShowMainMessage(int textId, int type) override;
  // Relabels the window after a language change, then refreshes the active
  // recorder settings page.
  void RefreshSettingsPages() override;
  bool CardReady() const override { return DriveReady; }
  std::string CardFolder() const override;
  // The status bar's own text; hints shown while the pointer rests on a
  // control cover it only for that time, and never while a job runs.
  QString StatusText() const;

  void PageRedraw();
  // Card detection: the drive's readiness is asked on a thread of its own
  // and taken on a later tick. The firmware page's results are taken here.
  void TimerCheckDriveTimer();
  // The input folder was set anew (setup dialog, a dropped folder).
  void InputFolderChanged();

  TSecondThread *Worker() const { return worker_; }
  ProgramSettings &Settings() const;
  RecorderSettings &RecorderSetup() const;

  // The card state the pages share.
  bool DriveReady = false;
  int PollTicks = 0;
  int LastAppliedLanguage = -1;
  // Told of every change of the window's state; makes the status bar's text.
  StatusLine Status;

  QTabWidget *PageControl1;
  RecordPage *TabSheet1;
  SettingsPage *TabSheet2;
  FirmwarePage *TabSheet5;
  UtilitiesPage *TabSheet6;

  // The player, for a record of the list or a video file.
  PlayerLauncher *Player;

  QStatusBar *StatusBar;
  QLabel *StatusLabel;
  QTimer *TimerCheckDrive;

protected:
  bool event(QEvent *event) override;
  void closeEvent(QCloseEvent *event) override;
  void showEvent(QShowEvent *event) override;
  void dragEnterEvent(QDragEnterEvent *event) override;
  void dropEvent(QDropEvent *event) override;

private:
  // With the card's configuration as the polling read it.
  void CardAppeared(const DriveProbe::Answer &answer);
  void CardGone();
  void RelabelWindow();
  // The smallest size that shows every page whole, or the screen's
  // available area when that is smaller (the pages scroll then); the window
  // is never made smaller, and grows only when a language needs more.
  void FitToPages();
  // The client area the window's screen leaves for it.
  QSize AvailableClientSize() const;
  void RestoreLayout();
  void SaveLayout();
  // The input folder as the status bar names it.
  void ReportFolder();

  TSecondThread *worker_;
  ProgramSettings *settings_;
  std::unique_ptr<DriveProbe> probe_;
  bool layoutRestored_ = false;
};

} // namespace orvo
