#include "settings/ui/SetupForm.h"

#include "platform/ui/MessageSeam.h"
#include "platform/ui/ScreenFit.h"
#include "settings/AddedTexts.h"
#include "settings/Folders.h"
#include "settings/ProgramSettings.h"
#include "settings/Stringcode.h"
#include "settings/ui/Labels.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace orvo {

namespace {
constexpr unsigned kLimitMiB = MaxFileLengthLimit >> 20;
}

unsigned ParseFileLimitMiB(const QString &text) {
  const std::string s = text.toStdString();
  std::size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
    ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+'))
    negative = s[i++] == '-';
  unsigned long long number = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    number = number * 10 + static_cast<unsigned>(s[i] - '0');
    if (number >= kLimitMiB)
      number = kLimitMiB; // keeps long digit runs from overflowing
  }
  if (negative && number != 0)
    return kLimitMiB;
  return number >= kLimitMiB ? kLimitMiB : static_cast<unsigned>(number);
}

TSetupForm::TSetupForm(QWidget *parent, ProgramSettings *settings)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      settings_(settings) {
  KeepOnScreen(this);
  setObjectName("SetupForm");
  setModal(true);

  FolderSelectGroupBox = new QGroupBox(this);
  FolderSelectGroupBox->setObjectName("FolderSelectGroupBox");
  InFolderLabel = new QLabel(FolderSelectGroupBox);
  InFolderLabel->setObjectName("InFolderLabel");
  InFolderEdit = new QLineEdit(FolderSelectGroupBox);
  InFolderEdit->setObjectName("InFolderEdit");
  InFolderButton = new QPushButton(FolderSelectGroupBox);
  InFolderButton->setObjectName("InFolderButton");
  OutFolderLabel = new QLabel(FolderSelectGroupBox);
  OutFolderLabel->setObjectName("OutFolderLabel");
  OutFolderEdit = new QLineEdit(FolderSelectGroupBox);
  OutFolderEdit->setObjectName("OutFolderEdit");
  OutFolderButton = new QPushButton(FolderSelectGroupBox);
  OutFolderButton->setObjectName("OutFolderButton");
  auto *folders = new QGridLayout(FolderSelectGroupBox);
  folders->addWidget(InFolderLabel, 0, 0, 1, 2);
  folders->addWidget(InFolderEdit, 1, 0);
  folders->addWidget(InFolderButton, 1, 1);
  folders->addWidget(OutFolderLabel, 2, 0, 1, 2);
  folders->addWidget(OutFolderEdit, 3, 0);
  folders->addWidget(OutFolderButton, 3, 1);
  folders->setColumnStretch(0, 1);

  MiscSettingsGroupBox = new QGroupBox(this);
  MiscSettingsGroupBox->setObjectName("MiscSettingsGroupBox");
  LabelLanguage = new QLabel(MiscSettingsGroupBox);
  LabelLanguage->setObjectName("LabelLanguage");
  ComboBoxLanguage = new QComboBox(MiscSettingsGroupBox);
  ComboBoxLanguage->setObjectName("ComboBoxLanguage");
  LabelFileLimit = new QLabel(MiscSettingsGroupBox);
  LabelFileLimit->setObjectName("LabelFileLimit");
  MaskEditFileLimit = new QLineEdit(MiscSettingsGroupBox);
  MaskEditFileLimit->setObjectName("MaskEditFileLimit");
  // Up to four digits, each optional; the blank shows as a space.
  MaskEditFileLimit->setInputMask("0000; ");
  MaskEditFileLimit->setMaxLength(4);
  MaskEditFileLimit->installEventFilter(this);
  LabelFileLimit1 = new QLabel(MiscSettingsGroupBox);
  LabelFileLimit1->setObjectName("LabelFileLimit1");
  LabelFileMask = new QLabel(MiscSettingsGroupBox);
  LabelFileMask->setObjectName("LabelFileMask");
  EditFileMask = new QLineEdit(MiscSettingsGroupBox);
  EditFileMask->setObjectName("EditFileMask");
  CheckBoxAutoScan = new QCheckBox(MiscSettingsGroupBox);
  CheckBoxAutoScan->setObjectName("CheckBoxAutoScan");
  CheckBoxVerify = new QCheckBox(MiscSettingsGroupBox);
  CheckBoxVerify->setObjectName("CheckBoxVerify");
  LabelGpsInVideo = new QLabel(MiscSettingsGroupBox);
  LabelGpsInVideo->setObjectName("LabelGpsInVideo");
  ComboBoxGpsInVideo = new QComboBox(MiscSettingsGroupBox);
  ComboBoxGpsInVideo->setObjectName("ComboBoxGpsInVideo");
  for (int i = 0; i < 4; ++i)
    ComboBoxGpsInVideo->addItem(QString());
  LabelGpsInVideo->setBuddy(ComboBoxGpsInVideo);
  LabelClipAround = new QLabel(MiscSettingsGroupBox);
  LabelClipAround->setObjectName("LabelClipAround");
  SpinClipAround = new QSpinBox(MiscSettingsGroupBox);
  SpinClipAround->setObjectName("SpinClipAround");
  SpinClipAround->setRange(1, 600);
  LabelClipAround->setBuddy(SpinClipAround);
  auto *misc = new QGridLayout(MiscSettingsGroupBox);
  misc->addWidget(LabelLanguage, 0, 0);
  misc->addWidget(ComboBoxLanguage, 0, 1, 1, 2);
  misc->addWidget(LabelFileLimit, 1, 0);
  misc->addWidget(MaskEditFileLimit, 1, 1);
  misc->addWidget(LabelFileLimit1, 1, 2);
  misc->addWidget(LabelFileMask, 2, 0);
  misc->addWidget(EditFileMask, 2, 1, 1, 2);
  misc->addWidget(CheckBoxAutoScan, 3, 0, 1, 3);
  misc->addWidget(CheckBoxVerify, 4, 0, 1, 3);
  misc->addWidget(LabelGpsInVideo, 5, 0);
  misc->addWidget(ComboBoxGpsInVideo, 5, 1, 1, 2);
  misc->addWidget(LabelClipAround, 6, 0);
  misc->addWidget(SpinClipAround, 6, 1);
  misc->setColumnStretch(2, 1);

  OkButton = new QPushButton(this);
  OkButton->setObjectName("OkButton");
  OkButton->setDefault(true);
  CancelButton = new QPushButton(this);
  CancelButton->setObjectName("CancelButton");
  auto *buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(OkButton);
  buttons->addWidget(CancelButton);

  auto *layout = new QVBoxLayout(this);
  layout->addWidget(FolderSelectGroupBox);
  layout->addWidget(MiscSettingsGroupBox);
  layout->addStretch(1);
  layout->addLayout(buttons);

  connect(InFolderButton, &QPushButton::clicked, this, &TSetupForm::InFolderButtonClick);
  connect(OutFolderButton, &QPushButton::clicked, this, &TSetupForm::OutFolderButtonClick);
  connect(OkButton, &QPushButton::clicked, this, &TSetupForm::OkButtonClick);
  connect(CancelButton, &QPushButton::clicked, this, &TSetupForm::CancelButtonClick);
  connect(ComboBoxLanguage, &QComboBox::activated, this, &TSetupForm::ComboBoxLanguageChange);

  ComboBoxLanguage->clear();
  for (int i = 0; i < GetLanguageCount(); ++i)
    ComboBoxLanguage->addItem(QString::fromStdString(GetLanguageName(i)));
  LoadFromSettings();
  Relabel();
  resize(QSize(546, 352).expandedTo(sizeHint()));
}

// Focus leaving the field while the dialog is torn down must not reach a
// half-destroyed form.
TSetupForm::~TSetupForm() {
  MaskEditFileLimit->removeEventFilter(this);
}

ProgramSettings &TSetupForm::Settings() const {
  return settings_ != nullptr ? *settings_ : *orvo::Settings();
}

void TSetupForm::LoadFromSettings() {
  const ProgramSettings &s = Settings();
  InFolderEdit->setText(QString::fromStdString(s.InPath));
  OutFolderEdit->setText(QString::fromStdString(s.OutPath));
  EditFileMask->setText(QString::fromStdString(s.FileMask));
  MaskEditFileLimit->setText(QString::number(s.MaxFileLength >> 20));
  CheckBoxAutoScan->setChecked(s.AutoScan);
  CheckBoxVerify->setChecked(s.VerifyOutputs);
  ComboBoxGpsInVideo->setCurrentIndex(static_cast<int>(s.GpsInVideo));
  SpinClipAround->setValue(s.ClipAroundSeconds);
  PreviewLanguage = s.Language;
  // A stored index beyond the list shows the language it falls back to.
  const bool known = s.Language >= 0 && s.Language < ComboBoxLanguage->count();
  ComboBoxLanguage->setCurrentIndex(known ? s.Language : 0);
}

void TSetupForm::Relabel() {
  SelectLanguage(PreviewLanguage);
  setWindowTitle(Text(44));
  LabelGroupBox(FolderSelectGroupBox, 192);
  InFolderLabel->setText(Text(193));
  InFolderButton->setText(Text(194));
  OutFolderButton->setText(Text(194));
  OutFolderLabel->setText(Text(196));
  LabelGroupBox(MiscSettingsGroupBox, 198);
  LabelLanguage->setText(Text(0));
  LabelFileLimit->setText(Text(199));
  LabelFileLimit1->setText(Text(287));
  LabelFileMask->setText(Text(201));
  SetHint(EditFileMask, Text(202) + "\n" + Text(txt::MaskRecordNumber));
  CheckBoxAutoScan->setText(Text(203));
  CheckBoxVerify->setText(Text(txt::VerifyOutputs));
  SetHint(CheckBoxVerify, Text(txt::VerifyOutputsHint));
  LabelGpsInVideo->setText(Text(txt::GpsInVideo));
  LabelClipAround->setText(Text(txt::ClipAroundSetting));
  // In GpsPlacement's order: none, beside, embed, both.
  const int gpsTexts[4] = {txt::GpsInVideoNone, txt::GpsInVideoBeside, txt::GpsInVideoEmbed,
                           txt::GpsInVideoBoth};
  for (int i = 0; i < 4; ++i)
    ComboBoxGpsInVideo->setItemText(i, Text(gpsTexts[i]));
  OkButton->setText(Text(209));
  CancelButton->setText(Text(210));
}

void TSetupForm::FormShow() {
  LoadFromSettings();
  Relabel();
}

void TSetupForm::showEvent(QShowEvent *event) {
  FormShow();
  QDialog::showEvent(event);
}

bool TSetupForm::eventFilter(QObject *watched, QEvent *event) {
  if (watched == MaskEditFileLimit && event->type() == QEvent::FocusOut)
    MaskEditFileLimitExit();
  return QDialog::eventFilter(watched, event);
}

void TSetupForm::BrowseInto(QLineEdit *edit) {
  const QString folder = QFileDialog::getExistingDirectory(this, Text(195), edit->text());
  if (!folder.isEmpty())
    edit->setText(QDir::toNativeSeparators(folder));
}

void TSetupForm::InFolderButtonClick() {
  BrowseInto(InFolderEdit);
}
void TSetupForm::OutFolderButtonClick() {
  BrowseInto(OutFolderEdit);
}

int TSetupForm::Message(int textId, int type) {
  return ShowMessage(this, windowTitle(), Text(textId), type);
}

void TSetupForm::OkButtonClick() {
  // OK may come from Enter while the focus is still in the size field: the
  // number is taken first, as leaving the field would.
  MaskEditFileLimitExit();
  if (InFolderEdit->text().isEmpty()) {
    Message(204, kMessageError);
    return;
  }
  if (OutFolderEdit->text().isEmpty()) {
    Message(205, kMessageError);
    return;
  }
  const std::string out = OutFolderEdit->text().toStdString();
  const std::string refusal = OutputFolderRefusal(InFolderEdit->text().toStdString(), out);
  if (!refusal.empty()) {
    ShowMessage(this, windowTitle(), QString::fromStdString(refusal), kMessageError);
    return;
  }
  if (!FolderExists(out)) {
    if (Message(206, kMessageAskWarning) != kAnswerYes)
      return;
    if (!CreateFolderPath(out)) {
      Message(208, kMessageError);
      return;
    }
    Message(207, kMessageInformation);
  }
  Apply();
}

void TSetupForm::Apply() {
  ProgramSettings &s = Settings();
  s.SetInPath(InFolderEdit->text().toStdString());
  s.SetOutPath(OutFolderEdit->text().toStdString());
  s.SetFileMask(EditFileMask->text().toStdString());
  s.AutoScan = CheckBoxAutoScan->isChecked();
  s.VerifyOutputs = CheckBoxVerify->isChecked();
  s.ClipAroundSeconds = SpinClipAround->value();
  s.GpsInVideo = static_cast<GpsPlacement>(std::clamp(ComboBoxGpsInVideo->currentIndex(), 0, 3));
  s.Language = ComboBoxLanguage->currentIndex();
  LoadFromSettings();
  Relabel();
  done(QDialog::Accepted);
}

void TSetupForm::CancelButtonClick() {
  LoadFromSettings();
  Relabel();
  done(QDialog::Accepted);
}

void TSetupForm::reject() {
  CancelButtonClick();
}

void TSetupForm::MaskEditFileLimitExit() {
  ProgramSettings &s = Settings();
  s.MaxFileLength = ParseFileLimitMiB(MaskEditFileLimit->text()) << 20;
  MaskEditFileLimit->setText(QString::number(s.MaxFileLength >> 20));
}

void TSetupForm::ComboBoxLanguageChange() {
  PreviewLanguage = ComboBoxLanguage->currentIndex();
  Relabel();
}

} // namespace orvo
