#include "player/RouteGeometry.h"
#include "player/MapFit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <utility>

using namespace orvo::player;

namespace {

double Distance(MapPoint a, MapPoint b) {
  return std::hypot(a.x - b.x, a.y - b.y);
}

// Fixes a second apart along the given places.
TrackTimeline Through(std::initializer_list<std::pair<double, double>> places) {
  std::vector<TimedFix> fixes;
  std::int64_t t = 0;
  for (auto [lat, lon] : places)
    fixes.push_back({t += 1000, lat, lon, 0});
  return TrackTimeline(std::move(fixes));
}

} // namespace

TEST(RouteGeometry, KeepsGreatCircleDistances) {
  // 1547.43 m by the haversine formula on the mean radius; one degree of
  // latitude is 111.195 km.
  const RouteGeometry g(Through({{55.7539, 37.6208}, {55.7601, 37.6186}, {55.7639, 37.6380}}));
  EXPECT_NEAR(Distance(g.points()[0], g.points()[2]), 1547.43, 1.0);
  const RouteGeometry meridian(Through({{60.0, 10.0}, {61.0, 10.0}}));
  EXPECT_NEAR(Distance(meridian.points()[0], meridian.points()[1]), 111195, 5);
  // East at 60 degrees north a degree of longitude is half as long.
  const RouteGeometry parallel(Through({{60.0, 10.0}, {60.0, 10.02}}));
  EXPECT_NEAR(Distance(parallel.points()[0], parallel.points()[1]), 1111.95, 1.0);
  EXPECT_GT(parallel.points()[1].x, parallel.points()[0].x);
  EXPECT_NEAR(parallel.points()[1].y, parallel.points()[0].y, 1e-9);
}

TEST(RouteGeometry, CentresTheBoundsEvenAcrossThe180thMeridian) {
  const RouteGeometry g(Through({{-16.0, 179.99}, {-16.01, -179.99}}));
  const MapBounds b = g.bounds();
  EXPECT_NEAR(b.minX, -b.maxX, 1e-6);
  EXPECT_NEAR(b.width(), 2140, 10); // 0.02 degrees at 16 degrees south
  EXPECT_NEAR(std::abs(g.centreLongitude()), 180, 1e-9);
}

TEST(RouteGeometry, NearestFixAndInterpolatedPoint) {
  const RouteGeometry g(Through({{50.0, 8.0}, {50.001, 8.0}, {50.002, 8.0}, {50.001, 8.0}}));
  const MapPoint middle = g.points()[1];
  // The route passes here twice; the earlier fix wins.
  EXPECT_EQ(g.nearestFix({middle.x + 3, middle.y}), 1u);
  EXPECT_EQ(g.nearestFix({middle.x, middle.y + 70}), 2u);
  EXPECT_FALSE(g.nearestFix({middle.x + 50, middle.y}, 20));
  EXPECT_FALSE(RouteGeometry().nearestFix({0, 0}));
  const MapPoint half = g.pointAt({1, 0.5});
  EXPECT_NEAR(half.y, (g.points()[1].y + g.points()[2].y) / 2, 1e-9);
  EXPECT_NEAR(g.pointAt({3, 0}).y, g.points()[3].y, 1e-9);
}

TEST(MapFit, KeepsNorthUpAndTheAspectCentred) {
  // 2 km east-west, 500 m north-south, in a square of 200 px.
  const MapBounds b{-1000, -250, 1000, 250};
  const MapFit fit = fitBounds(b, {10, 20, 200, 200});
  EXPECT_DOUBLE_EQ(fit.pixelsPerMetre, 0.1);
  const PixelPoint west = fit.toPixel({-1000, 0}), east = fit.toPixel({1000, 0});
  const PixelPoint north = fit.toPixel({0, 250}), south = fit.toPixel({0, -250});
  EXPECT_DOUBLE_EQ(west.x, 10);
  EXPECT_DOUBLE_EQ(east.x, 210);
  EXPECT_LT(north.y, south.y);
  EXPECT_DOUBLE_EQ(south.y - north.y, 50);
  EXPECT_DOUBLE_EQ((north.y + south.y) / 2, 120);
  const MapPoint back = fit.toMap({37, 91});
  const PixelPoint again = fit.toPixel(back);
  EXPECT_DOUBLE_EQ(again.x, 37);
  EXPECT_DOUBLE_EQ(again.y, 91);
}

TEST(MapFit, ShowsAStandingCarAtTheLeastExtent) {
  const MapFit fit = fitBounds({5, 5, 5, 5}, {0, 0, 300, 200}, 100);
  EXPECT_DOUBLE_EQ(fit.pixelsPerMetre, 2);
  EXPECT_DOUBLE_EQ(fit.toPixel({5, 5}).x, 150);
  EXPECT_DOUBLE_EQ(fit.toPixel({5, 5}).y, 100);
  // A road straight north keeps the scale of its length.
  EXPECT_DOUBLE_EQ(fitBounds({0, 0, 0, 4000}, {0, 0, 300, 200}).pixelsPerMetre, 0.05);
}
