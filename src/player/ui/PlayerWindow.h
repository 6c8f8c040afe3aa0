#pragma once

#include "engine/Storagex4tft.h"

#include <QString>
#include <QWidget>

#include <atomic>
#include <memory>

class QCheckBox;
class QComboBox;
class QProgressBar;
class QPushButton;
class QLabel;
class QSlider;
class QToolButton;
class QTimer;
class QVBoxLayout;

namespace orvo {

class FrameView;
class RouteMapView;
class SpeedChartView;
class PlaybackSession;
class Timeline;
class TVirtualRecord;

// A window that plays one record straight from the card (or one MP4 file):
// the picture, a time line over the whole record, the controls, the
// recording's date and time of the frame shown, and beside it the route and
// the speed when the record has a GPS track. It never writes to the card;
// its snapshots go into the output folder.
class PlayerWindow : public QWidget {
  Q_OBJECT
public:
  explicit PlayerWindow(QWidget *parent = nullptr);
  ~PlayerWindow() override;

  // Lays the record out on another thread and plays it when done; `title`
  // names it in the window's title and messages.
  void OpenRecord(const TStorageX4TFT::PlaySource &source, const QString &title);
  void OpenFile(const QString &path);
  // Where snapshots go.
  void SetOutputFolder(const QString &folder) { outputFolder_ = folder; }
  void SetClipAround(int seconds);
  // Where a clip's GPS stretch goes, as for conversions.
  void SetClipGps(bool beside, bool inside) {
    gpsBeside_ = beside;
    gpsInside_ = inside;
  }

  // The stretch to export: in and out points on the record's time line
  // (-1: not set), shown on the time line.
  void SetIn(qint64 ms);
  void SetOut(qint64 ms);
  // In and out the set number of seconds around the moment shown.
  void MarkAround();
  qint64 In() const { return in_; }
  qint64 Out() const { return out_; }
  // Writes the marked stretch (the whole record without marks) into the
  // output folder on another thread; false when it cannot start (a file,
  // no output folder, one running).
  bool ExportClip();
  bool ExportingClip() const { return clipCancel_ != nullptr; }
  // An evidence package of the marked stretch (or the whole record) into
  // the output folder, with pictures of frames across it and the report as
  // PDF too; on other threads, with the same progress and Cancel.
  bool ExportEvidence();
  void CancelClip();
  void Relabel();

  PlaybackSession &Session() const { return *session_; }
  FrameView &View() const { return *view_; }
  // The recorder's date and time of the moment `ms` of the record; empty
  // when it is not known (a file, a record without a valid date).
  QString MomentText(qint64 ms) const;
  // Saves the frame shown as a PNG named by its date and time; the path, or
  // empty with the reason shown.
  QString SaveSnapshot();
  QString Message() const;
  RouteMapView &Map() const { return *map_; }
  SpeedChartView &Chart() const { return *chart_; }

protected:
  void keyPressEvent(QKeyEvent *event) override;
  void closeEvent(QCloseEvent *event) override;

private:
  struct Opened;
  void RecordOpened(const std::shared_ptr<Opened> &opened);
  void ShowPosition(qint64 ms);
  void ShowMessage(const QString &text, bool problem);
  void ChangeSpeed(int step);
  void ToggleFullScreen();
  void AbandonOpening();
  void ShowMarks();
  void ClipDone(bool ok, const QString &text);
  void PackageWithPictures(const QList<qint64> &moments, const QList<QImage> &images);

  PlaybackSession *session_;
  FrameView *view_;
  Timeline *timeline_;
  QToolButton *playButton_, *backButton_, *forwardButton_, *muteButton_, *snapshotButton_,
      *fullButton_;
  QComboBox *speedBox_;
  QSlider *volume_;
  QLabel *timeLabel_, *momentLabel_, *message_;
  QToolButton *inButton_, *outButton_;
  QPushButton *aroundButton_, *exportButton_, *evidenceButton_, *cancelClipButton_;
  QCheckBox *exactStart_;
  QProgressBar *clipProgress_;
  QWidget *side_;
  RouteMapView *map_;
  SpeedChartView *chart_;
  QVBoxLayout *sideLayout_;
  QString title_, outputFolder_;
  // 1904-based seconds of the record's start; 0: unknown.
  std::uint32_t startSince1904_ = 0;
  std::shared_ptr<std::atomic<bool>> cancelOpening_;
  std::shared_ptr<std::atomic<bool>> clipCancel_;
  // Sample bytes a clip has read, against what its stretch should hold.
  std::shared_ptr<std::atomic<std::uint64_t>> clipBytes_;
  std::uint64_t clipEstimate_ = 0;
  QTimer *clipTimer_;
  TStorageX4TFT::PlaySource source_;
  bool isRecord_ = false;
  qint64 in_ = -1, out_ = -1;
  int clipAround_ = 30;
  bool gpsBeside_ = true, gpsInside_ = true;
  gps::GpsTrack track_;
  gps::TrackAlignment alignment_;
};

} // namespace orvo
