#pragma once

#include <QWidget>

namespace orvo {

// The whole record as one bar: what was played, the position, and a marked
// stretch (in and out points) when there is one. Clicking or dragging asks
// for that moment.
class Timeline : public QWidget {
  Q_OBJECT
public:
  explicit Timeline(QWidget *parent = nullptr);
  void SetDuration(qint64 ms);
  void SetPosition(qint64 ms);
  // -1 for a point not set.
  void SetMarks(qint64 inMs, qint64 outMs);
  qint64 Duration() const { return duration_; }
  QSize sizeHint() const override { return {400, 22}; }

signals:
  void seekRequested(qint64 ms);

protected:
  void paintEvent(QPaintEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;

private:
  qint64 TimeAt(int x) const;
  int XOf(qint64 ms) const;
  qint64 duration_ = 0, position_ = 0, in_ = -1, out_ = -1;
};

} // namespace orvo
