#include "config/ui/RoiEditor.h"

#include "config/Cfg_mgr.h"
#include "config/PageEdits.h"
#include "config/ui/AutostartSetupPage.h"
#include "config/ui/Binders.h"
#include "config/ui/RecorderSettings.h"
#include "config/ui/RoiPainter.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

#include <algorithm>
#include <array>
#include <utility>

namespace orvo {


RoiEditor::RoiEditor(RecorderSettings &settings, QLabel *image)
    : QObject(&settings), settings_(settings), image_(image) {
  image_->setMouseTracking(true);
  image_->installEventFilter(this);
  ImageList1 = {QPixmap::fromImage(SettingsBitmap(kIdleBitmap)),
                QPixmap::fromImage(SettingsBitmap(kMotionBitmap))};
}

bool RoiEditor::eventFilter(QObject *watched, QEvent *event) {
  if (watched == image_) {
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
      auto *mouse = static_cast<QMouseEvent *>(event);
      const QPoint p = mouse->position().toPoint();
      ImageCfgMouseDown(mouse->button(), p.x(), p.y());
      return true;
    }
    case QEvent::MouseMove: {
      const QPoint p = static_cast<QMouseEvent *>(event)->position().toPoint();
      ImageCfgMouseMove(p.x(), p.y());
      return true;
    }
    case QEvent::MouseButtonRelease: {
      auto *mouse = static_cast<QMouseEvent *>(event);
      const QPoint p = mouse->position().toPoint();
      ImageCfgMouseUp(mouse->button(), p.x(), p.y());
      return true;
    }
    default:
      break;
    }
  }
  return QObject::eventFilter(watched, event);
}

void RoiEditor::DrawSettingsPicture(int mode, const RoiPicture *picture) {
  QPixmap shown = ImageList1.value(mode);
  if (mode == kMotionBitmap && picture && !shown.isNull())
    shown = QPixmap::fromImage(RenderRoiPicture(shown.toImage(), *picture, RoiDrawing));
  if (shown.isNull()) {
    image_->clear();
    return;
  }
  image_->setFixedSize(shown.size());
  image_->setPixmap(shown);
}

void RoiEditor::CollectRoiPicture() {
  const AutostartSetupPage &page = *settings_.TabSheetAutostart;
  const int family =
      FamilyOfSourceIndex(std::clamp(settings_.SourceIndex, 0, kSourceIndexCount - 1));
  const int z = std::clamp<int>(GetField(FrameSizeField(family)), 0, kFrameSizeCount - 1);
  RoiPicture p;
  p.frameWidth = GetField(WindowField(family, z, kWindowDecimationH));
  p.frameHeight = GetField(WindowField(family, z, kWindowDecimationV));
  p.currentArea = std::clamp(page.RoiArea, 0, kMdAreaCount - 1);
  p.currentRect = std::clamp(page.RoiRect, 0, kMdRectCount - 1);
  for (int a = 0; a < kMdAreaCount; ++a) {
    RoiArea &area = p.areas[static_cast<std::size_t>(a)];
    const std::int32_t flags = GetField(AreaField(a) + kAreaFieldFlags);
    area.on = ((flags >> kAreaOnBit) & 1) != 0;
    for (int r = 0; r < kMdRectCount; ++r) {
      RoiRectangle &rect = area.rects[static_cast<std::size_t>(r)];
      rect.on = ((flags >> r) & 1) != 0;
      const int f = RectField(a, r);
      if (a == p.currentArea && r == p.currentRect) {
        // The edits may hold a drag not yet committed.
        rect.x = ParseEditNumber(page.EditMDROIX->text().toStdString());
        rect.y = ParseEditNumber(page.EditMDROIY->text().toStdString());
        rect.width = ParseEditNumber(page.EditMDROIW->text().toStdString());
        rect.height = ParseEditNumber(page.EditMDROIH->text().toStdString());
      } else {
        rect.x = GetField(f + kRectX);
        rect.y = GetField(f + kRectY);
        rect.width = GetField(f + kRectWidth);
        rect.height = GetField(f + kRectHeight);
      }
    }
  }
  DrawSettingsPicture(1, &p);
}

void RoiEditor::ImageCfgMouseDown(Qt::MouseButton button, int x, int y) {
  QWidget *page = settings_.CurrentSettingsPage();
  if (button != Qt::LeftButton || !HasControlTag(page) || ControlTag(page) != kPageAutostart)
    return;
  // The picture edits what the rectangle's edits edit, and only while they
  // may be edited.
  const AutostartSetupPage &motion = *settings_.TabSheetAutostart;
  if (!motion.CheckBoxMDROIOn->isChecked() || !motion.CheckBoxMDROIRectOn->isChecked() ||
      !motion.EditMDROIX->isEnabled())
    return;
  DragActive = true;
  DragAnchor = QPoint(x, y);
  UpdateDraggedRectangle(x, y, false);
}

void RoiEditor::ImageCfgMouseMove(int x, int y) {
  if (DragActive)
    UpdateDraggedRectangle(x, y, false);
}

void RoiEditor::ImageCfgMouseUp(Qt::MouseButton button, int x, int y) {
  if (button != Qt::LeftButton || !DragActive)
    return;
  UpdateDraggedRectangle(x, y, true);
  DragActive = false;
}

void RoiEditor::UpdateDraggedRectangle(int x, int y, bool commit) {
  AutostartSetupPage &page = *settings_.TabSheetAutostart;
  const RoiRectangle r = DraggedRectangle(RoiDrawing, {DragAnchor.x(), DragAnchor.y()}, {x, y});
  const std::array<std::pair<QLineEdit *, std::int32_t>, 4> values{{{page.EditMDROIX, r.x},
                                                                    {page.EditMDROIY, r.y},
                                                                    {page.EditMDROIW, r.width},
                                                                    {page.EditMDROIH, r.height}}};
  if (!commit) {
    for (const auto &[edit, value] : values)
      edit->setText(QString::number(value));
    CollectRoiPicture();
    return;
  }
  for (const auto &[edit, value] : values) {
    edit->setText(QString::number(value));
    page.EditNumChange(edit);
  }
}

} // namespace orvo
