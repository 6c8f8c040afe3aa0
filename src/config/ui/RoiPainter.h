#pragma once

// The pictures beside the settings pages: the two bitmaps of the window's
// image list (0 idle picture, 1 background of the motion page) and the motion
// drawing on the latter.

#include "config/RoiPicture.h"

#include <QImage>

#include <vector>

class QPainter;

namespace orvo {

inline constexpr int kIdleBitmap = 0;
inline constexpr int kMotionBitmap = 1;
inline constexpr int kSettingsBitmapCount = 2;

// A copy of bitmap `index`; a null image for an index beyond the list.
QImage SettingsBitmap(int index);

// Solid pens of the outlines' widths and colours, each side a line of its own.
void StrokeRoiOutlines(QPainter &painter, const std::vector<RoiOutline> &outlines);

// The motion drawing on `background` (the motion bitmap); `geometry`
// receives the scale and offsets the mouse editing converts with.
QImage RenderRoiPicture(QImage background, const RoiPicture &picture, RoiGeometry &geometry);
QImage RenderRoiPicture(const RoiPicture &picture, RoiGeometry &geometry);

} // namespace orvo
