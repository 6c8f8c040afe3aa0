#include "config/RoiPicture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace orvo {

namespace {

std::int32_t Truncate(double v) {
  // Out-of-range values only come from nonsense edit texts; keep them finite.
  constexpr double kLimit = 1e9;
  return static_cast<std::int32_t>(std::clamp(std::trunc(v), -kLimit, kLimit));
}

std::int32_t PercentOf(std::int32_t percent, std::int32_t size) {
  return static_cast<std::int32_t>(std::int64_t{percent} * size / 100);
}

RoiOutline Outline(const RoiGeometry &g, std::int32_t x, std::int32_t y, std::int32_t w,
                   std::int32_t h) {
  RoiOutline o;
  o.points = {MapFramePoint(g, x, y), MapFramePoint(g, x + w, y), MapFramePoint(g, x + w, y + h),
              MapFramePoint(g, x, y + h), MapFramePoint(g, x, y)};
  return o;
}

RoiOutline RectOutline(const RoiPicture &p, const RoiGeometry &g, int area, int rect, int pen) {
  const RoiRectangle &r = p.areas[area].rects[rect];
  RoiOutline o = Outline(g, PercentOf(r.x, p.frameWidth), PercentOf(r.y, p.frameHeight),
                         PercentOf(r.width, p.frameWidth), PercentOf(r.height, p.frameHeight));
  o.colour = kRoiAreaColours[area];
  o.penWidth = pen;
  o.area = area;
  o.rect = rect;
  return o;
}

int ImageToPercent(int p, std::int32_t offset, std::int32_t frameSize, double scale) {
  p += 2;
  if (p < offset || frameSize <= 0 || scale <= 0.0)
    return 0;
  return std::min(Truncate((p - offset) * 100.0 / (frameSize * scale)), 100);
}

} // namespace

RoiGeometry ComputeRoiGeometry(int pictureWidth, int pictureHeight, std::int32_t frameWidth,
                               std::int32_t frameHeight) {
  RoiGeometry g;
  g.frameWidth = frameWidth;
  g.frameHeight = frameHeight;
  if (frameWidth > 0 && frameHeight > 0)
    g.scale = std::min(static_cast<double>(pictureWidth - kRoiPictureMargin) / frameWidth,
                       static_cast<double>(pictureHeight - kRoiPictureMargin) / frameHeight);
  g.offX = (pictureWidth - Truncate(frameWidth * g.scale)) / 2;
  g.offY = (pictureHeight - Truncate(frameHeight * g.scale)) / 2;
  return g;
}

RoiPoint MapFramePoint(const RoiGeometry &g, std::int32_t x, std::int32_t y) {
  return {Truncate(x * g.scale) + g.offX, Truncate(y * g.scale) + g.offY};
}

std::vector<RoiOutline> RoiOutlines(const RoiPicture &p, const RoiGeometry &g) {
  std::vector<RoiOutline> out;
  RoiOutline frame = Outline(g, 0, 0, p.frameWidth, p.frameHeight);
  frame.colour = kRoiFrameColour;
  frame.penWidth = kRoiFramePen;
  out.push_back(frame);
  const int current = std::clamp(p.currentArea, 0, kMdAreaCount - 1);
  const int currentRect = std::clamp(p.currentRect, 0, kMdRectCount - 1);
  for (int a = 0; a < kMdAreaCount; ++a) {
    if (!p.areas[a].on)
      continue;
    for (int r = 0; r < kMdRectCount; ++r) {
      if (!p.areas[a].rects[r].on)
        continue;
      int pen = kRoiOtherAreaPen;
      if (a == current)
        pen = r == currentRect ? kRoiCurrentRectPen : kRoiCurrentAreaPen;
      out.push_back(RectOutline(p, g, a, r, pen));
    }
  }
  if (p.areas[current].on && p.areas[current].rects[currentRect].on)
    out.push_back(RectOutline(p, g, current, currentRect, kRoiCurrentRectPen));
  return out;
}

int ImageToPercentX(const RoiGeometry &g, int p) {
  return ImageToPercent(p, g.offX, g.frameWidth, g.scale);
}

int ImageToPercentY(const RoiGeometry &g, int p) {
  return ImageToPercent(p, g.offY, g.frameHeight, g.scale);
}

RoiRectangle DraggedRectangle(const RoiGeometry &g, RoiPoint anchor, RoiPoint point) {
  RoiRectangle r;
  r.x = ImageToPercentX(g, std::min(anchor.x, point.x));
  r.width = ImageToPercentX(g, std::max(anchor.x, point.x)) - r.x;
  r.y = ImageToPercentY(g, std::min(anchor.y, point.y));
  r.height = ImageToPercentY(g, std::max(anchor.y, point.y)) - r.y;
  r.on = true;
  return r;
}

} // namespace orvo
