#include "config/ui/RecordSetupPage.h"

#include "config/Cfg_mgr.h"
#include "config/ChoiceList.h"
#include "config/ui/Binders.h"
#include "config/ui/RecorderSettings.h"
#include "config/ui/SettingsHost.h"
#include "config/ui/SettingsTextIds.h"
#include "platform/ui/MessageSeam.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace orvo {

namespace {

namespace txt = settings_text;

constexpr int kTimerOnBit = 7;
constexpr int kWeekdayCount = 7;

} // namespace

RecordSetupPage::RecordSetupPage(RecorderSettings &settings, QWidget *parent)
    : RecorderSetupPage(settings, parent, "TabSheetRecord", kPageRecord) {
  LabelRecordMode = Make<QLabel>(this, "LabelRecordMode");
  ComboBoxRecordMode = Make<QComboBox>(this, "ComboBoxRecordMode");
  LabelPrehistory = Make<QLabel>(this, "LabelPrehistory");
  ComboBoxPrehistory = Make<QComboBox>(this, "ComboBoxPrehistory");
  CheckBoxDuplicate = Make<QCheckBox>(this, "CheckBoxDuplicate");
  CheckBoxAutoDec = Make<QCheckBox>(this, "CheckBoxAutoDec");
  GroupBoxTimers = Make<QGroupBox>(this, "GroupBoxTimers");
  QWidget *g = GroupBoxTimers;
  TabControlTimers = MakeTabs(g, "TabControlTimers", kTimerCount, true, 0);
  CheckBoxTimerEnable = Make<QCheckBox>(g, "CheckBoxTimerEnable");
  CheckBoxMo = Make<QCheckBox>(g, "CheckBoxMo");
  CheckBoxTu = Make<QCheckBox>(g, "CheckBoxTu");
  CheckBoxWe = Make<QCheckBox>(g, "CheckBoxWe");
  CheckBoxTh = Make<QCheckBox>(g, "CheckBoxTh");
  CheckBoxFr = Make<QCheckBox>(g, "CheckBoxFr");
  CheckBoxSa = Make<QCheckBox>(g, "CheckBoxSa");
  CheckBoxSu = Make<QCheckBox>(g, "CheckBoxSu");
  LabelTimerMode = Make<QLabel>(g, "LabelTimerMode");
  ComboBoxTimerMode = Make<QComboBox>(g, "ComboBoxTimerMode");
  LabelTimerDate = Make<QLabel>(g, "LabelTimerDate");
  MaskEditTimerDate = Make<QLineEdit>(g, "MaskEditTimerDate");
  LabelTimerTime = Make<QLabel>(g, "LabelTimerTime");
  MaskEditTimerTime = Make<QLineEdit>(g, "MaskEditTimerTime");
  LabelTimerLength = Make<QLabel>(g, "LabelTimerLength");
  MaskEditTimerLength = Make<QLineEdit>(g, "MaskEditTimerLength");

  auto *top = new QGridLayout;
  Row(top, 0, LabelRecordMode, ComboBoxRecordMode);
  Row(top, 1, LabelPrehistory, ComboBoxPrehistory);
  top->setColumnStretch(2, 1);
  auto *days = new QVBoxLayout;
  days->setSpacing(2);
  for (QCheckBox *b :
       {CheckBoxMo, CheckBoxTu, CheckBoxWe, CheckBoxTh, CheckBoxFr, CheckBoxSa, CheckBoxSu})
    days->addWidget(b);
  days->addStretch(1);
  auto *timer = new QGridLayout;
  timer->addWidget(CheckBoxTimerEnable, 0, 0, 1, 2);
  Row(timer, 1, LabelTimerMode, ComboBoxTimerMode);
  Row(timer, 2, LabelTimerDate, MaskEditTimerDate);
  Row(timer, 3, LabelTimerTime, MaskEditTimerTime);
  Row(timer, 4, LabelTimerLength, MaskEditTimerLength);
  timer->setRowStretch(5, 1);
  auto *timerRow = new QHBoxLayout;
  timerRow->addLayout(days);
  timerRow->addSpacing(8);
  timerRow->addLayout(timer, 1);
  auto *groupLayout = new QVBoxLayout(GroupBoxTimers);
  groupLayout->addWidget(TabControlTimers);
  groupLayout->addLayout(timerRow);
  auto *layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(CheckBoxDuplicate);
  layout->addWidget(CheckBoxAutoDec);
  layout->addWidget(GroupBoxTimers, 1);

  for (QComboBox *combo : {ComboBoxRecordMode, ComboBoxPrehistory, ComboBoxTimerMode})
    ConnectComboBox(combo);
  ConnectTimeEdit(MaskEditTimerTime);
  ConnectTimeEdit(MaskEditTimerLength);
  ConnectDateEdit(MaskEditTimerDate);
  ConnectCheckBoxes({CheckBoxDuplicate});
  connect(CheckBoxDuplicate, &QCheckBox::toggled, this, [this] { CheckBoxDuplicateClick(); });
  connect(TabControlTimers, &QTabBar::currentChanged, this, &RecordSetupPage::TabTimerChange);
}

void RecordSetupPage::Bind(bool enable) {
  BindGroupBox(GroupBoxTimers, txt::Timers);
  BindComboBox(ComboBoxRecordMode, GetChoiceList(ChoiceListId::RecordMode), enable,
               txt::RecordModeHint, kFieldRecordMode);
  BindComboBox(ComboBoxPrehistory, GetChoiceList(ChoiceListId::Prehistory), enable,
               txt::PrehistoryHint, kFieldPrehistory);
  BindLabel(LabelRecordMode, txt::RecordMode, enable);
  BindLabel(LabelPrehistory, txt::Prehistory, enable);
  BindCheckBox(CheckBoxDuplicate, kFieldDuplicate, enable, txt::DuplicateHint, txt::Duplicate, 0);
  BindCheckBox(CheckBoxAutoDec, kFieldVbrAutodec, enable, txt::AutoDecreaseHint, txt::AutoDecrease,
               0);
  BindTabs(TabControlTimers, nullptr, txt::TimersHint);
  BindTimerControls(enable);
}

void RecordSetupPage::BindTimerControls(bool enable) {
  const int f = TimerField(std::clamp(TimerTab, 0, kTimerCount - 1));
  const int weekdays = f + kTimerFieldWeekdays;
  BindCheckBox(CheckBoxTimerEnable, weekdays, enable, txt::TimerOnHint, txt::On, kTimerOnBit);
  const std::array<QCheckBox *, kWeekdayCount> days{CheckBoxMo, CheckBoxTu, CheckBoxWe, CheckBoxTh,
                                                    CheckBoxFr, CheckBoxSa, CheckBoxSu};
  for (int d = 0; d < kWeekdayCount; ++d)
    BindCheckBox(days[static_cast<std::size_t>(d)], weekdays, enable, txt::WeekdayHint,
                 txt::Monday + d, d);
  BindTimeEdit(MaskEditTimerTime, f + kTimerFieldStartHours, enable, txt::TimerTimeHint);
  BindTimeEdit(MaskEditTimerLength, f + kTimerFieldLengthHours, enable, txt::TimerLengthHint);
  BindDateEdit(MaskEditTimerDate, f + kTimerFieldDay, enable, txt::TimerDateHint);
  BindComboBox(ComboBoxTimerMode, GetChoiceList(ChoiceListId::TimerMode), enable,
               txt::TimerModeHint, f + kTimerFieldMode);
  BindLabel(LabelTimerMode, txt::TimerMode, enable);
  BindLabel(LabelTimerDate, txt::Date, enable);
  BindLabel(LabelTimerTime, txt::Time, enable);
  BindLabel(LabelTimerLength, txt::Length, enable);
}

void RecordSetupPage::CheckBoxDuplicateClick() {
  CheckBoxChange(CheckBoxDuplicate);
  if (!settings_.RefreshInProgress && CheckBoxDuplicate->isChecked())
    settings_.Host().ShowMainMessage(txt::BitrateLimited, kMessageInformation);
}

void RecordSetupPage::TabTimerChange(int index) {
  // The edits still carry the fields of the timer shown so far.
  EditDateChange(MaskEditTimerDate);
  EditTimeChange(MaskEditTimerTime);
  EditTimeChange(MaskEditTimerLength);
  TimerTab = std::clamp(index, 0, kTimerCount - 1);
  BindTimerControls(settings_.Host().CardReady());
}

} // namespace orvo
