#include "engine/ui/FormDeleting.h"

#include "engine/Secondthread.h"
#include "platform/ui/ScreenFit.h"
#include "settings/Stringcode.h"

#include <QCloseEvent>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdint>

namespace orvo {

TFormDeleting::TFormDeleting(TSecondThread *worker, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), worker_(worker) {
  KeepOnScreen(this);
  setObjectName("FormDeleting");
  setModal(true);
  ProgressBar = new QProgressBar(this);
  ProgressBar->setObjectName("ProgressBar");
  ProgressBar->setTextVisible(false);
  Timer = new QTimer(this);
  Timer->setObjectName("Timer");
  Timer->setInterval(40);
  connect(Timer, &QTimer::timeout, this, &TFormDeleting::TimerTimer);
  auto *layout = new QVBoxLayout(this);
  layout->addWidget(ProgressBar);
  resize(320, ProgressBar->sizeHint().height() + 24);
}

// A show event comes again when a minimised window is restored: the job is
// started once per opening, not once per show.
void TFormDeleting::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  if (finished_)
    FormShow();
}

void TFormDeleting::FormShow() {
  setWindowTitle(QString::fromStdString(GetText(248)));
  ProgressBar->setRange(0, 1);
  ProgressBar->setValue(0);
  finished_ = false;
  if (worker_)
    worker_->StartDelete();
  Timer->start(40);
}

void TFormDeleting::TimerTimer() {
  if (!worker_) {
    Timer->stop();
    finished_ = true;
    QDialog::done(QDialog::Accepted);
    return;
  }
  std::int32_t finishedCount = 0, total = 0;
  worker_->GetProgress(finishedCount, total);
  // A job with nothing to do reports 0 of 0; the bar keeps its one unit.
  if (total > 0) {
    ProgressBar->setMaximum(total);
    ProgressBar->setValue(finishedCount);
  }
  if (worker_->IsBusy())
    return;
  Timer->stop();
  finished_ = true;
  QDialog::done(QDialog::Accepted);
}

// Escape and the window manager's close ask for reject; the job cannot be
// interrupted, so the dialog stays until the worker is idle.
void TFormDeleting::reject() {
  if (finished_)
    QDialog::reject();
}

void TFormDeleting::closeEvent(QCloseEvent *event) {
  if (finished_)
    QDialog::closeEvent(event);
  else
    event->ignore();
}

} // namespace orvo
