#pragma once

// Speed in km/h over the record's time, with a cursor at the player's time
// and optionally the span of a clip. A click or a drag asks the player to
// seek to the time under the pointer.

#include "gps/GpsTrack.h"
#include "player/SpeedSeries.h"

#include <QRectF>
#include <QWidget>

#include <optional>
#include <utility>

namespace orvo {

class SpeedChartView : public QWidget {
  Q_OBJECT
public:
  explicit SpeedChartView(QWidget *parent = nullptr);

  bool hasTrack() const { return !series_.isEmpty(); }
  qint64 position() const { return positionMs_; }
  QSize sizeHint() const override { return {480, 160}; }
  QSize minimumSizeHint() const override { return {160, 90}; }

public slots:
  // Times are the player's, milliseconds from the record's first video
  // frame; `utcStartMs` is the UTC time of that frame
  // (gps::TrackAlignment::utcStartMs). The chart spans [0, durationMs], or
  // the track's own span without a duration.
  void setTrack(const gps::GpsTrack &track, qint64 utcStartMs, qint64 durationMs = 0);
  void clearTrack();
  void setPosition(qint64 ms);
  void setHighlight(qint64 fromMs, qint64 toMs);
  void clearHighlight();

signals:
  void seekRequested(qint64 ms);

protected:
  void paintEvent(QPaintEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;

private:
  // The plot's place in the widget and its speed axis, made anew for each
  // size and font: the labels get the room they need.
  struct Layout {
    QRectF plot;
    player::SpeedAxis axis;
  };
  Layout layOut() const;
  QString timeLabel(qint64 ms) const;
  player::TimeScale timeScale(const QRectF &plot) const;
  void seekAt(double x);
  void paintSpeedAxis(QPainter &painter, const Layout &layout) const;
  void paintTimeAxis(QPainter &painter, const QRectF &plot) const;
  void paintCurve(QPainter &painter, const Layout &layout) const;
  void paintCursor(QPainter &painter, const Layout &layout) const;

  player::SpeedSeries series_;
  qint64 positionMs_ = 0;
  std::optional<std::pair<qint64, qint64>> highlight_;
  bool dragging_ = false;
  std::optional<qint64> lastSought_;
};

} // namespace orvo
