#pragma once

// The record page of the recorder settings: record mode, prehistory,
// duplicate recording, bitrate decrease and the ten recording timers.

#include "config/ui/RecorderSetupPage.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTabBar;

namespace orvo {

class RecordSetupPage : public RecorderSetupPage {
  Q_OBJECT
public:
  RecordSetupPage(RecorderSettings &settings, QWidget *parent);

  void Bind(bool enable) override;
  // The controls of the timer chosen by TimerTab.
  void BindTimerControls(bool enable);

  void CheckBoxDuplicateClick();
  void TabTimerChange(int index);

  int TimerTab = 0;

  QLabel *LabelRecordMode = nullptr;
  QComboBox *ComboBoxRecordMode = nullptr;
  QLabel *LabelPrehistory = nullptr;
  QComboBox *ComboBoxPrehistory = nullptr;
  QCheckBox *CheckBoxDuplicate = nullptr;
  QCheckBox *CheckBoxAutoDec = nullptr;
  QGroupBox *GroupBoxTimers = nullptr;
  QTabBar *TabControlTimers = nullptr;
  QCheckBox *CheckBoxTimerEnable = nullptr;
  QCheckBox *CheckBoxMo = nullptr;
  QCheckBox *CheckBoxTu = nullptr;
  QCheckBox *CheckBoxWe = nullptr;
  QCheckBox *CheckBoxTh = nullptr;
  QCheckBox *CheckBoxFr = nullptr;
  QCheckBox *CheckBoxSa = nullptr;
  QCheckBox *CheckBoxSu = nullptr;
  QLabel *LabelTimerMode = nullptr;
  QComboBox *ComboBoxTimerMode = nullptr;
  QLabel *LabelTimerDate = nullptr;
  QLineEdit *MaskEditTimerDate = nullptr;
  QLabel *LabelTimerTime = nullptr;
  QLineEdit *MaskEditTimerTime = nullptr;
  QLabel *LabelTimerLength = nullptr;
  QLineEdit *MaskEditTimerLength = nullptr;
};

} // namespace orvo
