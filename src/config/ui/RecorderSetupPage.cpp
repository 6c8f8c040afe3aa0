#include "config/ui/RecorderSetupPage.h"

#include "config/Cfg_mgr.h"
#include "config/PageEdits.h"
#include "config/ui/Binders.h"
#include "config/ui/ExitCommit.h"
#include "config/ui/RecorderSettings.h"
#include "config/ui/SettingsHost.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QSlider>
#include <QTabBar>

#include <algorithm>

namespace orvo {

RecorderSetupPage::RecorderSetupPage(RecorderSettings &settings, QWidget *parent, const char *name,
                                     int tag)
    : QWidget(parent), settings_(settings) {
  setObjectName(QString::fromLatin1(name));
  SetControlTag(this, tag);
}

QSlider *RecorderSetupPage::MakeSlider(QWidget *parent, const char *name) {
  auto *s = Make<QSlider>(parent, name);
  s->setOrientation(Qt::Horizontal);
  return s;
}

QTabBar *RecorderSetupPage::MakeTabs(QWidget *parent, const char *name, int count, bool numbered,
                                     int first) {
  auto *t = Make<QTabBar>(parent, name);
  for (int i = 0; i < count; ++i)
    t->addTab(numbered ? QString::number(first + i) : QString());
  t->setExpanding(false);
  t->setDrawBase(false);
  t->setUsesScrollButtons(false);
  // Clicking a tab takes the focus, so an edit being typed in commits first.
  t->setFocusPolicy(Qt::StrongFocus);
  return t;
}

void RecorderSetupPage::Row(QGridLayout *grid, int row, QWidget *label, QWidget *control) {
  grid->addWidget(label, row, 0);
  grid->addWidget(control, row, 1);
}

void RecorderSetupPage::ConnectComboBox(QComboBox *combo) {
  connect(combo, &QComboBox::currentIndexChanged, this, [this, combo] { ComboBoxChange(combo); });
}

void RecorderSetupPage::ConnectNumberEdit(QLineEdit *edit) {
  edit->setMaxLength(kNumberEditMaxLength);
  edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 16);
  CommitOnExit(edit, [this, edit] { EditNumChange(edit); });
}

void RecorderSetupPage::ConnectTimeEdit(QLineEdit *edit) {
  edit->setInputMask(QString::fromLatin1(kTimeInputMask));
  edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("00:00:000")) + 16);
  CommitOnExit(edit, [this, edit] { EditTimeChange(edit); });
}

void RecorderSetupPage::ConnectDateEdit(QLineEdit *edit) {
  edit->setInputMask(QString::fromLatin1(kDateInputMask));
  edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("00:00:000")) + 16);
  CommitOnExit(edit, [this, edit] { EditDateChange(edit); });
}

void RecorderSetupPage::ConnectTrackBar(QSlider *slider) {
  CommitOnExit(slider, [this, slider] { TrackBarChange(slider); });
  // A slider moved with the mouse need not take the focus: commit when it is
  // let go, and steps made by keys or the wheel at once.
  connect(slider, &QSlider::sliderReleased, this, [this, slider] { TrackBarChange(slider); });
  connect(slider, &QSlider::valueChanged, this, [this, slider] {
    if (!slider->isSliderDown())
      TrackBarChange(slider);
  });
}

void RecorderSetupPage::ConnectCheckBoxes(std::initializer_list<const QCheckBox *> except) {
  for (QCheckBox *box : findChildren<QCheckBox *>()) {
    if (std::find(except.begin(), except.end(), box) != except.end())
      continue;
    connect(box, &QCheckBox::toggled, this, [this, box] { CheckBoxChange(box); });
  }
}

void RecorderSetupPage::Refresh() {
  settings_.Host().RefreshSettingsPages();
}

void RecorderSetupPage::ComboBoxChange(QComboBox *combo) {
  if (!HasControlTag(combo))
    return;
  std::int32_t v = combo->currentIndex();
  if (SetField(ControlTag(combo), v))
    Refresh();
}

// Commits what a bound edit shows and shows the value kept: an edit always
// ends up showing its field.
void RecorderSetupPage::CommitEdit(QLineEdit *edit,
                                   bool (*commit)(int, std::string_view, std::string &)) {
  if (!HasControlTag(edit))
    return;
  std::string shown;
  const bool changed = commit(ControlTag(edit), edit->text().toStdString(), shown);
  edit->setText(QString::fromStdString(shown));
  if (changed)
    Refresh();
}

void RecorderSetupPage::EditNumChange(QLineEdit *edit) {
  CommitEdit(edit, CommitNumberText);
}

void RecorderSetupPage::EditTimeChange(QLineEdit *edit) {
  CommitEdit(edit, CommitTimeText);
}

void RecorderSetupPage::EditDateChange(QLineEdit *edit) {
  CommitEdit(edit, CommitDateText);
}

void RecorderSetupPage::TrackBarChange(QSlider *slider) {
  if (!HasControlTag(slider))
    return;
  std::int32_t v = slider->value();
  if (SetField(ControlTag(slider), v))
    Refresh();
}

void RecorderSetupPage::CheckBoxChange(QCheckBox *box) {
  if (!HasControlTag(box))
    return;
  const int tag = ControlTag(box);
  const int field = tag & kCheckBoxFieldMask;
  const int bit = tag >> kCheckBoxBitShift;
  const auto mask = static_cast<std::int32_t>(1u << bit);
  std::int32_t v = GetField(field);
  v = box->isChecked() ? (v | mask) : (v & ~mask);
  if (SetField(field, v))
    Refresh();
}

} // namespace orvo
