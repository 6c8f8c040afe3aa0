#include "config/ui/MiscSetupPage.h"

#include "config/Cfg_mgr.h"
#include "config/ChoiceList.h"
#include "config/ui/Binders.h"
#include "config/ui/RecorderSettings.h"
#include "config/ui/SettingsTextIds.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace orvo {

namespace txt = settings_text;

MiscSetupPage::MiscSetupPage(RecorderSettings &settings, QWidget *parent)
    : RecorderSetupPage(settings, parent, "TabSheetMisc", kPageMisc) {
  GroupBoxPowerSave = Make<QGroupBox>(this, "GroupBoxPowerSave");
  QWidget *p = GroupBoxPowerSave;
  LabelBacklight = Make<QLabel>(p, "LabelBacklight");
  ComboBoxBacklight = Make<QComboBox>(p, "ComboBoxBacklight");
  LabelDisplayHide = Make<QLabel>(p, "LabelDisplayHide");
  ComboBoxDisplayHide = Make<QComboBox>(p, "ComboBoxDisplayHide");
  LabelDisplayOff = Make<QLabel>(p, "LabelDisplayOff");
  ComboBoxDisplayOff = Make<QComboBox>(p, "ComboBoxDisplayOff");
  LabelPowerOff = Make<QLabel>(p, "LabelPowerOff");
  ComboBoxPowerOff = Make<QComboBox>(p, "ComboBoxPowerOff");
  GroupBoxCPWR = Make<QGroupBox>(this, "GroupBoxCPWR");
  QWidget *c = GroupBoxCPWR;
  LabelCPWRMode = Make<QLabel>(c, "LabelCPWRMode");
  ComboBoxCPWRMode = Make<QComboBox>(c, "ComboBoxCPWRMode");
  LabelCPWRVoltage = Make<QLabel>(c, "LabelCPWRVoltage");
  ComboBoxCPWRVoltage = Make<QComboBox>(c, "ComboBoxCPWRVoltage");
  GroupBoxGPSPower = Make<QGroupBox>(this, "GroupBoxGPSPower");
  LabelGPSPower = Make<QLabel>(GroupBoxGPSPower, "LabelGPSPower");
  ComboBoxGPSPower = Make<QComboBox>(GroupBoxGPSPower, "ComboBoxGPSPower");
  auto *power = new QGridLayout(GroupBoxPowerSave);
  Row(power, 0, LabelBacklight, ComboBoxBacklight);
  Row(power, 1, LabelDisplayHide, ComboBoxDisplayHide);
  Row(power, 2, LabelDisplayOff, ComboBoxDisplayOff);
  Row(power, 3, LabelPowerOff, ComboBoxPowerOff);
  power->setColumnStretch(2, 1);
  auto *camera = new QGridLayout(GroupBoxCPWR);
  Row(camera, 0, LabelCPWRMode, ComboBoxCPWRMode);
  Row(camera, 1, LabelCPWRVoltage, ComboBoxCPWRVoltage);
  camera->setColumnStretch(1, 1);
  auto *gps = new QGridLayout(GroupBoxGPSPower);
  Row(gps, 0, LabelGPSPower, ComboBoxGPSPower);
  gps->setColumnStretch(1, 1);
  auto *layout = new QVBoxLayout(this);
  layout->addWidget(GroupBoxPowerSave);
  layout->addWidget(GroupBoxCPWR);
  layout->addWidget(GroupBoxGPSPower);
  layout->addStretch(1);

  for (QComboBox *combo :
       {ComboBoxBacklight, ComboBoxDisplayHide, ComboBoxDisplayOff, ComboBoxPowerOff,
        ComboBoxCPWRMode, ComboBoxCPWRVoltage, ComboBoxGPSPower})
    ConnectComboBox(combo);
}

void MiscSetupPage::Bind(bool enable) {
  BindGroupBox(GroupBoxPowerSave, txt::RecorderParameters);
  BindGroupBox(GroupBoxCPWR, txt::CameraPower);
  BindGroupBox(GroupBoxGPSPower, txt::GpsPower);
  BindComboBox(ComboBoxBacklight, GetChoiceList(ChoiceListId::Backlight), enable,
               txt::BacklightHint, kFieldBacklight);
  BindComboBox(ComboBoxDisplayHide, GetChoiceList(ChoiceListId::HideControls), enable,
               txt::DisplayHideHint, kFieldDisplayHide);
  BindComboBox(ComboBoxDisplayOff, GetChoiceList(ChoiceListId::DisplayOff), enable,
               txt::DisplayOffHint, kFieldDisplayOff);
  BindComboBox(ComboBoxPowerOff, GetChoiceList(ChoiceListId::RecorderOff), enable,
               txt::PowerOffHint, kFieldRecorderOff);
  BindComboBox(ComboBoxCPWRMode, GetChoiceList(ChoiceListId::PowerMode), enable,
               txt::CameraPowerModeHint, kFieldCpwrMode);
  BindComboBox(ComboBoxCPWRVoltage, GetChoiceList(ChoiceListId::CameraVoltage), enable,
               txt::CameraVoltageHint, kFieldCpwrVoltage);
  BindComboBox(ComboBoxGPSPower, GetChoiceList(ChoiceListId::PowerMode), enable, txt::GpsPowerHint,
               kFieldGpsMode);
  BindLabel(LabelBacklight, txt::Backlight, enable);
  BindLabel(LabelDisplayHide, txt::DisplayHide, enable);
  BindLabel(LabelDisplayOff, txt::DisplayOff, enable);
  BindLabel(LabelPowerOff, txt::PowerOff, enable);
  BindLabel(LabelCPWRMode, txt::OperatingMode, enable);
  BindLabel(LabelCPWRVoltage, txt::Voltage, enable);
  BindLabel(LabelGPSPower, txt::OperatingMode, enable);
}

} // namespace orvo
