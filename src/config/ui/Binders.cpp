#include "config/ui/Binders.h"

#include "config/Cfg_mgr.h"
#include "config/PageEdits.h"
#include "settings/Stringcode.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>
#include <QStringList>
#include <QTabBar>
#include <QVariant>

namespace orvo {

namespace {

QString Text(int id) {
  return QString::fromStdString(GetText(id));
}

QStringList ExpandedItems(const ChoiceList &list) {
  QStringList items;
  for (const std::string &item : ExpandChoiceList(list))
    items << QString::fromStdString(item);
  return items;
}

void SetEditText(QLineEdit *edit, const QString &text) {
  const QSignalBlocker block(edit);
  if (edit->text() != text)
    edit->setText(text);
}

} // namespace

int ControlTag(const QObject *control) {
  return control ? control->property(kTagProperty).toInt() : 0;
}

bool HasControlTag(const QObject *control) {
  return control && control->property(kTagProperty).isValid();
}

void SetControlTag(QObject *control, int tag) {
  control->setProperty(kTagProperty, tag);
}

void SetHint(QWidget *control, int hintId) {
  const QString hint = Text(hintId);
  control->setToolTip(hint);
  control->setStatusTip(hint);
}

void BindLabel(QLabel *label, int textId, bool enable) {
  label->setEnabled(enable);
  label->setText(Text(textId));
}

void BindGroupBox(QGroupBox *box, int textId) {
  box->setTitle(Text(textId));
}

void BindButton(QAbstractButton *button, int captionId, int hintId) {
  button->setText(Text(captionId));
  SetHint(button, hintId);
}

void BindTabs(QTabBar *tabs, const ChoiceList *list, int hintId) {
  if (list) {
    const QSignalBlocker block(tabs);
    const QStringList items = ExpandedItems(*list);
    for (int i = 0; i < items.size() && i < tabs->count(); ++i)
      tabs->setTabText(i, items[i]);
  }
  SetHint(tabs, hintId);
}

void BindComboBox(QComboBox *combo, const ChoiceList &list, bool enable, int hintId, int field) {
  const QSignalBlocker block(combo);
  const QStringList items = ExpandedItems(list);
  bool same = combo->count() == items.size();
  for (int i = 0; same && i < items.size(); ++i)
    same = combo->itemText(i) == items[i];
  if (!same) {
    combo->clear();
    combo->addItems(items);
  }
  SetControlTag(combo, field);
  const int value = GetField(field);
  combo->setCurrentIndex(value >= 0 && value < combo->count() ? value : -1);
  combo->setEnabled(IsEditable(field, enable));
  SetHint(combo, hintId);
}

void BindNumberEdit(QLineEdit *edit, int field, bool enable, int hintId) {
  SetEditText(edit, QString::number(GetField(field)));
  SetControlTag(edit, field);
  edit->setEnabled(IsEditable(field, enable));
  SetHint(edit, hintId);
}

void BindTimeEdit(QLineEdit *edit, int firstField, bool enable, int hintId) {
  SetEditText(edit, QString::fromStdString(FormatTimeFields(firstField)));
  SetControlTag(edit, firstField);
  edit->setEnabled(IsEditable(firstField, enable));
  SetHint(edit, hintId);
}

void BindDateEdit(QLineEdit *edit, int firstField, bool enable, int hintId) {
  SetEditText(edit, QString::fromStdString(FormatDateFields(firstField)));
  SetControlTag(edit, firstField);
  edit->setEnabled(IsEditable(firstField, enable));
  SetHint(edit, hintId);
}

void BindTextEdit(QLineEdit *edit, int slot, bool enable, int hintId) {
  SetControlTag(edit, slot);
  SetEditText(edit, QString::fromStdString(GetOsdText(slot)));
  edit->setEnabled(enable);
  SetHint(edit, hintId);
}

void BindTrackBar(QSlider *slider, int field, bool enable, int hintId) {
  const QSignalBlocker block(slider);
  slider->setRange(FieldMin(field), FieldMax(field));
  slider->setValue(GetField(field));
  SetControlTag(slider, field);
  slider->setEnabled(IsEditable(field, enable));
  SetHint(slider, hintId);
}

void BindCheckBox(QCheckBox *box, int field, bool enable, int hintId, int captionId, int bit) {
  const QSignalBlocker block(box);
  SetControlTag(box, (bit << kCheckBoxBitShift) | (field & kCheckBoxFieldMask));
  box->setChecked(((GetField(field) >> bit) & 1) != 0);
  box->setEnabled(IsEditable(field, enable));
  box->setText(Text(captionId));
  SetHint(box, hintId);
}

} // namespace orvo
