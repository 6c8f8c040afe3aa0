#include "app/ui/FormFormatCard.h"

#include "platform/ui/ScreenFit.h"
#include "settings/Stringcode.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace orvo {

QString FormatCardSize(quint64 bytes) {
  const char *units[] = {"B", "KB", "MB", "GB", "TB"};
  double value = static_cast<double>(bytes);
  int unit = 0;
  while (value >= 1024.0 && unit < 4) {
    value /= 1024.0;
    ++unit;
  }
  return unit == 0 ? QStringLiteral("%1 B").arg(bytes)
                   : QStringLiteral("%1 %2").arg(value, 0, 'f', 1).arg(QLatin1String(units[unit]));
}

TFormFormatCard::TFormFormatCard(const CardVolume &volume, QWidget *parent) : QDialog(parent) {
  KeepOnScreen(this);
  setWindowTitle(QString::fromStdString(GetText(49)));
  auto *layout = new QVBoxLayout(this);
  auto *form = new QFormLayout;
  form->addRow(CardText("Device:", "Устройство:"), new QLabel(volume.device, this));
  form->addRow(CardText("Size:", "Размер:"), new QLabel(FormatCardSize(volume.size), this));
  form->addRow(CardText("Current label:", "Текущая метка:"), new QLabel(volume.label, this));
  auto *fileSystem = new QComboBox(this);
  fileSystem->addItem(QStringLiteral("FAT32"));
  form->addRow(CardText("File system:", "Файловая система:"), fileSystem);
  EditLabel = new QLineEdit(volume.label, this);
  // A FAT label holds at most 11 characters, none of these.
  EditLabel->setMaxLength(11);
  EditLabel->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("[^\"*+,./:;<=>?\\[\\\\\\]|]*")), EditLabel));
  form->addRow(CardText("New label:", "Новая метка:"), EditLabel);
  layout->addLayout(form);
  auto *warning = new QLabel(
      CardText("Everything on the card will be erased.", "Все данные на карте будут удалены."),
      this);
  warning->setWordWrap(true);
  layout->addWidget(warning);
  auto *buttons = new QDialogButtonBox(this);
  QPushButton *start =
      buttons->addButton(CardText("Start", "Начать"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QString::fromStdString(GetText(23)), QDialogButtonBox::RejectRole);
  // Formatting erases the card: Enter must never be the way to start it.
  start->setDefault(false);
  start->setAutoDefault(false);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

QString TFormFormatCard::Label() const {
  return EditLabel->text();
}

bool TFormFormatCard::Confirm(QWidget *parent, const CardVolume &volume, QString &label) {
  TFormFormatCard dialog(volume, parent);
  if (dialog.exec() != QDialog::Accepted)
    return false;
  label = dialog.Label();
  return true;
}

} // namespace orvo
