#include "app/RecordList.h"
#include "FakeRecords.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

using namespace orvo;
using orvo::test::FakeRecord;
using orvo::test::FakeRecords;

namespace {

// The order a list sorted with the comparison shows, by catalog index.
std::vector<std::uint32_t> Sorted(const FakeRecords &r, int column, bool ascending) {
  std::vector<std::uint32_t> order(r.records.size());
  std::iota(order.begin(), order.end(), 0u);
  std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    return ListViewRecordCompare(r, a, b, column, ascending) < 0;
  });
  return order;
}

} // namespace

TEST(RecordSort, DateTwiceThenTime) {
  FakeRecords r;
  r.records.resize(3);
  r.records[0].day = 20, r.records[0].hour = 7;
  r.records[1].day = 10, r.records[1].hour = 9;
  r.records[2].day = 15, r.records[2].hour = 8;
  int column = -1;
  bool ascending = true;
  ClickSortColumn(1, column, ascending);
  EXPECT_EQ(Sorted(r, column, ascending), (std::vector<std::uint32_t>{1, 2, 0}));
  ClickSortColumn(1, column, ascending);
  EXPECT_FALSE(ascending);
  EXPECT_EQ(Sorted(r, column, ascending), (std::vector<std::uint32_t>{0, 2, 1}));
  ClickSortColumn(2, column, ascending);
  EXPECT_EQ(column, 1);
  EXPECT_TRUE(ascending);
  EXPECT_EQ(Sorted(r, column, ascending), (std::vector<std::uint32_t>{0, 2, 1}));
  ClickSortColumn(0, column, ascending);
  EXPECT_EQ(column, -1);
  EXPECT_EQ(ListViewRecordCompare(r, 0, 1, column, ascending), 0) << "unsorted: all equal";
}

TEST(RecordSort, SignedDifferenceOfTheKeys) {
  FakeRecords r;
  r.records.resize(2);
  r.records[0].year = 22, r.records[1].year = 21;
  EXPECT_GT(ListViewRecordCompare(r, 0, 1, 0, true), 0);
  EXPECT_LT(ListViewRecordCompare(r, 0, 1, 0, false), 0);
  // The date column orders a day's records by their start time.
  r.records[1].year = 22;
  r.records[0].hour = 7, r.records[1].hour = 9;
  EXPECT_EQ(ListViewRecordCompare(r, 0, 1, 0, true), -2 * 65536);
  r.records[0].width = 720, r.records[0].height = 576;
  r.records[1].width = 720, r.records[1].height = 480;
  EXPECT_EQ(ListViewRecordCompare(r, 0, 1, 4, true), 96);
  r.records[0].videoKbps = 1024, r.records[0].audioKbps = 32;
  r.records[1].videoKbps = 1023, r.records[1].audioKbps = 64;
  EXPECT_EQ(ListViewRecordCompare(r, 0, 1, 6, true), 65536 - 32);
  r.records[0].mode = -1;
  r.records[1].mode = 0;
  EXPECT_EQ(ListViewRecordCompare(r, 0, 1, 3, true), -1);
  EXPECT_EQ(ListViewRecordCompare(r, 0, 1, 9, true), -1) << "other columns: the index";
}

TEST(RecordSort, LengthSortsByMillisecondsNotByTheRoundedCell) {
  FakeRecords r;
  r.records.resize(3);
  r.records[0].lengthMs = 2400;
  r.records[1].lengthMs = 1600;
  r.records[2].lengthMs = 26u * 3600 * 1000; // shows 23:59:59+
  EXPECT_EQ(Sorted(r, 2, true), (std::vector<std::uint32_t>{1, 0, 2}));
  EXPECT_EQ(ListViewRecordCompare(r, 0, 1, 2, true), 800);
}

TEST(RecordSort, KeysBeyondTheSignedRangeStillOrder) {
  FakeRecords r;
  r.records.resize(2);
  r.records[0].lengthMs = 0xFFFFFF00u;
  r.records[1].lengthMs = 10;
  EXPECT_GT(ListViewRecordCompare(r, 0, 1, 2, true), 0);
  EXPECT_LT(ListViewRecordCompare(r, 0, 1, 2, false), 0);
  r.records[0].width = 65535;
  r.records[1].width = 16;
  EXPECT_GT(ListViewRecordCompare(r, 0, 1, 4, true), 0);
}

TEST(RecordSort, RefusedOrMissingRecordsHaveKeyZero) {
  FakeRecords r;
  r.records.resize(1);
  EXPECT_EQ(RecordSortKey(r, 0, 5), 0);
  EXPECT_EQ(RecordSortKey(r, 9, 5), 0) << "even the index key needs a record";
  r.busy = true;
  EXPECT_EQ(RecordSortKey(r, 0, 0), 0);
  EXPECT_EQ(RecordSortKey(r, 2, 0), 0);
}

TEST(RecordCells, LengthOfADayOrMoreShowsThePlus) {
  EXPECT_EQ(LengthCellText(26, 0, 0), "23:59:59+");
  EXPECT_EQ(LengthCellText(24, 0, 0), "23:59:59+");
  EXPECT_EQ(LengthCellText(23, 59, 59), "23:59:59");
  EXPECT_EQ(LengthCellText(0, 0, 1), "0:00:01");
}

TEST(RecordCells, TextsOfAListedRecord) {
  FakeRecords r;
  r.records.resize(2);
  r.records[0].mode = 2;
  r.records[1].mode = -1;
  r.records[1].lengthMs = 1500;
  const RecordCells a = MakeRecordCells(r, 0);
  EXPECT_EQ(a.length, "0:01:00");
  EXPECT_EQ(a.mode, "Loop 2");
  EXPECT_EQ(a.resolution, "720x576");
  EXPECT_EQ(a.fps, "25");
  EXPECT_EQ(a.bitrate, "1024 kbps/64 kbps");
  const RecordCells b = MakeRecordCells(r, 1);
  EXPECT_EQ(b.mode, "") << "unknown mode";
  EXPECT_EQ(b.length, "0:00:02");
  r.busy = true;
  const RecordCells c = MakeRecordCells(r, 0);
  EXPECT_EQ(c.length + c.mode + c.resolution + c.fps + c.bitrate, "") << "refused: empty cells";
}

TEST(PushChecks, HiddenRecordsEndUpUnchecked) {
  FakeRecords r;
  r.records.resize(4);
  for (auto &rec : r.records)
    rec.checked = true;
  PushChecks(r, {{2, true}, {0, false}});
  EXPECT_FALSE(r.records[0].checked);
  EXPECT_FALSE(r.records[1].checked) << "not listed";
  EXPECT_TRUE(r.records[2].checked);
  EXPECT_FALSE(r.records[3].checked) << "not listed";
}

TEST(PushChecks, EmptyListLeavesTheCatalogAlone) {
  FakeRecords r;
  r.records.resize(2);
  r.records[1].checked = true;
  PushChecks(r, {});
  EXPECT_TRUE(r.records[1].checked);
}
