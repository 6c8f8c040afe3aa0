#include "config/ui/AdvancedDialogStyle.h"

#include "platform/ui/ScreenFit.h"

#include <QDialog>
#include <QLayout>

#include <algorithm>

namespace orvo {

void ApplyAdvancedDialogStyle(QDialog *dialog, int clientWidth, int clientHeight) {
  dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  dialog->setModal(true);
  KeepOnScreen(dialog);
  FitAdvancedDialog(dialog, clientWidth, clientHeight);
}

void FitAdvancedDialog(QDialog *dialog, int clientWidth, int clientHeight) {
  if (dialog->layout())
    dialog->layout()->activate();
  const QSize hint = dialog->sizeHint();
  dialog->setFixedSize(std::max(clientWidth, hint.width()), std::max(clientHeight, hint.height()));
}

} // namespace orvo
