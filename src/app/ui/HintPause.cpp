#include "app/ui/HintPause.h"

#include <QApplication>
#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>

namespace orvo {

namespace {

class HintPause : public QObject {
public:
  HintPause(int milliseconds, QObject *parent) : QObject(parent), pause_(milliseconds) {}
  void SetPause(int milliseconds) { pause_ = milliseconds; }

protected:
  bool eventFilter(QObject *watched, QEvent *event) override {
    if (event->type() != QEvent::ToolTip || !watched->isWidgetType())
      return false;
    auto *widget = static_cast<QWidget *>(watched);
    if (widget->toolTip().isEmpty() || widget->toolTipDuration() >= 0)
      return false;
    auto *help = static_cast<QHelpEvent *>(event);
    QToolTip::showText(help->globalPos(), widget->toolTip(), widget, QRect(), pause_);
    return true;
  }

private:
  int pause_;
};

HintPause *installed = nullptr;

} // namespace

void InstallHintPause(int milliseconds) {
  if (qApp == nullptr)
    return;
  if (installed != nullptr) {
    installed->SetPause(milliseconds);
    return;
  }
  installed = new HintPause(milliseconds, qApp);
  QObject::connect(installed, &QObject::destroyed, [] { installed = nullptr; });
  qApp->installEventFilter(installed);
}

} // namespace orvo
