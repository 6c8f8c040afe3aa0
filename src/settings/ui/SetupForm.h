#pragma once

// The program setup dialog: input and output folders, language, size limit
// of the output files, name mask and automatic scan.

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QSpinBox;
class QLineEdit;
class QPushButton;

namespace orvo {

class ProgramSettings;

class TSetupForm : public QDialog {
  Q_OBJECT

public:
  // Without `settings`, the process's settings object is edited. The
  // language list must exist already (the main window builds it).
  explicit TSetupForm(QWidget *parent = nullptr, ProgramSettings *settings = nullptr);
  ~TSetupForm() override;

  void FormShow();
  void InFolderButtonClick();
  void OutFolderButtonClick();
  void OkButtonClick();
  void CancelButtonClick();
  void MaskEditFileLimitExit();
  void ComboBoxLanguageChange();

  // Escape acts as Cancel, as the dialog has no close box.
  void reject() override;

  int PreviewLanguage = 0;

  QGroupBox *FolderSelectGroupBox;
  QLabel *InFolderLabel;
  QLineEdit *InFolderEdit;
  QPushButton *InFolderButton;
  QLabel *OutFolderLabel;
  QLineEdit *OutFolderEdit;
  QPushButton *OutFolderButton;
  QGroupBox *MiscSettingsGroupBox;
  QLabel *LabelLanguage;
  QComboBox *ComboBoxLanguage;
  QLabel *LabelFileLimit;
  QLineEdit *MaskEditFileLimit;
  QLabel *LabelFileLimit1;
  QLabel *LabelFileMask;
  QLineEdit *EditFileMask;
  QCheckBox *CheckBoxAutoScan;
  // Read every converted file back before its record is marked.
  QCheckBox *CheckBoxVerify;
  // Where a record's GPS track goes: items in GpsPlacement's order.
  QLabel *LabelGpsInVideo;
  QComboBox *ComboBoxGpsInVideo;
  QLabel *LabelClipAround;
  QSpinBox *SpinClipAround;
  QPushButton *OkButton;
  QPushButton *CancelButton;

protected:
  void showEvent(QShowEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  ProgramSettings &Settings() const;
  void LoadFromSettings();
  void Relabel();
  void Apply();
  void BrowseInto(QLineEdit *edit);
  int Message(int textId, int type);

  ProgramSettings *settings_;
};

// The size field's number as the dialog reads it: leading blanks, an
// optional sign, then digits up to the first other character; no digits
// give 0. Negative numbers and numbers of 1900 or more give 1900.
unsigned ParseFileLimitMiB(const QString &text);

} // namespace orvo
