#pragma once

// The time page of the recorder settings: GPS time, its time zone and
// daylight saving.

#include "config/ui/RecorderSetupPage.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;

namespace orvo {

class TimeSetupPage : public RecorderSetupPage {
  Q_OBJECT
public:
  TimeSetupPage(RecorderSettings &settings, QWidget *parent);

  void Bind(bool enable) override;

  QGroupBox *GroupBoxGPSTime = nullptr;
  QCheckBox *CheckBoxGPSTime = nullptr;
  QCheckBox *CheckBoxDST = nullptr;
  QLabel *LabelTimeZone = nullptr;
  QComboBox *ComboBoxTimeZone = nullptr;
};

} // namespace orvo
