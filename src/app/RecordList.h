#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace orvo {

class RecordSource;

// Sort key of a catalog record for sort column `sortColumn` (list column
// minus 1): date with the time within it, time, length in milliseconds, mode, resolution, FPS, bit
// rates, else the index itself. 0 when the index is beyond the catalog or
// the source refuses.
std::int64_t RecordSortKey(const RecordSource &records, int sortColumn, std::uint32_t index);

// The list's comparison of two items by their catalog indices: the signed
// difference of their keys, negated when descending; 0 for every pair while
// unsorted (sortColumn < 0). The difference is taken in 64 bits and kept
// within the 32-bit range, so keys beyond 2^31 (lengths of weeks, very large
// frame sizes) still order correctly.
int ListViewRecordCompare(const RecordSource &records, std::uint32_t first, std::uint32_t second,
                          int sortColumn, bool ascending);

// The header click: column 0 unsorts, the sorted column again turns the
// direction, another column sorts ascending.
void ClickSortColumn(int listColumn, int &sortColumn, bool &ascending);

// Length cell: "h:mm:ss"; a length of a day or more shows "23:59:59+".
std::string LengthCellText(std::uint32_t hours, int minutes, int seconds);
// "720x576".
std::string ResolutionCellText(int width, int height);
// "1024 kbps/64 kbps".
std::string BitrateCellText(std::uint32_t videoKbps, std::uint32_t audioKbps);
// String identifier of a record mode's name; -1 (no text) for an unknown mode.
int RecordModeTextId(int mode);

// The cells that need no locale: length, record mode, resolution, FPS and
// bit rates (list columns 3 to 7). A cell whose accessor refuses is empty,
// and so is a column outside 3..7.
std::string RecordCellText(const RecordSource &records, std::uint32_t index, int column);
struct RecordCells {
  std::string length, mode, resolution, fps, bitrate;
};
RecordCells MakeRecordCells(const RecordSource &records, std::uint32_t index);

// Copies the list's check boxes into the catalog: every record unchecked
// first, then each listed item's state, so records hidden by the filter end
// up unchecked. Nothing happens when the catalog or the list is empty.
void PushChecks(RecordSource &records, const std::vector<std::pair<std::uint32_t, bool>> &items);

} // namespace orvo
