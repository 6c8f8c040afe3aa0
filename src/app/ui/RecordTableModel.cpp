#include "app/ui/RecordTableModel.h"

#include "app/RecordList.h"
#include "settings/AddedTexts.h"
#include "settings/ui/Labels.h"

#include <QBrush>
#include <QColor>
#include <QDate>
#include <QLocale>
#include <QRegularExpression>
#include <QTime>

#include <algorithm>

namespace orvo {

CellFormats CellFormats::Current() {
  CellFormats f;
  f.date = f.locale.dateFormat(QLocale::ShortFormat);
  QString time = f.locale.timeFormat(QLocale::LongFormat);
  // "t" (and "tt", "ttt", "tttt") is the zone name; quoted text stays.
  static const QRegularExpression zone(QStringLiteral("\\s*(?<!')\\bt+\\b(?!')\\s*"));
  time.replace(zone, QStringLiteral(" "));
  f.time = time.trimmed();
  return f;
}

QString CellFormats::DateCell(int day, int month, int year) const {
  const QDate d(2000 + year, month, day);
  return d.isValid() ? locale.toString(d, date) : QString();
}

QString CellFormats::TimeCell(int hour, int minute, int second) const {
  const QTime t(hour, minute, second);
  return t.isValid() ? locale.toString(t, time) : QString();
}

RecordTableModel::RecordTableModel(QObject *parent)
    : QAbstractTableModel(parent), formats_(CellFormats::Current()) {}

void RecordTableModel::SortRows(int sortColumn, bool ascending) {
  if (sortColumn < 0)
    return;
  std::stable_sort(rows_.begin(), rows_.end(), [&](std::uint32_t a, std::uint32_t b) {
    return ListViewRecordCompare(records_, a, b, sortColumn, ascending) < 0;
  });
}

void RecordTableModel::Fill(const std::function<bool(std::uint32_t)> &passes, int sortColumn,
                            bool ascending) {
  beginResetModel();
  rows_.clear();
  const std::uint32_t n = records_.GetRecordCount();
  rows_.reserve(n);
  for (std::uint32_t i = 0; i < n; ++i)
    if (!passes || passes(i))
      rows_.push_back(i);
  SortRows(sortColumn, ascending);
  endResetModel();
}

void RecordTableModel::Sort(int sortColumn, bool ascending) {
  if (sortColumn < 0 || rows_.size() < 2)
    return;
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  const QModelIndexList before = persistentIndexList();
  std::vector<std::uint32_t> indices;
  indices.reserve(static_cast<std::size_t>(before.size()));
  for (const QModelIndex &i : before)
    indices.push_back(IndexAt(i.row()));
  SortRows(sortColumn, ascending);
  // Few persistent indices (the current and the selected row): the linear
  // look-up of each is cheap.
  QModelIndexList after;
  after.reserve(before.size());
  for (int k = 0; k < before.size(); ++k)
    after << index(RowOf(indices[static_cast<std::size_t>(k)]), before[k].column());
  changePersistentIndexList(before, after);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void RecordTableModel::Clear() {
  beginResetModel();
  rows_.clear();
  records_.Clear();
  hints_.clear();
  endResetModel();
}

void RecordTableModel::Relabel(const QStringList &titles) {
  titles_ = titles;
  modeNames_.clear();
  for (int mode = 0; mode <= 4; ++mode)
    modeNames_ << Text(RecordModeTextId(mode));
  convertedHint_ = Text(txt::ConvertedRowHint);
  formats_ = CellFormats::Current();
  emit headerDataChanged(Qt::Horizontal, 0, kRecordColumnCount - 1);
  if (!rows_.empty())
    emit dataChanged(index(0, 0), index(rowCount() - 1, kRecordColumnCount - 1));
}

void RecordTableModel::MarksChanged() {
  if (!rows_.empty())
    emit dataChanged(index(0, 0), index(rowCount() - 1, kRecordColumnCount - 1));
}

void RecordTableModel::SetRecordHint(std::uint32_t index, const QString &hint) {
  if (hint.isEmpty())
    hints_.erase(index);
  else
    hints_[index] = hint;
}

void RecordTableModel::ClearRecordHints() {
  hints_.clear();
}

int RecordTableModel::RowOf(std::uint32_t index) const {
  const auto it = std::find(rows_.begin(), rows_.end(), index);
  return it == rows_.end() ? -1 : static_cast<int>(it - rows_.begin());
}

std::vector<std::pair<std::uint32_t, bool>> RecordTableModel::Checks() const {
  std::vector<std::pair<std::uint32_t, bool>> out;
  out.reserve(rows_.size());
  for (std::uint32_t i : rows_) {
    bool checked = false, converted = false;
    records_.GetMarks(i, checked, converted);
    out.emplace_back(i, checked);
  }
  return out;
}

int RecordTableModel::CheckedCount() const {
  int n = 0;
  for (const auto &[index, checked] : Checks())
    n += checked ? 1 : 0;
  return n;
}

void RecordTableModel::SetAllChecks(bool checked) {
  for (std::uint32_t i : rows_)
    records_.SetChecked(i, checked);
  if (!rows_.empty())
    emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
}

void RecordTableModel::ToggleCheck(int row) {
  if (row < 0 || row >= rowCount())
    return;
  bool checked = false, converted = false;
  records_.GetMarks(IndexAt(row), checked, converted);
  setData(index(row, 0), checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}

QString RecordTableModel::CellText(std::uint32_t i, int column) const {
  int a = 0, b = 0, c = 0;
  switch (column) {
  case 1:
    return records_.GetRecordDate(i, a, b, c) ? formats_.DateCell(a, b, c) : QString();
  case 2:
    return records_.GetRecordTime(i, a, b, c) ? formats_.TimeCell(a, b, c) : QString();
  case 4: // the names are made once per fill, not per cell
    return records_.GetRecordMode(i, a) && a >= 0 && a < modeNames_.size() ? modeNames_[a]
                                                                            : QString();
  default:
    return QString::fromStdString(RecordCellText(records_, i, column));
  }
}

QString RecordTableModel::RecordMoment(std::uint32_t index) const {
  return (CellText(index, 1) + " " + CellText(index, 2)).trimmed();
}

int RecordTableModel::rowCount(const QModelIndex &parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int RecordTableModel::columnCount(const QModelIndex &parent) const {
  return parent.isValid() ? 0 : kRecordColumnCount;
}

QVariant RecordTableModel::data(const QModelIndex &index, int role) const {
  if (!index.isValid() || index.row() >= rowCount())
    return {};
  const std::uint32_t i = IndexAt(index.row());
  bool checked = false, converted = false;
  switch (role) {
  case Qt::DisplayRole:
    return CellText(i, index.column());
  case Qt::CheckStateRole:
    if (index.column() != 0)
      return {};
    records_.GetMarks(i, checked, converted);
    return checked ? Qt::Checked : Qt::Unchecked;
  case Qt::BackgroundRole:
    records_.GetMarks(i, checked, converted);
    return converted ? QVariant(QBrush(QColor::fromRgb(kConvertedRgb))) : QVariant();
  case Qt::ToolTipRole: {
    const auto hint = hints_.find(i);
    if (hint != hints_.end())
      return hint->second;
    records_.GetMarks(i, checked, converted);
    return converted ? QVariant(convertedHint_) : QVariant();
  }
  case Qt::UserRole:
    return i;
  default:
    return {};
  }
}

bool RecordTableModel::setData(const QModelIndex &index, const QVariant &value, int role) {
  if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole)
    return false;
  records_.SetChecked(IndexAt(index.row()),
                      value.toInt() == static_cast<int>(Qt::Checked));
  emit dataChanged(index, index, {Qt::CheckStateRole});
  return true;
}

Qt::ItemFlags RecordTableModel::flags(const QModelIndex &index) const {
  if (!index.isValid())
    return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
  if (index.column() == 0)
    f |= Qt::ItemIsUserCheckable;
  return f;
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= titles_.size())
    return {};
  return titles_[section];
}

} // namespace orvo
