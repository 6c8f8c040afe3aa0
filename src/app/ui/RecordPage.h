#pragma once

// The record page of the main window: the record list, the scan and convert
// commands with their progress, the filter and the deletion. Jobs run on the
// storage worker; the page sets requests and polls on TimerCommon.

#include <QString>
#include <QWidget>

#include <cstdint>

class QDialog;
class QProgressBar;
class QPushButton;
class QTimer;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace orvo {

class TFormMain;
class TFormAbout;

class RecordPage : public QWidget {
  Q_OBJECT
public:
  RecordPage(TFormMain &frame, QWidget *parent);

  // The texts of the page; the list is refilled so that its cells follow
  // the language.
  void Relabel();
  // The card came or went. Going empties the list.
  void CardAppeared();
  void CardGone();

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

  bool Scanning = false;
  bool Converting = false;
  std::int32_t SortColumn = -1;
  bool SortAscending = true;
  QString SavedCaption;

  // The dialogs the page shows; created after the window (start-up order).
  TFormAbout *FormAbout = nullptr;
  QDialog *FormDeleting = nullptr;
  QDialog *FormFiltering = nullptr;

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
  QTimer *TimerCommon;

signals:
  // A scan or conversion started (true) or ended: the commands of the other
  // pages that would disturb it follow.
  void jobRunningChanged(bool running);

private:
  TFormMain &frame_;
};

} // namespace orvo
