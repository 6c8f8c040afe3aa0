#include "config/ui/TimeSetupPage.h"

#include "config/Cfg_mgr.h"
#include "config/ChoiceList.h"
#include "config/ui/Binders.h"
#include "config/ui/RecorderSettings.h"
#include "config/ui/SettingsTextIds.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace orvo {

namespace txt = settings_text;

TimeSetupPage::TimeSetupPage(RecorderSettings &settings, QWidget *parent)
    : RecorderSetupPage(settings, parent, "TabSheetTime", kPageTime) {
  GroupBoxGPSTime = Make<QGroupBox>(this, "GroupBoxGPSTime");
  QWidget *g = GroupBoxGPSTime;
  CheckBoxGPSTime = Make<QCheckBox>(g, "CheckBoxGPSTime");
  CheckBoxDST = Make<QCheckBox>(g, "CheckBoxDST");
  LabelTimeZone = Make<QLabel>(g, "LabelTimeZone");
  ComboBoxTimeZone = Make<QComboBox>(g, "ComboBoxTimeZone");
  auto *grid = new QGridLayout(GroupBoxGPSTime);
  grid->addWidget(CheckBoxGPSTime, 0, 0, 1, 2);
  Row(grid, 1, LabelTimeZone, ComboBoxTimeZone);
  grid->addWidget(CheckBoxDST, 2, 0, 1, 2);
  grid->setColumnStretch(2, 1);
  auto *layout = new QVBoxLayout(this);
  layout->addWidget(GroupBoxGPSTime);
  layout->addStretch(1);

  ConnectComboBox(ComboBoxTimeZone);
  ConnectCheckBoxes({});
}

void TimeSetupPage::Bind(bool enable) {
  BindGroupBox(GroupBoxGPSTime, txt::GpsTime);
  BindCheckBox(CheckBoxGPSTime, kFieldGpsTime, enable, txt::UseGpsTimeHint, txt::UseGpsTime, 0);
  // Zone and daylight saving only matter while GPS time is used.
  const bool g = enable && CheckBoxGPSTime->isChecked();
  BindCheckBox(CheckBoxDST, kFieldGpsDst, g, txt::DstHint, txt::Dst, 0);
  BindComboBox(ComboBoxTimeZone, GetChoiceList(ChoiceListId::TimeZone), g, txt::TimeZoneHint,
               kFieldGpsTimezone);
  BindLabel(LabelTimeZone, txt::TimeZone, g);
}

} // namespace orvo
