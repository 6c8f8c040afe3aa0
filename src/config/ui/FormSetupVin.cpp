#include "config/ui/FormSetupVin.h"

#include "config/Cfg_mgr.h"
#include "config/ui/AdvancedDialogStyle.h"
#include "config/ui/Binders.h"
#include "settings/Stringcode.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvo {

namespace {

constexpr int kClientWidth = 355;
constexpr int kClientHeight = 89;

constexpr int kCaptionId = 292;
constexpr int kOkId = 209;
constexpr int kColourSystemHint = 136;
constexpr int kColourSystemLabel = 135;

} // namespace

TFormSetupVin::TFormSetupVin(QWidget *owner) : QDialog(owner) {
  setObjectName(QStringLiteral("FormSetupVin"));
  LabelColorSystem = new QLabel(this);
  LabelColorSystem->setObjectName(QStringLiteral("LabelColorSystem"));
  ComboBoxColorSystem = new QComboBox(this);
  ComboBoxColorSystem->setObjectName(QStringLiteral("ComboBoxColorSystem"));
  OkButton = new QPushButton(this);
  OkButton->setObjectName(QStringLiteral("OkButton"));

  auto *row = new QHBoxLayout;
  row->addWidget(LabelColorSystem);
  row->addWidget(ComboBoxColorSystem, 1);
  auto *buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(OkButton);
  auto *layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addStretch(1);
  layout->addLayout(buttons);

  connect(ComboBoxColorSystem, &QComboBox::currentIndexChanged, this,
          [this] { ComboBoxChange(ComboBoxColorSystem); });
  connect(OkButton, &QPushButton::clicked, this, &TFormSetupVin::OkButtonClick);
  OkButton->setDefault(true);
  ApplyAdvancedDialogStyle(this, kClientWidth, kClientHeight);
}

void TFormSetupVin::FormShow() {
  setWindowTitle(QString::fromStdString(GetText(kCaptionId)));
  OkButton->setText(QString::fromStdString(GetText(kOkId)));
  BindComboBox(ComboBoxColorSystem, GetChoiceList(ChoiceListId::ColourSystem), true,
               kColourSystemHint, kFieldAvColorSys);
  BindLabel(LabelColorSystem, kColourSystemLabel, true);
  FitAdvancedDialog(this, kClientWidth, kClientHeight);
}

void TFormSetupVin::ComboBoxChange(QComboBox *combo) {
  if (!HasControlTag(combo))
    return;
  std::int32_t v = combo->currentIndex();
  SetField(ControlTag(combo), v);
}

void TFormSetupVin::OkButtonClick() {
  accept();
}

void TFormSetupVin::showEvent(QShowEvent *event) {
  FormShow();
  QDialog::showEvent(event);
}

} // namespace orvo
