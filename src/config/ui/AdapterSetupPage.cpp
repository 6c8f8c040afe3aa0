#include "config/ui/AdapterSetupPage.h"

#include "config/Cfg_mgr.h"
#include "config/ui/Binders.h"
#include "config/ui/RecorderSettings.h"
#include "config/ui/SettingsTextIds.h"
#include "settings/Stringcode.h"

#include <QByteArray>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include <array>

namespace orvo {

namespace txt = settings_text;

// One row per input, the two flags in columns.
AdapterSetupPage::AdapterSetupPage(RecorderSettings &settings, QWidget *parent)
    : RecorderSetupPage(settings, parent, "TabSheetAdapter", kPageAdapter) {
  GroupBoxAdapterControl = Make<QGroupBox>(this, "GroupBoxAdapterControl");
  QWidget *g = GroupBoxAdapterControl;
  LabelUseInput = Make<QLabel>(g, "LabelUseInput");
  LabelHighLevel = Make<QLabel>(g, "LabelHighLevel");
  QLabel **labels[kInputCount] = {&LabelInput0, &LabelInput1, &LabelInput2, &LabelInput3,
                                  &LabelInput4, &LabelInput5, &LabelInput6, &LabelInput7};
  QCheckBox **use[kInputCount] = {&CheckBoxUseInput0, &CheckBoxUseInput1, &CheckBoxUseInput2,
                                  &CheckBoxUseInput3, &CheckBoxUseInput4, &CheckBoxUseInput5,
                                  &CheckBoxUseInput6, &CheckBoxUseInput7};
  QCheckBox **high[kInputCount] = {&CheckBoxHighLevel0, &CheckBoxHighLevel1, &CheckBoxHighLevel2,
                                   &CheckBoxHighLevel3, &CheckBoxHighLevel4, &CheckBoxHighLevel5,
                                   &CheckBoxHighLevel6, &CheckBoxHighLevel7};
  auto *grid = new QGridLayout(GroupBoxAdapterControl);
  grid->addWidget(LabelUseInput, 0, 1, Qt::AlignHCenter);
  grid->addWidget(LabelHighLevel, 0, 2, Qt::AlignHCenter);
  for (int n = 0; n < kInputCount; ++n) {
    const QByteArray suffix = QByteArray::number(n);
    *labels[n] = Make<QLabel>(g, ("LabelInput" + suffix).constData());
    *use[n] = Make<QCheckBox>(g, ("CheckBoxUseInput" + suffix).constData());
    *high[n] = Make<QCheckBox>(g, ("CheckBoxHighLevel" + suffix).constData());
    grid->addWidget(*labels[n], n + 1, 0);
    grid->addWidget(*use[n], n + 1, 1, Qt::AlignHCenter);
    grid->addWidget(*high[n], n + 1, 2, Qt::AlignHCenter);
  }
  grid->setColumnStretch(3, 1);
  auto *layout = new QVBoxLayout(this);
  layout->addWidget(GroupBoxAdapterControl);
  layout->addStretch(1);

  ConnectCheckBoxes({});
}

void AdapterSetupPage::Bind(bool enable) {
  BindGroupBox(GroupBoxAdapterControl, txt::RecordStartConditions);
  const std::array<QCheckBox *, kInputCount> use{
      CheckBoxUseInput0, CheckBoxUseInput1, CheckBoxUseInput2, CheckBoxUseInput3,
      CheckBoxUseInput4, CheckBoxUseInput5, CheckBoxUseInput6, CheckBoxUseInput7};
  const std::array<QCheckBox *, kInputCount> high{
      CheckBoxHighLevel0, CheckBoxHighLevel1, CheckBoxHighLevel2, CheckBoxHighLevel3,
      CheckBoxHighLevel4, CheckBoxHighLevel5, CheckBoxHighLevel6, CheckBoxHighLevel7};
  const std::array<QLabel *, kInputCount> labels{LabelInput0, LabelInput1, LabelInput2,
                                                 LabelInput3, LabelInput4, LabelInput5,
                                                 LabelInput6, LabelInput7};
  for (int n = 0; n < kInputCount; ++n) {
    const auto i = static_cast<std::size_t>(n);
    BindCheckBox(use[i], kFieldAdaInput, enable, txt::UseInputHint, NoTextId, n);
    BindCheckBox(high[i], kFieldAdaLevel, enable, txt::HighLevelHint, NoTextId, n);
    BindLabel(labels[i], txt::Input0 + n, enable);
  }
  BindLabel(LabelUseInput, txt::UseInput, enable);
  BindLabel(LabelHighLevel, txt::HighLevel, enable);
}

} // namespace orvo
