// The record page of the main window: scan, conversion, the record list and
// its commands. Jobs run on the storage worker; the page only sets requests
// and polls on TimerCommon.
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

#include <QDesktopServices>
#include <QDir>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

namespace orvo {

namespace {

QString Text(int id) {
  return QString::fromStdString(GetText(id));
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

void TFormMain::FillRecordList() {
  WithRecords(worker_, [this](RecordSource &records) {
    ListViewRecord->clear();
    if (records.GetRecordCount() == 0)
      return;
    SetEnabled({ButtonConvert, ButtonDeleting, ButtonSetAll, ButtonClearAll}, true);
    auto *filter = qobject_cast<TFormFiltering *>(FormFiltering);
    const bool showConverted = Settings().ShowConverted;
    recordview::Fill(ListViewRecord, records, [&](std::uint32_t i) {
      // Before the filter dialog exists, its design-time check boxes apply.
      return filter != nullptr
                 ? filter->RecordPasses(records, i)
                 : RecordPasses(records, i, DesignTimeChecks(), FilterSettings{}, showConverted);
    });
    recordview::Sort(ListViewRecord, records, SortColumn, SortAscending);
  });
}

void TFormMain::PushChecks() {
  WithRecords(worker_, [this](RecordSource &records) {
    orvo::PushChecks(records, recordview::Checks(ListViewRecord));
  });
}

void TFormMain::ListViewRecordColumnClick(int column) {
  ClickSortColumn(column, SortColumn, SortAscending);
  WithRecords(worker_, [this](RecordSource &records) {
    recordview::Sort(ListViewRecord, records, SortColumn, SortAscending);
  });
}

int TFormMain::ListViewRecordCompare(const QTreeWidgetItem *item1,
                                     const QTreeWidgetItem *item2) const {
  int result = 0;
  WithRecords(worker_, [&](RecordSource &records) {
    result = orvo::ListViewRecordCompare(records, recordview::IndexOf(item1),
                                         recordview::IndexOf(item2), SortColumn, SortAscending);
  });
  return result;
}

void TFormMain::ButtonSetAllClick() {
  recordview::SetAllChecks(ListViewRecord, true);
}

void TFormMain::ButtonClearAllClick() {
  recordview::SetAllChecks(ListViewRecord, false);
}

void TFormMain::ButtonScanClick() {
  if (Scanning) {
    ButtonScan->setEnabled(false);
    if (worker_ != nullptr)
      worker_->CancelJob();
    SetStatusText(Text(24));
  } else if (DriveReady) {
    BeginScan();
    SetStatusText(Text(25));
  }
}

void TFormMain::BeginScan() {
  Scanning = true;
  SavedCaption = ButtonScan->text();
  ButtonScan->setText(Text(23));
  ButtonScan->setEnabled(true);
  SetEnabled({ButtonSetup, ButtonFormat, ButtonPrepare, ButtonClean, ButtonConvert, ButtonDeleting,
              ButtonSetAll, ButtonClearAll, ButtonFiltering},
             false);
  ListViewRecord->clear();
  // A scan has no known total: an empty range makes the bar a busy indicator.
  ProgressBar->setRange(0, 0);
  ProgressBar->setValue(0);
  ProgressBar->show();
  if (worker_ != nullptr)
    worker_->StartScan();
  TimerCommon->start(40);
}

void TFormMain::EndScan() {
  TimerCommon->stop();
  ProgressBar->hide();
  ProgressBar->setRange(0, 100);
  ButtonSetup->setEnabled(true);
  ButtonScan->setText(SavedCaption);
  Scanning = false;
  // A card pulled out during the scan keeps its commands disabled.
  if (DriveReady) {
    SetEnabled({ButtonFormat, ButtonPrepare, ButtonFiltering, ButtonScan}, true);
    FillRecordList();
  }
}

void TFormMain::ButtonConvertClick() {
  if (Converting) {
    ButtonConvert->setEnabled(false);
    if (worker_ != nullptr)
      worker_->CancelJob();
    SetStatusText(Text(26));
  } else if (DriveReady) {
    if (FolderExists(Settings().OutPath)) {
      BeginConvert();
      SetStatusText(Text(27));
    } else {
      ShowMainMessage(28, kMessageError);
    }
  }
}

void TFormMain::BeginConvert() {
  PushChecks();
  Converting = true;
  SavedCaption = ButtonConvert->text();
  ButtonConvert->setText(Text(23));
  ButtonConvert->setEnabled(true);
  SetEnabled({ButtonSetup, ButtonFormat, ButtonPrepare, ButtonClean, ButtonSetAll, ButtonClearAll,
              ButtonFiltering, ButtonScan, ButtonDeleting},
             false);
  ProgressBar->setRange(0, 1);
  ProgressBar->setValue(0);
  ProgressBar->show();
  if (worker_ != nullptr)
    worker_->StartConvert();
  TimerCommon->start(40);
}

void TFormMain::EndConvert() {
  TimerCommon->stop();
  ProgressBar->hide();
  ButtonSetup->setEnabled(true);
  ButtonConvert->setText(SavedCaption);
  Converting = false;
  if (DriveReady)
    SetEnabled({ButtonFormat, ButtonPrepare, ButtonScan, ButtonDeleting, ButtonConvert,
                ButtonSetAll, ButtonClearAll, ButtonFiltering},
               true);
  // Converted records turn grey; conversion cleared the checked mark of
  // every record it finished, a failed one keeps its mark.
  WithRecords(worker_, [this](RecordSource &records) {
    recordview::ColourAll(ListViewRecord, records);
    recordview::ChecksFromCatalog(ListViewRecord, records);
  });
}

void TFormMain::TimerCommonTimer() {
  if (worker_ == nullptr)
    return;
  if (Scanning) {
    if (worker_->IsBusy())
      return;
    EndScan();
    SetStatusText(Text(29) + " " + QString::number(worker_->GetRecordCount()));
  } else if (Converting) {
    std::int32_t done = 0, total = 0;
    worker_->GetProgress(done, total);
    ProgressBar->setMaximum(total > 0 ? total : 1);
    ProgressBar->setValue(done);
    if (worker_->IsBusy())
      return;
    EndConvert();
    SetStatusText(Text(worker_->GetLastResult() ? 30 : 31));
  }
}

void TFormMain::ButtonFilteringClick() {
  if (FormFiltering != nullptr)
    FormFiltering->exec();
  FillRecordList();
}

void TFormMain::ButtonOpenFolderClick() {
  const std::string &out = Settings().OutPath;
  if (!out.empty())
    QDesktopServices::openUrl(
        QUrl::fromLocalFile(QDir::fromNativeSeparators(QString::fromStdString(out))));
}

void TFormMain::SpeedButtonInfoClick() {
  if (FormAbout != nullptr)
    FormAbout->ShowAbout(windowTitle());
}

void TFormMain::ButtonDeletingClick() {
  if (ShowMainMessage(246, kMessageAskWarning) != kAnswerYes)
    return;
  if (ShowMainMessage(247, kMessageAskWarning) != kAnswerYes)
    return;
  if (!DriveReady)
    return;
  PushChecks();
  if (FormDeleting != nullptr)
    FormDeleting->exec();
  BeginScan();
  SetStatusText(Text(25));
}

} // namespace orvo
