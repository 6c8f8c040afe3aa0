#include "config/ui/AutostartSetupPage.h"

#include "config/Cfg_mgr.h"
#include "config/ChoiceList.h"
#include "config/ui/Binders.h"
#include "config/ui/RecorderSettings.h"
#include "config/ui/SettingsTextIds.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTabBar>
#include <QVBoxLayout>

#include <algorithm>

namespace orvo {

namespace {

namespace txt = settings_text;

constexpr int kMotionOnBit = 0;
constexpr int kVasOnBit = 1;

} // namespace

AutostartSetupPage::AutostartSetupPage(RecorderSettings &settings, QWidget *parent)
    : RecorderSetupPage(settings, parent, "TabSheetAutostart", kPageAutostart) {
  GroupBoxMD = Make<QGroupBox>(this, "GroupBoxMD");
  QWidget *g = GroupBoxMD;
  CheckBoxMDOn = Make<QCheckBox>(g, "CheckBoxMDOn");
  LabelMDHold = Make<QLabel>(g, "LabelMDHold");
  ComboBoxMDHold = Make<QComboBox>(g, "ComboBoxMDHold");
  TabControlROI = MakeTabs(g, "TabControlROI", kMdAreaCount, false, 1);
  CheckBoxMDROIOn = Make<QCheckBox>(g, "CheckBoxMDROIOn");
  LabelMDSens = Make<QLabel>(g, "LabelMDSens");
  TrackBarMDROI1 = MakeSlider(g, "TrackBarMDROI1");
  TrackBarMDROI2 = MakeSlider(g, "TrackBarMDROI2");
  TabControlROIRect = MakeTabs(g, "TabControlROIRect", kMdRectCount, true, 1);
  CheckBoxMDROIRectOn = Make<QCheckBox>(g, "CheckBoxMDROIRectOn");
  LabelMDX = Make<QLabel>(g, "LabelMDX");
  LabelMDY = Make<QLabel>(g, "LabelMDY");
  EditMDROIX = Make<QLineEdit>(g, "EditMDROIX");
  EditMDROIY = Make<QLineEdit>(g, "EditMDROIY");
  EditMDROIW = Make<QLineEdit>(g, "EditMDROIW");
  EditMDROIH = Make<QLineEdit>(g, "EditMDROIH");
  GroupBoxVAS = Make<QGroupBox>(this, "GroupBoxVAS");
  QWidget *v = GroupBoxVAS;
  CheckBoxVASOn = Make<QCheckBox>(v, "CheckBoxVASOn");
  LabelVASSens = Make<QLabel>(v, "LabelVASSens");
  TrackBarVASSens = MakeSlider(v, "TrackBarVASSens");
  LabelVASHold = Make<QLabel>(v, "LabelVASHold");
  ComboBoxVASHold = Make<QComboBox>(v, "ComboBoxVASHold");

  auto *head = new QHBoxLayout;
  head->addWidget(CheckBoxMDOn);
  head->addStretch(1);
  head->addWidget(LabelMDHold);
  head->addWidget(ComboBoxMDHold);
  auto *sens = new QHBoxLayout;
  sens->addWidget(LabelMDSens);
  sens->addWidget(TrackBarMDROI1, 1);
  sens->addWidget(TrackBarMDROI2, 1);
  auto *rect = new QGridLayout;
  rect->addWidget(CheckBoxMDROIRectOn, 0, 0, 2, 1);
  rect->addWidget(LabelMDX, 0, 1);
  rect->addWidget(EditMDROIX, 0, 2);
  rect->addWidget(EditMDROIW, 0, 3);
  rect->addWidget(LabelMDY, 1, 1);
  rect->addWidget(EditMDROIY, 1, 2);
  rect->addWidget(EditMDROIH, 1, 3);
  rect->setColumnStretch(4, 1);
  auto *md = new QVBoxLayout(GroupBoxMD);
  md->addLayout(head);
  md->addWidget(TabControlROI);
  md->addWidget(CheckBoxMDROIOn);
  md->addLayout(sens);
  md->addWidget(TabControlROIRect);
  md->addLayout(rect);
  auto *vas = new QGridLayout(GroupBoxVAS);
  vas->addWidget(CheckBoxVASOn, 0, 0, 1, 2);
  Row(vas, 1, LabelVASSens, TrackBarVASSens);
  Row(vas, 2, LabelVASHold, ComboBoxVASHold);
  vas->setColumnStretch(1, 1);
  auto *layout = new QVBoxLayout(this);
  layout->addWidget(GroupBoxMD);
  layout->addWidget(GroupBoxVAS);
  layout->addStretch(1);

  ConnectComboBox(ComboBoxMDHold);
  ConnectComboBox(ComboBoxVASHold);
  for (QLineEdit *e : {EditMDROIX, EditMDROIY, EditMDROIW, EditMDROIH})
    ConnectNumberEdit(e);
  for (QSlider *s : {TrackBarMDROI1, TrackBarMDROI2, TrackBarVASSens})
    ConnectTrackBar(s);
  // VAS has a rule of its own, with the AGC box of the audio page.
  ConnectCheckBoxes({CheckBoxVASOn});
  connect(TabControlROI, &QTabBar::currentChanged, this, &AutostartSetupPage::TabControlROIChange);
  connect(TabControlROIRect, &QTabBar::currentChanged, this,
          &AutostartSetupPage::TabControlROIRectChange);
}

void AutostartSetupPage::Bind(bool enable) {
  BindGroupBox(GroupBoxMD, txt::MotionDetection);
  BindGroupBox(GroupBoxVAS, txt::Vas);
  BindCheckBox(CheckBoxMDOn, kFieldAutoStartMode, enable, txt::MotionOnHint, txt::On, kMotionOnBit);
  BindCheckBox(CheckBoxVASOn, kFieldAutoStartMode, enable, txt::VasOnHint, txt::On, kVasOnBit);
  BindComboBox(ComboBoxMDHold, GetChoiceList(ChoiceListId::HoldTime), enable, txt::MotionHoldHint,
               kFieldMdDelay);
  BindComboBox(ComboBoxVASHold, GetChoiceList(ChoiceListId::HoldTime), enable, txt::VasHoldHint,
               kFieldVasDelay);
  BindTrackBar(TrackBarVASSens, kFieldVasSens, enable, txt::VasSensHint);
  BindLabel(LabelMDHold, txt::HoldTime, enable);
  BindLabel(LabelVASSens, txt::Sensitivity, enable);
  BindLabel(LabelVASHold, txt::HoldTime, enable);
}

void AutostartSetupPage::BindAreaControls(bool enable) {
  const int area = std::clamp(RoiArea, 0, kMdAreaCount - 1);
  const int rect = std::clamp(RoiRect, 0, kMdRectCount - 1);
  const int a = AreaField(area);
  const int r = RectField(area, rect);
  const ChoiceList &regions = GetChoiceList(ChoiceListId::RegionTabs);
  BindTabs(TabControlROI, &regions, txt::RegionTabsHint);
  BindTabs(TabControlROIRect, nullptr, txt::RectTabsHint);
  BindCheckBox(CheckBoxMDROIOn, a + kAreaFieldFlags, enable, txt::RegionOnHint, txt::On,
               kAreaOnBit);
  BindCheckBox(CheckBoxMDROIRectOn, a + kAreaFieldFlags, enable, txt::RectOnHint, txt::On, rect);
  BindTrackBar(TrackBarMDROI1, a + kAreaFieldBrightnessSens, enable, txt::BrightnessSensHint);
  BindTrackBar(TrackBarMDROI2, a + kAreaFieldSizeSens, enable, txt::ObjectSizeSensHint);
  BindNumberEdit(EditMDROIX, r + kRectX, enable, txt::RectXHint);
  BindNumberEdit(EditMDROIY, r + kRectY, enable, txt::RectXHint + 1);
  BindNumberEdit(EditMDROIW, r + kRectWidth, enable, txt::RectXHint + 2);
  BindNumberEdit(EditMDROIH, r + kRectHeight, enable, txt::RectXHint + 3);
  BindLabel(LabelMDSens, txt::Sensitivity, enable);
  BindLabel(LabelMDX, txt::X, enable);
  BindLabel(LabelMDY, txt::Y, enable);
}

void AutostartSetupPage::CommitRectangleEdits() {
  for (QLineEdit *e : {EditMDROIX, EditMDROIY, EditMDROIW, EditMDROIH})
    EditNumChange(e);
}

void AutostartSetupPage::TabControlROIChange(int index) {
  CommitRectangleEdits();
  RoiArea = std::clamp(index, 0, kMdAreaCount - 1);
  Refresh();
}

void AutostartSetupPage::TabControlROIRectChange(int index) {
  CommitRectangleEdits();
  RoiRect = std::clamp(index, 0, kMdRectCount - 1);
  Refresh();
}

} // namespace orvo
