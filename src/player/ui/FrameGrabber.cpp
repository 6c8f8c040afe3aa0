#include "player/ui/FrameGrabber.h"

#include "engine/VirtualRecord.h"
#include "player/ui/PlaybackSession.h"

#include <QAudioOutput>
#include <QVideoFrame>

#include <cstdlib>

namespace orvo {

FrameGrabber::FrameGrabber(std::shared_ptr<TVirtualRecord> record, QObject *parent)
    : QObject(parent), session_(new PlaybackSession(&sink_, this)) {
  session_->Audio()->setMuted(true);
  giveUp_.setSingleShot(true);
  giveUp_.setInterval(3000);
  connect(&giveUp_, &QTimer::timeout, this, [this] {
    images_.append(QImage());
    Next();
  });
  connect(&sink_, &QVideoSink::videoFrameChanged, this, &FrameGrabber::Take);
  session_->OpenRecord(std::move(record));
}

FrameGrabber::~FrameGrabber() {
  disconnect(&sink_, nullptr, this, nullptr);
  delete session_;
}

void FrameGrabber::Grab(const QList<qint64> &moments) {
  moments_ = moments;
  images_.clear();
  Next();
}

void FrameGrabber::Next() {
  if (images_.size() >= moments_.size()) {
    giveUp_.stop();
    emit done(moments_, images_);
    return;
  }
  giveUp_.start();
  session_->Seek(moments_[images_.size()]);
}

// The frame of the moment asked for (within a frame); the pre-rolled first
// frame and stale ones are passed over.
void FrameGrabber::Take(const QVideoFrame &frame) {
  if (!giveUp_.isActive() || images_.size() >= moments_.size() || !frame.isValid())
    return;
  const qint64 want = moments_[images_.size()];
  const qint64 shown = session_->SegmentStart() + frame.startTime() / 1000;
  if (std::abs(shown - want) > 2 * session_->FrameMs() + 40)
    return;
  images_.append(frame.toImage());
  Next();
}

} // namespace orvo
