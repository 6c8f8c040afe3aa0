#include "player/ui/RouteMapView.h"

#include "player/ScaleBar.h"
#include "player/ui/TrackColours.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <utility>

namespace orvo {

namespace {

constexpr int kMargin = 14;
constexpr double kGrabDistance = 16;  // pixels from a fix that still pick it
constexpr double kScaleBarRoom = 0.4; // of the width at most

} // namespace

RouteMapView::RouteMapView(QWidget *parent) : QWidget(parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void RouteMapView::setTrack(const gps::GpsTrack &track, qint64 utcStartMs, qint64 durationMs) {
  timeline_ = player::TrackTimeline(track, utcStartMs);
  geometry_ = player::RouteGeometry(timeline_);
  durationMs_ = durationMs;
  lastSought_.reset();
  layOut();
  update();
}

void RouteMapView::clearTrack() {
  setTrack({}, 0);
}

void RouteMapView::setPosition(qint64 ms) {
  if (ms == positionMs_)
    return;
  positionMs_ = ms;
  update();
}

void RouteMapView::setHighlight(qint64 fromMs, qint64 toMs) {
  highlight_ = std::pair(std::min(fromMs, toMs), std::max(fromMs, toMs));
  update();
}

void RouteMapView::clearHighlight() {
  highlight_.reset();
  update();
}

// The scale bar and the north arrow get a strip of their own below the
// route, so they never cross it.
void RouteMapView::layOut() {
  const int strip = fontMetrics().height() + 8;
  const double width = std::max(1, this->width() - 2 * kMargin);
  const double height = std::max(1, this->height() - 2 * kMargin - strip);
  fit_ = player::fitBounds(geometry_.bounds(), {kMargin, kMargin, width, height});
  route_.clear();
  route_.reserve(static_cast<qsizetype>(geometry_.points().size()));
  for (const player::MapPoint &p : geometry_.points())
    route_.append(pixel(p));
}

QPointF RouteMapView::pixel(player::MapPoint p) const {
  const player::PixelPoint q = fit_.toPixel(p);
  return {q.x, q.y};
}

QPolygonF RouteMapView::stretch(const player::TrackPlace &from,
                                const player::TrackPlace &to) const {
  QPolygonF line;
  if (route_.isEmpty())
    return line;
  line.append(pixel(geometry_.pointAt(from)));
  const auto last = std::min<qsizetype>(static_cast<qsizetype>(to.index), route_.size() - 1);
  for (auto i = static_cast<qsizetype>(from.index) + 1; i <= last; ++i)
    line.append(route_[i]);
  line.append(pixel(geometry_.pointAt(to)));
  return line;
}

void RouteMapView::paintEvent(QPaintEvent *) {
  const TrackColours colours = trackColours(palette());
  QPainter painter(this);
  painter.fillRect(rect(), colours.background);
  painter.setPen(colours.frame);
  painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
  if (route_.isEmpty())
    return;
  painter.setRenderHint(QPainter::Antialiasing);

  const auto end = player::TrackPlace{static_cast<std::size_t>(route_.size() - 1), 0};
  const player::TrackPlace here = timeline_.placeAt(positionMs_);
  if (highlight_ && highlight_->first <= timeline_.endMs() &&
      highlight_->second >= timeline_.startMs()) {
    painter.setPen(QPen(colours.clip, 10, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(
        stretch(timeline_.placeAt(highlight_->first), timeline_.placeAt(highlight_->second)));
  }
  painter.setPen(QPen(colours.route, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawPolyline(stretch(here, end));
  painter.setPen(QPen(colours.current, 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawPolyline(stretch({}, here));

  // The start as a ring, so the direction of travel shows.
  painter.setPen(QPen(colours.text, 1.5));
  painter.setBrush(colours.background);
  painter.drawEllipse(route_.first(), 4, 4);

  const QPointF marker = pixel(geometry_.pointAt(here));
  const bool within = timeline_.sampleAt(positionMs_).withinTrack;
  painter.setPen(QPen(colours.background, 2));
  painter.setBrush(within ? colours.current : colours.background);
  painter.drawEllipse(marker, 7, 7);
  painter.setPen(QPen(colours.text, 1.2));
  painter.setBrush(Qt::NoBrush);
  painter.drawEllipse(marker, 8.5, 8.5);

  painter.setRenderHint(QPainter::Antialiasing, false);
  paintScaleBar(painter);
  painter.setRenderHint(QPainter::Antialiasing);
  paintNorth(painter);
}

void RouteMapView::paintScaleBar(QPainter &painter) const {
  const QFontMetrics metrics = fontMetrics();
  const double room = std::max(20.0, width() * kScaleBarRoom);
  const double metres = player::niceScaleLength(fit_.metresPerPixel(), room);
  const int length = std::max(1, qRound(metres * fit_.pixelsPerMetre));
  const int left = kMargin, y = height() - kMargin / 2 - metrics.height() / 2 - 2;
  painter.setPen(QPen(trackColours(palette()).text, 2, Qt::SolidLine, Qt::FlatCap));
  painter.drawLine(left, y, left + length, y);
  painter.drawLine(left, y - 4, left, y + 3);
  painter.drawLine(left + length, y - 4, left + length, y + 3);
  const QString text = QString::fromStdString(player::scaleLengthText(metres));
  painter.drawText(QRect(left + length + 6, y - metrics.height() / 2,
                         metrics.horizontalAdvance(text) + 2, metrics.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, text);
}

// Beside the scale bar, in the strip below the route.
void RouteMapView::paintNorth(QPainter &painter) const {
  const QFontMetrics metrics = fontMetrics();
  const QColor colour = trackColours(palette()).text;
  const QString north = QStringLiteral("N");
  const double textWidth = metrics.horizontalAdvance(north);
  const double bottom = height() - kMargin / 2.0 - 2, top = bottom - metrics.height();
  const double x = width() - kMargin - textWidth - 8;
  QPainterPath arrow;
  arrow.moveTo(x, top + 1);
  arrow.lineTo(x + 5, bottom - 1);
  arrow.lineTo(x, bottom - 4);
  arrow.lineTo(x - 5, bottom - 1);
  arrow.closeSubpath();
  painter.fillPath(arrow, colour);
  painter.setPen(colour);
  painter.drawText(QRectF(x + 7, top, textWidth + 2, metrics.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, north);
}

void RouteMapView::resizeEvent(QResizeEvent *event) {
  layOut();
  QWidget::resizeEvent(event);
}

// The scale bar's strip is a line of text high.
void RouteMapView::changeEvent(QEvent *event) {
  if (event->type() == QEvent::FontChange)
    layOut();
  QWidget::changeEvent(event);
}

std::optional<std::size_t> RouteMapView::fixNear(QPointF p, bool anywhere) const {
  if (route_.isEmpty())
    return std::nullopt;
  const player::MapPoint at = fit_.toMap({p.x(), p.y()});
  if (anywhere)
    return geometry_.nearestFix(at);
  return geometry_.nearestFix(at, kGrabDistance * fit_.metresPerPixel());
}

void RouteMapView::seekTo(std::size_t fix) {
  if (lastSought_ == fix)
    return;
  lastSought_ = fix;
  qint64 ms = std::max<qint64>(0, timeline_.fixes()[fix].timeMs);
  if (durationMs_ > 0)
    ms = std::min(ms, durationMs_);
  emit seekRequested(ms);
}

void RouteMapView::mousePressEvent(QMouseEvent *event) {
  if (event->button() != Qt::LeftButton)
    return QWidget::mousePressEvent(event);
  const auto fix = fixNear(event->position(), false);
  if (!fix)
    return;
  dragging_ = true;
  lastSought_.reset();
  seekTo(*fix);
}

// Once a drag has started on the route, it follows the pointer along it
// wherever the pointer goes.
void RouteMapView::mouseMoveEvent(QMouseEvent *event) {
  if (dragging_) {
    if (const auto fix = fixNear(event->position(), true))
      seekTo(*fix);
    return;
  }
  const bool near = !(event->buttons() & Qt::LeftButton) && fixNear(event->position(), false);
  if (near)
    setCursor(Qt::PointingHandCursor);
  else
    unsetCursor();
}

void RouteMapView::mouseReleaseEvent(QMouseEvent *event) {
  if (event->button() == Qt::LeftButton)
    dragging_ = false;
  QWidget::mouseReleaseEvent(event);
}

} // namespace orvo
