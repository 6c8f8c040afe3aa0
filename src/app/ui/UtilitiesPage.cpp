#include "app/ui/UtilitiesPage.h"

#include "app/FileTestText.h"
#include "app/ui/FormMain.h"
#include "app/ui/RecordPage.h"
#include "engine/Secondthread.h"
#include "platform/ui/MessageSeam.h"
#include "player/ui/PlayerLauncher.h"
#include "platform/ui/NamedWidget.h"
#include "settings/AddedTexts.h"
#include "settings/ProgramSettings.h"
#include "settings/Stringcode.h"
#include "settings/ui/Labels.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <cstdint>
#include <string>

namespace orvo {

UtilitiesPage::UtilitiesPage(TFormMain &frame, QWidget *parent) : QWidget(parent), frame_(frame) {
  setObjectName("TabSheet6");
  GroupBoxFileTest = MakeNamed<QGroupBox>(this, "GroupBoxFileTest");
  LabelFileName = MakeNamed<QLabel>(GroupBoxFileTest, "LabelFileName");
  EditFileName = MakeNamed<QLineEdit>(GroupBoxFileTest, "EditFileName");
  LabelFileName->setBuddy(EditFileName);
  ButtonBrowse = MakeNamed<QToolButton>(GroupBoxFileTest, "ButtonBrowse");
  ButtonBrowse->setText("...");
  ButtonTest = MakeNamed<QPushButton>(GroupBoxFileTest, "ButtonTest");
  ButtonPlay = MakeNamed<QPushButton>(GroupBoxFileTest, "ButtonPlay");
  ProgressBar = MakeNamed<QProgressBar>(GroupBoxFileTest, "ProgressBar");
  ProgressBar->setTextVisible(false);
  ProgressBar->hide();
  // Paths and reasons may be long: they wrap inside the box and never widen
  // the window.
  MemoResult = MakeNamed<QPlainTextEdit>(GroupBoxFileTest, "MemoResult");
  MemoResult->setReadOnly(true);
  MemoResult->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  MemoResult->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);

  auto *grid = new QGridLayout(GroupBoxFileTest);
  grid->addWidget(LabelFileName, 0, 0);
  grid->addWidget(EditFileName, 0, 1);
  grid->addWidget(ButtonBrowse, 0, 2);
  grid->addWidget(ButtonTest, 0, 3);
  grid->addWidget(ButtonPlay, 0, 4);
  grid->addWidget(ProgressBar, 1, 1, 1, 4);
  grid->addWidget(MemoResult, 2, 0, 1, 5);
  grid->setColumnStretch(1, 1);
  auto *page = new QVBoxLayout(this);
  page->addWidget(GroupBoxFileTest, 1);

  TimerFileTest = new QTimer(this);
  TimerFileTest->setObjectName("TimerFileTest");
  TimerFileTest->setInterval(40);

  connect(ButtonTest, &QPushButton::clicked, this, &UtilitiesPage::ButtonTestClick);
  connect(ButtonBrowse, &QToolButton::clicked, this, &UtilitiesPage::ButtonBrowseClick);
  // Playing only reads the file: it may run beside any job.
  connect(ButtonPlay, &QPushButton::clicked, this,
          [this] { frame_.Player->OpenFile(FilePath()); });
  connect(EditFileName, &QLineEdit::returnPressed, this, [this] {
    if (!Testing && ButtonTest->isEnabled())
      ButtonTestClick();
  });
  connect(EditFileName, &QLineEdit::textChanged, this, &UtilitiesPage::UpdateButtons);
  connect(TimerFileTest, &QTimer::timeout, this, &UtilitiesPage::TimerFileTestTimer);
  UpdateButtons();
}

void UtilitiesPage::Relabel() {
  LabelGroupBox(GroupBoxFileTest, 273);
  LabelLabel(LabelFileName, 274, true);
  LabelButton(ButtonTest, Testing ? 23 : 275, 276);
  ButtonPlay->setText(Text(txt::PlayerPlayFile));
  SetHint(ButtonBrowse, Text(274));
  RenderResult();
}

void UtilitiesPage::SetJobRunning(bool) {
  UpdateButtons();
}

void UtilitiesPage::UpdateButtons() {
  const bool otherJob = frame_.TabSheet1 != nullptr && frame_.TabSheet1->State.Busy();
  ButtonTest->setEnabled(Testing ? !cancelRequested_
                                 : !otherJob && !EditFileName->text().isEmpty());
  EditFileName->setReadOnly(Testing);
  ButtonBrowse->setEnabled(!Testing);
  ButtonPlay->setEnabled(!EditFileName->text().isEmpty());
}

QString UtilitiesPage::FilePath() const {
  const QString text = EditFileName->text();
  // A file dropped from a file manager arrives as its URL.
  if (text.startsWith("file:"))
    return QUrl(text).toLocalFile();
  return QDir::fromNativeSeparators(text);
}

void UtilitiesPage::ButtonBrowseClick() {
  QFileDialog dialog(this, Text(276));
  dialog.setObjectName("OpenDialogFileTesting");
  dialog.setNameFilters({Text(txt::Mp4FileFilter) + QStringLiteral(" (*.mp4)"),
                         Text(txt::AnyFileFilter) + QStringLiteral(" (*)")});
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // Beside the file named last, else where the converted files go.
  const QString named = FilePath();
  const QString start = !named.isEmpty() ? QFileInfo(named).absolutePath()
                                         : QString::fromStdString(frame_.Settings().OutPath);
  if (!start.isEmpty() && QFileInfo(start).isDir())
    dialog.setDirectory(start);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return;
  EditFileName->setText(QDir::toNativeSeparators(dialog.selectedFiles().constFirst()));
}

void UtilitiesPage::ButtonTestClick() {
  TSecondThread *worker = frame_.Worker();
  if (worker == nullptr)
    return;
  if (Testing) {
    cancelRequested_ = true;
    worker->CancelJob();
    UpdateButtons();
    return;
  }
  const QString path = FilePath();
  if (!path.isEmpty())
    BeginTest(path, false);
}

bool UtilitiesPage::BeginTest(const QString &path, bool compare) {
  // One job state for the whole window: no other page starts a job while
  // the test runs, and the test waits for theirs.
  JobState &state = frame_.TabSheet1->State;
  if (!state.Begin(JobState::Job::FileTest))
    return false;
  if (!frame_.Worker()->StartFileTest(path.toStdString(), compare)) {
    state.Undo();
    return false;
  }
  frame_.TabSheet1->ApplyCommands();
  Testing = true;
  comparing_ = compare;
  cancelRequested_ = false;
  testedPath_ = path;
  hasResult_ = false;
  RenderResult();
  ButtonTest->setText(Text(23));
  UpdateButtons();
  ProgressBar->setRange(0, 1);
  ProgressBar->setValue(0);
  ProgressBar->show();
  emit jobRunningChanged(true);
  TimerFileTest->start();
  return true;
}

void UtilitiesPage::EndTest() {
  TimerFileTest->stop();
  ProgressBar->hide();
  Testing = false;
  frame_.TabSheet1->State.End();
  frame_.TabSheet1->ApplyCommands();
  ButtonTest->setText(Text(275));
  UpdateButtons();
  emit jobRunningChanged(false);
}

void UtilitiesPage::TimerFileTestTimer() {
  TSecondThread *worker = frame_.Worker();
  if (worker->IsBusy()) {
    std::int32_t done = 0, total = 0;
    worker->GetProgress(done, total);
    ProgressBar->setMaximum(total > 0 ? total : 1);
    ProgressBar->setValue(done);
    // A cancel that came before the worker took the job up would be lost
    // when the job starts: it is repeated until the job ends.
    if (cancelRequested_)
      worker->CancelJob();
    return;
  }
  EndTest();
  TakeResult();
  OfferComparison();
}

void UtilitiesPage::TakeResult() {
  TSecondThread *worker = frame_.Worker();
  result_ = worker->GetFileTestResult();
  compared_ = worker->GetCompareResult(compareResult_);
  hasResult_ = true;
  RenderResult();
  // The status bar gets the headline; the box below holds the details.
  frame_.Status.SetFileTestResult(result_, compared_, compareResult_);
}

void UtilitiesPage::RenderResult() {
  if (!hasResult_) {
    MemoResult->clear();
    return;
  }
  QStringList lines;
  lines << QString::fromStdString(result_.fileName)
        << QString::fromStdString(DescribeFileTest(result_));
  const std::string source = DescribeFileSource(result_);
  if (!source.empty())
    lines << QString::fromStdString(source);
  if (compared_)
    lines << QString::fromStdString(DescribeCompare(compareResult_));
  MemoResult->setPlainText(lines.join('\n'));
}

void UtilitiesPage::OfferComparison() {
  // The card is the last word on a file that tests good: its digests could
  // have been written by anyone.
  if (comparing_ || result_.verdict != VideoFileVerdict::Good || !frame_.DriveReady)
    return;
  std::string folder;
  if (!FindSourceRecord(frame_.Settings().InPath, result_.integrityData, folder))
    return;
  if (frame_.ShowMainMessage(txt::CompareAsk, kMessageAskWarning) != kAnswerYes)
    return;
  BeginTest(testedPath_, true);
}

} // namespace orvo
