#pragma once

// The video page of the recorder settings: the video source with the
// parameter family it chooses, encoding, picture adjustment, the encoded
// window and the two on-screen texts.

#include "config/ui/RecorderSetupPage.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace orvo {

class VideoSetupPage : public RecorderSetupPage {
  Q_OBJECT
public:
  VideoSetupPage(RecorderSettings &settings, QWidget *parent);

  void Bind(bool enable) override;

  void ComboBoxVideoSourceChange();
  void EditStrDataOnChange(QLineEdit *edit);
  void EditStrChange(QLineEdit *edit);
  void ButtonAdvancedClick();

  QLabel *LabelVideoSource = nullptr;
  QComboBox *ComboBoxVideoSource = nullptr;
  QLabel *LabelFPS = nullptr;
  QComboBox *ComboBoxFPS = nullptr;
  QLabel *LabelVideoBitrate = nullptr;
  QComboBox *ComboBoxVideoBitrate = nullptr;
  QLabel *LabelSize = nullptr;
  QComboBox *ComboBoxSize = nullptr;
  QSlider *TrackBarBright = nullptr;
  QSlider *TrackBarContrast = nullptr;
  QSlider *TrackBarHue = nullptr;
  QSlider *TrackBarSaturation = nullptr;
  QLabel *LabelWindow = nullptr;
  QLabel *LabelSizeValues = nullptr;
  QLabel *LabelX = nullptr;
  QLabel *LabelY = nullptr;
  QLineEdit *EditWindowX = nullptr;
  QLineEdit *EditWindowY = nullptr;
  QLineEdit *EditWindowW = nullptr;
  QLineEdit *EditWindowH = nullptr;
  QLineEdit *EditSizeH = nullptr;
  QLineEdit *EditSizeV = nullptr;
  QCheckBox *CheckBoxTextEn1 = nullptr;
  QCheckBox *CheckBoxTextEn2 = nullptr;
  QLineEdit *EditText1 = nullptr;
  QLineEdit *EditText2 = nullptr;
  QLineEdit *EditTextPos1 = nullptr;
  QLineEdit *EditTextPos2 = nullptr;
  QPushButton *ButtonAdvanced = nullptr;
};

} // namespace orvo
