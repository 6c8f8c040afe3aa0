#include "config/RoiPicture.h"

#include <gtest/gtest.h>

using namespace orvo;

namespace {

RoiPicture DefaultPicture(int fw, int fh) {
  RoiPicture p;
  p.frameWidth = fw;
  p.frameHeight = fh;
  for (auto &area : p.areas)
    for (auto &r : area.rects)
      r = {40, 40, 20, 20, false};
  p.areas[0].on = true;
  p.areas[0].rects[0].on = true;
  return p;
}

RoiGeometry Picture(int fw, int fh) {
  return ComputeRoiGeometry(kRoiPictureWidth, kRoiPictureHeight, fw, fh);
}

} // namespace

TEST(RoiGeometryTest, FullFrameIsHeightBoundAndCentred) {
  const RoiGeometry g = Picture(640, 480);
  EXPECT_DOUBLE_EQ(g.scale, 0.56875);
  EXPECT_EQ(g.offX, 32);
  EXPECT_EQ(g.offY, 2);
  const auto outlines = RoiOutlines(DefaultPicture(640, 480), g);
  ASSERT_EQ(outlines.size(), 3u);
  const RoiOutline &rect = outlines[1];
  EXPECT_EQ(rect.points[0], (RoiPoint{177, 111}));
  EXPECT_EQ(rect.points[2], (RoiPoint{250, 165}));
  EXPECT_EQ(rect.points[4], rect.points[0]);
}

TEST(RoiGeometryTest, SmallFrameScalesUp) {
  const RoiGeometry g = Picture(160, 112);
  EXPECT_DOUBLE_EQ(g.scale, 2.4375);
  EXPECT_EQ(g.offX, 19);
  EXPECT_EQ(g.offY, 2);
}

TEST(RoiGeometryTest, FrameWithoutSizeNeitherDividesByZeroNorMapsToPercent) {
  const RoiGeometry g = Picture(0, 480);
  EXPECT_EQ(g.scale, 0.0);
  EXPECT_EQ(ImageToPercentX(g, 300), 0);
  EXPECT_EQ(ImageToPercentY(g, 200), 0);
}

TEST(RoiOutlinesTest, FrameFirstThenAreasThenCurrentRectangleOnTop) {
  RoiPicture p = DefaultPicture(640, 480);
  p.areas[1].on = true;
  p.areas[1].rects[2].on = true;
  p.areas[0].rects[3].on = true;
  p.currentArea = 0;
  p.currentRect = 3;
  const auto o = RoiOutlines(p, Picture(640, 480));
  ASSERT_EQ(o.size(), 5u);
  EXPECT_EQ(o[0].colour, kRoiFrameColour);
  EXPECT_EQ(o[0].penWidth, 1);
  EXPECT_EQ(o[0].points[0], (RoiPoint{32, 2}));
  EXPECT_EQ(o[0].points[2], (RoiPoint{396, 275}));
  EXPECT_EQ(o[1].penWidth, 3); // current area, other rectangle
  EXPECT_EQ(o[1].rect, 0);
  EXPECT_EQ(o[2].penWidth, 5);
  EXPECT_EQ(o[2].rect, 3);
  EXPECT_EQ(o[3].penWidth, 2); // other area
  EXPECT_EQ(o[3].colour, kRoiAreaColours[1]);
  EXPECT_EQ(o[4].area, 0);
  EXPECT_EQ(o[4].rect, 3);
  EXPECT_EQ(o[4].penWidth, 5);
}

TEST(RoiOutlinesTest, AreaOffHidesItsRectanglesAndNoTopDrawing) {
  RoiPicture p = DefaultPicture(640, 480);
  p.areas[0].on = false;
  EXPECT_EQ(RoiOutlines(p, Picture(640, 480)).size(), 1u);
  p.areas[0].on = true;
  p.areas[0].rects[0].on = false;
  EXPECT_EQ(RoiOutlines(p, Picture(640, 480)).size(), 1u);
}

TEST(RoiPercentTest, PictureToPercentIsLimitedToTheFrame) {
  const RoiGeometry g = Picture(640, 480);
  EXPECT_EQ(ImageToPercentX(g, 0), 0);
  EXPECT_EQ(ImageToPercentX(g, 29), 0);
  // The drawn corner of 40 % lies at picture x 177; percent is truncated.
  EXPECT_EQ(ImageToPercentX(g, 175), 39);
  EXPECT_EQ(ImageToPercentX(g, 176), 40);
  EXPECT_EQ(ImageToPercentY(g, 109), 39);
  EXPECT_EQ(ImageToPercentX(g, 428), 100);
  EXPECT_EQ(ImageToPercentY(g, 1000), 100);
}

TEST(RoiPercentTest, DragPastTheFrameEndsAtItsEdge) {
  const RoiGeometry g = Picture(640, 480);
  const RoiRectangle right = DraggedRectangle(g, {300, 100}, {428, 50});
  EXPECT_LE(right.x + right.width, 100);
  EXPECT_EQ(right.x + right.width, 100);
  EXPECT_LT(right.y, 40);
  const RoiRectangle left = DraggedRectangle(g, {200, 100}, {0, 100});
  EXPECT_EQ(left.x, 0);
  EXPECT_EQ(left.height, 0);
  const RoiRectangle click = DraggedRectangle(g, {200, 100}, {200, 100});
  EXPECT_EQ(click.width, 0);
  EXPECT_EQ(click.height, 0);
}
