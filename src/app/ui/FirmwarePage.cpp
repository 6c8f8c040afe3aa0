#include "app/ui/FirmwarePage.h"

#include "app/Threadfirmware.h"
#include "settings/AddedTexts.h"
#include "settings/ui/Labels.h"
#include "platform/ui/NamedWidget.h"

#include <QDir>

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

#include <string>
#include <vector>

namespace orvo {

namespace {


QStringList ToQt(const std::vector<std::string> &items) {
  QStringList list;
  for (const std::string &s : items)
    list << QString::fromStdString(s);
  return list;
}

} // namespace

FirmwarePage::FirmwarePage(QWidget *parent) : QWidget(parent) {
  setObjectName("TabSheet5");
  LabelDataOnDisk = MakeNamed<QLabel>(this, "LabelDataOnDisk");
  LabelDataOnCard = MakeNamed<QLabel>(this, "LabelDataOnCard");
  ListBoxFirmwareOnDisk = MakeNamed<QListWidget>(this, "ListBoxFirmwareOnDisk");
  ListBoxFirmwareOnCard = MakeNamed<QListWidget>(this, "ListBoxFirmwareOnCard");
  ButtonFwRefresh = MakeNamed<QPushButton>(this, "ButtonFwRefresh");
  ButtonFwCopyToCard = MakeNamed<QPushButton>(this, "ButtonFwCopyToCard");
  ButtonFwCopyFromCard = MakeNamed<QPushButton>(this, "ButtonFwCopyFromCard");
  LabelDiskFolder = MakeNamed<QLabel>(this, "LabelDiskFolder");
  LabelCardFolder = MakeNamed<QLabel>(this, "LabelCardFolder");
  for (QLabel *label : {LabelDiskFolder, LabelCardFolder}) {
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setWordWrap(true);
  }
  for (QPushButton *b : {ButtonFwRefresh, ButtonFwCopyToCard, ButtonFwCopyFromCard}) {
    b->setFocusPolicy(Qt::TabFocus);
    b->setAutoDefault(false);
  }
  EnableButtons(false);

  auto *copy = new QVBoxLayout;
  copy->addStretch(1);
  copy->addWidget(ButtonFwCopyToCard);
  copy->addWidget(ButtonFwCopyFromCard);
  copy->addStretch(1);
  auto *grid = new QGridLayout(this);
  grid->addWidget(LabelDataOnDisk, 0, 0);
  grid->addWidget(LabelDataOnCard, 0, 2);
  grid->addWidget(ListBoxFirmwareOnDisk, 1, 0);
  grid->addLayout(copy, 1, 1);
  grid->addWidget(ListBoxFirmwareOnCard, 1, 2);
  grid->addWidget(LabelDiskFolder, 2, 0);
  grid->addWidget(LabelCardFolder, 2, 2);
  grid->addWidget(ButtonFwRefresh, 3, 0, Qt::AlignLeft);
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(2, 1);

  connect(ButtonFwRefresh, &QPushButton::clicked, this, &FirmwarePage::ButtonFwRefreshClick);
  connect(ButtonFwCopyToCard, &QPushButton::clicked, this, &FirmwarePage::ButtonFwCopyToCardClick);
  connect(ButtonFwCopyFromCard, &QPushButton::clicked, this,
          &FirmwarePage::ButtonFwCopyFromCardClick);
}

void FirmwarePage::Relabel() {
  LabelButton(ButtonFwRefresh, 266, 267);
  LabelButton(ButtonFwCopyToCard, 268, 269);
  LabelButton(ButtonFwCopyFromCard, 270, 271);
  SetAccessKeys({ButtonFwRefresh});
  LabelLabel(LabelDataOnDisk, 264, true);
  LabelLabel(LabelDataOnCard, 265, true);
  ShowFolders();
}

void FirmwarePage::ShowFolders() {
  const TThreadFirmware *fw = FirmwareThread();
  const QString disk = fw ? QDir::toNativeSeparators(QString::fromStdString(fw->GetDiskFolder()))
                          : QString();
  LabelDiskFolder->setText(disk.isEmpty() ? QString() : Text(txt::FirmwareDiskFolder).arg(disk));
  LabelCardFolder->setText(cardFolder_.isEmpty() ? QString()
                                                 : Text(txt::FirmwareCardFolder).arg(cardFolder_));
}

void FirmwarePage::EnableButtons(bool enable) {
  for (QPushButton *b : {ButtonFwRefresh, ButtonFwCopyToCard, ButtonFwCopyFromCard})
    b->setEnabled(enable);
}

void FirmwarePage::CardAppeared(const QString &cardFolder) {
  cardFolder_ = QDir::toNativeSeparators(cardFolder);
  ShowFolders();
  if (TThreadFirmware *fw = FirmwareThread()) {
    fw->CardPresent = true;
    fw->RequestRefresh();
  }
}

void FirmwarePage::CardGone() {
  EnableButtons(false);
  cardFolder_.clear();
  ShowFolders();
  if (TThreadFirmware *fw = FirmwareThread())
    fw->CardPresent = false;
  ListBoxFirmwareOnDisk->clear();
  ListBoxFirmwareOnCard->clear();
}

void FirmwarePage::TakeFirmwareResults() {
  TThreadFirmware *fw = FirmwareThread();
  if (fw == nullptr || !fw->TakeResults())
    return;
  ListBoxFirmwareOnDisk->clear();
  ListBoxFirmwareOnDisk->addItems(ToQt(fw->GetDiskVersions()));
  ListBoxFirmwareOnCard->clear();
  ListBoxFirmwareOnCard->addItems(ToQt(fw->GetCardVersions()));
  const bool onDisk = ListBoxFirmwareOnDisk->count() > 0;
  if (onDisk)
    ListBoxFirmwareOnDisk->setCurrentRow(0);
  ButtonFwRefresh->setEnabled(true);
  ButtonFwCopyToCard->setEnabled(onDisk);
  ButtonFwCopyFromCard->setEnabled(ListBoxFirmwareOnCard->count() > 0);
}

void FirmwarePage::ButtonFwRefreshClick() {
  EnableButtons(false);
  if (TThreadFirmware *fw = FirmwareThread())
    fw->RequestRefresh();
}

void FirmwarePage::ButtonFwCopyToCardClick() {
  int first = -1;
  for (const QListWidgetItem *item : ListBoxFirmwareOnDisk->selectedItems()) {
    const int row = ListBoxFirmwareOnDisk->row(item);
    if (first < 0 || row < first)
      first = row;
  }
  if (ListBoxFirmwareOnDisk->count() == 0 || first < 0)
    return;
  EnableButtons(false);
  if (TThreadFirmware *fw = FirmwareThread())
    fw->RequestCopyToCard(first);
}

void FirmwarePage::ButtonFwCopyFromCardClick() {
  if (ListBoxFirmwareOnCard->count() == 0)
    return;
  EnableButtons(false);
  if (TThreadFirmware *fw = FirmwareThread())
    fw->RequestCopyFromCard(0);
}

} // namespace orvo
