#include "app/ui/SettingsPage.h"

#include "app/CardPreparation.h"
#include "app/ui/CardFormat.h"
#include "app/ui/FormFormatCard.h"
#include "app/ui/FormMain.h"
#include "config/ui/RecorderSettings.h"
#include "platform/FileSystem.h"
#include "platform/ui/MessageSeam.h"
#include "settings/DriveFields.h"
#include "settings/ProgramSettings.h"
#include "settings/ui/Labels.h"
#include "settings/ui/SetupForm.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvo {

namespace {

template <typename T> T *Make(QWidget *parent, const char *name) {
  T *widget = new T(parent);
  widget->setObjectName(name);
  return widget;
}

} // namespace

SettingsPage::SettingsPage(TFormMain &frame, QWidget *parent) : QWidget(parent), frame_(frame) {
  setObjectName("TabSheet2");
  GroupBoxPrepare = Make<QGroupBox>(this, "GroupBoxPrepare");
  ButtonPrepare = Make<QPushButton>(GroupBoxPrepare, "ButtonPrepare");
  ButtonFormat = Make<QPushButton>(GroupBoxPrepare, "ButtonFormat");
  ButtonClean = Make<QPushButton>(GroupBoxPrepare, "ButtonClean");
  ButtonPrepare->setEnabled(false);
  ButtonFormat->setEnabled(false);
  // Kept for its texts only; it has no command.
  ButtonClean->setEnabled(false);
  ButtonClean->hide();
  auto *prepare = new QHBoxLayout(GroupBoxPrepare);
  prepare->addWidget(ButtonPrepare);
  prepare->addWidget(ButtonFormat);
  prepare->addWidget(ButtonClean);

  GroupBoxProgramSettings = Make<QGroupBox>(this, "GroupBoxProgramSettings");
  ButtonSetup = Make<QPushButton>(GroupBoxProgramSettings, "ButtonSetup");
  auto *program = new QHBoxLayout(GroupBoxProgramSettings);
  program->addWidget(ButtonSetup);

  GroupBoxRecorderSetup = new RecorderSettings(frame_, this);

  auto *top = new QHBoxLayout;
  top->addWidget(GroupBoxPrepare);
  top->addWidget(GroupBoxProgramSettings);
  top->addStretch(1);
  auto *page = new QVBoxLayout(this);
  page->addLayout(top);
  page->addWidget(GroupBoxRecorderSetup, 1);

  connect(ButtonPrepare, &QPushButton::clicked, this, &SettingsPage::ButtonPrepareClick);
  connect(ButtonFormat, &QPushButton::clicked, this, &SettingsPage::ButtonFormatClick);
  connect(ButtonSetup, &QPushButton::clicked, this, &SettingsPage::ButtonSetupClick);
}

void SettingsPage::Relabel() {
  LabelGroupBox(GroupBoxProgramSettings, 44);
  LabelGroupBox(GroupBoxPrepare, 47);
  LabelButton(ButtonSetup, 45, 46);
  LabelButton(ButtonFormat, 48, 49);
  LabelButton(ButtonPrepare, 50, 51);
  LabelButton(ButtonClean, 52, 53);
  GroupBoxRecorderSetup->Relabel();
}

void SettingsPage::CardAppeared() {
  // ButtonClean carries no command and stays disabled.
  ButtonFormat->setEnabled(true);
  ButtonPrepare->setEnabled(true);
}

void SettingsPage::CardGone() {
  for (QPushButton *b : {ButtonFormat, ButtonPrepare, ButtonClean})
    b->setEnabled(false);
}

void SettingsPage::SetJobRunning(bool running) {
  if (running) {
    for (QPushButton *b : {ButtonSetup, ButtonFormat, ButtonPrepare, ButtonClean})
      b->setEnabled(false);
    return;
  }
  ButtonSetup->setEnabled(true);
  // A card pulled out during the job keeps its commands disabled.
  if (frame_.DriveReady) {
    ButtonFormat->setEnabled(true);
    ButtonPrepare->setEnabled(true);
  }
}

void SettingsPage::ButtonPrepareClick() {
  const int id = PrepareCard(frame_.Settings(), WriteCardCfgFile);
  frame_.ShowMainMessage(id, id == MsgCardReady ? kMessageInformation : kMessageError);
}

void SettingsPage::ButtonFormatClick() {
  ProgramSettings &s = frame_.Settings();
  // Asked now rather than when the folder was chosen: the card may have been
  // mounted there only since.
  const DriveFields drive = DeriveDriveFields(s.InPath);
  UDisksClient client;
  const FormatCommandResult r =
      RunFormatCommand(drive.InPathIsDriveRoot, drive.DriveIndex, QString::fromStdString(s.InPath),
                       client, [this](const CardVolume &volume, QString &label) {
                         return TFormFormatCard::Confirm(&frame_, volume, label);
                       });
  // A new label gives the card a new mount point; the input folder follows.
  if (!r.mountPath.isEmpty()) {
    const std::string mounted = platform::WithSeparator(r.mountPath.toStdString());
    if (mounted != s.InPath)
      s.SetInPath(mounted);
  }
  if (!r.text.isEmpty())
    frame_.ShowMainMessage(r.text, kMessageError);
  else if (r.messageId != 0)
    frame_.ShowMainMessage(r.messageId, kMessageError);
}

void SettingsPage::ButtonSetupClick() {
  if (SetupForm != nullptr)
    SetupForm->exec();
  frame_.RefreshSettingsPages();
}

} // namespace orvo
