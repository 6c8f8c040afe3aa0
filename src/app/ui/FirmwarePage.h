#pragma once

// The firmware page of the main window: the firmware versions in the
// program's folder and on the card, copied either way by the firmware
// thread. Its results are taken on the drive polling's ticks.

#include <QString>
#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;

namespace orvo {

class FirmwarePage : public QWidget {
  Q_OBJECT
public:
  explicit FirmwarePage(QWidget *parent);

  void Relabel();
  // The card came or went: the firmware thread is told, and going empties
  // both lists.
  void CardAppeared(const QString &cardFolder = QString());
  void CardGone();
  // Shows the firmware thread's listing when it has a new one.
  void TakeFirmwareResults();

  void ButtonFwRefreshClick();
  void ButtonFwCopyToCardClick();
  void ButtonFwCopyFromCardClick();

  QLabel *LabelDataOnDisk;
  QLabel *LabelDataOnCard;
  QListWidget *ListBoxFirmwareOnDisk;
  QListWidget *ListBoxFirmwareOnCard;
  QPushButton *ButtonFwRefresh;
  QPushButton *ButtonFwCopyToCard;
  QPushButton *ButtonFwCopyFromCard;
  // The folders the two lists are of.
  QLabel *LabelDiskFolder;
  QLabel *LabelCardFolder;

private:
  void ShowFolders();
  QString cardFolder_;
  void EnableButtons(bool enable);
};

} // namespace orvo
