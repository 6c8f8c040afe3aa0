#pragma once

// The adapter page of the recorder settings: which of the eight adapter
// inputs start a recording, and on which level.

#include "config/ui/RecorderSetupPage.h"

class QCheckBox;
class QGroupBox;
class QLabel;

namespace orvo {

class AdapterSetupPage : public RecorderSetupPage {
  Q_OBJECT
public:
  static constexpr int kInputCount = 8;

  AdapterSetupPage(RecorderSettings &settings, QWidget *parent);

  void Bind(bool enable) override;

  QGroupBox *GroupBoxAdapterControl = nullptr;
  QLabel *LabelUseInput = nullptr;
  QLabel *LabelHighLevel = nullptr;
  QLabel *LabelInput0 = nullptr;
  QLabel *LabelInput1 = nullptr;
  QLabel *LabelInput2 = nullptr;
  QLabel *LabelInput3 = nullptr;
  QLabel *LabelInput4 = nullptr;
  QLabel *LabelInput5 = nullptr;
  QLabel *LabelInput6 = nullptr;
  QLabel *LabelInput7 = nullptr;
  QCheckBox *CheckBoxUseInput0 = nullptr;
  QCheckBox *CheckBoxUseInput1 = nullptr;
  QCheckBox *CheckBoxUseInput2 = nullptr;
  QCheckBox *CheckBoxUseInput3 = nullptr;
  QCheckBox *CheckBoxUseInput4 = nullptr;
  QCheckBox *CheckBoxUseInput5 = nullptr;
  QCheckBox *CheckBoxUseInput6 = nullptr;
  QCheckBox *CheckBoxUseInput7 = nullptr;
  QCheckBox *CheckBoxHighLevel0 = nullptr;
  QCheckBox *CheckBoxHighLevel1 = nullptr;
  QCheckBox *CheckBoxHighLevel2 = nullptr;
  QCheckBox *CheckBoxHighLevel3 = nullptr;
  QCheckBox *CheckBoxHighLevel4 = nullptr;
  QCheckBox *CheckBoxHighLevel5 = nullptr;
  QCheckBox *CheckBoxHighLevel6 = nullptr;
  QCheckBox *CheckBoxHighLevel7 = nullptr;
};

} // namespace orvo
