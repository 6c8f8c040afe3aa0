#pragma once

// The About box: the program's name and version, what it is for, its
// licence and where its source is. A click anywhere on it closes it; its
// one button shows the licence.

#include <QDialog>

class QDialogButtonBox;
class QLabel;
class QPushButton;

namespace orvo {

class TFormAbout : public QDialog {
  Q_OBJECT

public:
  explicit TFormAbout(QWidget *parent = nullptr);

  // Labels the box from the language tables and shows it modally until it
  // is closed.
  int ShowAbout();
  // The labelling half of ShowAbout.
  void LabelAbout();
  void FormClick();
  // Opens the licence text in a window of its own over the box.
  void ButtonLicenseClick();

  QLabel *Label1;
  QLabel *Label2;
  QLabel *Label3;
  QLabel *Label4;
  QPushButton *ButtonLicense;
  QDialogButtonBox *ButtonClose;

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
};

} // namespace orvo
