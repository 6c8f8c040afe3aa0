#include "player/ui/FrameView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QVideoSink>

namespace orvo {

FrameView::FrameView(QWidget *parent) : QWidget(parent), sink_(new QVideoSink(this)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(160, 90);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  connect(sink_, &QVideoSink::videoFrameChanged, this, [this](const QVideoFrame &frame) {
    frame_ = frame;
    update();
  });
}

// The sink, going with this widget, detaches from its player, which hands it
// one last (empty) frame: not to this half-destroyed widget.
FrameView::~FrameView() {
  disconnect(sink_, nullptr, this, nullptr);
}

QImage FrameView::CurrentImage() const {
  return frame_.isValid() ? frame_.toImage() : QImage();
}

void FrameView::Clear() {
  frame_ = QVideoFrame();
  update();
}

void FrameView::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  const QImage image = CurrentImage();
  if (image.isNull())
    return;
  const QSize fitted = image.size().scaled(size(), Qt::KeepAspectRatio);
  const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2),
                     fitted);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(target, image);
}

void FrameView::mouseDoubleClickEvent(QMouseEvent *event) {
  event->accept();
  emit doubleClicked();
}

} // namespace orvo
