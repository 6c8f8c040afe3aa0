// Card detection, preparation, formatting and the firmware page of the main
// window. The drive polling only polls: it never waits for a worker.
#include "app/CardPreparation.h"
#include "app/CardWatch.h"
#include "app/Threadfirmware.h"
#include "app/ui/CardFormat.h"
#include "app/ui/FormFormatCard.h"
#include "app/ui/FormMain.h"
#include "config/ui/RecorderSettings.h"
#include "platform/FileSystem.h"
#include "platform/ui/MessageSeam.h"
#include "settings/DriveFields.h"
#include "settings/ProgramSettings.h"
#include "settings/ui/Labels.h"

#include <QListWidget>
#include <QPushButton>
#include <QStringList>
#include <QTreeWidget>

namespace orvo {

namespace {

QStringList ToQt(const std::vector<std::string> &items) {
  QStringList list;
  for (const std::string &s : items)
    list << QString::fromStdString(s);
  return list;
}

void EnableFirmwareButtons(TFormMain &w, bool enable) {
  for (QPushButton *b : {w.ButtonFwRefresh, w.ButtonFwCopyToCard, w.ButtonFwCopyFromCard})
    b->setEnabled(enable);
}

void CardAppeared(TFormMain &w, ProgramSettings &s) {
  // ButtonClean carries no command and stays disabled.
  for (QPushButton *b : {w.ButtonFormat, w.ButtonPrepare, w.ButtonScan, w.ButtonFiltering})
    b->setEnabled(true);
  w.GroupBoxRecorderSetup->CardAppeared();
  w.SetStatusText(Text(MsgDriveReady));
  w.GroupBoxRecorderSetup->ReadCardConfiguration(s.InPath);
  if (TThreadFirmware *fw = FirmwareThread()) {
    fw->CardPresent = true;
    fw->RequestRefresh();
  }
  if (s.AutoScan)
    w.BeginScan();
}

void CardGone(TFormMain &w) {
  for (QPushButton *b :
       {w.ButtonFormat, w.ButtonPrepare, w.ButtonClean, w.ButtonScan, w.ButtonConvert,
        w.ButtonDeleting, w.ButtonSetAll, w.ButtonClearAll, w.ButtonFiltering})
    b->setEnabled(false);
  w.GroupBoxRecorderSetup->CardGone();
  EnableFirmwareButtons(w, false);
  w.ListViewRecord->clear();
  if (TThreadFirmware *fw = FirmwareThread())
    fw->CardPresent = false;
  w.ListBoxFirmwareOnDisk->clear();
  w.ListBoxFirmwareOnCard->clear();
  w.SetStatusText(Text(MsgDriveNotReady));
}

void ShowFirmwareResults(TFormMain &w, const TThreadFirmware &fw) {
  w.ListBoxFirmwareOnDisk->clear();
  w.ListBoxFirmwareOnDisk->addItems(ToQt(fw.GetDiskVersions()));
  w.ListBoxFirmwareOnCard->clear();
  w.ListBoxFirmwareOnCard->addItems(ToQt(fw.GetCardVersions()));
  const bool onDisk = w.ListBoxFirmwareOnDisk->count() > 0;
  if (onDisk)
    w.ListBoxFirmwareOnDisk->setCurrentRow(0);
  w.ButtonFwRefresh->setEnabled(true);
  w.ButtonFwCopyToCard->setEnabled(onDisk);
  w.ButtonFwCopyFromCard->setEnabled(w.ListBoxFirmwareOnCard->count() > 0);
}

} // namespace

void TFormMain::TimerCheckDriveTimer() {
  ProgramSettings &s = Settings();
  const DriveChange change =
      PollDrive(DriveReady, PollTicks, [&s] { return IsDriveReady(s.DriveIndex, s.InPath); });
  if (change == DriveChange::Appeared)
    CardAppeared(*this, s);
  else if (change == DriveChange::Gone)
    CardGone(*this);
  if (change != DriveChange::None) {
    // Rebinding is not a user's edit: no message may come out of it.
    GroupBoxRecorderSetup->RefreshInProgress = true;
    RefreshSettingsPages();
    GroupBoxRecorderSetup->RefreshInProgress = false;
  }
  TThreadFirmware *fw = FirmwareThread();
  if (DriveReady && fw != nullptr && fw->TakeResults())
    ShowFirmwareResults(*this, *fw);
}

void TFormMain::ButtonPrepareClick() {
  const int id = PrepareCard(Settings(), WriteCardCfgFile);
  ShowMainMessage(id, id == MsgCardReady ? kMessageInformation : kMessageError);
}

void TFormMain::ButtonFormatClick() {
  ProgramSettings &s = Settings();
  // Asked now rather than when the folder was chosen: the card may have been
  // mounted there only since.
  const DriveFields drive = DeriveDriveFields(s.InPath);
  UDisksClient client;
  const FormatCommandResult r =
      RunFormatCommand(drive.InPathIsDriveRoot, drive.DriveIndex, QString::fromStdString(s.InPath),
                       client, [this](const CardVolume &volume, QString &label) {
                         return TFormFormatCard::Confirm(this, volume, label);
                       });
  // A new label gives the card a new mount point; the input folder follows.
  if (!r.mountPath.isEmpty()) {
    const std::string mounted = platform::WithSeparator(r.mountPath.toStdString());
    if (mounted != s.InPath)
      s.SetInPath(mounted);
  }
  if (!r.text.isEmpty())
    ShowMainMessage(r.text, kMessageError);
  else if (r.messageId != 0)
    ShowMainMessage(r.messageId, kMessageError);
}

void TFormMain::ButtonFwRefreshClick() {
  EnableFirmwareButtons(*this, false);
  if (TThreadFirmware *fw = FirmwareThread())
    fw->RequestRefresh();
}

void TFormMain::ButtonFwCopyToCardClick() {
  int first = -1;
  for (const QListWidgetItem *item : ListBoxFirmwareOnDisk->selectedItems()) {
    const int row = ListBoxFirmwareOnDisk->row(item);
    if (first < 0 || row < first)
      first = row;
  }
  if (ListBoxFirmwareOnDisk->count() == 0 || first < 0)
    return;
  EnableFirmwareButtons(*this, false);
  if (TThreadFirmware *fw = FirmwareThread())
    fw->RequestCopyToCard(first);
}

void TFormMain::ButtonFwCopyFromCardClick() {
  if (ListBoxFirmwareOnCard->count() == 0)
    return;
  EnableFirmwareButtons(*this, false);
  if (TThreadFirmware *fw = FirmwareThread())
    fw->RequestCopyFromCard(0);
}

} // namespace orvo
