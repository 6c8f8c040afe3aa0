#pragma once

// The misc page of the recorder settings: display and power saving, the
// camera's and the GPS receiver's power.

#include "config/ui/RecorderSetupPage.h"

class QComboBox;
class QGroupBox;
class QLabel;

namespace orvo {

class MiscSetupPage : public RecorderSetupPage {
  Q_OBJECT
public:
  MiscSetupPage(RecorderSettings &settings, QWidget *parent);

  void Bind(bool enable) override;

  QGroupBox *GroupBoxPowerSave = nullptr;
  QLabel *LabelBacklight = nullptr;
  QComboBox *ComboBoxBacklight = nullptr;
  QLabel *LabelDisplayHide = nullptr;
  QComboBox *ComboBoxDisplayHide = nullptr;
  QLabel *LabelDisplayOff = nullptr;
  QComboBox *ComboBoxDisplayOff = nullptr;
  QLabel *LabelPowerOff = nullptr;
  QComboBox *ComboBoxPowerOff = nullptr;
  QGroupBox *GroupBoxCPWR = nullptr;
  QLabel *LabelCPWRMode = nullptr;
  QComboBox *ComboBoxCPWRMode = nullptr;
  QLabel *LabelCPWRVoltage = nullptr;
  QComboBox *ComboBoxCPWRVoltage = nullptr;
  QGroupBox *GroupBoxGPSPower = nullptr;
  QLabel *LabelGPSPower = nullptr;
  QComboBox *ComboBoxGPSPower = nullptr;
};

} // namespace orvo
