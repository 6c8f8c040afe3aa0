#pragma once

// The utilities page of the main window: the video file integrity test. The
// test runs on the storage worker as a job like a scan; the page sets the
// request and polls on its own timer, and when the file's record is on the
// card at hand it offers to compare the file with it sample by sample.

#include "engine/SourceCompare.h"
#include "engine/VideoFileTest.h"

#include <QString>
#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class QToolButton;

namespace orvo {

class TFormMain;

class UtilitiesPage : public QWidget {
  Q_OBJECT
public:
  UtilitiesPage(TFormMain &frame, QWidget *parent);

  void Relabel();
  // While another job of the window runs (scan, conversion, deletion, card
  // preparation), the test would be refused: the Test button waits.
  void SetJobRunning(bool running);

  void ButtonTestClick();
  void ButtonBrowseClick();
  void TimerFileTestTimer();

  // The file named by the field, as the worker opens it.
  QString FilePath() const;

  bool Testing = false;

  QGroupBox *GroupBoxFileTest;
  QLabel *LabelFileName;
  QLineEdit *EditFileName;
  QToolButton *ButtonBrowse;
  QPushButton *ButtonTest;
  QPushButton *ButtonPlay;
  QProgressBar *ProgressBar;
  QPlainTextEdit *MemoResult;
  QTimer *TimerFileTest;

signals:
  // A test started (true) or ended: the commands of the other pages that
  // would start a job or change the settings follow.
  void jobRunningChanged(bool running);

private:
  // False, with the window left as it was, when the worker refuses the job.
  bool BeginTest(const QString &path, bool compare);
  void EndTest();
  void TakeResult();
  void RenderResult();
  void OfferComparison();
  void UpdateButtons();

  TFormMain &frame_;
  bool cancelRequested_ = false;
  bool comparing_ = false;
  QString testedPath_;
  // The last outcome, kept so that it can be told again in another language.
  bool hasResult_ = false;
  VideoFileTestResult result_;
  bool compared_ = false;
  SourceCompareResult compareResult_;
};

} // namespace orvo
