#pragma once

#include <QVideoFrame>
#include <QWidget>

class QVideoSink;

namespace orvo {

// Shows the frames of a video sink, scaled into the widget with their
// aspect kept. Painted by the widget itself, so it works wherever widgets
// do (no OpenGL needed), and the frame shown is the frame a snapshot takes.
class FrameView : public QWidget {
  Q_OBJECT
public:
  explicit FrameView(QWidget *parent = nullptr);
  ~FrameView() override;
  QVideoSink *Sink() const { return sink_; }
  // The frame shown now as an image; null when none.
  QImage CurrentImage() const;
  void Clear();
  // When the frame shown starts, in microseconds of its file; -1 for none.
  qint64 FrameStartUs() const { return frame_.isValid() ? frame_.startTime() : -1; }

signals:
  void doubleClicked();

protected:
  void paintEvent(QPaintEvent *event) override;
  void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
  QVideoSink *sink_;
  QVideoFrame frame_;
};

} // namespace orvo
