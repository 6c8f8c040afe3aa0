#include "config/ui/RecorderSettings.h"

#include "config/Cfg_mgr.h"
#include "config/PageEdits.h"
#include "config/ui/AdapterSetupPage.h"
#include "config/ui/AudioSetupPage.h"
#include "config/ui/AutostartSetupPage.h"
#include "config/ui/Binders.h"
#include "config/ui/FormSetupCam.h"
#include "config/ui/FormSetupVin.h"
#include "config/ui/MiscSetupPage.h"
#include "config/ui/RecordSetupPage.h"
#include "config/ui/RoiEditor.h"
#include "config/ui/SettingsHost.h"
#include "config/ui/SettingsTextIds.h"
#include "config/ui/TimeSetupPage.h"
#include "config/ui/VideoSetupPage.h"
#include "platform/ui/MessageSeam.h"
#include "settings/Stringcode.h"
#include "settings/ui/Labels.h"
#include "platform/ui/NamedWidget.h"

#include <QCheckBox>
#include <QFile>
#include <QApplication>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace orvo {

namespace {

namespace txt = settings_text;

constexpr QSize kImageSize(kRoiPictureWidth, kRoiPictureHeight);

QString AskCfgFile(QWidget *owner, bool save, const QString &folder) {
  QFileDialog dialog(owner);
  if (!folder.isEmpty())
    dialog.setDirectory(folder);
  dialog.setObjectName(save ? QStringLiteral("SaveDialog1") : QStringLiteral("OpenDialog1"));
  dialog.setNameFilter(QString::fromLatin1(kCfgFileFilter));
  dialog.setDefaultSuffix(QString::fromLatin1(kCfgDefaultSuffix));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return QString();
  return dialog.selectedFiles().constFirst();
}

} // namespace

RecorderSettings::RecorderSettings(SettingsHost &host, QWidget *parent)
    : QGroupBox(parent), host_(host) {
  setObjectName(QStringLiteral("GroupBoxRecorderSetup"));
  PageControlRecorderSetup = MakeNamed<QTabWidget>(this, "PageControlRecorderSetup");
  PageControlRecorderSetup->setUsesScrollButtons(false);
  PageControlRecorderSetup->setElideMode(Qt::ElideNone);

  PanelCfg = MakeNamed<QFrame>(this, "PanelCfg");
  PanelCfg->setFrameShape(QFrame::StyledPanel);
  PanelCfg->setFrameShadow(QFrame::Sunken);
  ImageCfg = MakeNamed<QLabel>(PanelCfg, "ImageCfg");
  ImageCfg->setFixedSize(kImageSize);
  ImageCfg->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  AreaEditor = new RoiEditor(*this, ImageCfg);
  auto *panel = new QVBoxLayout(PanelCfg);
  panel->setContentsMargins(1, 1, 1, 1);
  panel->addWidget(ImageCfg);

  ButtonResetSettings = MakeNamed<QPushButton>(this, "ButtonResetSettings");
  ButtonCfgRead = MakeNamed<QPushButton>(this, "ButtonCfgRead");
  ButtonCfgSave = MakeNamed<QPushButton>(this, "ButtonCfgSave");
  for (QPushButton *b : {ButtonResetSettings, ButtonCfgRead, ButtonCfgSave}) {
    b->setEnabled(false);
    b->setFocusPolicy(Qt::TabFocus);
    b->setAutoDefault(false);
  }

  // The pages' controls follow the buttons in the order Tab moves the focus.
  QTabWidget *pages = PageControlRecorderSetup;
  TabSheetRecord = new RecordSetupPage(*this, pages);
  TabSheetAutostart = new AutostartSetupPage(*this, pages);
  TabSheetVideo = new VideoSetupPage(*this, pages);
  TabSheetAudio = new AudioSetupPage(*this, pages);
  TabSheetTime = new TimeSetupPage(*this, pages);
  TabSheetAdapter = new AdapterSetupPage(*this, pages);
  TabSheetMisc = new MiscSetupPage(*this, pages);
  for (QWidget *page :
       std::initializer_list<QWidget *>{TabSheetRecord, TabSheetAutostart, TabSheetVideo,
                                        TabSheetAudio, TabSheetTime, TabSheetAdapter, TabSheetMisc})
    pages->addTab(page, QString());

  auto *cfgButtons = new QHBoxLayout;
  cfgButtons->addWidget(ButtonResetSettings);
  cfgButtons->addWidget(ButtonCfgRead);
  cfgButtons->addWidget(ButtonCfgSave);
  auto *pictureColumn = new QVBoxLayout;
  pictureColumn->addWidget(PanelCfg, 0, Qt::AlignTop);
  pictureColumn->addLayout(cfgButtons);
  pictureColumn->addStretch(1);
  auto *recorder = new QHBoxLayout(this);
  recorder->addWidget(PageControlRecorderSetup, 1);
  recorder->addLayout(pictureColumn);

  connect(TabSheetAudio->CheckBoxAudioAGC, &QCheckBox::toggled, this,
          [this] { CheckBoxAudioAGCChange(); });
  connect(TabSheetAutostart->CheckBoxVASOn, &QCheckBox::toggled, this,
          [this] { CheckBoxVASOnChange(); });
  connect(ButtonResetSettings, &QPushButton::clicked, this,
          &RecorderSettings::ButtonResetSettingsClick);
  connect(ButtonCfgRead, &QPushButton::clicked, this, &RecorderSettings::ButtonCfgReadClick);
  connect(ButtonCfgSave, &QPushButton::clicked, this, &RecorderSettings::ButtonCfgSaveClick);

  // The page tabs take the focus when clicked, so that an edit commits
  // before the page is rebound.
  PageControlRecorderSetup->tabBar()->setFocusPolicy(Qt::StrongFocus);

  ChooseCfgFile = [this](bool save) {
    return AskCfgFile(window(), save, QString::fromStdString(host_.CardFolder()));
  };
  AreaEditor->DrawSettingsPicture(0, nullptr);
}

RecorderSettings::~RecorderSettings() {
  // The picture outlives this object's own part; no mouse event may reach
  // the editor then.
  ImageCfg->removeEventFilter(AreaEditor);
}

void RecorderSettings::Relabel() {
  LabelPages(PageControlRecorderSetup, {55, 56, 57, 58, 14, 249, 59});
  LabelGroupBox(this, 54);
  LabelButton(ButtonResetSettings, 157, 158);
  LabelButton(ButtonCfgRead, 159, 160);
  LabelButton(ButtonCfgSave, 161, 162);
}

void RecorderSettings::CreateAdvancedDialogs() {
  if (!FormSetupCam)
    FormSetupCam = new TFormSetupCam(window());
  if (!FormSetupVin)
    FormSetupVin = new TFormSetupVin(window());
}

QWidget *RecorderSettings::CurrentSettingsPage() const {
  return PageControlRecorderSetup->currentWidget();
}

void RecorderSettings::BindAllPages(bool enable) {
  TabSheetRecord->Bind(enable);
  TabSheetAutostart->Bind(enable);
  TabSheetAutostart->BindAreaControls(enable);
  TabSheetVideo->Bind(enable);
  TabSheetAudio->Bind(enable);
  TabSheetTime->Bind(enable);
  TabSheetAdapter->Bind(enable);
  TabSheetMisc->Bind(enable);
}

bool RecorderSettings::RefreshActiveSettingsPage() {
  const bool enable = host_.CardReady();
  bool relabelled = false;
  if (CurrentLanguage() != pagesLanguage_) {
    // Every page gets the texts of the new language now, so that the window
    // is sized for all of them and no page shows the last language's texts.
    pagesLanguage_ = CurrentLanguage();
    BindAllPages(enable);
    relabelled = true;
  }
  QWidget *page = CurrentSettingsPage();
  const int tag = HasControlTag(page) ? ControlTag(page) : -1;
  switch (tag) {
  case kPageRecord:
    TabSheetRecord->Bind(enable);
    break;
  case kPageAutostart:
    TabSheetAudio->Bind(enable);
    TabSheetAutostart->Bind(enable);
    TabSheetAutostart->BindAreaControls(enable);
    AreaEditor->CollectRoiPicture();
    break;
  case kPageVideo:
    TabSheetVideo->Bind(enable);
    break;
  case kPageAudio:
    TabSheetAudio->Bind(enable);
    TabSheetAutostart->Bind(enable);
    break;
  case kPageTime:
    TabSheetTime->Bind(enable);
    break;
  case kPageAdapter:
    TabSheetAdapter->Bind(enable);
    break;
  case kPageMisc:
    TabSheetMisc->Bind(enable);
    break;
  default:
    break;
  }
  if (tag != kPageAutostart)
    AreaEditor->DrawSettingsPicture(0, nullptr);
  return relabelled;
}

void RecorderSettings::CardAppeared() {
  for (QPushButton *b : {ButtonResetSettings, ButtonCfgRead, ButtonCfgSave})
    b->setEnabled(true);
}

void RecorderSettings::CardGone() {
  for (QPushButton *b : {ButtonResetSettings, ButtonCfgRead, ButtonCfgSave})
    b->setEnabled(false);
}

void RecorderSettings::SourceIndexFromConfiguration() {
  SourceIndex = SourceIndexOfVSource(GetField(kFieldVSource));
}

void RecorderSettings::ApplyCardConfiguration(const std::string &text) {
  // Whether the card holds a configuration file or not, the pages show the
  // working set afterwards, with the video source the card names.
  ApplyCfgText(text);
  SourceIndexFromConfiguration();
}

void RecorderSettings::CheckBoxAudioAGCChange() {
  if (agcChanging_)
    return;
  agcChanging_ = true;
  QCheckBox *agc = TabSheetAudio->CheckBoxAudioAGC;
  QCheckBox *vas = TabSheetAutostart->CheckBoxVASOn;
  if (!agc->isChecked() && vas->isChecked()) {
    if (host_.ShowMainMessage(txt::AskVasOff, kMessageAskWarning) == kAnswerYes) {
      TabSheetAudio->CheckBoxChange(agc);
      vas->setChecked(false); // its handler commits VAS off
    } else {
      agc->setChecked(true);
    }
  }
  TabSheetAudio->CheckBoxChange(agc);
  agcChanging_ = false;
}

void RecorderSettings::CheckBoxVASOnChange() {
  if (vasChanging_)
    return;
  vasChanging_ = true;
  QCheckBox *agc = TabSheetAudio->CheckBoxAudioAGC;
  QCheckBox *vas = TabSheetAutostart->CheckBoxVASOn;
  if (!agc->isChecked() && vas->isChecked()) {
    if (host_.ShowMainMessage(txt::AskAgcOn, kMessageAskWarning) == kAnswerYes) {
      TabSheetAutostart->CheckBoxChange(vas);
      agc->setChecked(true); // its handler commits AGC on
    } else {
      vas->setChecked(false);
    }
  }
  TabSheetAutostart->CheckBoxChange(vas);
  vasChanging_ = false;
}

void RecorderSettings::ButtonResetSettingsClick() {
  CommitFocusedEdit();
  if (host_.ShowMainMessage(txt::AskRestoreDefaults, kMessageAskDestructive) != kAnswerYes)
    return;
  ResetToDefaults();
  SourceIndexFromConfiguration();
  host_.RefreshSettingsPages();
}

void RecorderSettings::CommitFocusedEdit() {
  // A button does not take the focus from a click, so an edit being typed
  // in would commit only later: leaving it commits it now, and the focus
  // goes back.
  QWidget *focused = QApplication::focusWidget();
  if (focused == nullptr || !isAncestorOf(focused))
    return;
  focused->clearFocus();
  if (focused->isEnabled() && focused->isVisible())
    focused->setFocus(Qt::OtherFocusReason);
}

void RecorderSettings::ButtonCfgReadClick() {
  const QString name = ChooseCfgFile ? ChooseCfgFile(false) : QString();
  if (name.isEmpty())
    return;
  const bool read = ReadCfgFile(QFile::encodeName(name).toStdString(), false);
  SourceIndexFromConfiguration();
  host_.RefreshSettingsPages();
  if (!read)
    host_.ShowMainMessage(txt::FileReadError, kMessageError);
}

void RecorderSettings::ButtonCfgSaveClick() {
  CommitFocusedEdit();
  const QString name = ChooseCfgFile ? ChooseCfgFile(true) : QString();
  if (name.isEmpty())
    return;
  if (!WriteCfgFile(QFile::encodeName(name).toStdString(), false))
    host_.ShowMainMessage(txt::WriteError, kMessageError);
}

} // namespace orvo
