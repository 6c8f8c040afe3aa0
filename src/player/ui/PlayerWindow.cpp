#include "player/ui/PlayerWindow.h"

#include "engine/Clip.h"
#include "evidence/Package.h"
#include "player/ui/FrameGrabber.h"
#include "engine/RecordTime.h"
#include "engine/VirtualRecord.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "player/ui/FrameView.h"
#include "player/ui/PlaybackSession.h"
#include "player/ui/RouteMapView.h"
#include "player/ui/SpeedChartView.h"
#include "player/ui/Timeline.h"
#include "settings/AddedTexts.h"
#include "settings/ui/Labels.h"

#include <QAudioOutput>
#include <QBuffer>
#include <QPdfWriter>
#include <QTextDocument>
#include <QCheckBox>
#include <QProgressBar>
#include <QPushButton>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QSlider>
#include <QThreadPool>
#include <QTimeZone>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace orvo {

namespace {

constexpr std::array<double, 6> kSpeeds = {0.25, 0.5, 1.0, 1.5, 2.0, 4.0};
constexpr int kNormalSpeed = 2;

QString Clock(qint64 ms) {
  const qint64 s = std::max<qint64>(ms, 0) / 1000;
  return QStringLiteral("%1:%2:%3")
      .arg(s / 3600)
      .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
      .arg(s % 60, 2, 10, QLatin1Char('0'));
}

QToolButton *Button(QWidget *parent, QStyle::StandardPixmap icon) {
  auto *b = new QToolButton(parent);
  b->setIcon(parent->style()->standardIcon(icon));
  b->setAutoRaise(true);
  b->setFocusPolicy(Qt::NoFocus); // the window keeps the keys
  return b;
}

} // namespace

// What the opening thread hands back.
struct PlayerWindow::Opened {
  std::shared_ptr<TVirtualRecord> record = std::make_shared<TVirtualRecord>();
  bool ok = false;
  bool hasTrack = false;
  gps::GpsTrack track;
  gps::TrackAlignment alignment;
};

PlayerWindow::PlayerWindow(QWidget *parent) : QWidget(parent, Qt::Window) {
  setObjectName("PlayerWindow");
  setFocusPolicy(Qt::StrongFocus);
  view_ = new FrameView(this);
  session_ = new PlaybackSession(view_->Sink(), this);
  timeline_ = new Timeline(this);
  timeline_->setObjectName("Timeline");
  playButton_ = Button(this, QStyle::SP_MediaPlay);
  backButton_ = Button(this, QStyle::SP_MediaSeekBackward);
  forwardButton_ = Button(this, QStyle::SP_MediaSeekForward);
  muteButton_ = Button(this, QStyle::SP_MediaVolume);
  muteButton_->setCheckable(true);
  snapshotButton_ = Button(this, QStyle::SP_DialogSaveButton);
  fullButton_ = Button(this, QStyle::SP_TitleBarMaxButton);
  speedBox_ = new QComboBox(this);
  speedBox_->setFocusPolicy(Qt::NoFocus);
  for (double s : kSpeeds)
    speedBox_->addItem(QStringLiteral("%1×").arg(s));
  speedBox_->setCurrentIndex(kNormalSpeed);
  volume_ = new QSlider(Qt::Horizontal, this);
  volume_->setFocusPolicy(Qt::NoFocus);
  volume_->setRange(0, 100);
  volume_->setValue(80);
  volume_->setMaximumWidth(100);
  timeLabel_ = new QLabel(this);
  timeLabel_->setObjectName("TimeLabel");
  momentLabel_ = new QLabel(this);
  momentLabel_->setObjectName("MomentLabel");
  message_ = new QLabel(this);
  message_->setObjectName("PlayerMessage");
  message_->setWordWrap(true);
  message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  message_->hide();
  inButton_ = Button(this, QStyle::SP_ArrowRight);
  inButton_->setText(QStringLiteral("I"));
  inButton_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  outButton_ = Button(this, QStyle::SP_ArrowLeft);
  outButton_->setText(QStringLiteral("O"));
  outButton_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  aroundButton_ = new QPushButton(this);
  aroundButton_->setFocusPolicy(Qt::NoFocus);
  exportButton_ = new QPushButton(this);
  exportButton_->setObjectName("ExportClip");
  exportButton_->setFocusPolicy(Qt::NoFocus);
  evidenceButton_ = new QPushButton(this);
  evidenceButton_->setObjectName("ExportEvidence");
  evidenceButton_->setFocusPolicy(Qt::NoFocus);
  exactStart_ = new QCheckBox(this);
  exactStart_->setObjectName("ExactStart");
  exactStart_->setFocusPolicy(Qt::NoFocus);
  clipProgress_ = new QProgressBar(this);
  clipProgress_->setRange(0, 0);
  clipProgress_->setMaximumWidth(120);
  clipProgress_->hide();
  clipTimer_ = new QTimer(this);
  clipTimer_->setInterval(100);
  connect(clipTimer_, &QTimer::timeout, this, [this] {
    if (clipBytes_ && clipEstimate_ > 0)
      clipProgress_->setValue(static_cast<int>(
          std::min<std::uint64_t>(990, *clipBytes_ * 1000 / clipEstimate_)));
  });
  cancelClipButton_ = new QPushButton(this);
  cancelClipButton_->setFocusPolicy(Qt::NoFocus);
  cancelClipButton_->hide();
  side_ = new QWidget(this);
  sideLayout_ = new QVBoxLayout(side_);
  sideLayout_->setContentsMargins(0, 0, 0, 0);
  map_ = new RouteMapView(side_);
  map_->setObjectName("RouteMap");
  chart_ = new SpeedChartView(side_);
  chart_->setObjectName("SpeedChart");
  sideLayout_->addWidget(map_, 3);
  sideLayout_->addWidget(chart_, 2);
  side_->hide();

  auto *controls = new QHBoxLayout;
  for (QWidget *w : std::initializer_list<QWidget *>{backButton_, playButton_, forwardButton_})
    controls->addWidget(w);
  controls->addWidget(timeLabel_);
  controls->addSpacing(12);
  controls->addWidget(momentLabel_);
  controls->addStretch(1);
  for (QWidget *w : std::initializer_list<QWidget *>{speedBox_, muteButton_, volume_,
                                                     snapshotButton_, fullButton_})
    controls->addWidget(w);
  auto *clipRow = new QHBoxLayout;
  for (QWidget *w : std::initializer_list<QWidget *>{inButton_, outButton_, aroundButton_,
                                                     exactStart_, exportButton_, evidenceButton_,
                                                     clipProgress_, cancelClipButton_})
    clipRow->addWidget(w);
  clipRow->addStretch(1);
  auto *top = new QHBoxLayout;
  top->addWidget(view_, 3);
  top->addWidget(side_, 1);
  auto *layout = new QVBoxLayout(this);
  layout->addLayout(top, 1);
  layout->addWidget(timeline_);
  layout->addLayout(controls);
  layout->addLayout(clipRow);
  layout->addWidget(message_);
  resize(960, 600);

  session_->Audio()->setVolume(0.8f);
  connect(timeline_, &Timeline::seekRequested, session_, &PlaybackSession::Seek);
  connect(map_, &RouteMapView::seekRequested, session_, &PlaybackSession::Seek);
  connect(chart_, &SpeedChartView::seekRequested, session_, &PlaybackSession::Seek);
  connect(session_, &PlaybackSession::positionChanged, this, &PlayerWindow::ShowPosition);
  connect(session_, &PlaybackSession::durationChanged, timeline_, &Timeline::SetDuration);
  connect(session_, &PlaybackSession::playingChanged, this, [this](bool playing) {
    playButton_->setIcon(style()->standardIcon(playing ? QStyle::SP_MediaPause
                                                       : QStyle::SP_MediaPlay));
    playButton_->setToolTip(Text(playing ? txt::PlayerPause : txt::PlayerPlay));
  });
  connect(session_, &PlaybackSession::failed, this,
          [this](const QString &why) { ShowMessage(Text(txt::PlayerCannotPlay).arg(why), true); });
  connect(playButton_, &QToolButton::clicked, session_, &PlaybackSession::Toggle);
  connect(backButton_, &QToolButton::clicked, this, [this] { session_->Step(-1); });
  connect(forwardButton_, &QToolButton::clicked, this, [this] { session_->Step(1); });
  connect(speedBox_, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (i >= 0)
      session_->SetRate(kSpeeds[static_cast<std::size_t>(i)]);
  });
  connect(volume_, &QSlider::valueChanged, this,
          [this](int v) { session_->Audio()->setVolume(static_cast<float>(v) / 100.0f); });
  connect(muteButton_, &QToolButton::toggled, this, [this](bool muted) {
    session_->Audio()->setMuted(muted);
    muteButton_->setIcon(style()->standardIcon(muted ? QStyle::SP_MediaVolumeMuted
                                                     : QStyle::SP_MediaVolume));
  });
  connect(snapshotButton_, &QToolButton::clicked, this, [this] { SaveSnapshot(); });
  connect(fullButton_, &QToolButton::clicked, this, &PlayerWindow::ToggleFullScreen);
  connect(inButton_, &QToolButton::clicked, this, [this] { SetIn(session_->Position()); });
  connect(outButton_, &QToolButton::clicked, this, [this] { SetOut(session_->Position()); });
  connect(aroundButton_, &QPushButton::clicked, this, &PlayerWindow::MarkAround);
  connect(exportButton_, &QPushButton::clicked, this, &PlayerWindow::ExportClip);
  connect(evidenceButton_, &QPushButton::clicked, this, &PlayerWindow::ExportEvidence);
  connect(cancelClipButton_, &QPushButton::clicked, this, &PlayerWindow::CancelClip);
  connect(view_, &FrameView::doubleClicked, this, &PlayerWindow::ToggleFullScreen);
  Relabel();
}

PlayerWindow::~PlayerWindow() {
  AbandonOpening();
  // The player goes before the picture's sink it feeds.
  delete session_;
}

void PlayerWindow::Relabel() {
  setWindowTitle(Text(txt::PlayerTitle).arg(title_));
  playButton_->setToolTip(Text(session_->Playing() ? txt::PlayerPause : txt::PlayerPlay) +
                          QStringLiteral(" (Space, K)"));
  backButton_->setToolTip(Text(txt::PlayerFrameBack) + QStringLiteral(" (←)"));
  forwardButton_->setToolTip(Text(txt::PlayerFrameForward) + QStringLiteral(" (→)"));
  speedBox_->setToolTip(Text(txt::PlayerSpeed) + QStringLiteral(" (J, L)"));
  muteButton_->setToolTip(Text(txt::PlayerMute) + QStringLiteral(" (M)"));
  volume_->setToolTip(Text(txt::PlayerVolume) + QStringLiteral(" (↑, ↓)"));
  snapshotButton_->setToolTip(Text(txt::PlayerSnapshot) + QStringLiteral(" (S)"));
  fullButton_->setToolTip(Text(txt::PlayerFullScreen) + QStringLiteral(" (F)"));
  inButton_->setToolTip(Text(txt::ClipIn) + QStringLiteral(" (I)"));
  outButton_->setToolTip(Text(txt::ClipOut) + QStringLiteral(" (O)"));
  aroundButton_->setText(Text(txt::ClipAround).arg(clipAround_));
  exportButton_->setText(Text(txt::ClipExport));
  exportButton_->setToolTip(QStringLiteral("Ctrl+E"));
  exactStart_->setText(Text(txt::ClipExactStart));
  evidenceButton_->setText(Text(txt::EvidenceExport));
  exactStart_->setToolTip(Text(txt::ClipExactStartHint));
  cancelClipButton_->setText(Text(23));
}

void PlayerWindow::AbandonOpening() {
  if (cancelOpening_)
    *cancelOpening_ = true;
  cancelOpening_.reset();
}

void PlayerWindow::OpenRecord(const TStorageX4TFT::PlaySource &source, const QString &title) {
  AbandonOpening();
  session_->Close();
  view_->Clear();
  title_ = title;
  source_ = source;
  isRecord_ = true;
  in_ = out_ = -1;
  ShowMarks();
  startSince1904_ = RecordTimeSince1904(source.entry, 0);
  track_ = {};
  alignment_ = {};
  side_->hide();
  Relabel();
  ShowMessage(Text(txt::PlayerOpening).arg(title), false);
  // Reading every fragment's index takes a moment on a slow card; the
  // window stays live meanwhile and a later open or a close abandons it.
  auto cancel = std::make_shared<std::atomic<bool>>(false);
  cancelOpening_ = cancel;
  QPointer<PlayerWindow> self(this);
  QThreadPool::globalInstance()->start([self, source, cancel] {
    auto opened = std::make_shared<Opened>();
    opened->ok = opened->record->Open(source.folder, source.entry, cancel.get());
    if (opened->ok && !*cancel)
      opened->hasTrack = TStorageX4TFT::LoadTrack(source, opened->track, opened->alignment);
    QMetaObject::invokeMethod(
        qApp,
        [self, opened, cancel] {
          if (self && !*cancel)
            self->RecordOpened(opened);
        },
        Qt::QueuedConnection);
  });
  show();
  raise();
  activateWindow();
}

void PlayerWindow::RecordOpened(const std::shared_ptr<Opened> &opened) {
  cancelOpening_.reset();
  if (!opened->ok) {
    ShowMessage(Text(txt::PlayerCannotOpen)
                    .arg(title_, QString::fromStdString(opened->record->ErrorText())),
                true);
    return;
  }
  const TVirtualRecord &record = *opened->record;
  QStringList notes;
  if (record.ProblemCount() > 0)
    notes << Text(txt::PlayerLeftOut)
                 .arg(record.ProblemCount())
                 .arg(QDir::toNativeSeparators(
                     QString::fromStdString(record.Problems().front().file)));
  if (record.Segments().size() > 1)
    notes << Text(txt::PlayerSegments).arg(record.Segments().size());
  if (notes.isEmpty())
    message_->hide();
  else
    ShowMessage(notes.join(QLatin1Char('\n')), record.ProblemCount() > 0);
  // Only a track placed on the recorder's clock moves with the picture.
  if (opened->hasTrack && opened->alignment.aligned && !opened->track.fixes.empty()) {
    track_ = std::move(opened->track);
    alignment_ = opened->alignment;
    const auto duration = static_cast<qint64>(record.DurationMs());
    map_->setTrack(track_, alignment_.utcStartMs, duration);
    chart_->setTrack(track_, alignment_.utcStartMs, duration);
    map_->setToolTip(Text(txt::PlayerRoute));
    chart_->setToolTip(Text(txt::PlayerSpeedChart));
    side_->show();
  }
  session_->OpenRecord(opened->record);
  ShowPosition(0);
}

void PlayerWindow::OpenFile(const QString &path) {
  AbandonOpening();
  view_->Clear();
  title_ = QFileInfo(path).fileName();
  isRecord_ = false;
  in_ = out_ = -1;
  ShowMarks();
  startSince1904_ = 0;
  track_ = {};
  side_->hide();
  message_->hide();
  Relabel();
  session_->OpenFile(path);
  show();
  raise();
  activateWindow();
}

QString PlayerWindow::MomentText(qint64 ms) const {
  if (startSince1904_ == 0)
    return {};
  const qint64 unixMs = UnixTimeFrom1904(startSince1904_) * 1000 + ms;
  // The recorder's clock has no zone: shown as it counts.
  return QDateTime::fromMSecsSinceEpoch(unixMs, QTimeZone::utc())
      .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
}

void PlayerWindow::ShowPosition(qint64 ms) {
  timeline_->SetPosition(ms);
  if (side_->isVisible()) {
    map_->setPosition(ms);
    chart_->setPosition(ms);
  }
  timeLabel_->setText(Clock(ms) + QStringLiteral(" / ") + Clock(session_->Duration()));
  momentLabel_->setText(MomentText(ms));
}

void PlayerWindow::ShowMessage(const QString &text, bool problem) {
  message_->setText(text);
  QPalette p = palette();
  if (problem)
    p.setColor(QPalette::WindowText, p.color(QPalette::Link));
  message_->setPalette(p);
  message_->show();
}

QString PlayerWindow::Message() const {
  return message_->isVisible() ? message_->text() : QString();
}

QString PlayerWindow::SaveSnapshot() {
  const QImage image = view_->CurrentImage();
  if (image.isNull()) {
    ShowMessage(Text(txt::PlayerSnapshotFailed).arg(Text(txt::PlayerNoFrame)), true);
    return {};
  }
  const qint64 ms = session_->Position();
  QString stem;
  if (startSince1904_ != 0) {
    const QDateTime at = QDateTime::fromMSecsSinceEpoch(
        UnixTimeFrom1904(startSince1904_) * 1000 + ms, QTimeZone::utc());
    stem = at.toString(QStringLiteral("'D'yyMMdd'_T'HHmmss'_'zzz"));
  } else {
    stem = QFileInfo(title_).completeBaseName() + QStringLiteral("_") +
           Clock(ms).remove(QLatin1Char(':')) + QStringLiteral("_") +
           QStringLiteral("%1").arg(ms % 1000, 3, 10, QLatin1Char('0'));
  }
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  const std::string folder = platform::WithSeparator(outputFolder_.toStdString());
  if (outputFolder_.isEmpty() || !platform::IsEnterableDirectory(folder)) {
    ShowMessage(Text(txt::PlayerSnapshotFailed).arg(outputFolder_), true);
    return {};
  }
  // Never over another file: an earlier snapshot of the same moment stays.
  std::string path = folder + platform::SafeFileName(stem.toStdString()) + ".png";
  for (int n = 2; platform::EntryExists(path); ++n)
    path = folder + platform::SafeFileName(stem.toStdString()) + "-" + std::to_string(n) + ".png";
  if (!platform::WriteWholeFileAtomically(path, std::string_view(png.constData(),
                                                                static_cast<std::size_t>(png.size())))) {
    ShowMessage(Text(txt::PlayerSnapshotFailed)
                    .arg(QString::fromStdString(path + ": " + platform::LastErrorText())),
                true);
    return {};
  }
  const QString saved = QDir::toNativeSeparators(QString::fromStdString(path));
  ShowMessage(Text(txt::PlayerSnapshotSaved).arg(saved), false);
  return saved;
}

void PlayerWindow::SetClipAround(int seconds) {
  clipAround_ = std::clamp(seconds, 1, 600);
  aroundButton_->setText(Text(txt::ClipAround).arg(clipAround_));
}

void PlayerWindow::SetIn(qint64 ms) {
  in_ = std::clamp<qint64>(ms, 0, session_->Duration());
  if (out_ >= 0 && out_ <= in_)
    out_ = -1;
  ShowMarks();
}

void PlayerWindow::SetOut(qint64 ms) {
  out_ = std::clamp<qint64>(ms, 0, session_->Duration());
  if (in_ >= 0 && in_ >= out_)
    in_ = -1;
  ShowMarks();
}

void PlayerWindow::MarkAround() {
  const qint64 at = session_->Position();
  in_ = std::max<qint64>(0, at - clipAround_ * 1000LL);
  out_ = std::min(session_->Duration(), at + clipAround_ * 1000LL);
  ShowMarks();
}

void PlayerWindow::ShowMarks() {
  timeline_->SetMarks(in_, out_);
  const bool marked = in_ >= 0 || out_ >= 0;
  if (marked) {
    map_->setHighlight(std::max<qint64>(in_, 0), out_ >= 0 ? out_ : session_->Duration());
    chart_->setHighlight(std::max<qint64>(in_, 0), out_ >= 0 ? out_ : session_->Duration());
  } else {
    map_->clearHighlight();
    chart_->clearHighlight();
  }
  for (QWidget *w : std::initializer_list<QWidget *>{inButton_, outButton_, aroundButton_,
                                                     exactStart_, exportButton_, evidenceButton_})
    w->setEnabled(isRecord_ && !ExportingClip());
}

bool PlayerWindow::ExportClip() {
  if (!isRecord_) {
    ShowMessage(Text(txt::ClipFailed).arg(Text(txt::ClipOnlyRecords)), true);
    return false;
  }
  if (ExportingClip() || session_->Duration() <= 0)
    return false;
  if (outputFolder_.isEmpty() ||
      !platform::IsEnterableDirectory(platform::WithSeparator(outputFolder_.toStdString()))) {
    ShowMessage(Text(txt::ClipFailed).arg(QDir::toNativeSeparators(outputFolder_)), true);
    return false;
  }
  ClipRequest request;
  request.fromMs = static_cast<std::uint64_t>(std::max<qint64>(in_, 0));
  request.toMs = static_cast<std::uint64_t>(out_ >= 0 ? out_ : session_->Duration());
  request.exactStart = exactStart_->isChecked();
  request.gpsBeside = gpsBeside_;
  request.gpsInside = gpsInside_;
  auto cancel = std::make_shared<std::atomic<bool>>(false);
  clipCancel_ = cancel;
  // The stretch's share of the record's sample bytes: what the clip reads.
  auto bytes = std::make_shared<std::atomic<std::uint64_t>>(0);
  clipBytes_ = bytes;
  clipEstimate_ = 0;
  if (const auto record = session_->Record())
    for (const VirtualSegment &segment : record->Segments())
      clipEstimate_ += segment.size - segment.head.size();
  clipEstimate_ = clipEstimate_ * (request.toMs - request.fromMs) /
                  std::max<std::uint64_t>(1, static_cast<std::uint64_t>(session_->Duration()));
  clipProgress_->setRange(0, 1000);
  clipProgress_->setValue(0);
  clipTimer_->start();
  clipProgress_->show();
  cancelClipButton_->show();
  ShowMarks();
  ShowMessage(Text(txt::ClipExporting), false);
  QPointer<PlayerWindow> self(this);
  const TStorageX4TFT::PlaySource source = source_;
  const std::string folder = outputFolder_.toStdString();
  QThreadPool::globalInstance()->start([self, source, request, folder, cancel, bytes] {
    auto result = std::make_shared<ClipResult>();
    const bool ok = WriteClip(source, request, folder, *cancel, *result, bytes.get());
    QMetaObject::invokeMethod(
        qApp,
        [self, ok, result, request, folder] {
          if (!self)
            return;
          if (result->interrupted) {
            self->ClipDone(false, Text(txt::ClipCancelled));
            return;
          }
          QStringList files;
          for (const std::string &f : result->files)
            files << QDir::toNativeSeparators(QString::fromStdString(
                         platform::WithSeparator(folder) + f));
          if (!result->gpx.empty())
            files << QString::fromStdString(result->gpx);
          QString text;
          if (!result->files.empty()) {
            text = Text(txt::ClipSaved)
                       .arg(files.join(QStringLiteral(", ")))
                       .arg(static_cast<double>(request.fromMs - result->startMs) / 1000.0, 0,
                            'f', 3);
            if (result->files.size() > 1)
              text += QStringLiteral("\n") + Text(txt::ClipSetUpChanges);
          }
          if (!ok)
            text += (text.isEmpty() ? QString() : QStringLiteral("\n")) +
                    Text(txt::ClipFailed).arg(QString::fromStdString(result->error));
          self->ClipDone(ok, text);
        },
        Qt::QueuedConnection);
  });
  return true;
}

bool PlayerWindow::ExportEvidence() {
  if (!isRecord_) {
    ShowMessage(Text(txt::EvidenceFailed).arg(Text(txt::ClipOnlyRecords)), true);
    return false;
  }
  if (ExportingClip() || session_->Duration() <= 0 || !session_->Record())
    return false;
  if (outputFolder_.isEmpty() ||
      !platform::IsEnterableDirectory(platform::WithSeparator(outputFolder_.toStdString()))) {
    ShowMessage(Text(txt::EvidenceFailed).arg(QDir::toNativeSeparators(outputFolder_)), true);
    return false;
  }
  const qint64 from = std::max<qint64>(in_, 0);
  const qint64 to = out_ >= 0 ? out_ : session_->Duration() - 1;
  QList<qint64> moments;
  for (int k = 0; k < 6; ++k)
    moments << from + (to - from) * k / 5;
  clipCancel_ = std::make_shared<std::atomic<bool>>(false);
  clipProgress_->show();
  cancelClipButton_->show();
  ShowMarks();
  ShowMessage(Text(txt::EvidenceExporting), false);
  // Pictures first, decoded here by a player of their own; then the
  // package on another thread.
  auto *grabber = new FrameGrabber(session_->Record(), this);
  connect(grabber, &FrameGrabber::done, this,
          [this, grabber](const QList<qint64> &m, const QList<QImage> &images) {
            grabber->deleteLater();
            PackageWithPictures(m, images);
          });
  grabber->Grab(moments);
  return true;
}

void PlayerWindow::PackageWithPictures(const QList<qint64> &moments,
                                       const QList<QImage> &images) {
  const auto cancel = clipCancel_;
  if (!cancel || *cancel) {
    ClipDone(false, Text(txt::ClipCancelled));
    return;
  }
  evidence::PackageRequest request;
  request.source = source_;
  request.cardFolder = source_.cardFolder;
  if (in_ >= 0 || out_ >= 0) {
    ClipRequest clip;
    clip.fromMs = static_cast<std::uint64_t>(std::max<qint64>(in_, 0));
    clip.toMs = static_cast<std::uint64_t>(out_ >= 0 ? out_ : session_->Duration());
    clip.exactStart = exactStart_->isChecked();
    clip.gpsBeside = gpsBeside_;
    clip.gpsInside = gpsInside_;
    request.clip = clip;
  }
  request.markedMs = static_cast<std::uint64_t>(session_->Position());
  request.destination = outputFolder_.toStdString();
  request.program = "orvo";
  request.version = ORVO_VERSION;
  request.build = "Qt " QT_VERSION_STR;
  request.command = "Export evidence... in the player window";
  for (int k = 0; k < moments.size() && k < images.size(); ++k) {
    if (images[k].isNull())
      continue;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    images[k].scaledToWidth(480, Qt::SmoothTransformation).save(&buffer, "PNG");
    request.thumbnails.push_back(
        {static_cast<std::uint64_t>(moments[k]), std::string(png.constData(), png.size())});
  }
  request.noThumbnailsReason = "No pictures: the video could not be decoded here.";
  // The PDF is laid out where the fonts are: on the window's thread.
  // Qt's text layout draws no SVG: the route goes into the PDF as the map
  // shows it, with the stretch marked.
  QByteArray routePng;
  if (side_->isVisible()) {
    QBuffer buffer(&routePng);
    buffer.open(QIODevice::WriteOnly);
    map_->grab().save(&buffer, "PNG");
  }
  request.pdf = [cancel, routePng](const std::string &html, std::string &pdf) {
    if (*cancel)
      return false; // the window may be closing: nothing waits on it then
    QMetaObject::invokeMethod(
        qApp,
        [&html, &pdf, &routePng] {
          QString text = QString::fromStdString(html);
          const qsizetype svg = text.indexOf(QLatin1String("<svg"));
          const qsizetype end = text.indexOf(QLatin1String("</svg>"), svg);
          if (svg >= 0 && end > svg)
            text.replace(svg, end + 6 - svg,
                         routePng.isEmpty()
                             ? QString()
                             : QStringLiteral("<img src=\"data:image/png;base64,%1\">")
                                   .arg(QString::fromLatin1(routePng.toBase64())));
          // The pictures go to the layout as resources of their own rather
          // than as data addresses it may not read.
          QTextDocument document;
          const QString prefix = QStringLiteral("src=\"data:image/png;base64,");
          int n = 0;
          for (qsizetype at = text.indexOf(prefix); at >= 0; at = text.indexOf(prefix, at)) {
            const qsizetype from = at + prefix.size();
            const qsizetype quote = text.indexOf(QLatin1Char('"'), from);
            if (quote < 0)
              break;
            const QString name = QStringLiteral("picture-%1.png").arg(n++);
            document.addResource(
                QTextDocument::ImageResource, QUrl(name),
                QImage::fromData(QByteArray::fromBase64(text.mid(from, quote - from).toLatin1())));
            text.replace(at, quote + 1 - at, QStringLiteral("src=\"%1\"").arg(name));
            at += name.size();
          }
          QByteArray bytes;
          QBuffer buffer(&bytes);
          buffer.open(QIODevice::WriteOnly);
          QPdfWriter writer(&buffer);
          writer.setPageSize(QPageSize(QPageSize::A4));
          writer.setResolution(150);
          document.setHtml(text);
          document.print(&writer);
          buffer.close();
          pdf.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        },
        Qt::BlockingQueuedConnection);
    return !pdf.empty();
  };
  QPointer<PlayerWindow> self(this);
  QThreadPool::globalInstance()->start([self, request, cancel] {
    auto result = std::make_shared<evidence::PackageResult>();
    const bool ok = evidence::MakePackage(request, *cancel, *result);
    QMetaObject::invokeMethod(
        qApp,
        [self, ok, result] {
          if (!self)
            return;
          if (result->interrupted)
            self->ClipDone(false, Text(txt::ClipCancelled));
          else if (ok)
            self->ClipDone(true, Text(txt::EvidenceSaved)
                                     .arg(QDir::toNativeSeparators(
                                         QString::fromStdString(result->folder))));
          else
            self->ClipDone(false, Text(txt::EvidenceFailed)
                                      .arg(QString::fromStdString(result->error)));
        },
        Qt::QueuedConnection);
  });
}

void PlayerWindow::CancelClip() {
  if (clipCancel_)
    *clipCancel_ = true;
}

void PlayerWindow::ClipDone(bool ok, const QString &text) {
  clipCancel_.reset();
  clipBytes_.reset();
  clipTimer_->stop();
  clipProgress_->setRange(0, 0); // an evidence package shows none
  clipProgress_->hide();
  cancelClipButton_->hide();
  ShowMarks();
  ShowMessage(text, !ok);
}

void PlayerWindow::ChangeSpeed(int step) {
  speedBox_->setCurrentIndex(
      std::clamp(speedBox_->currentIndex() + step, 0, static_cast<int>(kSpeeds.size()) - 1));
}

void PlayerWindow::ToggleFullScreen() {
  setWindowState(windowState() ^ Qt::WindowFullScreen);
}

void PlayerWindow::keyPressEvent(QKeyEvent *event) {
  const bool shift = event->modifiers() & Qt::ShiftModifier;
  if (event->key() == Qt::Key_E && (event->modifiers() & Qt::ControlModifier)) {
    ExportClip();
    event->accept();
    return;
  }
  switch (event->key()) {
  case Qt::Key_I:
    if (isRecord_)
      SetIn(session_->Position());
    break;
  case Qt::Key_O:
    if (isRecord_)
      SetOut(session_->Position());
    break;
  case Qt::Key_Space:
  case Qt::Key_K:
    session_->Toggle();
    break;
  case Qt::Key_J:
    ChangeSpeed(-1);
    break;
  case Qt::Key_L:
    ChangeSpeed(1);
    break;
  case Qt::Key_Left:
    shift ? session_->Seek(session_->Position() - 5000) : session_->Step(-1);
    break;
  case Qt::Key_Right:
    shift ? session_->Seek(session_->Position() + 5000) : session_->Step(1);
    break;
  case Qt::Key_Home:
    session_->Seek(0);
    break;
  case Qt::Key_End:
    session_->Seek(session_->Duration());
    break;
  case Qt::Key_Up:
    volume_->setValue(volume_->value() + 10);
    break;
  case Qt::Key_Down:
    volume_->setValue(volume_->value() - 10);
    break;
  case Qt::Key_M:
    muteButton_->toggle();
    break;
  case Qt::Key_S:
    SaveSnapshot();
    break;
  case Qt::Key_F:
    ToggleFullScreen();
    break;
  case Qt::Key_Escape:
    if (windowState() & Qt::WindowFullScreen)
      ToggleFullScreen();
    else
      close();
    break;
  default:
    QWidget::keyPressEvent(event);
    return;
  }
  event->accept();
}

void PlayerWindow::closeEvent(QCloseEvent *event) {
  AbandonOpening();
  CancelClip();
  session_->Close();
  view_->Clear();
  QWidget::closeEvent(event);
}

} // namespace orvo
