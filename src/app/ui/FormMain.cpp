#include "app/ui/FormMain.h"

#include "app/ui/FormAbout.h"
#include "config/ui/RecorderSettings.h"
#include "platform/ui/MessageSeam.h"
#include "settings/ProgramSettings.h"
#include "settings/Stringcode.h"
#include "settings/ui/Labels.h"
#include "settings/ui/SetupForm.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace orvo {

namespace {

constexpr QSize kClientSize(892, 522);
constexpr int kRecordColumnWidths[] = {22, 76, 62, 62, 134, 94, 45, 140};

template <typename T> T *Make(QWidget *parent, const char *name) {
  T *widget = new T(parent);
  widget->setObjectName(name);
  return widget;
}

} // namespace

TFormMain::TFormMain(TSecondThread *worker, ProgramSettings *settings, QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      worker_(worker), settings_(settings) {
  setObjectName("FormMain");
  setWindowTitle(kMainCaption);
  setWindowIcon(QIcon(":/orvo/orvo.png"));

  SavedCaption.clear();
  DiscoverLanguages();

  PageControl1 = Make<QTabWidget>(this, "PageControl1");
  setCentralWidget(PageControl1);
  TabSheet1 = Make<QWidget>(PageControl1, "TabSheet1");
  TabSheet2 = Make<QWidget>(PageControl1, "TabSheet2");
  TabSheet5 = Make<QWidget>(PageControl1, "TabSheet5");
  TabSheet6 = Make<QWidget>(PageControl1, "TabSheet6");
  PageControl1->addTab(TabSheet1, QString());
  PageControl1->addTab(TabSheet2, QString());
  PageControl1->addTab(TabSheet5, QString());
  PageControl1->addTab(TabSheet6, QString());
  PageControl1->setTabVisible(PageControl1->indexOf(TabSheet6), false);

  BuildRecordPage();
  BuildSettingsPage();
  BuildFirmwarePage();
  BuildUtilitiesPage();

  StatusBar = new QStatusBar(this);
  StatusBar->setObjectName("StatusBar");
  StatusBar->setSizeGripEnabled(false);
  StatusLabel = Make<QLabel>(StatusBar, "StatusLabel");
  StatusBar->addWidget(StatusLabel, 1);
  setStatusBar(StatusBar);

  TimerCheckDrive = new QTimer(this);
  TimerCheckDrive->setObjectName("TimerCheckDrive");
  TimerCheckDrive->setInterval(500);
  TimerCommon = new QTimer(this);
  TimerCommon->setObjectName("TimerCommon");
  TimerCommon->setInterval(40);

  ConnectHandlers();

  Scanning = false;
  Converting = false;
  DriveReady = false;
  PollTicks = 0;
  SortColumn = -1;
  SortAscending = true;
  RefreshSettingsPages();

  TimerCheckDrive->start();
}

ProgramSettings &TFormMain::Settings() const {
  return settings_ != nullptr ? *settings_ : *orvo::Settings();
}

void TFormMain::BuildRecordPage() {
  ListViewRecord = Make<QTreeWidget>(TabSheet1, "ListViewRecord");
  ListViewRecord->setColumnCount(8);
  ListViewRecord->setRootIsDecorated(false);
  ListViewRecord->setUniformRowHeights(true);
  ListViewRecord->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ListViewRecord->setFocusPolicy(Qt::NoFocus);
  ListViewRecord->setSelectionMode(QAbstractItemView::SingleSelection);
  ListViewRecord->setAllColumnsShowFocus(true);
  QHeaderView *header = ListViewRecord->header();
  header->setStretchLastSection(false);
  header->setSectionsMovable(false);
  header->setSectionsClickable(true);
  header->setMinimumSectionSize(kRecordColumnWidths[0]);
  for (int i = 0; i < 8; ++i)
    ListViewRecord->setColumnWidth(i, kRecordColumnWidths[i]);
  header->setSectionResizeMode(0, QHeaderView::Fixed);

  ProgressBar = Make<QProgressBar>(TabSheet1, "ProgressBar");
  ProgressBar->setTextVisible(false);
  ProgressBar->hide();

  ButtonScan = Make<QPushButton>(TabSheet1, "ButtonScan");
  ButtonConvert = Make<QPushButton>(TabSheet1, "ButtonConvert");
  ButtonSetAll = Make<QPushButton>(TabSheet1, "ButtonSetAll");
  ButtonClearAll = Make<QPushButton>(TabSheet1, "ButtonClearAll");
  ButtonFiltering = Make<QPushButton>(TabSheet1, "ButtonFiltering");
  ButtonDeleting = Make<QPushButton>(TabSheet1, "ButtonDeleting");
  ButtonOpenFolder = Make<QPushButton>(TabSheet1, "ButtonOpenFolder");
  SpeedButtonInfo = Make<QToolButton>(TabSheet1, "SpeedButtonInfo");
  SpeedButtonInfo->setText("?");
  SpeedButtonInfo->setAutoRaise(true);
  for (QPushButton *b :
       {ButtonScan, ButtonConvert, ButtonSetAll, ButtonClearAll, ButtonFiltering, ButtonDeleting})
    b->setEnabled(false);

  auto *left = new QVBoxLayout;
  left->addWidget(ListViewRecord, 1);
  left->addWidget(ProgressBar);
  auto *right = new QVBoxLayout;
  right->addWidget(ButtonScan);
  right->addWidget(ButtonConvert);
  right->addSpacing(12);
  right->addWidget(ButtonSetAll);
  right->addWidget(ButtonClearAll);
  right->addWidget(ButtonFiltering);
  right->addSpacing(12);
  right->addWidget(ButtonDeleting);
  right->addWidget(ButtonOpenFolder);
  right->addStretch(1);
  right->addWidget(SpeedButtonInfo, 0, Qt::AlignRight);
  auto *page = new QHBoxLayout(TabSheet1);
  page->addLayout(left, 1);
  page->addLayout(right);
}

void TFormMain::BuildSettingsPage() {
  GroupBoxPrepare = Make<QGroupBox>(TabSheet2, "GroupBoxPrepare");
  ButtonPrepare = Make<QPushButton>(GroupBoxPrepare, "ButtonPrepare");
  ButtonFormat = Make<QPushButton>(GroupBoxPrepare, "ButtonFormat");
  ButtonClean = Make<QPushButton>(GroupBoxPrepare, "ButtonClean");
  ButtonPrepare->setEnabled(false);
  ButtonFormat->setEnabled(false);
  // Kept for its texts only; it has no command.
  ButtonClean->setEnabled(false);
  ButtonClean->hide();
  auto *prepare = new QHBoxLayout(GroupBoxPrepare);
  prepare->addWidget(ButtonPrepare);
  prepare->addWidget(ButtonFormat);
  prepare->addWidget(ButtonClean);

  GroupBoxProgramSettings = Make<QGroupBox>(TabSheet2, "GroupBoxProgramSettings");
  ButtonSetup = Make<QPushButton>(GroupBoxProgramSettings, "ButtonSetup");
  auto *program = new QHBoxLayout(GroupBoxProgramSettings);
  program->addWidget(ButtonSetup);

  GroupBoxRecorderSetup = new RecorderSettings(*this, TabSheet2);

  auto *top = new QHBoxLayout;
  top->addWidget(GroupBoxPrepare);
  top->addWidget(GroupBoxProgramSettings);
  top->addStretch(1);
  auto *page = new QVBoxLayout(TabSheet2);
  page->addLayout(top);
  page->addWidget(GroupBoxRecorderSetup, 1);
}

void TFormMain::BuildFirmwarePage() {
  LabelDataOnDisk = Make<QLabel>(TabSheet5, "LabelDataOnDisk");
  LabelDataOnCard = Make<QLabel>(TabSheet5, "LabelDataOnCard");
  ListBoxFirmwareOnDisk = Make<QListWidget>(TabSheet5, "ListBoxFirmwareOnDisk");
  ListBoxFirmwareOnCard = Make<QListWidget>(TabSheet5, "ListBoxFirmwareOnCard");
  ButtonFwRefresh = Make<QPushButton>(TabSheet5, "ButtonFwRefresh");
  ButtonFwCopyToCard = Make<QPushButton>(TabSheet5, "ButtonFwCopyToCard");
  ButtonFwCopyFromCard = Make<QPushButton>(TabSheet5, "ButtonFwCopyFromCard");
  for (QPushButton *b : {ButtonFwRefresh, ButtonFwCopyToCard, ButtonFwCopyFromCard})
    b->setEnabled(false);

  auto *copy = new QVBoxLayout;
  copy->addStretch(1);
  copy->addWidget(ButtonFwCopyToCard);
  copy->addWidget(ButtonFwCopyFromCard);
  copy->addStretch(1);
  auto *grid = new QGridLayout(TabSheet5);
  grid->addWidget(LabelDataOnDisk, 0, 0);
  grid->addWidget(LabelDataOnCard, 0, 2);
  grid->addWidget(ListBoxFirmwareOnDisk, 1, 0);
  grid->addLayout(copy, 1, 1);
  grid->addWidget(ListBoxFirmwareOnCard, 1, 2);
  grid->addWidget(ButtonFwRefresh, 2, 0, Qt::AlignLeft);
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(2, 1);
}

void TFormMain::BuildUtilitiesPage() {
  // The video file test lives here; its tab is never shown to the user.
  new QVBoxLayout(TabSheet6);
}

void TFormMain::ConnectHandlers() {
  connect(ButtonScan, &QPushButton::clicked, this, &TFormMain::ButtonScanClick);
  connect(ButtonConvert, &QPushButton::clicked, this, &TFormMain::ButtonConvertClick);
  connect(ButtonSetAll, &QPushButton::clicked, this, &TFormMain::ButtonSetAllClick);
  connect(ButtonClearAll, &QPushButton::clicked, this, &TFormMain::ButtonClearAllClick);
  connect(ButtonFiltering, &QPushButton::clicked, this, &TFormMain::ButtonFilteringClick);
  connect(ButtonDeleting, &QPushButton::clicked, this, &TFormMain::ButtonDeletingClick);
  connect(ButtonOpenFolder, &QPushButton::clicked, this, &TFormMain::ButtonOpenFolderClick);
  connect(SpeedButtonInfo, &QToolButton::clicked, this, &TFormMain::SpeedButtonInfoClick);
  connect(ListViewRecord->header(), &QHeaderView::sectionClicked, this,
          &TFormMain::ListViewRecordColumnClick);
  connect(TimerCommon, &QTimer::timeout, this, &TFormMain::TimerCommonTimer);

  connect(TimerCheckDrive, &QTimer::timeout, this, &TFormMain::TimerCheckDriveTimer);
  connect(ButtonPrepare, &QPushButton::clicked, this, &TFormMain::ButtonPrepareClick);
  connect(ButtonFormat, &QPushButton::clicked, this, &TFormMain::ButtonFormatClick);
  connect(ButtonFwRefresh, &QPushButton::clicked, this, &TFormMain::ButtonFwRefreshClick);
  connect(ButtonFwCopyToCard, &QPushButton::clicked, this, &TFormMain::ButtonFwCopyToCardClick);
  connect(ButtonFwCopyFromCard, &QPushButton::clicked, this, &TFormMain::ButtonFwCopyFromCardClick);

  connect(ButtonSetup, &QPushButton::clicked, this, &TFormMain::ButtonSetupClick);
  // The settings page redraws whenever it is entered or another recorder
  // page is chosen.
  connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
    if (PageControl1->widget(index) == TabSheet2)
      PageRedraw();
  });
  connect(GroupBoxRecorderSetup->PageControlRecorderSetup, &QTabWidget::currentChanged, this,
          &TFormMain::PageRedraw);
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
  LabelColumns(ListViewRecord, {NoTextId, 13, 14, 15, 60, 16, 17, 20});
  // A column is widened where its title needs more room in this language.
  QHeaderView *header = ListViewRecord->header();
  for (int i = 1; i < 8; ++i)
    ListViewRecord->setColumnWidth(i, std::max(kRecordColumnWidths[i], header->sectionSizeHint(i)));
  FillRecordList();
  LabelGroupBox(GroupBoxProgramSettings, 44);
  LabelGroupBox(GroupBoxPrepare, 47);
  LabelButton(ButtonScan, 3, 4);
  LabelButton(ButtonConvert, 5, 6);
  LabelButton(ButtonOpenFolder, 312, 313);
  LabelButton(ButtonDeleting, 244, 245);
  LabelButton(ButtonSetAll, 7, 8);
  LabelButton(ButtonClearAll, 9, 10);
  LabelButton(ButtonFiltering, 11, 12);
  LabelButton(ButtonSetup, 45, 46);
  LabelButton(ButtonFormat, 48, 49);
  LabelButton(ButtonPrepare, 50, 51);
  LabelButton(ButtonClean, 52, 53);
  GroupBoxRecorderSetup->Relabel();
  LabelButton(ButtonFwRefresh, 266, 267);
  LabelButton(ButtonFwCopyToCard, 268, 269);
  LabelButton(ButtonFwCopyFromCard, 270, 271);
  LabelLabel(LabelDataOnDisk, 264, true);
  LabelLabel(LabelDataOnCard, 265, true);
  SetHint(SpeedButtonInfo, Text(219));

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
  if (GroupBoxRecorderSetup->RefreshActiveSettingsPage())
    FitToPages();
  // Widgets measure fully only once shown and polished: measure again when
  // the pages have been laid out.
  if (isVisible())
    QTimer::singleShot(0, this, [this] { FitToPages(); });
}

void TFormMain::ButtonSetupClick() {
  if (SetupForm != nullptr)
    SetupForm->exec();
  RefreshSettingsPages();
}

void TFormMain::PageRedraw() {
  RefreshSettingsPages();
}

} // namespace orvo
