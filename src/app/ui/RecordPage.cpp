#include "app/ui/RecordPage.h"

#include "app/Filtering.h"
#include "app/OutcomeText.h"
#include "app/RecordList.h"
#include "app/RecordSource.h"
#include "app/ui/FormAbout.h"
#include "app/ui/FormFiltering.h"
#include "app/ui/FormMain.h"
#include "app/ui/RecordListView.h"
#include "app/ui/RecordTableModel.h"
#include "engine/Secondthread.h"
#include "player/ui/PlayerLauncher.h"
#include "platform/ui/MessageSeam.h"
#include "platform/ui/NamedWidget.h"
#include "settings/AddedTexts.h"
#include "settings/Folders.h"
#include "settings/ProgramSettings.h"
#include "settings/Stringcode.h"
#include "settings/ui/Labels.h"

#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QStatusBar>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTime>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace orvo {

namespace {

const QList<int> kRecordColumnWidths = {22, 76, 62, 62, 134, 94, 45, 140, 120};
constexpr int kProgressSteps = 1000;


// "1:05" or "1:02:05".
QString Duration(qint64 seconds) {
  const QTime t = QTime(0, 0).addSecs(static_cast<int>(std::min<qint64>(seconds, 86399)));
  return t.toString(seconds >= 3600 ? QStringLiteral("h:mm:ss") : QStringLiteral("m:ss"));
}

} // namespace

RecordPage::RecordPage(TFormMain &frame, QWidget *parent) : QWidget(parent), frame_(frame) {
  setObjectName("TabSheet1");
  RecordModel = new RecordTableModel(this);
  RecordModel->setObjectName("RecordModel");
  ListViewRecord = MakeNamed<RecordListView>(this, "ListViewRecord");
  ListViewRecord->SetRecordModel(RecordModel);
  connect(ListViewRecord, &RecordListView::openRequested, this, &RecordPage::OpenRecord);
  QHeaderView *header = ListViewRecord->header();
  header->setMinimumSectionSize(kRecordColumnWidths[0]);
  header->setSectionResizeMode(0, QHeaderView::Fixed);

  ProgressBar = MakeNamed<QProgressBar>(this, "ProgressBar");
  ProgressBar->setTextVisible(false);
  ProgressBar->hide();
  LabelProgress = MakeNamed<QLabel>(this, "LabelProgress");
  LabelProgress->hide();

  ButtonScan = MakeNamed<QPushButton>(this, "ButtonScan");
  ButtonConvert = MakeNamed<QPushButton>(this, "ButtonConvert");
  ButtonSetAll = MakeNamed<QPushButton>(this, "ButtonSetAll");
  ButtonClearAll = MakeNamed<QPushButton>(this, "ButtonClearAll");
  ButtonFiltering = MakeNamed<QPushButton>(this, "ButtonFiltering");
  ButtonDeleting = MakeNamed<QPushButton>(this, "ButtonDeleting");
  ButtonOpenFolder = MakeNamed<QPushButton>(this, "ButtonOpenFolder");
  SpeedButtonInfo = MakeNamed<QToolButton>(this, "SpeedButtonInfo");
  SpeedButtonInfo->setText("?");
  SpeedButtonInfo->setAutoRaise(true);
  // A click leaves the focus where it was (on the list): Space and Enter
  // must never start or cancel a job behind the user's back.
  for (QPushButton *b : {ButtonScan, ButtonConvert, ButtonSetAll, ButtonClearAll, ButtonFiltering,
                         ButtonDeleting, ButtonOpenFolder}) {
    b->setFocusPolicy(Qt::TabFocus);
    b->setAutoDefault(false);
  }
  SpeedButtonInfo->setFocusPolicy(Qt::TabFocus);

  auto *left = new QVBoxLayout;
  left->addWidget(ListViewRecord, 1);
  left->addWidget(ProgressBar);
  left->addWidget(LabelProgress);
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
  auto *page = new QHBoxLayout(this);
  page->addLayout(left, 1);
  page->addLayout(right);

  TimerCommon = new QTimer(this);
  TimerCommon->setObjectName("TimerCommon");
  TimerCommon->setInterval(40);

  connect(ButtonScan, &QPushButton::clicked, this, &RecordPage::ButtonScanClick);
  connect(ButtonConvert, &QPushButton::clicked, this, &RecordPage::ButtonConvertClick);
  connect(ButtonSetAll, &QPushButton::clicked, this, &RecordPage::ButtonSetAllClick);
  connect(ButtonClearAll, &QPushButton::clicked, this, &RecordPage::ButtonClearAllClick);
  connect(ButtonFiltering, &QPushButton::clicked, this, &RecordPage::ButtonFilteringClick);
  connect(ButtonDeleting, &QPushButton::clicked, this, &RecordPage::ButtonDeletingClick);
  connect(ButtonOpenFolder, &QPushButton::clicked, this, &RecordPage::ButtonOpenFolderClick);
  connect(SpeedButtonInfo, &QToolButton::clicked, this, &RecordPage::SpeedButtonInfoClick);
  connect(header, &QHeaderView::sectionClicked, this, &RecordPage::ListViewRecordColumnClick);
  connect(header, &QHeaderView::sectionResized, this, [this](int column, int, int width) {
    if (fitting_)
      return;
    if (rememberedWidths_.size() <= column)
      rememberedWidths_.resize(column + 1);
    rememberedWidths_[column] = width;
  });
  connect(TimerCommon, &QTimer::timeout, this, &RecordPage::TimerCommonTimer);
  ShowSortIndicator();
  ApplyCommands();
}

void RecordPage::ApplyCommands() {
  const JobState::Commands c = State.Allowed();
  ButtonScan->setEnabled(c.scan);
  ButtonConvert->setEnabled(c.convert);
  for (QPushButton *b : {ButtonSetAll, ButtonClearAll, ButtonDeleting})
    b->setEnabled(c.records);
  ButtonFiltering->setEnabled(c.filtering);
  frame_.Status.SetJob(State.Running(), State.Cancelling());
}

void RecordPage::ReportCounts() {
  const auto shown = static_cast<std::uint32_t>(RecordModel->ListedCount());
  frame_.Status.SetCounts({scanned_, catalogCount_, State.Listed() ? shown : catalogCount_,
                           static_cast<std::uint32_t>(RecordModel->UnreadableCount())});
}

void RecordPage::RememberColumnWidths(const QList<int> &widths) {
  rememberedWidths_ = widths;
  FitColumns();
}

void RecordPage::FitColumns() {
  const QList<int> fitting = ListViewRecord->FittingWidths(kRecordColumnWidths);
  fitting_ = true;
  for (int i = 0; i < fitting.size(); ++i)
    ListViewRecord->setColumnWidth(i, std::max(fitting[i], i > 0 ? rememberedWidths_.value(i) : 0));
  fitting_ = false;
}

void RecordPage::changeEvent(QEvent *event) {
  if (event->type() == QEvent::LocaleChange)
    Relabel();
  QWidget::changeEvent(event);
}

void RecordPage::Relabel() {
  QStringList titles;
  for (int id : {NoTextId, 13, 14, 15, 60, 16, 17, 20, int(txt::OutcomeColumn)})
    titles << Text(id);
  RecordModel->Relabel(titles);
  FitColumns();
  LabelButton(ButtonScan, 3, 4);
  LabelButton(ButtonConvert, 5, 6);
  LabelButton(ButtonOpenFolder, 312, 313);
  LabelButton(ButtonDeleting, 244, 245);
  LabelButton(ButtonSetAll, 7, 8);
  LabelButton(ButtonClearAll, 9, 10);
  LabelButton(ButtonFiltering, 11, 12);
  SetAccessKeys({ButtonScan, ButtonConvert, ButtonSetAll, ButtonClearAll, ButtonFiltering,
                 ButtonDeleting, ButtonOpenFolder});
  // A job's button reads "Cancel" whatever the language; its own caption
  // comes back at the job's end.
  if (Scanning()) {
    SavedCaption = ButtonScan->text();
    ButtonScan->setText(Text(23));
  } else if (Converting()) {
    SavedCaption = ButtonConvert->text();
    ButtonConvert->setText(Text(23));
  }
  SetHint(SpeedButtonInfo, Text(219));
}

void RecordPage::CardAppeared() {
  State.SetDriveReady(true);
  ApplyCommands();
}

void RecordPage::CardGone() {
  State.SetDriveReady(false);
  if (!State.Busy()) {
    State.SetListed(false);
    RecordModel->Clear();
    scanned_ = false;
    ReportCounts();
  }
  ApplyCommands();
}

// A card pulled out during a job keeps the list until the job ends (its
// outcomes still come back); then the list goes, as it would have at once.
void RecordPage::DropListIfCardGone() {
  if (!State.DriveReady())
    CardGone();
}

void RecordPage::InputFolderChanged() {
  if (State.Busy())
    return;
  State.SetListed(false);
  RecordModel->Clear();
  scanned_ = false;
  catalogCount_ = 0;
  ReportCounts();
  ApplyCommands();
}

void RecordPage::FillRecordList() {
  auto *filter = qobject_cast<TFormFiltering *>(FormFiltering);
  const bool showConverted = frame_.Settings().ShowConverted;
  const RecordSnapshot &records = RecordModel->Records();
  RecordModel->Fill(
      [&](std::uint32_t i) {
        // Before the filter dialog exists, its design-time check boxes apply.
        return filter != nullptr
                   ? filter->RecordPasses(records, i)
                   : RecordPasses(records, i, DesignTimeChecks(), FilterSettings{}, showConverted);
      },
      SortColumn, SortAscending);
  ShowSortIndicator();
  ReportCounts();
}

void RecordPage::PushChecks() {
  TSecondThread *worker = frame_.Worker();
  if (worker == nullptr || worker->IsBusy())
    return;
  WorkerRecords records(*worker);
  orvo::PushChecks(records, RecordModel->Checks());
}

void RecordPage::ListViewRecordColumnClick(int column) {
  ClickSortColumn(column, SortColumn, SortAscending);
  RecordModel->Sort(SortColumn, SortAscending);
  ShowSortIndicator();
  if (ListViewRecord->currentIndex().isValid())
    ListViewRecord->scrollTo(ListViewRecord->currentIndex());
}

void RecordPage::ShowSortIndicator() {
  QHeaderView *header = ListViewRecord->header();
  header->setSortIndicatorShown(SortColumn >= 0);
  if (SortColumn >= 0)
    header->setSortIndicator(SortColumn + 1,
                             SortAscending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void RecordPage::ButtonSetAllClick() {
  RecordModel->SetAllChecks(true);
}

void RecordPage::ButtonClearAllClick() {
  RecordModel->SetAllChecks(false);
}

void RecordPage::ButtonScanClick() {
  TSecondThread *worker = frame_.Worker();
  if (Scanning()) {
    State.CancelPressed();
    ApplyCommands();
    if (worker != nullptr)
      worker->CancelJob();
  } else {
    BeginScan();
  }
}

bool RecordPage::BeginScan() {
  TSecondThread *worker = frame_.Worker();
  if (worker == nullptr || !State.Begin(JobState::Job::Scan))
    return false;
  if (!worker->StartScan()) {
    State.Undo();
    return false;
  }
  SavedCaption = ButtonScan->text();
  ButtonScan->setText(Text(23));
  ApplyCommands();
  emit jobRunningChanged(true);
  State.SetListed(false);
  RecordModel->Clear();
  scanned_ = false;
  catalogCount_ = 0;
  ReportCounts();
  // A scan has no known total: an empty range makes the bar a busy indicator.
  ProgressBar->setTextVisible(false);
  ProgressBar->setRange(0, 0);
  ProgressBar->setValue(0);
  ProgressBar->show();
  TimerCommon->start(40);
  return true;
}

void RecordPage::EndScan() {
  TimerCommon->stop();
  ProgressBar->hide();
  ProgressBar->setRange(0, 100);
  ButtonScan->setText(SavedCaption);
  State.End();
  // A card pulled out during the scan keeps its commands disabled and its
  // list empty.
  TSecondThread *worker = frame_.Worker();
  if (State.DriveReady() && worker != nullptr && !worker->IsBusy()) {
    RecordModel->Records().Take(WorkerRecords(*worker));
    catalogCount_ = RecordModel->Records().GetRecordCount();
    State.SetListed(catalogCount_ > 0);
    QStringList unreadable;
    for (std::uint32_t i = 0; i < worker->GetUnreadableCount(); ++i) {
      TStorageX4TFT::UnreadableRecord record;
      if (worker->GetUnreadable(i, record))
        unreadable << QString::fromStdString(DescribeUnreadable(record));
    }
    RecordModel->SetUnreadable(unreadable);
    scanned_ = true;
    FillRecordList();
    ListViewRecord->setFocus();
  }
  ApplyCommands();
  emit jobRunningChanged(false);
}

void RecordPage::ButtonConvertClick() {
  TSecondThread *worker = frame_.Worker();
  if (Converting()) {
    State.CancelPressed();
    ApplyCommands();
    if (worker != nullptr)
      worker->CancelJob();
    return;
  }
  if (!State.Allowed().convert)
    return;
  if (RecordModel->CheckedCount() == 0) {
    frame_.ShowMainMessage(Text(txt::NothingChecked), kMessageInformation);
  } else if (!FolderExists(frame_.Settings().OutPath)) {
    frame_.ShowMainMessage(28, kMessageError);
  } else if (const std::string refusal =
                 OutputFolderRefusal(frame_.Settings().InPath, frame_.Settings().OutPath);
             !refusal.empty()) {
    frame_.ShowMainMessage(QString::fromStdString(refusal), kMessageError);
  } else {
    BeginConvert();
  }
}

bool RecordPage::BeginConvert() {
  TSecondThread *worker = frame_.Worker();
  if (worker == nullptr || State.Busy() || worker->IsBusy())
    return false;
  PushChecks();
  // Records go in the order the list shows them.
  std::vector<std::uint32_t> order;
  for (const auto &[index, checked] : RecordModel->Checks())
    if (checked)
      order.push_back(index);
  worker->SetConvertOrder(std::move(order));
  if (!State.Begin(JobState::Job::Convert))
    return false;
  if (!worker->StartConvert()) {
    State.Undo();
    return false;
  }
  SavedCaption = ButtonConvert->text();
  ButtonConvert->setText(Text(23));
  ApplyCommands();
  emit jobRunningChanged(true);
  toConvert_ = RecordModel->CheckedCount();
  convertClock_.start();
  ProgressBar->setRange(0, kProgressSteps);
  ProgressBar->setValue(0);
  ProgressBar->setFormat(QStringLiteral("%p%"));
  ProgressBar->setTextVisible(true);
  ProgressBar->show();
  LabelProgress->clear();
  LabelProgress->show();
  TimerCommon->start(40);
  return true;
}

void RecordPage::ShowConversionProgress() {
  const auto live = frame_.Worker()->GetLiveProgress();
  const double share =
      live.bytesTotal > 0 ? static_cast<double>(live.bytesDone) / double(live.bytesTotal) : 0.0;
  ProgressBar->setValue(static_cast<int>(std::clamp(share, 0.0, 1.0) * kProgressSteps));
  frame_.Status.SetProgress(static_cast<int>(std::clamp(share, 0.0, 1.0) * 100));
  QString line;
  if (live.currentRecord >= 0) {
    const int number = std::min<int>(static_cast<int>(live.finished) + 1, std::max(toConvert_, 1));
    line = Text(txt::ProgressRecord).arg(number).arg(toConvert_) + "  " +
           RecordModel->RecordMoment(static_cast<std::uint32_t>(live.currentRecord));
  }
  // Guessed from the bytes so far, once there are enough to go by.
  const qint64 elapsed = convertClock_.elapsed();
  if (share > 0.02 && elapsed > 2000) {
    const auto left = static_cast<qint64>(double(elapsed) * (1.0 - share) / share / 1000.0);
    line += "  " + Text(txt::ProgressTimeLeft).arg(Duration(left + 1));
  }
  LabelProgress->setText(line.trimmed());
}

void RecordPage::EndConvert() {
  TimerCommon->stop();
  ProgressBar->hide();
  ProgressBar->setTextVisible(false);
  LabelProgress->hide();
  ButtonConvert->setText(SavedCaption);
  State.End();
  // Converted records turn grey and lose their check; a record that failed
  // or was cancelled keeps it, with the reason as its hint.
  TSecondThread *worker = frame_.Worker();
  if (worker != nullptr && !worker->IsBusy()) {
    RecordModel->Records().TakeMarks(WorkerRecords(*worker));
    ShowOutcomes();
    RecordModel->MarksChanged();
  }
  DropListIfCardGone();
  ApplyCommands();
  emit jobRunningChanged(false);
}

void RecordPage::ShowOutcomes() {
  TSecondThread *worker = frame_.Worker();
  const auto live = worker->GetLiveProgress();
  QStringList failed;
  convertedCount_ = 0;
  for (std::uint32_t k = 0; k < live.finished; ++k) {
    std::uint32_t index = 0;
    RecordOutcome outcome;
    if (!worker->GetFinishedOutcome(k, index, outcome))
      continue;
    const QString why = QString::fromStdString(DescribeOutcome(outcome));
    const bool ended =
        outcome.kind != OutcomeKind::Interrupted && outcome.kind != OutcomeKind::None;
    const bool converted = outcome.kind == OutcomeKind::Converted;
    RecordModel->SetRecordOutcome(index, why, ended && !converted);
    convertedCount_ += converted ? 1 : 0;
    if (ended && !converted)
      failed << RecordModel->RecordMoment(index) + ": " + why;
  }
  failedCount_ = static_cast<int>(failed.size());
  pendingSummary_ = failed;
}

void RecordPage::TimerCommonTimer() {
  TSecondThread *worker = frame_.Worker();
  if (worker == nullptr)
    return;
  if (Scanning()) {
    if (worker->IsBusy())
      return;
    EndScan();
  } else if (Converting()) {
    ShowConversionProgress();
    if (worker->IsBusy())
      return;
    EndConvert();
    frame_.Status.SetConversionResult(worker->WasCancelled(), worker->GetLastResult(),
                                      convertedCount_, failedCount_);
    ListViewRecord->setFocus();
    if (!pendingSummary_.isEmpty()) {
      // A long list is cut: the rows' hints tell the rest.
      constexpr int kShown = 12;
      QStringList lines = pendingSummary_.mid(0, kShown);
      if (pendingSummary_.size() > kShown)
        lines << QStringLiteral("…");
      pendingSummary_.clear();
      frame_.ShowMainMessage(Text(txt::RecordsNotConverted) + "\n\n" + lines.join('\n'),
                             kMessageError);
    }
  }
}

void RecordPage::CancelJob() {
  if (TSecondThread *worker = frame_.Worker(); worker != nullptr && State.Busy())
    worker->CancelJob();
}

void RecordPage::ButtonFilteringClick() {
  if (FormFiltering != nullptr)
    FormFiltering->exec();
  FillRecordList();
}

void RecordPage::ButtonOpenFolderClick() {
  const std::string &out = frame_.Settings().OutPath;
  if (out.empty()) {
    frame_.ShowMainMessage(205, kMessageError);
    return;
  }
  const QString folder = QDir::fromNativeSeparators(QString::fromStdString(out));
  if (!FolderExists(out) || !QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
    frame_.ShowMainMessage(Text(txt::OpenFolderFailed).arg(QDir::toNativeSeparators(folder)),
                           kMessageError);
}

void RecordPage::SpeedButtonInfoClick() {
  if (FormAbout != nullptr)
    FormAbout->ShowAbout();
}

void RecordPage::ButtonDeletingClick() {
  if (!State.Allowed().records)
    return;
  const int count = RecordModel->CheckedCount();
  if (count == 0) {
    frame_.ShowMainMessage(Text(txt::NothingChecked), kMessageInformation);
    return;
  }
  if (frame_.ShowMainMessage(Text(txt::RecordsToDelete).arg(count) + "\n" + Text(246),
                             kMessageAskDestructive) != kAnswerYes)
    return;
  if (frame_.ShowMainMessage(247, kMessageAskDestructive) != kAnswerYes)
    return;
  if (!State.DriveReady() || State.Busy())
    return;
  PushChecks();
  if (!State.Begin(JobState::Job::Delete))
    return;
  ApplyCommands();
  emit jobRunningChanged(true);
  if (FormDeleting != nullptr)
    FormDeleting->exec();
  State.End();
  DropListIfCardGone();
  emit jobRunningChanged(false);
  ApplyCommands();
  BeginScan();
}

void RecordPage::OpenRecord(int row) {
  const std::uint32_t index = RecordModel->IndexAt(row);
  if (index == kNoRecord)
    return;
  TStorageX4TFT::PlaySource source;
  // The catalog is the worker's while a job runs.
  if (JobRunning() || !frame_.Worker()->GetEngine().GetPlaySource(index, source)) {
    frame_.StatusBar->showMessage(Text(txt::PlayerWaitForJob), 5000);
    return;
  }
  frame_.Player->OpenRecord(source, RecordModel->RecordMoment(index));
}

} // namespace orvo
