#include "player/ui/PlayerWindow.h"

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
  auto *top = new QHBoxLayout;
  top->addWidget(view_, 3);
  top->addWidget(side_, 1);
  auto *layout = new QVBoxLayout(this);
  layout->addLayout(top, 1);
  layout->addWidget(timeline_);
  layout->addLayout(controls);
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

void PlayerWindow::ChangeSpeed(int step) {
  speedBox_->setCurrentIndex(
      std::clamp(speedBox_->currentIndex() + step, 0, static_cast<int>(kSpeeds.size()) - 1));
}

void PlayerWindow::ToggleFullScreen() {
  setWindowState(windowState() ^ Qt::WindowFullScreen);
}

void PlayerWindow::keyPressEvent(QKeyEvent *event) {
  const bool shift = event->modifiers() & Qt::ShiftModifier;
  switch (event->key()) {
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
  session_->Close();
  view_->Clear();
  QWidget::closeEvent(event);
}

} // namespace orvo
