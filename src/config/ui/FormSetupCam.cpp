#include "config/ui/FormSetupCam.h"

#include "config/Cfg_mgr.h"
#include "config/ui/AdvancedDialogStyle.h"
#include "config/ui/Binders.h"
#include "config/ui/ExitCommit.h"
#include "settings/Stringcode.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace orvo {

namespace {

constexpr int kClientWidth = 355;
constexpr int kClientHeight = 129;

// Text ids of the dialog.
constexpr int kCaptionId = 291;
constexpr int kOkId = 209;
constexpr int kGainHint = 130;
constexpr int kDenoiseHint = 286;
constexpr int kOrientationHint = 294;
constexpr int kGainLabel = 129;
constexpr int kDenoiseLabel = 285;
constexpr int kOrientationLabel = 293;

template <typename T> T *Named(T *widget, const char *name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

} // namespace

TFormSetupCam::TFormSetupCam(QWidget *owner) : QDialog(owner) {
  setObjectName(QStringLiteral("FormSetupCam"));
  LabelVideoGain = Named(new QLabel(this), "LabelVideoGain");
  TrackBarVSGain = Named(new QSlider(Qt::Horizontal, this), "TrackBarVSGain");
  LabelDenoise = Named(new QLabel(this), "LabelDenoise");
  TrackBarDenoise = Named(new QSlider(Qt::Horizontal, this), "TrackBarDenoise");
  LabelOrientation = Named(new QLabel(this), "LabelOrientation");
  ComboBoxOrientation = Named(new QComboBox(this), "ComboBoxOrientation");
  OkButton = Named(new QPushButton(this), "OkButton");

  auto *grid = new QGridLayout;
  grid->addWidget(LabelVideoGain, 0, 0);
  grid->addWidget(TrackBarVSGain, 0, 1);
  grid->addWidget(LabelDenoise, 1, 0);
  grid->addWidget(TrackBarDenoise, 1, 1);
  grid->addWidget(LabelOrientation, 2, 0);
  grid->addWidget(ComboBoxOrientation, 2, 1);
  grid->setColumnStretch(1, 1);
  auto *buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(OkButton);
  auto *layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addStretch(1);
  layout->addLayout(buttons);

  for (QSlider *slider : {TrackBarVSGain, TrackBarDenoise}) {
    CommitOnExit(slider, [this, slider] { TrackBarChange(slider); });
    connect(slider, &QSlider::sliderReleased, this, [this, slider] { TrackBarChange(slider); });
  }
  connect(ComboBoxOrientation, &QComboBox::currentIndexChanged, this,
          [this] { ComboBoxChange(ComboBoxOrientation); });
  connect(OkButton, &QPushButton::clicked, this, &TFormSetupCam::OkButtonClick);
  OkButton->setDefault(true);
  ApplyAdvancedDialogStyle(this, kClientWidth, kClientHeight);
}

void TFormSetupCam::FormShow() {
  setWindowTitle(QString::fromStdString(GetText(kCaptionId)));
  OkButton->setText(QString::fromStdString(GetText(kOkId)));
  BindTrackBar(TrackBarVSGain, kFieldVsGain, true, kGainHint);
  BindTrackBar(TrackBarDenoise, kFieldVsDenoise, true, kDenoiseHint);
  BindComboBox(ComboBoxOrientation, GetChoiceList(ChoiceListId::Orientation), true,
               kOrientationHint, kFieldCamOrientation);
  BindLabel(LabelVideoGain, kGainLabel, true);
  BindLabel(LabelDenoise, kDenoiseLabel, true);
  BindLabel(LabelOrientation, kOrientationLabel, true);
  FitAdvancedDialog(this, kClientWidth, kClientHeight);
}

void TFormSetupCam::TrackBarChange(QSlider *slider) {
  if (!HasControlTag(slider))
    return;
  std::int32_t v = slider->value();
  SetField(ControlTag(slider), v);
}

void TFormSetupCam::ComboBoxChange(QComboBox *combo) {
  if (!HasControlTag(combo))
    return;
  std::int32_t v = combo->currentIndex();
  SetField(ControlTag(combo), v);
}

void TFormSetupCam::OkButtonClick() {
  accept();
}

void TFormSetupCam::showEvent(QShowEvent *event) {
  FormShow();
  QDialog::showEvent(event);
}

void TFormSetupCam::hideEvent(QHideEvent *event) {
  // Closing by Escape leaves the focused track bar without a focus change.
  TrackBarChange(TrackBarVSGain);
  TrackBarChange(TrackBarDenoise);
  QDialog::hideEvent(event);
}

} // namespace orvo
