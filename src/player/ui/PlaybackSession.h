#pragma once

#include <QMediaPlayer>
#include <QObject>
#include <QTimer>

#include <cstddef>
#include <memory>

class QAudioOutput;
class QVideoSink;

namespace orvo {

class TVirtualRecord;
class VirtualDevice;

// Plays a record from the card, or a file, on one time line: a record whose
// decoder set-up changes is several segments, played one after another and
// sought across as one. Times are milliseconds from the record's start.
class PlaybackSession : public QObject {
  Q_OBJECT
public:
  PlaybackSession(QVideoSink *sink, QObject *parent = nullptr);
  ~PlaybackSession() override;

  void OpenRecord(std::shared_ptr<TVirtualRecord> record);
  void OpenFile(const QString &path);
  void Close();

  qint64 Duration() const { return duration_; }
  qint64 Position() const;
  bool Playing() const { return wantPlay_; }
  // Seeks soon: many requests in a row (a drag) become one seek.
  void Seek(qint64 ms);
  void Play();
  void Pause();
  void Toggle() { wantPlay_ ? Pause() : Play(); }
  // Frames forward (or back), paused, by their length.
  void Step(int frames);
  void SetRate(double rate);
  double Rate() const { return rate_; }
  qint64 FrameMs() const { return frameMs_; }
  // Where the segment playing now starts on the record's time line (its
  // frames' times count from there).
  qint64 SegmentStart() const { return segmentStart_; }
  std::shared_ptr<TVirtualRecord> Record() const { return record_; }
  QAudioOutput *Audio() const { return audio_; }

signals:
  void positionChanged(qint64 ms);
  void durationChanged(qint64 ms);
  void playingChanged(bool playing);
  // Playback stopped for a reason the user must be told.
  void failed(const QString &why);

private:
  void LoadSegment(std::size_t segment, qint64 ms);
  void ApplySeek();
  void StatusChanged(QMediaPlayer::MediaStatus status);

  QMediaPlayer *player_;
  QAudioOutput *audio_;
  std::shared_ptr<TVirtualRecord> record_;
  VirtualDevice *device_ = nullptr;
  std::size_t segment_ = 0;
  qint64 segmentStart_ = 0;
  qint64 duration_ = 0;
  qint64 frameMs_ = 40;
  qint64 pendingSeek_ = -1; // within the loading segment
  qint64 seekTarget_ = -1;  // for the coalescing timer
  QTimer seekTimer_;
  // A paused seek that brought no frame is asked again (the backend now
  // and then settles on the new position without handing the frame over).
  QTimer frameWatch_;
  int frameRetries_ = 0;
  bool wantPlay_ = false;
  bool loaded_ = false;
  double rate_ = 1.0;
};

} // namespace orvo
