#pragma once

// The record list's model: a table over a snapshot of the catalog. Cells are
// made only when the view asks for them (the rows on screen), so listing,
// sorting, filtering and relabelling ten thousand records costs a sort of
// indices, not ten thousand rows of widgets.

#include "app/RecordSnapshot.h"

#include <QAbstractTableModel>
#include <QBrush>
#include <QLocale>
#include <QString>
#include <QStringList>

class QPalette;

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <utility>
#include <vector>

namespace orvo {

// The check box, seven record columns, and what the last conversion did.
inline constexpr int kRecordColumnCount = 9;
inline constexpr int kOutcomeColumn = 8;
// The catalog index of a row that is no record (an unreadable record folder).
inline constexpr std::uint32_t kNoRecord = UINT32_MAX;

// The colours of the list's rows, mixed from a palette so that text and
// check boxes stay readable in light and dark themes alike.
struct RowColours {
  QBrush converted;  // background of a converted record
  QBrush failed;     // background of a record the last conversion left
  QBrush unreadable; // text of an unreadable record folder
  static RowColours From(const QPalette &palette);
};

// Date and time cells in the user's locale: short date, long time without a
// time-zone name (a record's time is the recorder's clock, not a zone's). A
// date or time that does not exist gives an empty cell.
struct CellFormats {
  QLocale locale;
  QString date;
  QString time;
  // Of the current locale; made once per relabelling, not once per cell.
  static CellFormats Current();
  QString DateCell(int day, int month, int year) const;
  QString TimeCell(int hour, int minute, int second) const;
};

class RecordTableModel : public QAbstractTableModel {
  Q_OBJECT
public:
  explicit RecordTableModel(QObject *parent = nullptr);

  // The records the list shows; Take() it, then Fill().
  RecordSnapshot &Records() { return records_; }
  const RecordSnapshot &Records() const { return records_; }

  // Lists every record that `passes`, in the order of ListViewRecordCompare
  // for the sort column (catalog order while unsorted).
  void Fill(const std::function<bool(std::uint32_t)> &passes, int sortColumn, bool ascending);
  void Sort(int sortColumn, bool ascending);
  // Empties the list and forgets the snapshot.
  void Clear();
  // The record folders of the last scan that could not be read, a text each
  // (its name and why): rows after the records, never checkable, never
  // sorted.
  void SetUnreadable(const QStringList &folders);
  int UnreadableCount() const { return static_cast<int>(unreadable_.size()); }
  // The row colours follow the view's palette.
  void SetPalette(const QPalette &palette);
  const RowColours &Colours() const { return colours_; }
  // Column titles, record mode names and the locale's formats again.
  void Relabel(const QStringList &titles);
  // The marks of the snapshot changed (after a conversion).
  void MarksChanged();
  // What the last conversion did with a record, shown in its row until the
  // next scan (Clear): the outcome's text, and whether it failed (an icon
  // and a colour of its own). MarksChanged shows it.
  void SetRecordOutcome(std::uint32_t index, const QString &text, bool failed);

  std::uint32_t IndexAt(int row) const {
    return row < ListedCount() ? rows_[static_cast<std::size_t>(row)] : kNoRecord;
  }
  int RowOf(std::uint32_t index) const;
  // The listed records, without the unreadable rows.
  int ListedCount() const { return static_cast<int>(rows_.size()); }
  // (catalog index, check box) of every listed record, in list order.
  std::vector<std::pair<std::uint32_t, bool>> Checks() const;
  int CheckedCount() const;
  void SetAllChecks(bool checked);
  void ToggleCheck(int row);
  QString CellText(std::uint32_t index, int column) const;
  // "date time" of a record, for the progress line.
  QString RecordMoment(std::uint32_t index) const;
  const CellFormats &Formats() const { return formats_; }

  int rowCount(const QModelIndex &parent = QModelIndex()) const override;
  int columnCount(const QModelIndex &parent = QModelIndex()) const override;
  QVariant data(const QModelIndex &index, int role) const override;
  bool setData(const QModelIndex &index, const QVariant &value, int role) override;
  Qt::ItemFlags flags(const QModelIndex &index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
  void SortRows(int sortColumn, bool ascending);

  RecordSnapshot records_;
  std::vector<std::uint32_t> rows_; // catalog index of each listed row
  QVariant UnreadableData(const QModelIndex &index, int role) const;
  QString TrackText(const RecordSource::Track &track) const;

  struct RowOutcome {
    QString text;
    bool failed = false;
  };
  std::unordered_map<std::uint32_t, RowOutcome> outcomes_;
  QStringList unreadable_;
  RowColours colours_;
  QStringList titles_;
  QStringList modeNames_;
  QString convertedHint_;
  CellFormats formats_;
};

} // namespace orvo
