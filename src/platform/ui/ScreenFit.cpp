#include "platform/ui/ScreenFit.h"

#include <QDialog>
#include <QEvent>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

namespace orvo {

namespace {

class ScreenFit : public QObject {
public:
  explicit ScreenFit(QDialog *dialog) : QObject(dialog), dialog_(dialog) {
    setObjectName(QStringLiteral("ScreenFit"));
    dialog->installEventFilter(this);
  }

  bool eventFilter(QObject *watched, QEvent *event) override {
    if (watched == dialog_ && event->type() == QEvent::Show)
      Fit();
    return QObject::eventFilter(watched, event);
  }

private:
  void Fit() {
    const QScreen *screen = dialog_->screen();
    if (screen == nullptr)
      return;
    const QRect available = screen->availableGeometry();
    // Before the first show there is no frame to measure; a title bar's
    // worth is left for it then.
    const QSize frame = dialog_->frameGeometry().size() - dialog_->size();
    const QSize room =
        available.size() - (frame.isEmpty() ? QSize(0, dialog_->fontMetrics().height() * 2) : frame);
    if (QLayout *layout = dialog_->layout())
      layout->activate();
    const QSize minimum = dialog_->minimumSize();
    if (minimum.width() > room.width() || minimum.height() > room.height()) {
      Scroll();
      dialog_->setMinimumSize(minimum.boundedTo(room));
    }
    // A dialog of fixed size gets the screen's size at most.
    if (dialog_->maximumSize() != QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX))
      dialog_->setMaximumSize(dialog_->maximumSize().boundedTo(room));
    dialog_->resize(dialog_->size().boundedTo(room).expandedTo(dialog_->minimumSize()));
    QRect frameRect = dialog_->frameGeometry();
    frameRect.setSize(dialog_->size() + (frame.isEmpty() ? QSize(0, 0) : frame));
    const QPoint inside(std::clamp(frameRect.left(), available.left(),
                                   std::max(available.left(), available.right() - frameRect.width() + 1)),
                        std::clamp(frameRect.top(), available.top(),
                                   std::max(available.top(), available.bottom() - frameRect.height() + 1)));
    if (inside != frameRect.topLeft())
      dialog_->move(inside);
  }

  // The dialog's own layout moves onto a page inside a scroll area.
  void Scroll() {
    if (scrolled_ || dialog_->layout() == nullptr)
      return;
    scrolled_ = true;
    auto *body = new QWidget;
    body->setObjectName(QStringLiteral("ScrolledBody"));
    body->setLayout(dialog_->layout());
    auto *scroll = new QScrollArea(dialog_);
    scroll->setObjectName(QStringLiteral("DialogScroll"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(body);
    auto *outer = new QVBoxLayout(dialog_);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
    // The dialog's minimum was the page's; the scroll area's is far smaller.
    dialog_->setMinimumSize(0, 0);
    scroll->show();
  }

  QDialog *dialog_;
  bool scrolled_ = false;
};

} // namespace

void KeepOnScreen(QDialog *dialog) {
  if (dialog->findChild<QObject *>(QStringLiteral("ScreenFit"), Qt::FindDirectChildrenOnly) ==
      nullptr)
    new ScreenFit(dialog);
}

} // namespace orvo
