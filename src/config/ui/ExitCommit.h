#pragma once

// Commit-on-exit for the settings controls: an edit or track bar commits its
// value when it loses the focus; in a line edit the Enter key commits and
// moves the focus to the next control.

#include <QObject>

#include <functional>

class QWidget;

namespace orvo {

class ExitCommitter : public QObject {
  Q_OBJECT
public:
  ExitCommitter(QWidget *control, std::function<void()> commit);

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  std::function<void()> commit_;
};

// The committer is owned by the control.
void CommitOnExit(QWidget *control, std::function<void()> commit);

// Moves the focus from `control` to the next control of its window that
// takes the focus by the Tab key.
void FocusNextControl(QWidget *control);

} // namespace orvo
