#include "config/ui/ExitCommit.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

namespace orvo {

ExitCommitter::ExitCommitter(QWidget *control, std::function<void()> commit)
    : QObject(control), commit_(std::move(commit)) {
  control->installEventFilter(this);
}

bool ExitCommitter::eventFilter(QObject *watched, QEvent *event) {
  if (event->type() == QEvent::FocusOut) {
    commit_();
  } else if (event->type() == QEvent::KeyPress && qobject_cast<QLineEdit *>(watched)) {
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      // Committed here as well: a window that is not active moves no focus.
      commit_();
      FocusNextControl(static_cast<QWidget *>(watched));
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

void CommitOnExit(QWidget *control, std::function<void()> commit) {
  new ExitCommitter(control, std::move(commit));
}

void FocusNextControl(QWidget *control) {
  QWidget *window = control->window();
  for (QWidget *w = control->nextInFocusChain(); w && w != control; w = w->nextInFocusChain()) {
    if (w->isEnabled() && w->isVisibleTo(window) && (w->focusPolicy() & Qt::TabFocus) &&
        w->focusProxy() == nullptr) {
      w->setFocus(Qt::TabFocusReason);
      return;
    }
  }
}

} // namespace orvo
