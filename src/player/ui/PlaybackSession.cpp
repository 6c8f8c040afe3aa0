#include "player/ui/PlaybackSession.h"

#include "engine/VirtualRecord.h"
#include "player/ui/VirtualDevice.h"

#include <QAudioOutput>
#include <QUrl>
#include <QVideoSink>

#include <algorithm>

namespace orvo {

PlaybackSession::PlaybackSession(QVideoSink *sink, QObject *parent)
    : QObject(parent), player_(new QMediaPlayer(this)), audio_(new QAudioOutput(this)) {
  player_->setVideoSink(sink);
  player_->setAudioOutput(audio_);
  seekTimer_.setSingleShot(true);
  seekTimer_.setInterval(40);
  // The first seek goes at once; those that follow within the interval (a
  // drag) become one at its end.
  connect(&seekTimer_, &QTimer::timeout, this, [this] {
    if (seekTarget_ >= 0) {
      ApplySeek();
      seekTimer_.start();
    }
  });
  frameWatch_.setSingleShot(true);
  frameWatch_.setInterval(150);
  connect(sink, &QVideoSink::videoFrameChanged, &frameWatch_, &QTimer::stop);
  connect(&frameWatch_, &QTimer::timeout, this, [this] {
    if (loaded_ && !wantPlay_ && frameRetries_-- > 0) {
      // The same position again would be taken as no seek at all.
      player_->setPosition(player_->position() + (frameRetries_ % 2 ? 1 : -1));
      frameWatch_.start();
    }
  });
  connect(player_, &QMediaPlayer::positionChanged, this,
          [this](qint64 ms) { emit positionChanged(segmentStart_ + ms); });
  connect(player_, &QMediaPlayer::durationChanged, this, [this](qint64 ms) {
    if (!record_ && ms > 0) {
      duration_ = ms;
      emit durationChanged(ms);
    }
  });
  connect(player_, &QMediaPlayer::mediaStatusChanged, this, &PlaybackSession::StatusChanged);
  connect(player_, &QMediaPlayer::errorOccurred, this,
          [this](QMediaPlayer::Error, const QString &text) {
            // The device's own reason (the fragment and the system's text)
            // says more than the backend's.
            QString why = device_ && !device_->errorString().isEmpty() &&
                                  device_->errorString() != QLatin1String("Unknown error")
                              ? device_->errorString()
                              : text;
            wantPlay_ = false;
            emit playingChanged(false);
            emit failed(why);
          });
}

PlaybackSession::~PlaybackSession() {
  player_->stop();
  player_->setSourceDevice(nullptr);
}

void PlaybackSession::OpenRecord(std::shared_ptr<TVirtualRecord> record) {
  Close();
  record_ = std::move(record);
  duration_ = static_cast<qint64>(record_->DurationMs());
  std::uint64_t frames = 0, ticks = 0;
  for (const VirtualSegment &s : record_->Segments()) {
    frames += s.videoSamples;
    ticks += s.durationTicks;
  }
  frameMs_ = frames > 0 ? std::max<qint64>(1, static_cast<qint64>(ticks / 90 / frames)) : 40;
  emit durationChanged(duration_);
  LoadSegment(0, 0);
}

void PlaybackSession::OpenFile(const QString &path) {
  Close();
  frameMs_ = 40;
  loaded_ = false;
  player_->setSource(QUrl::fromLocalFile(path));
}

void PlaybackSession::Close() {
  player_->stop();
  player_->setSource(QUrl());
  if (device_) {
    device_->Detach();
    device_ = nullptr;
  }
  record_.reset();
  segment_ = 0;
  segmentStart_ = 0;
  duration_ = 0;
  pendingSeek_ = seekTarget_ = -1;
  loaded_ = false;
  if (wantPlay_) {
    wantPlay_ = false;
    emit playingChanged(false);
  }
}

qint64 PlaybackSession::Position() const {
  if (seekTarget_ >= 0)
    return seekTarget_;
  if (pendingSeek_ >= 0)
    return segmentStart_ + pendingSeek_;
  return segmentStart_ + player_->position();
}

void PlaybackSession::LoadSegment(std::size_t segment, qint64 ms) {
  VirtualDevice *old = device_;
  segment_ = segment;
  segmentStart_ = static_cast<qint64>(record_->SegmentStartMs(segment));
  device_ = new VirtualDevice(record_, segment, this);
  // Unbuffered: the backend seeks from its streaming thread and reads from
  // this one, and a buffer of the device's own would be shared by both.
  device_->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
  loaded_ = false;
  pendingSeek_ = ms;
  player_->setSourceDevice(device_, QUrl(QStringLiteral("record-%1.mp4").arg(segment)));
  if (old)
    old->Detach(); // kept until the session goes: the backend may still hold it
  // Playing from the start pre-rolls the first frame, which a paused
  // player would not show.
  player_->play();
  if (!wantPlay_)
    player_->pause();
}

void PlaybackSession::StatusChanged(QMediaPlayer::MediaStatus status) {
  if (status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::BufferedMedia) {
    if (!loaded_) {
      loaded_ = true;
      player_->setPlaybackRate(rate_);
      if (pendingSeek_ > 0)
        player_->setPosition(pendingSeek_);
      pendingSeek_ = -1;
      if (wantPlay_)
        player_->play();
    }
  } else if (status == QMediaPlayer::EndOfMedia) {
    if (record_ && segment_ + 1 < record_->Segments().size()) {
      LoadSegment(segment_ + 1, 0);
    } else if (wantPlay_) {
      wantPlay_ = false;
      emit playingChanged(false);
    }
  } else if (status == QMediaPlayer::InvalidMedia) {
    wantPlay_ = false;
    emit playingChanged(false);
  }
}

void PlaybackSession::Seek(qint64 ms) {
  seekTarget_ = std::clamp<qint64>(ms, 0, std::max<qint64>(0, duration_ - 1));
  emit positionChanged(seekTarget_);
  if (!seekTimer_.isActive())
    seekTimer_.start();
}

void PlaybackSession::ApplySeek() {
  const qint64 target = seekTarget_;
  seekTarget_ = -1;
  if (target < 0)
    return;
  if (record_) {
    std::size_t segment = 0;
    std::uint64_t within = 0;
    record_->Locate(static_cast<std::uint64_t>(target), segment, within);
    if (segment != segment_) {
      LoadSegment(segment, static_cast<qint64>(within));
      return;
    }
    if (!loaded_) {
      pendingSeek_ = static_cast<qint64>(within);
      return;
    }
    player_->setPosition(static_cast<qint64>(within));
  } else {
    player_->setPosition(target);
  }
  frameRetries_ = 3;
  frameWatch_.start();
}

void PlaybackSession::Play() {
  if (duration_ > 0 && Position() >= duration_ - frameMs_)
    Seek(0);
  wantPlay_ = true;
  if (loaded_)
    player_->play();
  emit playingChanged(true);
}

void PlaybackSession::Pause() {
  wantPlay_ = false;
  player_->pause();
  emit playingChanged(false);
}

void PlaybackSession::Step(int frames) {
  if (wantPlay_)
    Pause();
  Seek(Position() + frames * frameMs_);
}

void PlaybackSession::SetRate(double rate) {
  rate_ = rate;
  player_->setPlaybackRate(rate);
}

} // namespace orvo
