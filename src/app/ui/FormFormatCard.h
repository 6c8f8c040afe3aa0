#pragma once

#include "app/ui/CardFormat.h"

#include <QDialog>

class QLineEdit;

namespace orvo {

// Names the card that is about to be formatted and offers FAT32 with the
// card's label; Start accepts, Cancel rejects.
class TFormFormatCard : public QDialog {
  Q_OBJECT
public:
  TFormFormatCard(const CardVolume &volume, QWidget *parent = nullptr);
  QString Label() const;

  // Shows the dialog modally; true when the user chose Start.
  static bool Confirm(QWidget *parent, const CardVolume &volume, QString &label);

private:
  QLineEdit *EditLabel;
};

// "14.9 GB" and the like.
QString FormatCardSize(quint64 bytes);

} // namespace orvo
