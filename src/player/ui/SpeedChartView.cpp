#include "player/ui/SpeedChartView.h"

#include "player/AxisSteps.h"
#include "player/ui/TrackColours.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace orvo {

namespace {

const QString kUnit = QStringLiteral("km/h");
constexpr int kMaxSpeedSteps = 8;
constexpr int kLabelGap = 16; // pixels between neighbouring time labels

} // namespace

SpeedChartView::SpeedChartView(QWidget *parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setCursor(Qt::PointingHandCursor);
}

void SpeedChartView::setTrack(const gps::GpsTrack &track, qint64 utcStartMs, qint64 durationMs) {
  series_ = player::SpeedSeries(player::TrackTimeline(track, utcStartMs), durationMs);
  lastSought_.reset();
  update();
}

void SpeedChartView::clearTrack() {
  setTrack({}, 0);
}

void SpeedChartView::setPosition(qint64 ms) {
  if (ms == positionMs_)
    return;
  positionMs_ = ms;
  update();
}

void SpeedChartView::setHighlight(qint64 fromMs, qint64 toMs) {
  highlight_ = std::pair(std::min(fromMs, toMs), std::max(fromMs, toMs));
  update();
}

void SpeedChartView::clearHighlight() {
  highlight_.reset();
  update();
}

QString SpeedChartView::timeLabel(qint64 ms) const {
  const bool hours = std::max(std::abs(series_.fromMs()), std::abs(series_.toMs())) >= 3600000;
  return QString::fromStdString(player::timeText(ms, hours));
}

SpeedChartView::Layout SpeedChartView::layOut() const {
  const QFontMetrics metrics = fontMetrics();
  const int line = metrics.height();
  const double top = line + 6, bottom = line + 8;
  const double plotHeight = std::max(1.0, height() - top - bottom);
  const int steps = std::clamp(static_cast<int>(plotHeight / (line * 1.6)), 1, kMaxSpeedSteps);
  const player::SpeedAxis axis = player::speedAxis(series_.maxKmh(), steps);
  const int speedWidth = metrics.horizontalAdvance(QString::number(axis.topKmh));
  const int timeWidth = metrics.horizontalAdvance(timeLabel(series_.toMs()));
  const double left = std::max(speedWidth + 8, timeWidth / 2 + 4);
  const double right = timeWidth / 2.0 + 6;
  return {QRectF(left, top, std::max(1.0, width() - left - right), plotHeight), axis};
}

player::TimeScale SpeedChartView::timeScale(const QRectF &plot) const {
  return {series_.fromMs(), series_.toMs(), plot.left(), plot.width()};
}

void SpeedChartView::paintEvent(QPaintEvent *) {
  const TrackColours colours = trackColours(palette());
  QPainter painter(this);
  painter.fillRect(rect(), colours.background);
  painter.setPen(colours.frame);
  painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
  if (series_.isEmpty())
    return;
  const Layout layout = layOut();
  const QRectF &plot = layout.plot;
  if (highlight_) {
    const player::TimeScale scale = timeScale(plot);
    const double from = std::max(plot.left(), scale.xAt(highlight_->first));
    const double to = std::min(plot.right(), scale.xAt(highlight_->second));
    if (to >= from)
      painter.fillRect(QRectF(from, plot.top(), std::max(to - from, 1.0), plot.height()),
                       colours.clip);
  }
  paintSpeedAxis(painter, layout);
  paintTimeAxis(painter, plot);
  painter.setRenderHint(QPainter::Antialiasing);
  paintCurve(painter, layout);
  paintCursor(painter, layout);
}

void SpeedChartView::paintSpeedAxis(QPainter &painter, const Layout &layout) const {
  const TrackColours colours = trackColours(palette());
  const QFontMetrics metrics = fontMetrics();
  const QRectF &plot = layout.plot;
  for (double v : player::stepValues(0, layout.axis.topKmh, layout.axis.stepKmh)) {
    const double y = std::round(plot.bottom() - plot.height() * v / layout.axis.topKmh) + 0.5;
    painter.setPen(v == 0 ? colours.route : colours.grid);
    painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    painter.setPen(colours.text);
    painter.drawText(QRectF(0, y - metrics.height() / 2.0, plot.left() - 6, metrics.height()),
                     Qt::AlignRight | Qt::AlignVCenter, QString::number(v));
  }
  // The unit above the plot, right of the numbers, so the two never meet.
  painter.drawText(
      QRectF(plot.left() + 4, 2, metrics.horizontalAdvance(kUnit) + 2, metrics.height()),
      Qt::AlignLeft | Qt::AlignVCenter, kUnit);
}

void SpeedChartView::paintTimeAxis(QPainter &painter, const QRectF &plot) const {
  const TrackColours colours = trackColours(palette());
  const QFontMetrics metrics = fontMetrics();
  const player::TimeScale scale = timeScale(plot);
  const int labelWidth = metrics.horizontalAdvance(timeLabel(series_.toMs())) + kLabelGap;
  const int steps = std::max(1, static_cast<int>(plot.width() / labelWidth));
  const qint64 step = player::niceTimeStepMs(series_.toMs() - series_.fromMs(), steps);
  const auto values =
      player::stepValues(static_cast<double>(series_.fromMs()), static_cast<double>(series_.toMs()),
                         static_cast<double>(step));
  for (double value : values) {
    const auto ms = static_cast<qint64>(value);
    const double x = std::round(scale.xAt(ms)) + 0.5;
    painter.setPen(colours.grid);
    painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom() + 3));
    painter.setPen(colours.text);
    painter.drawText(QRectF(x - labelWidth / 2.0, plot.bottom() + 4, labelWidth, metrics.height()),
                     Qt::AlignHCenter | Qt::AlignTop, timeLabel(ms));
  }
}

// Fixes outside the chart's span still shape the curve at its edges; the
// clip cuts them off.
void SpeedChartView::paintCurve(QPainter &painter, const Layout &layout) const {
  const TrackColours colours = trackColours(palette());
  const QRectF &plot = layout.plot;
  const player::TimeScale scale = timeScale(plot);
  const auto &times = series_.times();
  const auto &speeds = series_.speedsKmh();
  QPolygonF curve;
  curve.reserve(static_cast<qsizetype>(times.size()) + 2);
  for (std::size_t i = 0; i < times.size(); ++i)
    curve.append(
        {scale.xAt(times[i]), plot.bottom() - plot.height() * speeds[i] / layout.axis.topKmh});
  painter.save();
  painter.setClipRect(plot.adjusted(0, -2, 0, 0));
  QPolygonF area = curve;
  area.append({curve.last().x(), plot.bottom()});
  area.append({curve.first().x(), plot.bottom()});
  painter.setPen(Qt::NoPen);
  painter.setBrush(colours.routeFill);
  painter.drawPolygon(area);
  painter.setPen(QPen(colours.route, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawPolyline(curve);
  painter.restore();
}

void SpeedChartView::paintCursor(QPainter &painter, const Layout &layout) const {
  const QRectF &plot = layout.plot;
  const double x = timeScale(plot).xAt(positionMs_);
  if (x < plot.left() - 1 || x > plot.right() + 1)
    return;
  const TrackColours colours = trackColours(palette());
  painter.setPen(QPen(colours.current, 2));
  painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
  const auto speed = series_.valueAt(positionMs_);
  if (!speed)
    return;
  const double y = plot.bottom() - plot.height() * *speed / layout.axis.topKmh;
  painter.setPen(QPen(colours.background, 1.5));
  painter.setBrush(colours.current);
  painter.drawEllipse(QPointF(x, y), 4.5, 4.5);

  // The speed beside the cursor at the top, on the side with room for it.
  const QFontMetrics metrics = fontMetrics();
  const QString text = QStringLiteral("%1 %2").arg(std::lround(*speed)).arg(kUnit);
  const double w = metrics.horizontalAdvance(text) + 8, h = metrics.height() + 2;
  const double left = x + 5 + w <= plot.right() ? x + 5 : x - 5 - w;
  const QRectF box(left, plot.top() + 2, w, h);
  QColor back = colours.background;
  back.setAlpha(220);
  painter.setPen(Qt::NoPen);
  painter.setBrush(back);
  painter.drawRoundedRect(box, 3, 3);
  painter.setPen(colours.text);
  painter.drawText(box, Qt::AlignCenter, text);
}

void SpeedChartView::seekAt(double x) {
  qint64 ms = timeScale(layOut().plot).timeAt(x);
  ms = std::max<qint64>(ms, 0);
  if (lastSought_ == ms)
    return;
  lastSought_ = ms;
  emit seekRequested(ms);
}

void SpeedChartView::mousePressEvent(QMouseEvent *event) {
  if (event->button() != Qt::LeftButton || series_.isEmpty())
    return QWidget::mousePressEvent(event);
  dragging_ = true;
  lastSought_.reset();
  seekAt(event->position().x());
}

void SpeedChartView::mouseMoveEvent(QMouseEvent *event) {
  if (dragging_)
    seekAt(event->position().x());
}

void SpeedChartView::mouseReleaseEvent(QMouseEvent *event) {
  if (event->button() == Qt::LeftButton)
    dragging_ = false;
  QWidget::mouseReleaseEvent(event);
}

} // namespace orvo
