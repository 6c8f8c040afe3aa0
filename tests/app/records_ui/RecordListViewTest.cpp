#include "app/ui/RecordListView.h"
#include "app/ui/RecordTableModel.h"
#include "UiCards.h"
#include "app/records/FakeRecords.h"

#include <QBrush>
#include <QHeaderView>
#include <QLocale>
#include <QPalette>

#include <cstdlib>

using namespace orvo;
using orvo::test::FakeRecords;

namespace {

struct ListModel : test::WithApp, ::testing::Test {
  RecordTableModel model;
  FakeRecords records;
  void Fill(int sortColumn = -1, bool ascending = true) {
    model.Records().Take(records);
    model.Relabel({});
    model.Fill({}, sortColumn, ascending);
  }
  QStringList Column(int column) const {
    QStringList out;
    for (int i = 0; i < model.rowCount(); ++i)
      out << model.data(model.index(i, column), Qt::DisplayRole).toString();
    return out;
  }
};

} // namespace

TEST_F(ListModel, ImpossibleDatesAndTimesGiveEmptyCellsAndTheListGoesOn) {
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  records.records.resize(3);
  records.records[0].month = 0;
  records.records[1].hour = 25;
  records.records[2].day = 29, records.records[2].month = 2, records.records[2].year = 24;
  Fill();
  ASSERT_EQ(model.rowCount(), 3);
  EXPECT_EQ(Column(1), (QStringList{"", "15.03.21", "29.02.24"}));
  EXPECT_EQ(Column(2), (QStringList{"08:30:00", "", "08:30:00"})) << "no zone name";
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  model.Relabel({}); // the locale's formats are taken once per relabelling
  EXPECT_EQ(Column(2), (QStringList{"8:30:00 AM", "", "8:30:00 AM"}));
  EXPECT_EQ(Column(1)[2], "2/29/24");
  // The widths fit a date with its year and a time with its day period.
  RecordListView view;
  view.SetRecordModel(&model);
  const QList<int> widths = view.FittingWidths({22, 10, 10, 10, 10, 10, 10, 10, 10});
  const QFontMetrics fm(view.font());
  EXPECT_GT(widths[1], fm.horizontalAdvance("12/28/28"));
  EXPECT_GT(widths[2], fm.horizontalAdvance("12:58:58 PM"));
  EXPECT_GT(widths[4], fm.horizontalAdvance("Linear (all cards)"));
  QLocale::setDefault(QLocale::c());
}

TEST_F(ListModel, CellsChecksGreyAndHintsOfRecords) {
  records.records.resize(2);
  records.records[0].lengthMs = 26u * 3600 * 1000;
  records.records[0].converted = true;
  records.records[1].checked = true;
  records.records[1].mode = -1;
  Fill();
  EXPECT_EQ(Column(0), (QStringList{"", ""}));
  EXPECT_EQ(Column(3), (QStringList{"23:59:59+", "0:01:00"}));
  EXPECT_EQ(Column(4), (QStringList{"Linear", ""}));
  EXPECT_EQ(Column(5), (QStringList{"720x576", "720x576"}));
  EXPECT_EQ(Column(6), (QStringList{"25", "25"}));
  EXPECT_EQ(Column(7), (QStringList{"1024 kbps/64 kbps", "1024 kbps/64 kbps"}));
  EXPECT_EQ(model.data(model.index(0, 0), Qt::CheckStateRole).toInt(), Qt::Unchecked);
  EXPECT_EQ(model.data(model.index(1, 0), Qt::CheckStateRole).toInt(), Qt::Checked);
  EXPECT_EQ(model.data(model.index(0, 3), Qt::BackgroundRole).value<QBrush>(),
            model.Colours().converted);
  EXPECT_FALSE(model.data(model.index(1, 3), Qt::BackgroundRole).isValid());
  EXPECT_FALSE(model.data(model.index(0, 3), Qt::ToolTipRole).toString().isEmpty())
      << "grey rows explain themselves";
  // A record with a GPS track tells when it began in UTC and on what clock.
  records.records[0].hasTrack = true;
  records.records[0].track = {true, 1615786800000, 3 * 3600, 61}; // 2021-03-15 05:40 UTC
  Fill();
  const QString hint = model.data(model.index(0, 3), Qt::ToolTipRole).toString();
  for (const char *part : {"2021-03-15 05:40:00", "UTC+03:00", "61"})
    EXPECT_TRUE(hint.contains(part)) << part << " in " << hint.toStdString();
  // A failed record says so in its row, with an icon and a colour, not only
  // in its hint.
  model.SetRecordOutcome(1, "Not converted: why", true);
  EXPECT_EQ(model.data(model.index(1, 5), Qt::ToolTipRole).toString(), "Not converted: why");
  EXPECT_EQ(Column(kOutcomeColumn), (QStringList{"", "Not converted: why"}));
  EXPECT_FALSE(model.data(model.index(1, kOutcomeColumn), Qt::DecorationRole).isNull());
  EXPECT_EQ(model.data(model.index(1, 3), Qt::BackgroundRole).value<QBrush>(),
            model.Colours().failed);
  // The shades come from the palette: under a dark one they stay dark, so
  // its light text keeps its contrast.
  for (const auto &[base, text] : {std::pair{QColor(255, 255, 255), QColor(0, 0, 0)},
                                   std::pair{QColor(30, 30, 32), QColor(230, 230, 230)}}) {
    QPalette palette;
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::Text, text);
    model.SetPalette(palette);
    const QColor shade = model.data(model.index(0, 3), Qt::BackgroundRole).value<QBrush>().color();
    EXPECT_NE(shade, base);
    EXPECT_GT(std::abs(shade.lightness() - text.lightness()), 120) << shade.name().toStdString();
  }

  // Unreadable record folders follow the records: their text, no check box,
  // no catalog index, and sorting leaves them last.
  model.SetUnreadable({"Unreadable record R00000009_D210315_T083000: the record file is shorter "
                       "than 60 bytes"});
  Fill(2, true);
  ASSERT_EQ(model.rowCount(), 3);
  EXPECT_EQ(model.ListedCount(), 2);
  EXPECT_EQ(Column(0).last(), "Unreadable record R00000009_D210315_T083000: the record file is "
                              "shorter than 60 bytes");
  EXPECT_FALSE(model.data(model.index(2, 0), Qt::CheckStateRole).isValid());
  EXPECT_FALSE(model.flags(model.index(2, 0)).testFlag(Qt::ItemIsUserCheckable));
  EXPECT_EQ(model.IndexAt(2), kNoRecord);
  model.ToggleCheck(2);
  EXPECT_EQ(model.CheckedCount(), 1);
  EXPECT_EQ(model.data(model.index(2, 0), Qt::ForegroundRole).value<QBrush>(),
            model.Colours().unreadable);
  // The check box is the model's; the catalog gets it only when pushed.
  model.ToggleCheck(model.RowOf(1));
  EXPECT_EQ(model.Checks(), (std::vector<std::pair<std::uint32_t, bool>>{{1, false}, {0, false}}));
  EXPECT_TRUE(records.records[1].checked);
}

TEST_F(ListModel, FilterSortAndTheFirstFillInDateAndTimeOrder) {
  records.records.resize(4);
  records.records[0].hour = 10;
  records.records[1].hour = 9;
  records.records[2].day = 14;
  records.records[3].lengthMs = 26u * 3600 * 1000;
  records.records[3].hour = 9, records.records[3].minute = 0;
  Fill(0, true);
  EXPECT_EQ(model.IndexAt(0), 2u) << "an earlier day first";
  EXPECT_EQ(model.IndexAt(1), 3u) << "then by the time within the day";
  EXPECT_EQ(model.IndexAt(3), 0u);
  model.Sort(2, false);
  EXPECT_EQ(model.IndexAt(0), 3u) << "26 hours sort by their true length";
  model.Fill([](std::uint32_t i) { return i % 2 == 1; }, -1, true);
  ASSERT_EQ(model.rowCount(), 2);
  EXPECT_EQ(model.IndexAt(0), 1u) << "unsorted: catalog order";
  EXPECT_EQ(model.IndexAt(1), 3u);
}
