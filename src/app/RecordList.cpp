#include "app/RecordList.h"

#include "app/RecordSource.h"
#include "engine/RecordEntry.h"
#include "settings/Stringcode.h"

#include <cstdio>
#include <limits>

namespace orvo {

std::int64_t RecordSortKey(const RecordSource &records, int sortColumn, std::uint32_t index) {
  if (index >= records.GetRecordCount())
    return 0;
  switch (sortColumn) {
  case 0: {
    // A date's records follow each other by their start time.
    int d, m, y, hh, mm, ss;
    const std::int64_t date = records.GetRecordDate(index, d, m, y) ? PackDate(y, m, d) : 0;
    const std::int64_t time = records.GetRecordTime(index, hh, mm, ss) ? PackTime(hh, mm, ss) : 0;
    return date * 0x1000000 + time;
  }
  case 1: {
    int h, m, s;
    return records.GetRecordTime(index, h, m, s) ? PackTime(h, m, s) : 0;
  }
  case 2: {
    std::uint32_t ms;
    return records.GetRecordLengthMs(index, ms) ? ms : 0;
  }
  case 3: {
    int mode;
    return records.GetRecordMode(index, mode) ? mode : 0;
  }
  case 4: {
    int w, h;
    return records.GetFrameSize(index, w, h) ? std::int64_t{w} * 65536 + h : 0;
  }
  case 5: {
    std::uint32_t fps;
    return records.GetFps(index, fps) ? fps : 0;
  }
  case 6: {
    std::uint32_t audio, video;
    return records.GetBitrates(index, audio, video) ? std::int64_t{video} * 65536 + audio : 0;
  }
  default:
    return index;
  }
}

int ListViewRecordCompare(const RecordSource &records, std::uint32_t first, std::uint32_t second,
                          int sortColumn, bool ascending) {
  if (sortColumn < 0)
    return 0;
  std::int64_t d =
      RecordSortKey(records, sortColumn, first) - RecordSortKey(records, sortColumn, second);
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  if (d > kMax)
    d = kMax;
  if (d < -kMax)
    d = -kMax;
  return static_cast<int>(ascending ? d : -d);
}

void ClickSortColumn(int listColumn, int &sortColumn, bool &ascending) {
  const int k = listColumn - 1;
  if (k == sortColumn) {
    ascending = !ascending;
  } else {
    sortColumn = k;
    ascending = true;
  }
}

std::string LengthCellText(std::uint32_t hours, int minutes, int seconds) {
  if (hours > 23)
    return "23:59:59+";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%u:%02d:%02d", hours, minutes, seconds);
  return buf;
}

std::string ResolutionCellText(int width, int height) {
  return std::to_string(width) + "x" + std::to_string(height);
}

std::string BitrateCellText(std::uint32_t videoKbps, std::uint32_t audioKbps) {
  // The unit of the settings pages, in the current language.
  const std::string unit = GetText(217);
  std::string text = std::to_string(videoKbps);
  text.append(1, ' ').append(unit).append(1, '/').append(std::to_string(audioKbps));
  return text.append(1, ' ').append(unit);
}

int RecordModeTextId(int mode) {
  return mode >= 0 && mode <= 4 ? 163 + mode : -1;
}

std::string RecordCellText(const RecordSource &records, std::uint32_t index, int column) {
  int a = 0, b = 0;
  std::uint32_t x = 0, y = 0;
  switch (column) {
  case 3:
    return records.GetRecordLength(index, x, a, b) ? LengthCellText(x, a, b) : std::string();
  case 4:
    return records.GetRecordMode(index, a) && RecordModeTextId(a) >= 0
               ? GetText(RecordModeTextId(a))
               : std::string();
  case 5:
    return records.GetFrameSize(index, a, b) ? ResolutionCellText(a, b) : std::string();
  case 6:
    return records.GetFps(index, x) ? std::to_string(x) : std::string();
  case 7: // audio first, as the catalog gives them; the cell shows video first
    return records.GetBitrates(index, x, y) ? BitrateCellText(y, x) : std::string();
  default:
    return {};
  }
}

RecordCells MakeRecordCells(const RecordSource &records, std::uint32_t index) {
  return {RecordCellText(records, index, 3), RecordCellText(records, index, 4),
          RecordCellText(records, index, 5), RecordCellText(records, index, 6),
          RecordCellText(records, index, 7)};
}

void PushChecks(RecordSource &records, const std::vector<std::pair<std::uint32_t, bool>> &items) {
  const std::uint32_t n = records.GetRecordCount();
  if (n == 0 || items.empty())
    return;
  for (std::uint32_t i = 0; i < n; ++i)
    records.SetChecked(i, false);
  for (const auto &[index, checked] : items)
    records.SetChecked(index, checked);
}

} // namespace orvo
