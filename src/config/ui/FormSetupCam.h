#pragma once

// Advanced settings of the built-in camera: gain, de-noise filter and
// orientation. Edits go straight into the configuration; there is no cancel.

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QSlider;

namespace orvo {

class TFormSetupCam : public QDialog {
  Q_OBJECT
public:
  explicit TFormSetupCam(QWidget *owner = nullptr);

  QLabel *LabelVideoGain = nullptr;
  QSlider *TrackBarVSGain = nullptr;
  QLabel *LabelDenoise = nullptr;
  QSlider *TrackBarDenoise = nullptr;
  QLabel *LabelOrientation = nullptr;
  QComboBox *ComboBoxOrientation = nullptr;
  QPushButton *OkButton = nullptr;

  void FormShow();
  void TrackBarChange(QSlider *slider);
  void ComboBoxChange(QComboBox *combo);
  void OkButtonClick();

protected:
  void showEvent(QShowEvent *event) override;
  void hideEvent(QHideEvent *event) override;
};

} // namespace orvo
