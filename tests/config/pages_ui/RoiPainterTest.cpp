#include "config/ui/RoiPainter.h"

#include <QColor>

#include <gtest/gtest.h>

using namespace orvo;

namespace {

RoiPicture DefaultPicture() {
  RoiPicture p;
  p.frameWidth = 640;
  p.frameHeight = 480;
  for (auto &area : p.areas)
    for (auto &r : area.rects)
      r = {40, 40, 20, 20, false};
  p.areas[0].on = true;
  p.areas[0].rects[0].on = true;
  return p;
}

QColor At(const QImage &image, int x, int y) {
  return image.pixelColor(x, y);
}

} // namespace

TEST(SettingsBitmaps, BothPicturesHaveTheDesignedSize) {
  for (int i : {kIdleBitmap, kMotionBitmap}) {
    const QImage image = SettingsBitmap(i);
    EXPECT_EQ(image.width(), kRoiPictureWidth) << i;
    EXPECT_EQ(image.height(), kRoiPictureHeight) << i;
  }
  EXPECT_TRUE(SettingsBitmap(kSettingsBitmapCount).isNull());
  EXPECT_NE(SettingsBitmap(kIdleBitmap), SettingsBitmap(kMotionBitmap));
}

TEST(RoiPainting, DefaultRectangleCornersAndFrameLandOnTheMappedPixels) {
  RoiGeometry g;
  const QImage image = RenderRoiPicture(DefaultPicture(), g);
  EXPECT_EQ(g.offX, 32);
  const QColor yellow(255, 255, 0);
  EXPECT_EQ(At(image, 177, 111), yellow);
  EXPECT_EQ(At(image, 250, 165), yellow);
  EXPECT_EQ(At(image, 250, 111), yellow);
  EXPECT_EQ(At(image, 177, 165), yellow);
  // Width 5: two pixels either side of the line.
  EXPECT_EQ(At(image, 213, 109), yellow);
  EXPECT_EQ(At(image, 213, 113), yellow);
  const QColor background = SettingsBitmap(kMotionBitmap).pixelColor(213, 138);
  EXPECT_EQ(At(image, 213, 138), background);
  EXPECT_EQ(At(image, 213, 106), background);
  const QColor silver(192, 192, 192);
  EXPECT_EQ(At(image, 32, 2), silver);
  EXPECT_EQ(At(image, 396, 275), silver);
  EXPECT_EQ(At(image, 200, 2), silver);
  EXPECT_EQ(At(image, 200, 3), background);
}

TEST(RoiPainting, OtherAreasAreThinAndCurrentRectangleLiesOnTop) {
  RoiPicture p = DefaultPicture();
  // Area 2's rectangle overlaps area 1's left edge; area 1 is current.
  p.areas[1].on = true;
  p.areas[1].rects[0] = {30, 40, 10, 20, true};
  RoiGeometry g;
  const QImage image = RenderRoiPicture(p, g);
  const QColor sky(166, 202, 240);
  // Shared edge at x 40 % = picture 177: the current rectangle wins.
  EXPECT_EQ(At(image, 177, 138), QColor(255, 255, 0));
  // Area 2's pen is 2 wide: its left edge (x 30 % = 192 px -> 141) covers
  // one of the neighbouring columns but not two.
  EXPECT_EQ(At(image, 141, 138), sky);
  const QColor background = SettingsBitmap(kMotionBitmap).pixelColor(10, 10);
  EXPECT_EQ(At(image, 138, 138), background);
  EXPECT_EQ(At(image, 144, 138), background);
}

TEST(RoiPainting, AreaSwitchedOffDrawsOnlyTheFrame) {
  RoiPicture p = DefaultPicture();
  p.areas[0].on = false;
  RoiGeometry g;
  const QImage image = RenderRoiPicture(p, g);
  const QColor background = SettingsBitmap(kMotionBitmap).pixelColor(10, 10);
  EXPECT_EQ(At(image, 177, 111), background);
  EXPECT_EQ(At(image, 32, 2), QColor(192, 192, 192));
}
