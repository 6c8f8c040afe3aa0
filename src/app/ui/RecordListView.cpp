#include "app/ui/RecordListView.h"

#include "app/RecordList.h"
#include "app/RecordSource.h"

#include <QBrush>
#include <QColor>
#include <QDate>
#include <QLocale>
#include <QRegularExpression>
#include <QTime>
#include <QTreeWidget>

#include <algorithm>

namespace orvo::recordview {

namespace {

QString LongTimeFormat() {
  QString f = QLocale().timeFormat(QLocale::LongFormat);
  // "t" (and "tt", "ttt", "tttt") is the zone name; quoted text stays.
  static const QRegularExpression zone(QStringLiteral("\\s*(?<!')\\bt+\\b(?!')\\s*"));
  f.replace(zone, QStringLiteral(" "));
  return f.trimmed();
}

} // namespace

QString DateCell(int day, int month, int year) {
  const QDate date(2000 + year, month, day);
  return date.isValid() ? QLocale().toString(date, QLocale::ShortFormat) : QString();
}

QString TimeCell(int hour, int minute, int second) {
  const QTime time(hour, minute, second);
  return time.isValid() ? QLocale().toString(time, LongTimeFormat()) : QString();
}

std::uint32_t IndexOf(const QTreeWidgetItem *item) {
  return item->data(0, Qt::UserRole).toUInt();
}

void Colour(QTreeWidgetItem *item, const RecordSource &records) {
  bool checked = false, converted = false;
  records.GetMarks(IndexOf(item), checked, converted);
  const QBrush brush = converted ? QBrush(QColor::fromRgb(kConvertedRgb)) : QBrush();
  for (int c = 0; c < item->columnCount(); ++c)
    item->setBackground(c, brush);
}

void ColourAll(QTreeWidget *list, const RecordSource &records) {
  for (int i = 0; i < list->topLevelItemCount(); ++i)
    Colour(list->topLevelItem(i), records);
}

void Fill(QTreeWidget *list, const RecordSource &records,
          const std::function<bool(std::uint32_t)> &passes) {
  list->clear();
  const std::uint32_t n = records.GetRecordCount();
  QList<QTreeWidgetItem *> items;
  for (std::uint32_t i = 0; i < n; ++i) {
    if (!passes(i))
      continue;
    QStringList cells;
    cells << QString();
    int a = 0, b = 0, c = 0;
    cells << (records.GetRecordDate(i, a, b, c) ? DateCell(a, b, c) : QString());
    cells << (records.GetRecordTime(i, a, b, c) ? TimeCell(a, b, c) : QString());
    const RecordCells rest = MakeRecordCells(records, i);
    cells << QString::fromStdString(rest.length) << QString::fromStdString(rest.mode)
          << QString::fromStdString(rest.resolution) << QString::fromStdString(rest.fps)
          << QString::fromStdString(rest.bitrate);
    auto *item = new QTreeWidgetItem(cells);
    item->setData(0, Qt::UserRole, i);
    item->setFlags((item->flags() | Qt::ItemIsUserCheckable) & ~Qt::ItemIsEditable);
    bool checked = false, converted = false;
    records.GetMarks(i, checked, converted);
    item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    Colour(item, records);
    items << item;
  }
  list->addTopLevelItems(items);
}

void Sort(QTreeWidget *list, const RecordSource &records, int sortColumn, bool ascending) {
  if (sortColumn < 0 || list->topLevelItemCount() < 2)
    return;
  QTreeWidgetItem *current = list->currentItem();
  QList<QTreeWidgetItem *> items;
  while (list->topLevelItemCount() > 0)
    items << list->takeTopLevelItem(0);
  std::stable_sort(items.begin(), items.end(), [&](QTreeWidgetItem *x, QTreeWidgetItem *y) {
    return ListViewRecordCompare(records, IndexOf(x), IndexOf(y), sortColumn, ascending) < 0;
  });
  list->addTopLevelItems(items);
  if (current)
    list->setCurrentItem(current);
}

std::vector<std::pair<std::uint32_t, bool>> Checks(const QTreeWidget *list) {
  std::vector<std::pair<std::uint32_t, bool>> out;
  for (int i = 0; i < list->topLevelItemCount(); ++i) {
    const QTreeWidgetItem *item = list->topLevelItem(i);
    out.emplace_back(IndexOf(item), item->checkState(0) == Qt::Checked);
  }
  return out;
}

void SetAllChecks(QTreeWidget *list, bool checked) {
  for (int i = 0; i < list->topLevelItemCount(); ++i)
    list->topLevelItem(i)->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
}

void ChecksFromCatalog(QTreeWidget *list, const RecordSource &records) {
  for (int i = 0; i < list->topLevelItemCount(); ++i) {
    QTreeWidgetItem *item = list->topLevelItem(i);
    bool checked = false, converted = false;
    if (records.GetMarks(IndexOf(item), checked, converted))
      item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
  }
}

} // namespace orvo::recordview
