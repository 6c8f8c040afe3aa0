#pragma once

#include <QDialog>

class QProgressBar;
class QTimer;

namespace orvo {

class TSecondThread;

// The small modal dialog shown while the worker deletes the checked records:
// it starts the job when shown, follows its progress and closes itself once
// the worker is idle. It cannot be closed before.
class TFormDeleting : public QDialog {
  Q_OBJECT

public:
  explicit TFormDeleting(TSecondThread *worker = nullptr, QWidget *parent = nullptr);
  void SetWorker(TSecondThread *worker) { worker_ = worker; }

  void FormShow();
  void TimerTimer();
  void reject() override;

  QProgressBar *ProgressBar;
  QTimer *Timer;

protected:
  void showEvent(QShowEvent *event) override;
  void closeEvent(QCloseEvent *event) override;

private:
  TSecondThread *worker_;
  bool finished_ = true;
};

} // namespace orvo
