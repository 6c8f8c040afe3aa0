#pragma once

#include <QImage>
#include <QList>
#include <QObject>
#include <QTimer>
#include <QVideoSink>

#include <memory>

namespace orvo {

class PlaybackSession;
class TVirtualRecord;

// Decodes pictures of a record at given moments, one after another, with a
// player of its own that nobody sees; gives up on a moment after a while.
class FrameGrabber : public QObject {
  Q_OBJECT
public:
  FrameGrabber(std::shared_ptr<TVirtualRecord> record, QObject *parent = nullptr);
  ~FrameGrabber() override;
  // Moments on the record's time line; `done` follows with their pictures
  // (a null image where none came).
  void Grab(const QList<qint64> &moments);

signals:
  void done(const QList<qint64> &moments, const QList<QImage> &images);

private:
  void Next();
  void Take(const QVideoFrame &frame);

  QVideoSink sink_;
  PlaybackSession *session_;
  QTimer giveUp_;
  QList<qint64> moments_;
  QList<QImage> images_;
  bool opened_ = false;
};

} // namespace orvo
