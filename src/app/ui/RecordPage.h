#pragma once

// The record page of the main window: the record list, the scan and convert
// commands with their progress, the filter and the deletion. Jobs run on the
// storage worker; the page sets requests and polls on TimerCommon. Which
// command may run is JobState's to say.

#include "app/JobState.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <cstdint>

class QDialog;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class QToolButton;

namespace orvo {

class TFormMain;
class TFormAbout;
class RecordListView;
class RecordTableModel;

class RecordPage : public QWidget {
  Q_OBJECT
public:
  RecordPage(TFormMain &frame, QWidget *parent);

  // The texts of the page; the list's cells follow the language.
  void Relabel();
  // The card came or went. Going empties the list; coming back during a job
  // changes nothing until the job has ended.
  void CardAppeared();
  void CardGone();
  // The input folder is another one now: the list of the old one goes, and
  // the record commands wait for a scan of the new one.
  void InputFolderChanged();

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
  // Plays the record of the row from the card.
  void OpenRecord(int row);
  // Lists the records of the last scan that pass the filter, sorted.
  void FillRecordList();
  void PushChecks();
  // False, leaving the window as it was, when a job runs or the worker
  // refuses.
  bool BeginScan();
  void EndScan();
  bool BeginConvert();
  void EndConvert();
  // Asks the running job to stop (closing the window).
  void CancelJob();

  bool Scanning() const { return State.Running() == JobState::Job::Scan; }
  bool Converting() const { return State.Running() == JobState::Job::Convert; }
  bool JobRunning() const { return State.Busy(); }

  JobState State;
  // Enables the commands the job state allows (also after another page's
  // job began or ended), and tells the status bar which job runs.
  void ApplyCommands();
  // Sorted by date (and time) until a header says otherwise.
  std::int32_t SortColumn = 0;
  bool SortAscending = true;
  QString SavedCaption;

  // The dialogs the page shows; created after the window (start-up order).
  TFormAbout *FormAbout = nullptr;
  QDialog *FormDeleting = nullptr;
  QDialog *FormFiltering = nullptr;

  RecordListView *ListViewRecord;
  RecordTableModel *RecordModel;
  QProgressBar *ProgressBar;
  QLabel *LabelProgress;
  QPushButton *ButtonScan;
  QPushButton *ButtonConvert;
  QPushButton *ButtonSetAll;
  QPushButton *ButtonClearAll;
  QPushButton *ButtonFiltering;
  QPushButton *ButtonDeleting;
  QPushButton *ButtonOpenFolder;
  QToolButton *SpeedButtonInfo;
  QTimer *TimerCommon;

protected:
  void changeEvent(QEvent *event) override;

signals:
  // A job started (true) or ended: the commands of the other pages that
  // would disturb it follow.
  void jobRunningChanged(bool running);

private:
  void DropListIfCardGone();
  // What was found and what the filter shows of it, for the status bar.
  void ReportCounts();
  void ShowConversionProgress();
  void ShowOutcomes();

public:
  // Widths remembered from the settings (or set by hand) are kept where they
  // show the column's content whole; elsewhere the column is fitted. Done
  // again at every change of language or locale.
  void RememberColumnWidths(const QList<int> &widths);

private:
  void FitColumns();
  // The header shows the sort column and its direction.
  void ShowSortIndicator();

  TFormMain &frame_;
  std::uint32_t catalogCount_ = 0;
  // The list holds a scan's result (possibly empty), not nothing.
  bool scanned_ = false;
  int toConvert_ = 0;
  int convertedCount_ = 0;
  int failedCount_ = 0;
  // Records the last conversion left unconverted, with their first reason.
  QStringList pendingSummary_;
  QElapsedTimer convertClock_;
  QList<int> rememberedWidths_;
  bool fitting_ = false;
};

} // namespace orvo
