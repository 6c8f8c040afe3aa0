#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

class QTreeWidget;
class QTreeWidgetItem;

namespace orvo {

class RecordSource;

// The record list of the main window as a QTreeWidget with a checkable first
// column: every item keeps its record's catalog index as data of column 0.
namespace recordview {

// The grey of converted records (RGB 160, 160, 164).
inline constexpr unsigned kConvertedRgb = 0xA0A0A4;

// Date and time cells in the user's locale: short date, long time without a
// time-zone name (a record's time is the recorder's clock, not a zone's). A
// date or time that does not exist gives an empty cell.
QString DateCell(int day, int month, int year);
QString TimeCell(int hour, int minute, int second);

// Empties the list and adds, in catalog order, an item for every record that
// `passes`, with its seven cells, its check mark and its colour.
void Fill(QTreeWidget *list, const RecordSource &records,
          const std::function<bool(std::uint32_t)> &passes);
// Reorders the items by ListViewRecordCompare; unsorted (column < 0) leaves
// the order as it is.
void Sort(QTreeWidget *list, const RecordSource &records, int sortColumn, bool ascending);
std::uint32_t IndexOf(const QTreeWidgetItem *item);
// (catalog index, check box) of every item, in list order.
std::vector<std::pair<std::uint32_t, bool>> Checks(const QTreeWidget *list);
void SetAllChecks(QTreeWidget *list, bool checked);
// Every item's check box from its record's checked mark.
void ChecksFromCatalog(QTreeWidget *list, const RecordSource &records);
// Item background: grey when the record is converted, else the window's.
void Colour(QTreeWidgetItem *item, const RecordSource &records);
void ColourAll(QTreeWidget *list, const RecordSource &records);

} // namespace recordview
} // namespace orvo
