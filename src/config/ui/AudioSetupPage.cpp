#include "config/ui/AudioSetupPage.h"

#include "config/Cfg_mgr.h"
#include "config/ChoiceList.h"
#include "config/ui/Binders.h"
#include "config/ui/RecorderSettings.h"
#include "config/ui/SettingsTextIds.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

namespace orvo {

namespace txt = settings_text;

AudioSetupPage::AudioSetupPage(RecorderSettings &settings, QWidget *parent)
    : RecorderSetupPage(settings, parent, "TabSheetAudio", kPageAudio) {
  LabelAudioSource = Make<QLabel>(this, "LabelAudioSource");
  ComboBoxAudioSource = Make<QComboBox>(this, "ComboBoxAudioSource");
  LabelAudioMode = Make<QLabel>(this, "LabelAudioMode");
  ComboBoxAudioMode = Make<QComboBox>(this, "ComboBoxAudioMode");
  LabelAudioBitrate = Make<QLabel>(this, "LabelAudioBitrate");
  ComboBoxAudioBitrate = Make<QComboBox>(this, "ComboBoxAudioBitrate");
  LabelAudioGain = Make<QLabel>(this, "LabelAudioGain");
  TrackBarAudioGain = MakeSlider(this, "TrackBarAudioGain");
  LabelVolume = Make<QLabel>(this, "LabelVolume");
  TrackBarVolume = MakeSlider(this, "TrackBarVolume");
  CheckBoxAudioAGC = Make<QCheckBox>(this, "CheckBoxAudioAGC");
  auto *grid = new QGridLayout;
  Row(grid, 0, LabelAudioSource, ComboBoxAudioSource);
  Row(grid, 1, LabelAudioMode, ComboBoxAudioMode);
  Row(grid, 2, LabelAudioBitrate, ComboBoxAudioBitrate);
  Row(grid, 3, LabelAudioGain, TrackBarAudioGain);
  grid->addWidget(CheckBoxAudioAGC, 4, 1);
  Row(grid, 5, LabelVolume, TrackBarVolume);
  grid->setColumnStretch(1, 1);
  auto *layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addStretch(1);

  for (QComboBox *combo : {ComboBoxAudioSource, ComboBoxAudioMode, ComboBoxAudioBitrate})
    ConnectComboBox(combo);
  ConnectTrackBar(TrackBarAudioGain);
  ConnectTrackBar(TrackBarVolume);
  // AGC has a rule of its own, with the VAS box of the motion page.
  ConnectCheckBoxes({CheckBoxAudioAGC});
}

void AudioSetupPage::Bind(bool enable) {
  BindComboBox(ComboBoxAudioSource, GetChoiceList(ChoiceListId::AudioSource), enable,
               txt::AudioSourceHint, kFieldASource);
  BindComboBox(ComboBoxAudioMode, GetChoiceList(ChoiceListId::AudioMode), enable,
               txt::AudioModeHint, kFieldAudioMode);
  BindComboBox(ComboBoxAudioBitrate, GetChoiceList(ChoiceListId::AudioBitrate), enable,
               txt::AudioBitrateHint, kFieldABitrate);
  BindTrackBar(TrackBarAudioGain, kFieldAudioGain, enable, txt::AudioGainHint);
  BindTrackBar(TrackBarVolume, kFieldVolume, enable, txt::VolumeHint);
  BindCheckBox(CheckBoxAudioAGC, kFieldAudioAgc, enable, txt::AgcHint, txt::Agc, 0);
  BindLabel(LabelAudioSource, txt::AudioSource, enable);
  BindLabel(LabelAudioMode, txt::AudioMode, enable);
  BindLabel(LabelAudioBitrate, txt::Bitrate, enable);
  BindLabel(LabelAudioGain, txt::Gain, enable);
  BindLabel(LabelVolume, txt::Volume, enable);
}

} // namespace orvo
