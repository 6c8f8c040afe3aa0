#pragma once

// The motion detection and voice activation page of the recorder settings,
// with the controls of the chosen area and rectangle of motion detection.

#include "config/ui/RecorderSetupPage.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSlider;
class QTabBar;

namespace orvo {

class AutostartSetupPage : public RecorderSetupPage {
  Q_OBJECT
public:
  AutostartSetupPage(RecorderSettings &settings, QWidget *parent);

  // Motion detection and VAS, without the area controls.
  void Bind(bool enable) override;
  // The controls of the area and rectangle chosen by RoiArea and RoiRect.
  void BindAreaControls(bool enable);

  void TabControlROIChange(int index);
  void TabControlROIRectChange(int index);

  int RoiArea = 0;
  int RoiRect = 0;

  QGroupBox *GroupBoxMD = nullptr;
  QCheckBox *CheckBoxMDOn = nullptr;
  QLabel *LabelMDHold = nullptr;
  QComboBox *ComboBoxMDHold = nullptr;
  QTabBar *TabControlROI = nullptr;
  QCheckBox *CheckBoxMDROIOn = nullptr;
  QLabel *LabelMDSens = nullptr;
  QSlider *TrackBarMDROI1 = nullptr;
  QSlider *TrackBarMDROI2 = nullptr;
  QTabBar *TabControlROIRect = nullptr;
  QCheckBox *CheckBoxMDROIRectOn = nullptr;
  QLabel *LabelMDX = nullptr;
  QLabel *LabelMDY = nullptr;
  QLineEdit *EditMDROIX = nullptr;
  QLineEdit *EditMDROIY = nullptr;
  QLineEdit *EditMDROIW = nullptr;
  QLineEdit *EditMDROIH = nullptr;
  QGroupBox *GroupBoxVAS = nullptr;
  QCheckBox *CheckBoxVASOn = nullptr;
  QLabel *LabelVASSens = nullptr;
  QSlider *TrackBarVASSens = nullptr;
  QLabel *LabelVASHold = nullptr;
  QComboBox *ComboBoxVASHold = nullptr;

private:
  // Commits the rectangle's edits to the area and rectangle they show.
  void CommitRectangleEdits();
};

} // namespace orvo
