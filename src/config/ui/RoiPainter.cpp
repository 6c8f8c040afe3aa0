#include "config/ui/RoiPainter.h"

#include <QColor>
#include <QPainter>
#include <QPen>
#include <QString>

// The resources of a static library are registered on first use. Outside
// any namespace: the macro declares the registration function where it
// stands.
static void InitConfigResources() {
  static const bool done = [] {
    Q_INIT_RESOURCE(ConfigUi);
    return true;
  }();
  (void)done;
}

namespace orvo {

QImage SettingsBitmap(int index) {
  static const char *const kFiles[kSettingsBitmapCount] = {":/config/idle.png",
                                                           ":/config/motion.png"};
  if (index < 0 || index >= kSettingsBitmapCount)
    return {};
  InitConfigResources();
  QImage image(QString::fromLatin1(kFiles[index]));
  if (image.isNull()) {
    // Still a picture of the right size should the resource be missing.
    image = QImage(kRoiPictureWidth, kRoiPictureHeight, QImage::Format_RGB32);
    image.fill(QColor(48, 48, 48));
  }
  return image.convertToFormat(QImage::Format_RGB32);
}

void StrokeRoiOutlines(QPainter &painter, const std::vector<RoiOutline> &outlines) {
  painter.setRenderHint(QPainter::Antialiasing, false);
  for (const RoiOutline &o : outlines) {
    painter.setPen(QPen(QColor(o.colour.r, o.colour.g, o.colour.b), o.penWidth, Qt::SolidLine,
                        Qt::RoundCap, Qt::RoundJoin));
    for (std::size_t i = 0; i + 1 < o.points.size(); ++i)
      painter.drawLine(o.points[i].x, o.points[i].y, o.points[i + 1].x, o.points[i + 1].y);
  }
}

QImage RenderRoiPicture(const RoiPicture &picture, RoiGeometry &geometry) {
  return RenderRoiPicture(SettingsBitmap(kMotionBitmap), picture, geometry);
}

QImage RenderRoiPicture(QImage background, const RoiPicture &picture, RoiGeometry &geometry) {
  QImage image = background.convertToFormat(QImage::Format_RGB32);
  geometry =
      ComputeRoiGeometry(image.width(), image.height(), picture.frameWidth, picture.frameHeight);
  QPainter painter(&image);
  StrokeRoiOutlines(painter, RoiOutlines(picture, geometry));
  painter.end();
  return image;
}

} // namespace orvo
