#pragma once

// Geometry of the motion-detection picture: the encoded frame drawn as a
// scaled outline with the detection rectangles of the four areas. Rectangles
// are kept in percent of the encoded frame; these functions convert between
// percent, frame pixels and picture pixels and list the outlines to draw, so
// that the window only has to stroke them.

#include "config/CfgFields.h"

#include <array>
#include <cstdint>
#include <vector>

namespace orvo {

inline constexpr int kRoiPictureWidth = 429;
inline constexpr int kRoiPictureHeight = 277;
// Space kept between the scaled frame and the picture's edges, both sides.
inline constexpr int kRoiPictureMargin = 4;

struct RoiRectangle {
  std::int32_t x = 0; // percent
  std::int32_t y = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  bool on = false;
};

struct RoiArea {
  std::array<RoiRectangle, kMdRectCount> rects{};
  bool on = false;
};

struct RoiPicture {
  std::int32_t frameWidth = 0; // pixels of the encoded frame
  std::int32_t frameHeight = 0;
  int currentArea = 0;
  int currentRect = 0;
  std::array<RoiArea, kMdAreaCount> areas{};
};

// Scale and placement of the frame in the picture of the last drawing.
struct RoiGeometry {
  std::int32_t frameWidth = 0;
  std::int32_t frameHeight = 0;
  double scale = 0.0;
  std::int32_t offX = 0;
  std::int32_t offY = 0;
};

struct RoiPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  bool operator==(const RoiPoint &) const = default;
};

struct RoiColour {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  bool operator==(const RoiColour &) const = default;
};

inline constexpr RoiColour kRoiFrameColour{192, 192, 192};
inline constexpr std::array<RoiColour, kMdAreaCount> kRoiAreaColours{{
    {255, 255, 0},   // yellow
    {166, 202, 240}, // sky blue
    {0, 255, 0},     // lime
    {255, 128, 0},   // orange
}};

inline constexpr int kRoiFramePen = 1;
inline constexpr int kRoiCurrentRectPen = 5;
inline constexpr int kRoiCurrentAreaPen = 3;
inline constexpr int kRoiOtherAreaPen = 2;

// A closed outline: the corners top-left, top-right, bottom-right,
// bottom-left and top-left again, each mapped into the picture on its own.
struct RoiOutline {
  std::array<RoiPoint, 5> points{};
  RoiColour colour{};
  int penWidth = 1;
  int area = -1; // -1 for the frame outline
  int rect = -1;
};

// The scale is the smaller of the two axis ratios of the picture less its
// margin to the frame; the scaled frame is centred. A frame without a size
// gets scale 0.
RoiGeometry ComputeRoiGeometry(int pictureWidth, int pictureHeight, std::int32_t frameWidth,
                               std::int32_t frameHeight);

RoiPoint MapFramePoint(const RoiGeometry &g, std::int32_t x, std::int32_t y);

// The outlines of a drawing in drawing order: the frame, the rectangles that
// are on of every area that is on, and the current rectangle once more on
// top when it and its area are on.
std::vector<RoiOutline> RoiOutlines(const RoiPicture &picture, const RoiGeometry &g);

// Picture coordinate to percent of the frame, 0..100.
int ImageToPercentX(const RoiGeometry &g, int p);
int ImageToPercentY(const RoiGeometry &g, int p);

// The rectangle spanned by a drag from `anchor` to `point`, in percent.
RoiRectangle DraggedRectangle(const RoiGeometry &g, RoiPoint anchor, RoiPoint point);

} // namespace orvo
