#include "app/ui/RecordListView.h"
#include "UiCards.h"
#include "app/records/FakeRecords.h"

#include <QLocale>
#include <QTreeWidget>

using namespace orvo;
using orvo::test::FakeRecords;

namespace {

QStringList Column(const QTreeWidget &list, int column) {
  QStringList out;
  for (int i = 0; i < list.topLevelItemCount(); ++i)
    out << list.topLevelItem(i)->text(column);
  return out;
}

struct ListView : test::WithApp, ::testing::Test {
  QTreeWidget list;
  FakeRecords records;
  void SetUp() override { list.setColumnCount(8); }
  void Fill() {
    recordview::Fill(&list, records, [](std::uint32_t) { return true; });
  }
};

} // namespace

TEST_F(ListView, ImpossibleDatesAndTimesGiveEmptyCellsAndTheListGoesOn) {
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  records.records.resize(3);
  records.records[0].month = 0;
  records.records[1].hour = 25;
  records.records[2].day = 29, records.records[2].month = 2, records.records[2].year = 24;
  Fill();
  ASSERT_EQ(list.topLevelItemCount(), 3);
  EXPECT_EQ(Column(list, 1), (QStringList{"", "15.03.21", "29.02.24"}));
  EXPECT_EQ(Column(list, 2), (QStringList{"08:30:00", "", "08:30:00"})) << "no zone name";
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  Fill();
  EXPECT_EQ(Column(list, 2), (QStringList{"8:30:00 AM", "", "8:30:00 AM"}));
  EXPECT_EQ(Column(list, 1)[2], "2/29/24");
  QLocale::setDefault(QLocale::c());
}

TEST_F(ListView, CellsChecksAndGreyOfConvertedRecords) {
  records.records.resize(2);
  records.records[0].lengthMs = 26u * 3600 * 1000;
  records.records[0].converted = true;
  records.records[1].checked = true;
  records.records[1].mode = -1;
  Fill();
  EXPECT_EQ(Column(list, 0), (QStringList{"", ""}));
  EXPECT_EQ(Column(list, 3), (QStringList{"23:59:59+", "0:01:00"}));
  EXPECT_EQ(Column(list, 4), (QStringList{"Linear", ""}));
  EXPECT_EQ(Column(list, 5), (QStringList{"720x576", "720x576"}));
  EXPECT_EQ(Column(list, 6), (QStringList{"25", "25"}));
  EXPECT_EQ(Column(list, 7), (QStringList{"1024 kbps/64 kbps", "1024 kbps/64 kbps"}));
  EXPECT_EQ(list.topLevelItem(0)->checkState(0), Qt::Unchecked);
  EXPECT_EQ(list.topLevelItem(1)->checkState(0), Qt::Checked);
  EXPECT_EQ(list.topLevelItem(0)->background(3).color(), QColor(160, 160, 164));
  EXPECT_EQ(list.topLevelItem(1)->background(3).style(), Qt::NoBrush);
}

TEST_F(ListView, FilterDecidesWhichRecordsAreListed) {
  records.records.resize(4);
  recordview::Fill(&list, records, [](std::uint32_t i) { return i % 2 == 1; });
  ASSERT_EQ(list.topLevelItemCount(), 2);
  EXPECT_EQ(recordview::IndexOf(list.topLevelItem(0)), 1u);
  EXPECT_EQ(recordview::IndexOf(list.topLevelItem(1)), 3u);
}

TEST_F(ListView, SortsByTheComparisonAndUnsortedKeepsTheOrder) {
  records.records.resize(3);
  records.records[0].lengthMs = 26u * 3600 * 1000;
  records.records[1].lengthMs = 90u * 1000;
  records.records[2].lengthMs = 24u * 3600 * 1000 + 1;
  Fill();
  recordview::Sort(&list, records, 2, true);
  EXPECT_EQ(Column(list, 3), (QStringList{"0:01:30", "23:59:59+", "23:59:59+"}));
  EXPECT_EQ(recordview::IndexOf(list.topLevelItem(2)), 0u) << "26 hours after 24 hours";
  recordview::Sort(&list, records, -1, true);
  EXPECT_EQ(recordview::IndexOf(list.topLevelItem(2)), 0u);
}
