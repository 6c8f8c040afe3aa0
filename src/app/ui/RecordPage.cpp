#include "app/ui/RecordPage.h"

#include "app/Filtering.h"
#include "app/RecordList.h"
#include "app/RecordSource.h"
#include "app/ui/FormAbout.h"
#include "app/ui/FormFiltering.h"
#include "app/ui/FormMain.h"
#include "app/ui/RecordListView.h"
#include "engine/Secondthread.h"
#include "platform/ui/MessageSeam.h"
#include "settings/Folders.h"
#include "settings/ProgramSettings.h"
#include "settings/Stringcode.h"
#include "settings/ui/Labels.h"

#include <QDesktopServices>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace orvo {

namespace {

constexpr int kRecordColumnWidths[] = {22, 76, 62, 62, 134, 94, 45, 140};

template <typename T> T *Make(QWidget *parent, const char *name) {
  T *widget = new T(parent);
  widget->setObjectName(name);
  return widget;
}

// The catalog as the list reads it; an absent worker is an empty catalog.
class NoRecords final : public RecordSource {
public:
  std::uint32_t GetRecordCount() const override { return 0; }
  bool GetRecordDate(std::uint32_t, int &, int &, int &) const override { return false; }
  bool GetRecordTime(std::uint32_t, int &, int &, int &) const override { return false; }
  bool GetRecordLength(std::uint32_t, std::uint32_t &, int &, int &) const override {
    return false;
  }
  bool GetRecordLengthMs(std::uint32_t, std::uint32_t &) const override { return false; }
  bool GetRecordMode(std::uint32_t, int &) const override { return false; }
  bool GetFrameSize(std::uint32_t, int &, int &) const override { return false; }
  bool GetFps(std::uint32_t, std::uint32_t &) const override { return false; }
  bool GetBitrates(std::uint32_t, std::uint32_t &, std::uint32_t &) const override { return false; }
  bool GetMarks(std::uint32_t, bool &, bool &) const override { return false; }
  bool SetChecked(std::uint32_t, bool) override { return false; }
};

// Runs `use` with the worker's catalog as a RecordSource.
template <typename F> void WithRecords(TSecondThread *worker, F &&use) {
  if (worker != nullptr) {
    WorkerRecords records(*worker);
    use(records);
  } else {
    NoRecords none;
    use(none);
  }
}

void SetEnabled(std::initializer_list<QWidget *> widgets, bool enabled) {
  for (QWidget *w : widgets)
    w->setEnabled(enabled);
}

} // namespace

RecordPage::RecordPage(TFormMain &frame, QWidget *parent) : QWidget(parent), frame_(frame) {
  setObjectName("TabSheet1");
  ListViewRecord = Make<QTreeWidget>(this, "ListViewRecord");
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

  ProgressBar = Make<QProgressBar>(this, "ProgressBar");
  ProgressBar->setTextVisible(false);
  ProgressBar->hide();

  ButtonScan = Make<QPushButton>(this, "ButtonScan");
  ButtonConvert = Make<QPushButton>(this, "ButtonConvert");
  ButtonSetAll = Make<QPushButton>(this, "ButtonSetAll");
  ButtonClearAll = Make<QPushButton>(this, "ButtonClearAll");
  ButtonFiltering = Make<QPushButton>(this, "ButtonFiltering");
  ButtonDeleting = Make<QPushButton>(this, "ButtonDeleting");
  ButtonOpenFolder = Make<QPushButton>(this, "ButtonOpenFolder");
  SpeedButtonInfo = Make<QToolButton>(this, "SpeedButtonInfo");
  SpeedButtonInfo->setText("?");
  SpeedButtonInfo->setAutoRaise(true);
  SetEnabled(
      {ButtonScan, ButtonConvert, ButtonSetAll, ButtonClearAll, ButtonFiltering, ButtonDeleting},
      false);

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
  connect(TimerCommon, &QTimer::timeout, this, &RecordPage::TimerCommonTimer);
}

void RecordPage::Relabel() {
  LabelColumns(ListViewRecord, {NoTextId, 13, 14, 15, 60, 16, 17, 20});
  // A column is widened where its title needs more room in this language.
  QHeaderView *header = ListViewRecord->header();
  for (int i = 1; i < 8; ++i)
    ListViewRecord->setColumnWidth(i, std::max(kRecordColumnWidths[i], header->sectionSizeHint(i)));
  FillRecordList();
  LabelButton(ButtonScan, 3, 4);
  LabelButton(ButtonConvert, 5, 6);
  LabelButton(ButtonOpenFolder, 312, 313);
  LabelButton(ButtonDeleting, 244, 245);
  LabelButton(ButtonSetAll, 7, 8);
  LabelButton(ButtonClearAll, 9, 10);
  LabelButton(ButtonFiltering, 11, 12);
  SetHint(SpeedButtonInfo, Text(219));
}

void RecordPage::CardAppeared() {
  SetEnabled({ButtonScan, ButtonFiltering}, true);
}

void RecordPage::CardGone() {
  SetEnabled(
      {ButtonScan, ButtonConvert, ButtonDeleting, ButtonSetAll, ButtonClearAll, ButtonFiltering},
      false);
  ListViewRecord->clear();
}

void RecordPage::FillRecordList() {
  WithRecords(frame_.Worker(), [this](RecordSource &records) {
    ListViewRecord->clear();
    if (records.GetRecordCount() == 0)
      return;
    SetEnabled({ButtonConvert, ButtonDeleting, ButtonSetAll, ButtonClearAll}, true);
    auto *filter = qobject_cast<TFormFiltering *>(FormFiltering);
    const bool showConverted = frame_.Settings().ShowConverted;
    recordview::Fill(ListViewRecord, records, [&](std::uint32_t i) {
      // Before the filter dialog exists, its design-time check boxes apply.
      return filter != nullptr
                 ? filter->RecordPasses(records, i)
                 : RecordPasses(records, i, DesignTimeChecks(), FilterSettings{}, showConverted);
    });
    recordview::Sort(ListViewRecord, records, SortColumn, SortAscending);
  });
}

void RecordPage::PushChecks() {
  WithRecords(frame_.Worker(), [this](RecordSource &records) {
    orvo::PushChecks(records, recordview::Checks(ListViewRecord));
  });
}

void RecordPage::ListViewRecordColumnClick(int column) {
  ClickSortColumn(column, SortColumn, SortAscending);
  WithRecords(frame_.Worker(), [this](RecordSource &records) {
    recordview::Sort(ListViewRecord, records, SortColumn, SortAscending);
  });
}

int RecordPage::ListViewRecordCompare(const QTreeWidgetItem *item1,
                                      const QTreeWidgetItem *item2) const {
  int result = 0;
  WithRecords(frame_.Worker(), [&](RecordSource &records) {
    result = orvo::ListViewRecordCompare(records, recordview::IndexOf(item1),
                                         recordview::IndexOf(item2), SortColumn, SortAscending);
  });
  return result;
}

void RecordPage::ButtonSetAllClick() {
  recordview::SetAllChecks(ListViewRecord, true);
}

void RecordPage::ButtonClearAllClick() {
  recordview::SetAllChecks(ListViewRecord, false);
}

void RecordPage::ButtonScanClick() {
  TSecondThread *worker = frame_.Worker();
  if (Scanning) {
    ButtonScan->setEnabled(false);
    if (worker != nullptr)
      worker->CancelJob();
    frame_.SetStatusText(Text(24));
  } else if (frame_.DriveReady) {
    BeginScan();
    frame_.SetStatusText(Text(25));
  }
}

void RecordPage::BeginScan() {
  Scanning = true;
  SavedCaption = ButtonScan->text();
  ButtonScan->setText(Text(23));
  ButtonScan->setEnabled(true);
  emit jobRunningChanged(true);
  SetEnabled({ButtonConvert, ButtonDeleting, ButtonSetAll, ButtonClearAll, ButtonFiltering}, false);
  ListViewRecord->clear();
  // A scan has no known total: an empty range makes the bar a busy indicator.
  ProgressBar->setRange(0, 0);
  ProgressBar->setValue(0);
  ProgressBar->show();
  if (TSecondThread *worker = frame_.Worker())
    worker->StartScan();
  TimerCommon->start(40);
}

void RecordPage::EndScan() {
  TimerCommon->stop();
  ProgressBar->hide();
  ProgressBar->setRange(0, 100);
  emit jobRunningChanged(false);
  ButtonScan->setText(SavedCaption);
  Scanning = false;
  // A card pulled out during the scan keeps its commands disabled.
  if (frame_.DriveReady) {
    SetEnabled({ButtonFiltering, ButtonScan}, true);
    FillRecordList();
  }
}

void RecordPage::ButtonConvertClick() {
  TSecondThread *worker = frame_.Worker();
  if (Converting) {
    ButtonConvert->setEnabled(false);
    if (worker != nullptr)
      worker->CancelJob();
    frame_.SetStatusText(Text(26));
  } else if (frame_.DriveReady) {
    if (FolderExists(frame_.Settings().OutPath)) {
      BeginConvert();
      frame_.SetStatusText(Text(27));
    } else {
      frame_.ShowMainMessage(28, kMessageError);
    }
  }
}

void RecordPage::BeginConvert() {
  PushChecks();
  Converting = true;
  SavedCaption = ButtonConvert->text();
  ButtonConvert->setText(Text(23));
  ButtonConvert->setEnabled(true);
  emit jobRunningChanged(true);
  SetEnabled({ButtonSetAll, ButtonClearAll, ButtonFiltering, ButtonScan, ButtonDeleting}, false);
  ProgressBar->setRange(0, 1);
  ProgressBar->setValue(0);
  ProgressBar->show();
  if (TSecondThread *worker = frame_.Worker())
    worker->StartConvert();
  TimerCommon->start(40);
}

void RecordPage::EndConvert() {
  TimerCommon->stop();
  ProgressBar->hide();
  emit jobRunningChanged(false);
  ButtonConvert->setText(SavedCaption);
  Converting = false;
  if (frame_.DriveReady)
    SetEnabled(
        {ButtonScan, ButtonDeleting, ButtonConvert, ButtonSetAll, ButtonClearAll, ButtonFiltering},
        true);
  // Converted records turn grey; conversion cleared the checked mark of
  // every record it finished, a failed one keeps its mark.
  WithRecords(frame_.Worker(), [this](RecordSource &records) {
    recordview::ColourAll(ListViewRecord, records);
    recordview::ChecksFromCatalog(ListViewRecord, records);
  });
}

void RecordPage::TimerCommonTimer() {
  TSecondThread *worker = frame_.Worker();
  if (worker == nullptr)
    return;
  if (Scanning) {
    if (worker->IsBusy())
      return;
    EndScan();
    frame_.SetStatusText(Text(29) + " " + QString::number(worker->GetRecordCount()));
  } else if (Converting) {
    std::int32_t done = 0, total = 0;
    worker->GetProgress(done, total);
    ProgressBar->setMaximum(total > 0 ? total : 1);
    ProgressBar->setValue(done);
    if (worker->IsBusy())
      return;
    EndConvert();
    frame_.SetStatusText(Text(worker->GetLastResult() ? 30 : 31));
  }
}

void RecordPage::ButtonFilteringClick() {
  if (FormFiltering != nullptr)
    FormFiltering->exec();
  FillRecordList();
}

void RecordPage::ButtonOpenFolderClick() {
  const std::string &out = frame_.Settings().OutPath;
  if (!out.empty())
    QDesktopServices::openUrl(
        QUrl::fromLocalFile(QDir::fromNativeSeparators(QString::fromStdString(out))));
}

void RecordPage::SpeedButtonInfoClick() {
  if (FormAbout != nullptr)
    FormAbout->ShowAbout(frame_.windowTitle());
}

void RecordPage::ButtonDeletingClick() {
  if (frame_.ShowMainMessage(246, kMessageAskWarning) != kAnswerYes)
    return;
  if (frame_.ShowMainMessage(247, kMessageAskWarning) != kAnswerYes)
    return;
  if (!frame_.DriveReady)
    return;
  PushChecks();
  if (FormDeleting != nullptr)
    FormDeleting->exec();
  BeginScan();
  frame_.SetStatusText(Text(25));
}

} // namespace orvo
