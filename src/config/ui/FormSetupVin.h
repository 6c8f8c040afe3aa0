#pragma once

// Advanced settings of the video input: its colour system. Edits go straight
// into the configuration; there is no cancel.

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

namespace orvo {

class TFormSetupVin : public QDialog {
  Q_OBJECT
public:
  explicit TFormSetupVin(QWidget *owner = nullptr);

  QLabel *LabelColorSystem = nullptr;
  QComboBox *ComboBoxColorSystem = nullptr;
  QPushButton *OkButton = nullptr;

  void FormShow();
  void ComboBoxChange(QComboBox *combo);
  void OkButtonClick();

protected:
  void showEvent(QShowEvent *event) override;
};

} // namespace orvo
