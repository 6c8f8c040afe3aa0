#include "app/ui/FormAbout.h"

#include "settings/ui/Labels.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace orvo {

TFormAbout::TFormAbout(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
  setObjectName("FormAbout");
  setModal(true);
  auto *layout = new QVBoxLayout(this);
  layout->setSpacing(4);
  QLabel **labels[] = {&Label1, &Label2, &Label3, &Label4};
  for (int i = 0; i < 4; ++i) {
    QLabel *label = new QLabel(this);
    label->setObjectName(QString("Label%1").arg(i + 1));
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumWidth(299);
    label->installEventFilter(this);
    layout->addWidget(label);
    *labels[i] = label;
  }
}

void TFormAbout::LabelAbout(const QString &text) {
  setWindowTitle(Text(219));
  Label1->setText(text);
  Label2->setText(Text(220));
  Label3->setText(Text(221));
  Label4->setText(Text(222));
  adjustSize();
  resize(QSize(316, 86).expandedTo(sizeHint()));
}

int TFormAbout::ShowAbout(const QString &text) {
  LabelAbout(text);
  return exec();
}

void TFormAbout::FormClick() {
  done(QDialog::Accepted);
}

bool TFormAbout::eventFilter(QObject *watched, QEvent *event) {
  if (event->type() == QEvent::MouseButtonPress && watched->parent() == this) {
    FormClick();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TFormAbout::mousePressEvent(QMouseEvent *event) {
  FormClick();
  event->accept();
}

} // namespace orvo
