#include "player/ui/RouteMapView.h"
#include "player/ui/SpeedChartView.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

using namespace orvo;

namespace {

constexpr qint64 kStartUtc = 1615797000000;

// A minute driving straight east at 20 m/s (72 km/h), one fix a second,
// starting with the video.
gps::GpsTrack EastboundTrack() {
  gps::GpsTrack t;
  const double degreesPerSecond = 20 / 111195.0 / std::cos(55.0 * 3.14159265358979 / 180);
  for (int i = 0; i < 60; ++i)
    t.fixes.push_back(
        {kStartUtc + i * 1000, 55.0, 37.0 + i * degreesPerSecond, {}, 20, false, {}, false});
  return t;
}

qint64 LastSeek(const QSignalSpy &spy) {
  return spy.isEmpty() ? -1 : spy.last().at(0).toLongLong();
}

} // namespace

TEST(RouteMapView, ClickNearTheRouteSeeksToTheNearestFixOnly) {
  RouteMapView map;
  map.resize(400, 300);
  map.setTrack(EastboundTrack(), kStartUtc, 60000);
  QSignalSpy spy(&map, &RouteMapView::seekRequested);

  QTest::mouseClick(&map, Qt::LeftButton, {}, QPoint(200, 5));
  EXPECT_TRUE(spy.isEmpty()) << "far above the road";

  // The road runs across the middle, west to east as the time goes: a
  // click straight down at a quarter of the width hits it a quarter in.
  const int x = 14 + (400 - 28) / 4;
  for (int y = 0; y < 300 && spy.isEmpty(); y += 8)
    QTest::mouseClick(&map, Qt::LeftButton, {}, QPoint(x, y));
  ASSERT_EQ(spy.size(), 1);
  EXPECT_NEAR(LastSeek(spy), 15000, 2000);
}

TEST(RouteMapView, DragAlongTheRouteFollowsThePointer) {
  RouteMapView map;
  map.resize(400, 300);
  map.setTrack(EastboundTrack(), kStartUtc, 60000);
  QSignalSpy spy(&map, &RouteMapView::seekRequested);
  int y = 0;
  for (; y < 300 && spy.isEmpty(); y += 8)
    QTest::mouseClick(&map, Qt::LeftButton, {}, QPoint(14, y));
  ASSERT_FALSE(spy.isEmpty());
  EXPECT_LT(LastSeek(spy), 1000);

  QTest::mousePress(&map, Qt::LeftButton, {}, QPoint(14, y - 8));
  QMouseEvent move(QEvent::MouseMove, QPointF(390, 10), map.mapToGlobal(QPointF(390, 10)),
                   Qt::NoButton, Qt::LeftButton, {});
  QApplication::sendEvent(&map, &move);
  QTest::mouseRelease(&map, Qt::LeftButton, {}, QPoint(390, 10));
  EXPECT_EQ(LastSeek(spy), 59000) << "the drag keeps going once it started on the road";
}

TEST(SpeedChartView, ClickAndDragSeekWithinTheVideo) {
  SpeedChartView chart;
  chart.resize(500, 160);
  chart.setTrack(EastboundTrack(), kStartUtc, 120000);
  QSignalSpy spy(&chart, &SpeedChartView::seekRequested);
  QTest::mouseClick(&chart, Qt::LeftButton, {}, QPoint(250, 80));
  ASSERT_EQ(spy.size(), 1);
  EXPECT_NEAR(LastSeek(spy), 60000, 6000);

  QTest::mousePress(&chart, Qt::LeftButton, {}, QPoint(0, 80));
  EXPECT_EQ(LastSeek(spy), 0);
  QMouseEvent move(QEvent::MouseMove, QPointF(499, 80), chart.mapToGlobal(QPointF(499, 80)),
                   Qt::NoButton, Qt::LeftButton, {});
  QApplication::sendEvent(&chart, &move);
  EXPECT_EQ(LastSeek(spy), 120000);
  QTest::mouseRelease(&chart, Qt::LeftButton, {}, QPoint(499, 80));
}

TEST(TrackViews, PaintAtAnySizeWithOrWithoutATrack) {
  RouteMapView map;
  SpeedChartView chart;
  gps::GpsTrack one;
  one.fixes.push_back(EastboundTrack().fixes.front());
  for (const gps::GpsTrack &track : {EastboundTrack(), one, gps::GpsTrack{}}) {
    map.setTrack(track, kStartUtc, 60000);
    chart.setTrack(track, kStartUtc, 0);
    map.setHighlight(50000, 10000);
    chart.setHighlight(-5000, 90000);
    for (QSize size : {QSize(1, 1), QSize(60, 20), QSize(400, 300), QSize(1600, 120)}) {
      for (qint64 at : {-3000LL, 30000LL, 70000LL}) {
        map.setPosition(at);
        chart.setPosition(at);
        map.resize(size);
        chart.resize(size);
        EXPECT_FALSE(map.grab().isNull());
        EXPECT_FALSE(chart.grab().isNull());
      }
    }
  }
}

TEST(TrackViews, TakeTheirColoursFromThePalette) {
  QPalette dark;
  dark.setColor(QPalette::Base, QColor(20, 22, 24));
  dark.setColor(QPalette::Text, QColor(230, 230, 230));
  dark.setColor(QPalette::Highlight, QColor(40, 160, 255));
  RouteMapView map;
  SpeedChartView chart;
  for (QWidget *w : {static_cast<QWidget *>(&map), static_cast<QWidget *>(&chart)}) {
    w->setPalette(dark);
    w->resize(300, 200);
  }
  map.setTrack(EastboundTrack(), kStartUtc);
  chart.setTrack(EastboundTrack(), kStartUtc);
  for (QWidget *w : {static_cast<QWidget *>(&map), static_cast<QWidget *>(&chart)}) {
    const QImage image = w->grab().toImage();
    EXPECT_EQ(image.pixelColor(3, 3), QColor(20, 22, 24));
  }
}
