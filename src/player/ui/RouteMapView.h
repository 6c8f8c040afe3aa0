#pragma once

// The record's route on a plain canvas, north up, without map tiles: the
// part driven so far, the position at the player's time, a scale bar, and
// optionally the stretch of a clip. A click on or near the route, or a drag
// along it, asks the player to seek to the nearest fix.

#include "gps/GpsTrack.h"
#include "player/MapFit.h"
#include "player/RouteGeometry.h"
#include "player/TrackTimeline.h"

#include <QPolygonF>
#include <QWidget>

#include <cstddef>
#include <optional>
#include <utility>

namespace orvo {

class RouteMapView : public QWidget {
  Q_OBJECT
public:
  explicit RouteMapView(QWidget *parent = nullptr);

  bool hasTrack() const { return !timeline_.isEmpty(); }
  qint64 position() const { return positionMs_; }
  QSize sizeHint() const override { return {320, 240}; }
  QSize minimumSizeHint() const override { return {120, 90}; }

public slots:
  // Times are the player's, milliseconds from the record's first video
  // frame; `utcStartMs` is the UTC time of that frame
  // (gps::TrackAlignment::utcStartMs). A known duration keeps the seeks
  // within the video.
  void setTrack(const gps::GpsTrack &track, qint64 utcStartMs, qint64 durationMs = 0);
  void clearTrack();
  void setPosition(qint64 ms);
  void setHighlight(qint64 fromMs, qint64 toMs);
  void clearHighlight();

signals:
  void seekRequested(qint64 ms);

protected:
  void paintEvent(QPaintEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  void changeEvent(QEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;

private:
  void layOut();
  QPointF pixel(player::MapPoint p) const;
  // The route from one place to another, in pixels.
  QPolygonF stretch(const player::TrackPlace &from, const player::TrackPlace &to) const;
  std::optional<std::size_t> fixNear(QPointF p, bool anywhere) const;
  void seekTo(std::size_t fix);
  void paintScaleBar(QPainter &painter) const;
  void paintNorth(QPainter &painter) const;

  player::TrackTimeline timeline_;
  player::RouteGeometry geometry_;
  player::MapFit fit_;
  QPolygonF route_; // the fixes in pixels at the widget's size
  qint64 durationMs_ = 0;
  qint64 positionMs_ = 0;
  std::optional<std::pair<qint64, qint64>> highlight_;
  bool dragging_ = false;
  std::optional<std::size_t> lastSought_;
};

} // namespace orvo
