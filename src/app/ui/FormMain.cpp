#include "app/ui/FormMain.h"

#include "app/CardPreparation.h"
#include "app/CardWatch.h"
#include "app/ui/FirmwarePage.h"
#include "app/ui/RecordPage.h"
#include "app/ui/SettingsPage.h"
#include "app/ui/UtilitiesPage.h"
#include "config/ui/RecorderSettings.h"
#include "engine/Secondthread.h"
#include "platform/ui/MessageSeam.h"
#include "settings/ProgramSettings.h"
#include "settings/Stringcode.h"
#include "settings/ui/Labels.h"

#include <QLabel>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>

namespace orvo {

namespace {

constexpr QSize kClientSize(892, 522);

} // namespace

TFormMain::TFormMain(TSecondThread *worker, ProgramSettings *settings, QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      worker_(worker), settings_(settings) {
  setObjectName("FormMain");
  setWindowTitle(kMainCaption);
  setWindowIcon(QIcon(":/orvo/orvo.png"));

  DiscoverLanguages();

  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName("PageControl1");
  setCentralWidget(PageControl1);
  TabSheet1 = new RecordPage(*this, PageControl1);
  TabSheet2 = new SettingsPage(*this, PageControl1);
  TabSheet5 = new FirmwarePage(PageControl1);
  TabSheet6 = new UtilitiesPage(*this, PageControl1);
  for (QWidget *page : std::initializer_list<QWidget *>{TabSheet1, TabSheet2, TabSheet5, TabSheet6})
    PageControl1->addTab(page, QString());

  StatusBar = new QStatusBar(this);
  StatusBar->setObjectName("StatusBar");
  StatusBar->setSizeGripEnabled(false);
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

  RefreshSettingsPages();

  TimerCheckDrive->start();
}

ProgramSettings &TFormMain::Settings() const {
  return settings_ != nullptr ? *settings_ : *orvo::Settings();
}

RecorderSettings &TFormMain::RecorderSetup() const {
  return *TabSheet2->GroupBoxRecorderSetup;
}

int TFormMain::ShowMainMessage(const QString &text, int type) {
  return ShowMessage(this, windowTitle(), text, type);
}

int TFormMain::ShowMainMessage(int textId, int type) {
  return ShowMainMessage(Text(textId), type);
}

void TFormMain::SetStatusText(const QString &text) {
  StatusLabel->setText(text);
}

QString TFormMain::StatusText() const {
  return StatusLabel->text();
}

void TFormMain::RelabelWindow() {
  LabelPages(PageControl1, {1, 2, 263, 272});
  TabSheet1->Relabel();
  TabSheet2->Relabel();
  TabSheet5->Relabel();
  TabSheet6->Relabel();

  // The window keeps its size unless the texts of a language need more.
  const QSize size = kClientSize.expandedTo(minimumSizeHint());
  setFixedSize(size);
}

void TFormMain::FitToPages() {
  ensurePolished();
  const QSize needed = minimumSizeHint();
  if (needed.width() > width() || needed.height() > height())
    setFixedSize(size().expandedTo(needed));
}

void TFormMain::RefreshSettingsPages() {
  const int language = Settings().Language;
  if (language != LastAppliedLanguage) {
    LastAppliedLanguage = language;
    SelectLanguage(language);
    RelabelWindow();
  }
  if (RecorderSetup().RefreshActiveSettingsPage())
    FitToPages();
  // Widgets measure fully only once shown and polished: measure again when
  // the pages have been laid out.
  if (isVisible())
    QTimer::singleShot(0, this, [this] { FitToPages(); });
}

void TFormMain::PageRedraw() {
  RefreshSettingsPages();
}

void TFormMain::TimerCheckDriveTimer() {
  ProgramSettings &s = Settings();
  const DriveChange change =
      PollDrive(DriveReady, PollTicks, [&s] { return IsDriveReady(s.DriveIndex, s.InPath); });
  if (change == DriveChange::Appeared)
    CardAppeared();
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

void TFormMain::CardAppeared() {
  ProgramSettings &s = Settings();
  TabSheet2->CardAppeared();
  TabSheet1->CardAppeared();
  RecorderSetup().CardAppeared();
  SetStatusText(Text(MsgDriveReady));
  RecorderSetup().ReadCardConfiguration(s.InPath);
  TabSheet5->CardAppeared();
  // Not while the worker runs a job: it would refuse the scan.
  if (s.AutoScan && !(worker_ != nullptr && worker_->IsBusy()))
    TabSheet1->BeginScan();
}

void TFormMain::CardGone() {
  TabSheet2->CardGone();
  TabSheet1->CardGone();
  RecorderSetup().CardGone();
  TabSheet5->CardGone();
  SetStatusText(Text(MsgDriveNotReady));
}

} // namespace orvo
