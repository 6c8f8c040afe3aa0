#pragma once

// The audio page of the recorder settings.

#include "config/ui/RecorderSetupPage.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QSlider;

namespace orvo {

class AudioSetupPage : public RecorderSetupPage {
  Q_OBJECT
public:
  AudioSetupPage(RecorderSettings &settings, QWidget *parent);

  void Bind(bool enable) override;

  QLabel *LabelAudioSource = nullptr;
  QComboBox *ComboBoxAudioSource = nullptr;
  QLabel *LabelAudioMode = nullptr;
  QComboBox *ComboBoxAudioMode = nullptr;
  QLabel *LabelAudioBitrate = nullptr;
  QComboBox *ComboBoxAudioBitrate = nullptr;
  QLabel *LabelAudioGain = nullptr;
  QSlider *TrackBarAudioGain = nullptr;
  QLabel *LabelVolume = nullptr;
  QSlider *TrackBarVolume = nullptr;
  QCheckBox *CheckBoxAudioAGC = nullptr;
};

} // namespace orvo
