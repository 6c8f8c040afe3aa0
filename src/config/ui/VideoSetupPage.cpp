#include "config/ui/VideoSetupPage.h"

#include "config/Cfg_mgr.h"
#include "config/ChoiceList.h"
#include "config/PageEdits.h"
#include "config/ui/Binders.h"
#include "config/ui/ExitCommit.h"
#include "config/ui/RecorderSettings.h"
#include "config/ui/SettingsTextIds.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace orvo {

namespace {

namespace txt = settings_text;

} // namespace

VideoSetupPage::VideoSetupPage(RecorderSettings &settings, QWidget *parent)
    : RecorderSetupPage(settings, parent, "TabSheetVideo", kPageVideo) {
  LabelVideoSource = Make<QLabel>(this, "LabelVideoSource");
  ComboBoxVideoSource = Make<QComboBox>(this, "ComboBoxVideoSource");
  LabelFPS = Make<QLabel>(this, "LabelFPS");
  ComboBoxFPS = Make<QComboBox>(this, "ComboBoxFPS");
  LabelVideoBitrate = Make<QLabel>(this, "LabelVideoBitrate");
  ComboBoxVideoBitrate = Make<QComboBox>(this, "ComboBoxVideoBitrate");
  LabelSize = Make<QLabel>(this, "LabelSize");
  ComboBoxSize = Make<QComboBox>(this, "ComboBoxSize");
  TrackBarBright = MakeSlider(this, "TrackBarBright");
  TrackBarContrast = MakeSlider(this, "TrackBarContrast");
  TrackBarHue = MakeSlider(this, "TrackBarHue");
  TrackBarSaturation = MakeSlider(this, "TrackBarSaturation");
  LabelWindow = Make<QLabel>(this, "LabelWindow");
  LabelSizeValues = Make<QLabel>(this, "LabelSizeValues");
  LabelX = Make<QLabel>(this, "LabelX");
  LabelY = Make<QLabel>(this, "LabelY");
  EditWindowX = Make<QLineEdit>(this, "EditWindowX");
  EditWindowY = Make<QLineEdit>(this, "EditWindowY");
  EditWindowW = Make<QLineEdit>(this, "EditWindowW");
  EditWindowH = Make<QLineEdit>(this, "EditWindowH");
  EditSizeH = Make<QLineEdit>(this, "EditSizeH");
  EditSizeV = Make<QLineEdit>(this, "EditSizeV");
  CheckBoxTextEn1 = Make<QCheckBox>(this, "CheckBoxTextEn1");
  CheckBoxTextEn2 = Make<QCheckBox>(this, "CheckBoxTextEn2");
  EditText1 = Make<QLineEdit>(this, "EditText1");
  EditText2 = Make<QLineEdit>(this, "EditText2");
  EditTextPos1 = Make<QLineEdit>(this, "EditTextPos1");
  EditTextPos2 = Make<QLineEdit>(this, "EditTextPos2");
  ButtonAdvanced = Make<QPushButton>(this, "ButtonAdvanced");

  auto *grid = new QGridLayout;
  Row(grid, 0, LabelVideoSource, ComboBoxVideoSource);
  Row(grid, 1, LabelFPS, ComboBoxFPS);
  Row(grid, 2, LabelVideoBitrate, ComboBoxVideoBitrate);
  Row(grid, 3, LabelSize, ComboBoxSize);
  auto *picture = new QGridLayout;
  picture->addWidget(TrackBarBright, 0, 0);
  picture->addWidget(TrackBarContrast, 0, 1);
  picture->addWidget(TrackBarHue, 1, 0);
  picture->addWidget(TrackBarSaturation, 1, 1);
  // Columns X and Y: the window's corner, its size, the encoded size.
  auto *window = new QGridLayout;
  window->addWidget(LabelX, 0, 1, Qt::AlignHCenter);
  window->addWidget(LabelY, 0, 2, Qt::AlignHCenter);
  window->addWidget(LabelWindow, 1, 0);
  window->addWidget(EditWindowX, 1, 1);
  window->addWidget(EditWindowY, 1, 2);
  window->addWidget(EditWindowW, 2, 1);
  window->addWidget(EditWindowH, 2, 2);
  window->addWidget(LabelSizeValues, 3, 0);
  window->addWidget(EditSizeH, 3, 1);
  window->addWidget(EditSizeV, 3, 2);
  window->setColumnStretch(3, 1);
  window->addWidget(ButtonAdvanced, 3, 4);
  auto *texts = new QGridLayout;
  texts->addWidget(CheckBoxTextEn1, 0, 0);
  texts->addWidget(EditText1, 0, 1);
  texts->addWidget(EditTextPos1, 0, 2);
  texts->addWidget(CheckBoxTextEn2, 1, 0);
  texts->addWidget(EditText2, 1, 1);
  texts->addWidget(EditTextPos2, 1, 2);
  texts->setColumnStretch(1, 1);
  auto *layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(picture);
  layout->addLayout(window);
  layout->addLayout(texts);
  layout->addStretch(1);

  for (QComboBox *combo : {ComboBoxFPS, ComboBoxVideoBitrate, ComboBoxSize})
    ConnectComboBox(combo);
  connect(ComboBoxVideoSource, &QComboBox::currentIndexChanged, this,
          [this] { ComboBoxVideoSourceChange(); });
  for (QLineEdit *e : {EditWindowX, EditWindowY, EditWindowW, EditWindowH, EditSizeH, EditSizeV,
                       EditTextPos1, EditTextPos2})
    ConnectNumberEdit(e);
  for (QLineEdit *e : {EditText1, EditText2}) {
    e->setMaxLength(kTextEditMaxLength);
    connect(e, &QLineEdit::textEdited, this, [this, e] { EditStrDataOnChange(e); });
    CommitOnExit(e, [this, e] { EditStrChange(e); });
  }
  for (QSlider *s : {TrackBarBright, TrackBarContrast, TrackBarHue, TrackBarSaturation})
    ConnectTrackBar(s);
  ConnectCheckBoxes({});
  connect(ButtonAdvanced, &QPushButton::clicked, this, [this] { ButtonAdvancedClick(); });
}

void VideoSetupPage::Bind(bool enable) {
  const int s = std::clamp(settings_.SourceIndex, 0, kSourceIndexCount - 1);
  const int family = FamilyOfSourceIndex(s);
  const int z = std::clamp<int>(GetField(FrameSizeField(family)), 0, kFrameSizeCount - 1);
  BindComboBox(ComboBoxVideoSource, GetChoiceList(ChoiceListId::VideoSource), enable,
               txt::VideoSourceHint, kFieldVSource);
  {
    const QSignalBlocker block(ComboBoxVideoSource);
    ComboBoxVideoSource->setCurrentIndex(s);
  }
  BindComboBox(ComboBoxFPS, GetChoiceList(FrameRateListFor(s)), enable, txt::FpsHint,
               FpsField(family));
  BindComboBox(ComboBoxVideoBitrate, GetChoiceList(ChoiceListId::VideoBitrate), enable,
               txt::VideoBitrateHint, VideoBitrateField(family));
  BindComboBox(ComboBoxSize, GetChoiceList(ChoiceListId::FrameSize), enable, txt::FrameSizeHint,
               FrameSizeField(family));
  const int picture = PictureGroupOfSourceIndex(s);
  const std::array<QSlider *, 4> sliders{TrackBarBright, TrackBarContrast, TrackBarHue,
                                         TrackBarSaturation};
  for (int i = 0; i < 4; ++i)
    BindTrackBar(sliders[static_cast<std::size_t>(i)], PictureField(picture, i), enable,
                 txt::BrightnessHint + i);
  BindNumberEdit(EditWindowX, WindowField(family, z, kWindowOffsetX), enable,
                 txt::WindowOffsetHint);
  BindNumberEdit(EditWindowY, WindowField(family, z, kWindowOffsetY), enable,
                 txt::WindowOffsetHint);
  BindNumberEdit(EditWindowW, WindowField(family, z, kWindowWidth), enable, txt::WindowWidthHint);
  BindNumberEdit(EditWindowH, WindowField(family, z, kWindowHeight), enable, txt::WindowHeightHint);
  BindNumberEdit(EditSizeH, WindowField(family, z, kWindowDecimationH), enable,
                 txt::OutputWidthHint);
  BindNumberEdit(EditSizeV, WindowField(family, z, kWindowDecimationV), enable,
                 txt::OutputHeightHint);
  BindCheckBox(CheckBoxTextEn1, kFieldTextState, enable, txt::Text1Hint, txt::Text1, 0);
  BindCheckBox(CheckBoxTextEn2, kFieldTextState, enable, txt::Text2Hint, txt::Text2, 1);
  BindTextEdit(EditText1, 0, enable, txt::OsdTextHint);
  BindTextEdit(EditText2, 1, enable, txt::OsdTextHint);
  BindNumberEdit(EditTextPos1, WindowField(family, z, kWindowTextCoord0), enable,
                 txt::Text1PosHint);
  BindNumberEdit(EditTextPos2, WindowField(family, z, kWindowTextCoord1), enable,
                 txt::Text2PosHint);
  BindButton(ButtonAdvanced, txt::Advanced, txt::AdvancedHint);
  ButtonAdvanced->setEnabled(enable);
  BindLabel(LabelVideoSource, txt::VideoSource, enable);
  BindLabel(LabelFPS, txt::Fps, enable);
  BindLabel(LabelVideoBitrate, txt::Bitrate, enable);
  BindLabel(LabelSize, txt::FrameSize, enable);
  BindLabel(LabelWindow, txt::Window, enable);
  BindLabel(LabelSizeValues, txt::FrameSize, enable);
  BindLabel(LabelX, txt::X, enable);
  BindLabel(LabelY, txt::Y, enable);
}

void VideoSetupPage::ComboBoxVideoSourceChange() {
  const int index = ComboBoxVideoSource->currentIndex();
  if (index == settings_.SourceIndex || index < 0)
    return;
  settings_.SourceIndex = index;
  std::int32_t v = VSourceOfSourceIndex(index);
  SetField(kFieldVSource, v);
  Refresh();
}

void VideoSetupPage::EditStrDataOnChange(QLineEdit *edit) {
  const QString filtered = QString::fromStdString(FilterOsdText(edit->text().toStdString()));
  if (filtered == edit->text())
    return;
  const int caret = std::min(edit->cursorPosition(), static_cast<int>(filtered.size()));
  const QSignalBlocker block(edit);
  edit->setText(filtered);
  edit->setCursorPosition(caret);
}

void VideoSetupPage::EditStrChange(QLineEdit *edit) {
  if (!HasControlTag(edit))
    return;
  SetOsdText(ControlTag(edit), edit->text().toStdString());
  Refresh();
}

void VideoSetupPage::ButtonAdvancedClick() {
  if (!settings_.FormSetupCam || !settings_.FormSetupVin)
    settings_.CreateAdvancedDialogs();
  if (settings_.SourceIndex == 0)
    settings_.FormSetupCam->exec();
  else
    settings_.FormSetupVin->exec();
}

} // namespace orvo
