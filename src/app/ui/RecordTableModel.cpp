#include "app/ui/RecordTableModel.h"

#include "app/RecordList.h"
#include "settings/AddedTexts.h"
#include "settings/ui/Labels.h"

#include <QApplication>
#include <QDateTime>
#include <QTimeZone>
#include <QBrush>
#include <QColor>
#include <QDate>
#include <QLocale>
#include <QPalette>
#include <QRegularExpression>
#include <QStyle>
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

namespace {

QColor Mix(const QColor &a, const QColor &b, double share) {
  return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * share,
                          a.greenF() + (b.greenF() - a.greenF()) * share,
                          a.blueF() + (b.blueF() - a.blueF()) * share);
}

} // namespace

RowColours RowColours::From(const QPalette &palette) {
  const QColor base = palette.color(QPalette::Base);
  RowColours c;
  // A shade of the base towards the text: the text and the check box keep
  // their contrast whichever way the palette runs.
  c.converted = Mix(base, palette.color(QPalette::Text), 0.22);
  c.failed = Mix(base, palette.color(QPalette::Highlight), 0.3);
  c.unreadable = palette.color(QPalette::PlaceholderText);
  return c;
}

RecordTableModel::RecordTableModel(QObject *parent)
    : QAbstractTableModel(parent), colours_(RowColours::From(QApplication::palette())),
      formats_(CellFormats::Current()) {}

void RecordTableModel::SetUnreadable(const QStringList &folders) {
  beginResetModel();
  unreadable_ = folders;
  endResetModel();
}

void RecordTableModel::SetPalette(const QPalette &palette) {
  colours_ = RowColours::From(palette);
  if (rowCount() > 0)
    emit dataChanged(index(0, 0), index(rowCount() - 1, kRecordColumnCount - 1));
}

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
  // Unreadable rows stay where they are, after the records.
  SortRows(sortColumn, ascending);
  // Few persistent indices (the current and the selected row): the linear
  // look-up of each is cheap.
  QModelIndexList after;
  after.reserve(before.size());
  for (int k = 0; k < before.size(); ++k)
    after << (indices[static_cast<std::size_t>(k)] == kNoRecord
                  ? before[k]
                  : index(RowOf(indices[static_cast<std::size_t>(k)]), before[k].column()));
  changePersistentIndexList(before, after);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void RecordTableModel::Clear() {
  beginResetModel();
  rows_.clear();
  records_.Clear();
  outcomes_.clear();
  unreadable_.clear();
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

void RecordTableModel::SetRecordOutcome(std::uint32_t index, const QString &text, bool failed) {
  outcomes_[index] = {text, failed};
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
  if (row < 0 || row >= ListedCount())
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
  case kOutcomeColumn: {
    const auto outcome = outcomes_.find(i);
    return outcome != outcomes_.end() ? outcome->second.text : QString();
  }
  default:
    return QString::fromStdString(RecordCellText(records_, i, column));
  }
}

QString RecordTableModel::RecordMoment(std::uint32_t index) const {
  return (CellText(index, 1) + " " + CellText(index, 2)).trimmed();
}

int RecordTableModel::rowCount(const QModelIndex &parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size() + unreadable_.size());
}

int RecordTableModel::columnCount(const QModelIndex &parent) const {
  return parent.isValid() ? 0 : kRecordColumnCount;
}

QVariant RecordTableModel::data(const QModelIndex &index, int role) const {
  if (!index.isValid() || index.row() >= rowCount())
    return {};
  const std::uint32_t i = IndexAt(index.row());
  if (i == kNoRecord)
    return UnreadableData(index, role);
  bool checked = false, converted = false;
  switch (role) {
  case Qt::DisplayRole:
    return CellText(i, index.column());
  case Qt::CheckStateRole:
    if (index.column() != 0)
      return {};
    records_.GetMarks(i, checked, converted);
    return checked ? Qt::Checked : Qt::Unchecked;
  case Qt::BackgroundRole: {
    const auto outcome = outcomes_.find(i);
    if (outcome != outcomes_.end() && outcome->second.failed)
      return colours_.failed;
    records_.GetMarks(i, checked, converted);
    return converted ? QVariant(colours_.converted) : QVariant();
  }
  case Qt::DecorationRole: {
    const auto outcome = outcomes_.find(i);
    if (index.column() != kOutcomeColumn || outcome == outcomes_.end() || !outcome->second.failed)
      return {};
    return QApplication::style()->standardIcon(QStyle::SP_MessageBoxCritical);
  }
  case Qt::ToolTipRole: {
    QStringList lines;
    const auto outcome = outcomes_.find(i);
    if (outcome != outcomes_.end())
      lines << outcome->second.text;
    else if (records_.GetMarks(i, checked, converted) && converted)
      lines << convertedHint_;
    RecordSource::Track track;
    if (records_.GetTrack(i, track))
      lines << TrackText(track);
    return lines.isEmpty() ? QVariant() : QVariant(lines.join('\n'));
  }
  case Qt::UserRole:
    return i;
  default:
    return {};
  }
}

// When the record began in UTC and on what clock, as its GPS track tells.
QString RecordTableModel::TrackText(const RecordSource::Track &track) const {
  QString text = Text(txt::TrackPoints).arg(track.points);
  if (!track.aligned)
    return text;
  const QDateTime utc = QDateTime::fromMSecsSinceEpoch(track.utcStartMs, QTimeZone::utc());
  const std::int64_t minutes = track.clockOffsetSeconds / 60;
  const QString zone = QString("UTC%1%2:%3")
                           .arg(minutes < 0 ? '-' : '+')
                           .arg(std::abs(minutes) / 60, 2, 10, QChar('0'))
                           .arg(std::abs(minutes) % 60, 2, 10, QChar('0'));
  return text + "\n" + Text(txt::TrackUtcStart).arg(utc.toString("yyyy-MM-dd HH:mm:ss"), zone);
}

bool RecordTableModel::setData(const QModelIndex &index, const QVariant &value, int role) {
  if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole ||
      index.row() >= ListedCount())
    return false;
  records_.SetChecked(IndexAt(index.row()),
                      value.toInt() == static_cast<int>(Qt::Checked));
  emit dataChanged(index, index, {Qt::CheckStateRole});
  return true;
}

QVariant RecordTableModel::UnreadableData(const QModelIndex &index, int role) const {
  // The view spans the first cell over the row.
  switch (role) {
  case Qt::DisplayRole:
  case Qt::ToolTipRole:
    return index.column() == 0 ? unreadable_[index.row() - ListedCount()] : QString();
  case Qt::ForegroundRole:
    return colours_.unreadable;
  case Qt::DecorationRole:
    return index.column() == 0 ? QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning)
                               : QVariant();
  case Qt::UserRole:
    return kNoRecord;
  default:
    return {};
  }
}

Qt::ItemFlags RecordTableModel::flags(const QModelIndex &index) const {
  if (!index.isValid())
    return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
  if (index.column() == 0 && index.row() < ListedCount())
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
