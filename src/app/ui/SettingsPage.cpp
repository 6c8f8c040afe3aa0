#include "app/ui/SettingsPage.h"

#include "app/CardPreparation.h"
#include "app/ui/CardFormat.h"
#include "app/ui/FormFormatCard.h"
#include "app/ui/FormMain.h"
#include "app/ui/RecordPage.h"
#include "config/Cfg_mgr.h"
#include "config/ui/RecorderSettings.h"
#include "platform/FileSystem.h"
#include "platform/ui/MessageSeam.h"
#include "platform/ui/NamedWidget.h"
#include "settings/AddedTexts.h"
#include "settings/DriveFields.h"
#include "settings/ProgramSettings.h"
#include "settings/ui/Labels.h"
#include "settings/ui/SetupForm.h"

#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include <memory>

namespace orvo {

SettingsPage::SettingsPage(TFormMain &frame, QWidget *parent) : QWidget(parent), frame_(frame) {
  setObjectName("TabSheet2");
  // Made first: entering the page by the keyboard puts the focus here,
  // not on a command that writes the card.
  GroupBoxProgramSettings = MakeNamed<QGroupBox>(this, "GroupBoxProgramSettings");
  ButtonSetup = MakeNamed<QPushButton>(GroupBoxProgramSettings, "ButtonSetup");
  ButtonSetup->setFocusPolicy(Qt::TabFocus);
  ButtonSetup->setAutoDefault(false);
  auto *program = new QHBoxLayout(GroupBoxProgramSettings);
  program->addWidget(ButtonSetup);

  GroupBoxPrepare = MakeNamed<QGroupBox>(this, "GroupBoxPrepare");
  ButtonPrepare = MakeNamed<QPushButton>(GroupBoxPrepare, "ButtonPrepare");
  ButtonFormat = MakeNamed<QPushButton>(GroupBoxPrepare, "ButtonFormat");
  ButtonClean = MakeNamed<QPushButton>(GroupBoxPrepare, "ButtonClean");
  ButtonPrepare->setEnabled(false);
  ButtonFormat->setEnabled(false);
  // Kept for its texts only; it has no command.
  ButtonClean->setEnabled(false);
  ButtonClean->hide();
  // Neither takes the focus from a click, nor acts on Enter: both write the
  // card.
  for (QPushButton *b : {ButtonPrepare, ButtonFormat, ButtonClean}) {
    b->setFocusPolicy(Qt::TabFocus);
    b->setAutoDefault(false);
  }
  auto *prepare = new QHBoxLayout(GroupBoxPrepare);
  prepare->addWidget(ButtonPrepare);
  prepare->addWidget(ButtonFormat);
  prepare->addWidget(ButtonClean);

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
  SetAccessKeys({ButtonPrepare, ButtonFormat, ButtonSetup});
  GroupBoxRecorderSetup->Relabel();
}

void SettingsPage::ApplyCommands() {
  // ButtonClean carries no command and stays disabled.
  const JobState::Commands c = frame_.TabSheet1->State.Allowed();
  ButtonSetup->setEnabled(c.setup);
  ButtonFormat->setEnabled(c.card);
  ButtonPrepare->setEnabled(c.card);
}

void SettingsPage::CardAppeared() {
  ApplyCommands();
}

void SettingsPage::CardGone() {
  ApplyCommands();
}

void SettingsPage::SetJobRunning(bool) {
  ApplyCommands();
}

SettingsPage::~SettingsPage() {
  if (prepareThread_ != nullptr)
    prepareThread_->wait();
}

void SettingsPage::ButtonPrepareClick() {
  JobState &state = frame_.TabSheet1->State;
  if (prepareThread_ != nullptr || !state.Begin(JobState::Job::Prepare))
    return;
  // The configuration written onto the card includes what is being typed;
  // it is taken here, where the model lives, and only written there.
  GroupBoxRecorderSetup->CommitFocusedEdit();
  const ProgramSettings &s = frame_.Settings();
  auto result = std::make_shared<int>(MsgWriteError);
  prepareThread_ = QThread::create(
      [result, drive = s.DriveIndex, folder = s.InPath, language = s.Language,
       writeCfg = CardCfgTextWriter(CfgFileText())] {
        *result = PrepareCard(drive, folder, language, writeCfg);
      });
  connect(prepareThread_, &QThread::finished, this, [this, result] { PrepareDone(*result); });
  frame_.TabSheet1->ApplyCommands();
  ApplyCommands();
  prepareThread_->start();
  emit jobRunningChanged(true);
}

QString SettingsPage::MessageWithHint(int messageId) const {
  // A wrong file system says what is needed and how to get there.
  if (messageId != MsgIncorrectFileSystem)
    return Text(messageId);
  return Text(messageId) + "\n" +
         Text(txt::WrongFileSystemHint)
             .arg(QDir::toNativeSeparators(QString::fromStdString(frame_.Settings().InPath)));
}

void SettingsPage::PrepareDone(int messageId) {
  prepareThread_->deleteLater();
  prepareThread_ = nullptr;
  frame_.TabSheet1->State.End();
  frame_.TabSheet1->ApplyCommands();
  ApplyCommands();
  emit jobRunningChanged(false);
  frame_.ShowMainMessage(MessageWithHint(messageId),
                         messageId == MsgCardReady ? kMessageInformation : kMessageError);
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
  // Either way the card is empty now: the old list, configuration and
  // firmware go, and the card is read again.
  if (!r.mountPath.isEmpty()) {
    const std::string mounted = platform::WithSeparator(r.mountPath.toStdString());
    if (mounted != s.InPath)
      s.SetInPath(mounted);
    frame_.InputFolderChanged();
  }
  if (!r.text.isEmpty())
    frame_.ShowMainMessage(r.text, kMessageError);
  else if (r.messageId != 0)
    frame_.ShowMainMessage(MessageWithHint(r.messageId), kMessageError);
}

void SettingsPage::ButtonSetupClick() {
  const std::string before = frame_.Settings().InPath;
  if (SetupForm != nullptr)
    SetupForm->exec();
  frame_.RefreshSettingsPages();
  if (frame_.Settings().InPath != before)
    frame_.InputFolderChanged();
}

} // namespace orvo
