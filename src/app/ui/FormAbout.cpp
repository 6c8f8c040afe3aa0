#include "app/ui/FormAbout.h"

#include "platform/ui/ScreenFit.h"
#include "settings/AddedTexts.h"
#include "settings/ui/Labels.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

// The resources of a static library are registered before first use; outside
// any namespace, since the macro declares the registration function here.
static void InitLicenseResource() {
  static const bool done = [] {
    Q_INIT_RESOURCE(License);
    return true;
  }();
  (void)done;
}

namespace orvo {

TFormAbout::TFormAbout(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
  KeepOnScreen(this);
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
    label->setWordWrap(true);
    label->installEventFilter(this);
    layout->addWidget(label);
    *labels[i] = label;
  }
  ButtonLicense = new QPushButton(this);
  ButtonLicense->setObjectName("ButtonLicense");
  ButtonLicense->setAutoDefault(false);
  ButtonLicense->setFocusPolicy(Qt::TabFocus);
  connect(ButtonLicense, &QPushButton::clicked, this, &TFormAbout::ButtonLicenseClick);
  layout->addWidget(ButtonLicense, 0, Qt::AlignCenter);
  ButtonClose = new QDialogButtonBox(QDialogButtonBox::Close, this);
  ButtonClose->setObjectName("ButtonClose");
  connect(ButtonClose, &QDialogButtonBox::rejected, this, &TFormAbout::FormClick);
  layout->addWidget(ButtonClose);
}

void TFormAbout::ButtonLicenseClick() {
  auto *box = new QDialog(this);
  box->setObjectName("FormLicense");
  box->setAttribute(Qt::WA_DeleteOnClose);
  KeepOnScreen(box);
  box->setWindowTitle(ButtonLicense->text());
  auto *layout = new QVBoxLayout(box);
  auto *text = new QPlainTextEdit(box);
  text->setReadOnly(true);
  text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  InitLicenseResource();
  QFile file(QStringLiteral(":/app/LICENSE"));
  if (file.open(QIODevice::ReadOnly))
    text->setPlainText(QString::fromUtf8(file.readAll()));
  layout->addWidget(text);
  auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, box);
  connect(buttons, &QDialogButtonBox::rejected, box, &QDialog::reject);
  layout->addWidget(buttons);
  // Never larger than the screen leaves room for, frame included.
  QSize size(640, 480);
  if (const QScreen *screen = this->screen())
    size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
  box->resize(size);
  box->open();
}

void TFormAbout::LabelAbout() {
  setWindowTitle(Text(219));
  Label1->setText(QStringLiteral("<b>orvo</b> ") +
                  Text(txt::AboutVersion).arg(QStringLiteral(ORVO_VERSION)).toHtmlEscaped());
  // The product's name is never broken over two lines: a word joiner
  // between its characters leaves the line breaker no place to break.
  const QString product = QStringLiteral("oRVO-V.264o4 TFT");
  QString joined;
  for (const QChar c : product)
    joined +=
        (joined.isEmpty() ? QString() : QString(QChar(0x2060))) + (c == ' ' ? QChar(0x00A0) : c);
  Label2->setText(Text(txt::AboutProgram).replace(product, joined));
  ButtonLicense->setText(Text(txt::LicenceButton));
  ButtonClose->button(QDialogButtonBox::Close)->setText(Text(txt::CloseButton));
  Label3->setText(Text(txt::AboutLicence));
  Label4->setText(Text(txt::AboutSource));
  adjustSize();
  resize(QSize(316, 86).expandedTo(sizeHint()));
}

int TFormAbout::ShowAbout() {
  LabelAbout();
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
