#pragma once

// The picture beside the recorder settings pages: the idle picture, or on
// the motion page the encoded frame with the detection rectangles, where the
// chosen rectangle can be drawn with the mouse.

#include "config/RoiPicture.h"

#include <QList>
#include <QObject>
#include <QPixmap>
#include <QPoint>

class QLabel;

namespace orvo {

class RecorderSettings;

class RoiEditor : public QObject {
  Q_OBJECT
public:
  // Takes the mouse events of `image`, which shows the pictures.
  RoiEditor(RecorderSettings &settings, QLabel *image);

  // Mode 0 shows the idle bitmap, 1 the motion drawing of `picture`.
  void DrawSettingsPicture(int mode, const RoiPicture *picture);
  // The motion drawing of the configuration and the rectangle edits.
  void CollectRoiPicture();

  void ImageCfgMouseDown(Qt::MouseButton button, int x, int y);
  void ImageCfgMouseMove(int x, int y);
  void ImageCfgMouseUp(Qt::MouseButton button, int x, int y);
  void UpdateDraggedRectangle(int x, int y, bool commit);

  // The preview pictures (429 x 277).
  QList<QPixmap> ImageList1;
  bool DragActive = false;
  QPoint DragAnchor;
  // Scale and offsets of the last motion drawing.
  RoiGeometry RoiDrawing;

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  RecorderSettings &settings_;
  QLabel *image_;
};

} // namespace orvo
