#include "settings/ui/Labels.h"

#include "settings/Stringcode.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>

#include <algorithm>
#include <string>

namespace orvo {

QString Text(int id) {
  return QString::fromStdString(GetText(id));
}

void SetHint(QWidget *control, const QString &hint) {
  if (control == nullptr)
    return;
  control->setToolTip(hint);
  control->setStatusTip(hint);
}

void LabelPages(QTabWidget *pages, std::span<const int> ids) {
  if (pages == nullptr)
    return;
  const int count = std::min<int>(pages->count(), static_cast<int>(ids.size()));
  for (int i = 0; i < count; ++i)
    pages->setTabText(i, Text(ids[i]));
}

void LabelPages(QTabWidget *pages, std::initializer_list<int> ids) {
  LabelPages(pages, std::span<const int>(ids.begin(), ids.size()));
}

void LabelGroupBox(QGroupBox *box, int id) {
  if (box != nullptr)
    box->setTitle(Text(id));
}

void LabelButton(QAbstractButton *button, int captionId, int hintId) {
  if (button == nullptr)
    return;
  button->setText(Text(captionId));
  SetHint(button, Text(hintId));
}

void LabelTabs(QTabBar *tabs, std::span<const std::string_view> labels, int hintId) {
  if (tabs == nullptr)
    return;
  const int count = std::min<int>(tabs->count(), static_cast<int>(labels.size()));
  for (int i = 0; i < count; ++i)
    tabs->setTabText(i, QString::fromStdString(ExpandText(labels[i])));
  SetHint(tabs, Text(hintId));
}

void LabelColumns(QTreeWidget *list, std::span<const int> ids) {
  if (list == nullptr)
    return;
  QTreeWidgetItem *header = list->headerItem();
  const int count = std::min<int>(list->columnCount(), static_cast<int>(ids.size()));
  for (int i = 0; i < count; ++i)
    header->setText(i, Text(ids[i]));
}

void LabelColumns(QTreeWidget *list, std::initializer_list<int> ids) {
  LabelColumns(list, std::span<const int>(ids.begin(), ids.size()));
}

void SetAccessKeys(std::initializer_list<QAbstractButton *> buttons) {
  QString taken;
  for (QAbstractButton *button : buttons) {
    if (button == nullptr)
      continue;
    // An ampersand of the text itself is shown as one.
    QString text = button->text().replace('&', QStringLiteral("&&"));
    for (int i = 0; i < text.size(); ++i) {
      const QChar c = text[i].toLower();
      if (c.isLetter() && !taken.contains(c)) {
        taken += c;
        text.insert(i, '&');
        break;
      }
    }
    button->setText(text);
  }
}

void LabelLabel(QLabel *label, int id, bool enabled) {
  if (label == nullptr)
    return;
  label->setEnabled(enabled);
  label->setText(Text(id));
}

} // namespace orvo
