#include "player/ui/Timeline.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace orvo {

namespace {
constexpr int kMargin = 6;
}

Timeline::Timeline(QWidget *parent) : QWidget(parent) {
  setMinimumHeight(18);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  setCursor(Qt::PointingHandCursor);
}

void Timeline::SetDuration(qint64 ms) {
  duration_ = std::max<qint64>(ms, 0);
  update();
}

void Timeline::SetPosition(qint64 ms) {
  if (ms == position_)
    return;
  position_ = ms;
  update();
}

void Timeline::SetMarks(qint64 inMs, qint64 outMs) {
  in_ = inMs;
  out_ = outMs;
  update();
}

qint64 Timeline::TimeAt(int x) const {
  const int span = std::max(1, width() - 2 * kMargin);
  const double share = std::clamp((x - kMargin) / static_cast<double>(span), 0.0, 1.0);
  return static_cast<qint64>(share * static_cast<double>(duration_));
}

int Timeline::XOf(qint64 ms) const {
  const int span = std::max(1, width() - 2 * kMargin);
  if (duration_ <= 0)
    return kMargin;
  return kMargin + static_cast<int>(static_cast<double>(std::clamp<qint64>(ms, 0, duration_)) *
                                    span / static_cast<double>(duration_));
}

void Timeline::paintEvent(QPaintEvent *) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QPalette &pal = palette();
  const int mid = height() / 2;
  const QRectF bar(kMargin, mid - 3, width() - 2 * kMargin, 6);
  p.setPen(Qt::NoPen);
  p.setBrush(pal.color(QPalette::Mid));
  p.drawRoundedRect(bar, 3, 3);
  if (in_ >= 0 || out_ >= 0) {
    const int a = XOf(in_ >= 0 ? in_ : 0), b = XOf(out_ >= 0 ? out_ : duration_);
    QColor marked = pal.color(QPalette::Link);
    marked.setAlpha(110);
    p.setBrush(marked);
    p.drawRect(QRectF(a, 1, std::max(2, b - a), height() - 2));
  }
  p.setBrush(pal.color(QPalette::Highlight));
  p.drawRoundedRect(QRectF(bar.left(), bar.top(), XOf(position_) - kMargin, bar.height()), 3, 3);
  p.setBrush(pal.color(hasFocus() ? QPalette::Highlight : QPalette::ButtonText));
  p.drawEllipse(QPointF(XOf(position_), mid), 6, 6);
}

void Timeline::mousePressEvent(QMouseEvent *event) {
  if (event->button() == Qt::LeftButton && duration_ > 0)
    emit seekRequested(TimeAt(event->position().toPoint().x()));
}

void Timeline::mouseMoveEvent(QMouseEvent *event) {
  if ((event->buttons() & Qt::LeftButton) && duration_ > 0)
    emit seekRequested(TimeAt(event->position().toPoint().x()));
}

} // namespace orvo
