#include "platform/ui/MessageSeam.h"

#include <QMessageBox>

namespace orvo {

namespace {

MessageSeam *installed = nullptr;

QMessageBox::Icon IconOf(int type) {
  switch (type & 0xF0) {
  case 0x10:
    return QMessageBox::Critical;
  case 0x20:
    return QMessageBox::Question;
  case 0x30:
    return QMessageBox::Warning;
  case 0x40:
    return QMessageBox::Information;
  default:
    return QMessageBox::NoIcon;
  }
}

} // namespace

int MessageSeam::Show(QWidget *owner, const QString &title, const QString &text, int type) {
  QMessageBox box(IconOf(type), title, text, QMessageBox::NoButton, owner);
  switch (type & 0x0F) {
  case 1: // OK, Cancel
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    break;
  case 3: // Yes, No, Cancel
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    break;
  case 4: // Yes, No
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    break;
  default:
    box.setStandardButtons(QMessageBox::Ok);
    break;
  }
  if (type & kMessageDefaultSecond)
    box.setDefaultButton((type & 0x0F) == 4 ? QMessageBox::No : QMessageBox::Cancel);
  switch (box.exec()) {
  case QMessageBox::Yes:
    return kAnswerYes;
  case QMessageBox::No:
    return kAnswerNo;
  case QMessageBox::Cancel:
    return kAnswerCancel;
  default:
    return kAnswerOk;
  }
}

MessageSeam &CurrentMessageSeam() {
  static MessageSeam real;
  return installed != nullptr ? *installed : real;
}

void InstallMessageSeam(MessageSeam *seam) {
  installed = seam;
}

} // namespace orvo
