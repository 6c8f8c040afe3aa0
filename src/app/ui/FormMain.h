#pragma once

// The main window: the record page, the settings page with the program and
// recorder settings, the firmware page, the status bar and the two polling
// timers. The window never waits for a worker; it sets requests and polls.

#include "config/ui/SettingsHost.h"

#include <QMainWindow>
#include <QString>

#include <cstdint>

class QGroupBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QTimer;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace orvo {

class ProgramSettings;
class TSecondThread;
class TSetupForm;
class TFormAbout;
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

  void ButtonSetupClick();
  void PageRedraw();

  // Record page.
  void ButtonScanClick();
  void ButtonConvertClick();
  void TimerCommonTimer();
  void ButtonSetAllClick();
  void ButtonClearAllClick();
  void ButtonFilteringClick();
  void ButtonOpenFolderClick();
  void SpeedButtonInfoClick();
  void ButtonDeletingClick();
  void ListViewRecordColumnClick(int column);
  int ListViewRecordCompare(const QTreeWidgetItem *item1, const QTreeWidgetItem *item2) const;
  void FillRecordList();
  void PushChecks();
  void BeginScan();
  void EndScan();
  void BeginConvert();
  void EndConvert();

  // Card detection, preparation, formatting and the firmware page.
  void TimerCheckDriveTimer();
  void ButtonPrepareClick();
  void ButtonFormatClick();
  void ButtonFwRefreshClick();
  void ButtonFwCopyToCardClick();
  void ButtonFwCopyFromCardClick();

  // The dialogs this window shows; created after it (start-up order).
  TSetupForm *SetupForm = nullptr;
  TFormAbout *FormAbout = nullptr;
  QDialog *FormDeleting = nullptr;
  QDialog *FormFiltering = nullptr;

  TSecondThread *Worker() const { return worker_; }
  ProgramSettings &Settings() const;

  // State shared with the record, card and settings parts of the window.
  bool Scanning = false;
  bool Converting = false;
  bool DriveReady = false;
  int PollTicks = 0;
  std::int32_t SortColumn = -1;
  bool SortAscending = true;
  QString SavedCaption;
  int LastAppliedLanguage = -1;

  QTabWidget *PageControl1;
  QWidget *TabSheet1;
  QWidget *TabSheet2;
  QWidget *TabSheet5;
  QWidget *TabSheet6;

  QTreeWidget *ListViewRecord;
  QProgressBar *ProgressBar;
  QPushButton *ButtonScan;
  QPushButton *ButtonConvert;
  QPushButton *ButtonSetAll;
  QPushButton *ButtonClearAll;
  QPushButton *ButtonFiltering;
  QPushButton *ButtonDeleting;
  QPushButton *ButtonOpenFolder;
  QToolButton *SpeedButtonInfo;

  QGroupBox *GroupBoxPrepare;
  QPushButton *ButtonPrepare;
  QPushButton *ButtonFormat;
  QPushButton *ButtonClean;
  QGroupBox *GroupBoxProgramSettings;
  QPushButton *ButtonSetup;
  RecorderSettings *GroupBoxRecorderSetup;

  QLabel *LabelDataOnDisk;
  QLabel *LabelDataOnCard;
  QListWidget *ListBoxFirmwareOnDisk;
  QListWidget *ListBoxFirmwareOnCard;
  QPushButton *ButtonFwRefresh;
  QPushButton *ButtonFwCopyToCard;
  QPushButton *ButtonFwCopyFromCard;

  QStatusBar *StatusBar;
  QLabel *StatusLabel;
  QTimer *TimerCheckDrive;
  QTimer *TimerCommon;

private:
  void BuildRecordPage();
  void BuildSettingsPage();
  void BuildFirmwarePage();
  void BuildUtilitiesPage();
  void ConnectHandlers();
  void RelabelWindow();
  // The window grows where the pages' texts need more room, never shrinks.
  void FitToPages();

  TSecondThread *worker_;
  ProgramSettings *settings_;
};

} // namespace orvo
