#include "app/ui/FormMain.h"

#include "app/CardPreparation.h"
#include "app/CardWatch.h"
#include "app/DriveProbe.h"
#include "app/ui/FirmwarePage.h"
#include "app/ui/QtTranslations.h"
#include "app/ui/RecordListView.h"
#include "app/ui/RecordPage.h"
#include "app/ui/SettingsPage.h"
#include "app/ui/UtilitiesPage.h"
#include "player/ui/PlayerLauncher.h"
#include "config/ui/RecorderSettings.h"
#include "engine/Secondthread.h"
#include "platform/ui/MessageSeam.h"
#include "settings/AddedTexts.h"
#include "settings/ProgramSettings.h"
#include "settings/Stringcode.h"
#include "settings/ui/Labels.h"

#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>

namespace orvo {

namespace {

constexpr QSize kClientSize(892, 522);
// The first size: roomy enough for the built-in languages' longest texts, so
// that a change of language does not have to make the window grow.
constexpr QSize kFirstSize(1000, 600);

// The one local folder a drag carries; empty for anything else.
QString DroppedFolder(const QMimeData *mime) {
  if (mime == nullptr || !mime->hasUrls() || mime->urls().size() != 1)
    return {};
  const QUrl url = mime->urls().constFirst();
  if (!url.isLocalFile())
    return {};
  const QFileInfo info(url.toLocalFile());
  return info.isDir() ? QDir::toNativeSeparators(info.absoluteFilePath()) : QString();
}

} // namespace

TFormMain::TFormMain(TSecondThread *worker, ProgramSettings *settings, QWidget *parent)
    : QMainWindow(parent), worker_(worker), settings_(settings),
      probe_(std::make_unique<DriveProbe>()) {
  setObjectName("FormMain");
  setWindowTitle(kMainCaption);
  setWindowIcon(QIcon(":/orvo/orvo.png"));
  setAcceptDrops(true);

  DiscoverLanguages();

  // A window smaller than its pages (a small screen, a large scale factor)
  // scrolls them rather than cutting them off.
  auto *scroll = new QScrollArea(this);
  scroll->setObjectName("PageScroll");
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  PageControl1 = new QTabWidget(scroll);
  PageControl1->setObjectName("PageControl1");
  scroll->setWidget(PageControl1);
  setCentralWidget(scroll);
  Player = new PlayerLauncher(this, Settings());
  TabSheet1 = new RecordPage(*this, PageControl1);
  TabSheet2 = new SettingsPage(*this, PageControl1);
  TabSheet5 = new FirmwarePage(PageControl1);
  TabSheet6 = new UtilitiesPage(*this, PageControl1);
  for (QWidget *page : std::initializer_list<QWidget *>{TabSheet1, TabSheet2, TabSheet5, TabSheet6})
    PageControl1->addTab(page, QString());

  StatusBar = new QStatusBar(this);
  StatusBar->setObjectName("StatusBar");
  StatusLabel = new QLabel(StatusBar);
  StatusLabel->setObjectName("StatusLabel");
  StatusBar->addWidget(StatusLabel, 1);
  setStatusBar(StatusBar);

  TimerCheckDrive = new QTimer(this);
  TimerCheckDrive->setObjectName("TimerCheckDrive");
  TimerCheckDrive->setInterval(500);

  connect(TimerCheckDrive, &QTimer::timeout, this, &TFormMain::TimerCheckDriveTimer);
  connect(TabSheet1, &RecordPage::jobRunningChanged, TabSheet2, &SettingsPage::SetJobRunning);
  connect(TabSheet1, &RecordPage::jobRunningChanged, TabSheet6, &UtilitiesPage::SetJobRunning);
  connect(TabSheet2, &SettingsPage::jobRunningChanged, TabSheet6, &UtilitiesPage::SetJobRunning);
  // While a file is tested the worker refuses every other job, so the record
  // page waits as a whole; its controls keep their own states for later.
  connect(TabSheet6, &UtilitiesPage::jobRunningChanged, TabSheet2, &SettingsPage::SetJobRunning);
  connect(TabSheet6, &UtilitiesPage::jobRunningChanged, TabSheet1,
          [this](bool running) { TabSheet1->setEnabled(!running); });
  // The settings page redraws whenever it is entered or another recorder
  // page is chosen.
  connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
    if (PageControl1->widget(index) == TabSheet2)
      PageRedraw();
  });
  connect(RecorderSetup().PageControlRecorderSetup, &QTabWidget::currentChanged, this,
          &TFormMain::PageRedraw);

  auto *quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
  connect(quit, &QShortcut::activated, this, &QWidget::close);
  auto *scan = new QShortcut(QKeySequence(Qt::Key_F5), this);
  connect(scan, &QShortcut::activated, this, [this] {
    if (!TabSheet1->JobRunning() && TabSheet1->ButtonScan->isEnabled())
      TabSheet1->ButtonScanClick();
  });

  Status.OnChange(
      [this](const std::string &text) { StatusLabel->setText(QString::fromStdString(text)); });
  ReportFolder();

  RefreshSettingsPages();
  FitToPages();

  TimerCheckDrive->start();
}

TFormMain::~TFormMain() = default;

ProgramSettings &TFormMain::Settings() const {
  return settings_ != nullptr ? *settings_ : *orvo::Settings();
}

RecorderSettings &TFormMain::RecorderSetup() const {
  return *TabSheet2->GroupBoxRecorderSetup;
}

std::string TFormMain::CardFolder() const {
  return DriveReady ? Settings().InPath : std::string();
}

int TFormMain::ShowMainMessage(const QString &text, int type) {
  return ShowMessage(this, windowTitle(), text, type);
}

int TFormMain::ShowMainMessage(int textId, int type) {
  return ShowMainMessage(Text(textId), type);
}

QString TFormMain::StatusText() const {
  return StatusLabel->text();
}

void TFormMain::ReportFolder() {
  Status.SetFolder(QDir::toNativeSeparators(QString::fromStdString(Settings().InPath)).toStdString());
}

bool TFormMain::event(QEvent *event) {
  // A hint must not cover what a running job says.
  if (event->type() == QEvent::StatusTip && TabSheet1->JobRunning())
    return true;
  return QMainWindow::event(event);
}

void TFormMain::RelabelWindow() {
  const QString language = QString::fromStdString(GetLanguageName(Settings().Language));
  LoadQtTranslation(language);
  UseLanguageLocale(language);
  LabelPages(PageControl1, {1, 2, 263, 272});
  TabSheet1->Relabel();
  TabSheet2->Relabel();
  TabSheet5->Relabel();
  TabSheet6->Relabel();
  Player->Relabel();
  Status.Refresh();
}

QSize TFormMain::AvailableClientSize() const {
  const QScreen *screen = this->screen();
  if (screen == nullptr)
    return QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  // The window manager's frame, once there is one, takes its share.
  const QSize frame = isVisible() ? frameGeometry().size() - size() : QSize(0, 0);
  return screen->availableGeometry().size() - frame;
}

void TFormMain::FitToPages() {
  ensurePolished();
  // Every page whole with the status bar below; never more than the screen
  // holds, where the pages scroll instead.
  const QSize pages = PageControl1->minimumSizeHint() + QSize(0, StatusBar->sizeHint().height());
  const QSize needed = kClientSize.expandedTo(pages).boundedTo(AvailableClientSize());
  setMinimumSize(needed);
  if (needed.width() > width() || needed.height() > height())
    resize(size().expandedTo(needed));
}

void TFormMain::RestoreLayout() {
  const ProgramSettings &s = Settings();
  FitToPages();
  const bool remembered = s.WindowWidth > 0 && s.WindowHeight > 0;
  resize((remembered ? QSize(s.WindowWidth, s.WindowHeight) : kFirstSize)
             .boundedTo(AvailableClientSize())
             .expandedTo(minimumSize()));
  if (const QScreen *screen = this->screen())
    move(screen->availableGeometry().center() - frameGeometry().center() + pos());
  const QStringList widths = QString::fromStdString(s.ColumnWidths).split(',');
  QHeaderView *header = TabSheet1->ListViewRecord->header();
  QList<int> columns;
  for (int i = 0; i < widths.size() && i < header->count() - 1; ++i) {
    bool ok = false;
    const int w = widths[i].toInt(&ok);
    columns << (i > 0 && ok && w >= header->minimumSectionSize() && w < 2000 ? w : 0);
  }
  TabSheet1->RememberColumnWidths(columns);
}

void TFormMain::SaveLayout() {
  ProgramSettings &s = Settings();
  s.WindowWidth = width();
  s.WindowHeight = height();
  QStringList widths;
  QHeaderView *header = TabSheet1->ListViewRecord->header();
  for (int i = 0; i < header->count(); ++i)
    widths << QString::number(header->sectionSize(i));
  s.ColumnWidths = widths.join(',').toStdString();
}

void TFormMain::showEvent(QShowEvent *event) {
  QMainWindow::showEvent(event);
  if (!layoutRestored_) {
    layoutRestored_ = true;
    RestoreLayout();
  }
}

void TFormMain::closeEvent(QCloseEvent *event) {
  if (TabSheet1->JobRunning()) {
    if (ShowMainMessage(Text(txt::QuitDuringJob), kMessageAskDestructive) != kAnswerYes) {
      event->ignore();
      return;
    }
    // The worker finishes the file it has open while the program shuts down.
    TabSheet1->CancelJob();
  }
  SaveLayout();
  QMainWindow::closeEvent(event);
}

void TFormMain::dragEnterEvent(QDragEnterEvent *event) {
  if (!PlayerLauncher::DroppedVideo(event->mimeData()).isEmpty() ||
      (!TabSheet1->JobRunning() && !DroppedFolder(event->mimeData()).isEmpty()))
    event->acceptProposedAction();
}

void TFormMain::dropEvent(QDropEvent *event) {
  // A video file plays; a folder becomes the input folder.
  if (const QString video = PlayerLauncher::DroppedVideo(event->mimeData()); !video.isEmpty()) {
    event->acceptProposedAction();
    Player->OpenFile(video);
    return;
  }
  const QString folder = DroppedFolder(event->mimeData());
  if (folder.isEmpty() || TabSheet1->JobRunning())
    return;
  event->acceptProposedAction();
  if (ShowMainMessage(Text(txt::DropFolderAsk).arg(folder), kMessageAskWarning) != kAnswerYes)
    return;
  Settings().SetInPath(folder.toStdString());
  InputFolderChanged();
}

void TFormMain::InputFolderChanged() {
  // The old card's list, configuration and firmware go; the polling finds
  // the new folder within a tick or two and starts over (with AutoScan, a
  // scan).
  if (DriveReady) {
    DriveReady = false;
    CardGone();
    RefreshSettingsPages();
  }
  TabSheet1->InputFolderChanged();
  ReportFolder();
  Status.SetCard(StatusLine::Card::NotReady);
  const ProgramSettings &s = Settings();
  probe_->Ask(s.DriveIndex, s.InPath, true);
}

void TFormMain::RefreshSettingsPages() {
  const int language = Settings().Language;
  if (language != LastAppliedLanguage) {
    LastAppliedLanguage = language;
    SelectLanguage(language);
    RelabelWindow();
  }
  RecorderSetup().RefreshActiveSettingsPage();
  if (isVisible())
    FitToPages();
}

void TFormMain::PageRedraw() {
  RefreshSettingsPages();
}

void TFormMain::TimerCheckDriveTimer() {
  const ProgramSettings &s = Settings();
  if (PollTicks < 1) {
    ++PollTicks;
    return;
  }
  // The answer of an earlier tick, if it was about the folder still chosen.
  // While no card is seen, each question also reads the card's
  // configuration, so that a card found comes with it.
  DriveProbe::Answer answer;
  DriveChange change = DriveChange::None;
  if (probe_->TakeAnswer(answer) && answer.inPath == s.InPath)
    change = PollDrive(DriveReady, PollTicks, [&answer] { return answer.ready; });
  probe_->Ask(s.DriveIndex, s.InPath, !DriveReady);
  if (change == DriveChange::Appeared)
    CardAppeared(answer);
  else if (change == DriveChange::Gone)
    CardGone();
  if (change != DriveChange::None) {
    // Rebinding is not a user's edit: no message may come out of it.
    RecorderSettings &recorder = RecorderSetup();
    recorder.RefreshInProgress = true;
    RefreshSettingsPages();
    recorder.RefreshInProgress = false;
  }
  if (DriveReady)
    TabSheet5->TakeFirmwareResults();
}

void TFormMain::CardAppeared(const DriveProbe::Answer &answer) {
  const ProgramSettings &s = Settings();
  TabSheet1->CardAppeared();
  TabSheet2->CardAppeared();
  RecorderSetup().CardAppeared();
  Status.SetCard(StatusLine::Card::Ready);
  RecorderSetup().ApplyCardConfiguration(answer.configRead ? answer.config : std::string());
  TabSheet5->CardAppeared(QString::fromStdString(s.InPath));
  // A job still running (the record page's, or a file test) keeps the
  // window as it is until its End.
  if (s.AutoScan && !TabSheet1->JobRunning() && !(worker_ != nullptr && worker_->IsBusy()))
    TabSheet1->BeginScan();
}

void TFormMain::CardGone() {
  TabSheet1->CardGone();
  TabSheet2->CardGone();
  RecorderSetup().CardGone();
  TabSheet5->CardGone();
  Status.SetCard(StatusLine::Card::NotReady);
}

} // namespace orvo
