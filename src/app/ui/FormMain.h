#pragma once

// The main window: a frame of pages (records, settings, firmware,
// utilities), the status bar and the drive polling. It keeps the card state
// the pages share, tells them when the card comes and goes, and relabels
// them after a language change. The window never waits for a worker; it
// sets requests and polls.

#include "config/ui/SettingsHost.h"

#include <QMainWindow>
#include <QString>

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
class RecorderSettings;

inline constexpr char kMainCaption[] = "oRVO-V.264o4 TFT V1.02";
inline constexpr char kMp4FileFilter[] = "MP4 file (*.mp4);;Any file (*)";

class TFormMain : public QMainWindow, public SettingsHost {
  Q_OBJECT

public:
  // Without `settings`, the process's settings object is used. Builds the
  // language list and labels the whole window in the stored language.
  explicit TFormMain(TSecondThread *worker, ProgramSettings *settings = nullptr,
                     QWidget *parent = nullptr);

  // Shows a message box owned by this window and titled with its caption;
  // answers the button pressed (1 OK, 6 Yes, 7 No).
  int ShowMainMessage(const QString &text, int type);
  int ShowMainMessage(int textId, int type) override;
  // Relabels the window after a language change, then refreshes the active
  // recorder settings page.
  void RefreshSettingsPages() override;
  bool CardReady() const override { return DriveReady; }
  // The status bar's own text (drive state, job results); hints shown while
  // the pointer rests on a control cover it only for that time.
  void SetStatusText(const QString &text);
  QString StatusText() const;

  void PageRedraw();
  // Card detection; the firmware page's results are taken on its ticks.
  void TimerCheckDriveTimer();

  TSecondThread *Worker() const { return worker_; }
  ProgramSettings &Settings() const;
  RecorderSettings &RecorderSetup() const;

  // The card state the pages share.
  bool DriveReady = false;
  int PollTicks = 0;
  int LastAppliedLanguage = -1;

  QTabWidget *PageControl1;
  RecordPage *TabSheet1;
  SettingsPage *TabSheet2;
  FirmwarePage *TabSheet5;
  UtilitiesPage *TabSheet6;

  QStatusBar *StatusBar;
  QLabel *StatusLabel;
  QTimer *TimerCheckDrive;

private:
  void CardAppeared();
  void CardGone();
  void RelabelWindow();
  // The window grows where the pages' texts need more room, never shrinks.
  void FitToPages();

  TSecondThread *worker_;
  ProgramSettings *settings_;
};

} // namespace orvo
