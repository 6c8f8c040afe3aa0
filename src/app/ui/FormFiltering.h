#pragma once

#include "app/Filtering.h"

#include <QDialog>

#include <array>
#include <cstdint>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace orvo {

class ProgramSettings;
class RecordSource;

// The record filter dialog. Its check boxes, as currently shown, decide which
// bounds RecordPasses applies; the bound values are those stored by OK.
class TFormFiltering : public QDialog {
  Q_OBJECT

public:
  // Without `settings`, ShowConverted is that of the process's settings.
  explicit TFormFiltering(QWidget *parent = nullptr, ProgramSettings *settings = nullptr);

  bool RecordPasses(const RecordSource &records, std::uint32_t index) const;
  const FilterSettings &StoredSettings() const { return FilterSettings_; }

  void FormShow();
  void ButtonOKClick();
  void ButtonCancelClick();
  // Clears every bound and shows every record, as OK would store it.
  void ButtonShowAllClick();
  void EditChange(QLineEdit *edit);
  void MaskEditDateExit(QLineEdit *edit);
  void MaskEditTimeExit(QLineEdit *edit);
  void MaskEditLengthExit(QLineEdit *edit);
  // Each From/To check box enables its field.
  void CheckBoxDateFromClick() { FromToClick(filter::DateFrom); }
  void CheckBoxDateToClick() { FromToClick(filter::DateTo); }
  void CheckBoxTimeFromClick() { FromToClick(filter::TimeFrom); }
  void CheckBoxTimeToClick() { FromToClick(filter::TimeTo); }
  void CheckBoxLengthFromClick() { FromToClick(filter::LengthFrom); }
  void CheckBoxLengthToClick() { FromToClick(filter::LengthTo); }
  void CheckBoxSizeXFromClick() { FromToClick(filter::SizeXFrom); }
  void CheckBoxSizeXToClick() { FromToClick(filter::SizeXTo); }
  void CheckBoxSizeYFromClick() { FromToClick(filter::SizeYFrom); }
  void CheckBoxSizeYToClick() { FromToClick(filter::SizeYTo); }
  void CheckBoxVideoBitrateFromClick() { FromToClick(filter::VideoFrom); }
  void CheckBoxVideoBitrateToClick() { FromToClick(filter::VideoTo); }
  void CheckBoxAudioBitrateFromClick() { FromToClick(filter::AudioFrom); }
  void CheckBoxAudioBitrateToClick() { FromToClick(filter::AudioTo); }
  void CheckBoxFPSFromClick() { FromToClick(filter::FpsFrom); }
  void CheckBoxFPSToClick() { FromToClick(filter::FpsTo); }

  // Closing by the title bar or Escape undoes the changes, as Cancel does.
  void reject() override;

  QCheckBox *CheckBoxShowConverted;
  QPushButton *ButtonOK;
  QPushButton *ButtonCancel;
  QPushButton *ButtonShowAll;
  QGroupBox *GroupBoxDate, *GroupBoxTime, *GroupBoxLength, *GroupBoxRecordMode, *GroupBoxResolution,
      *GroupBoxVideoBitrate, *GroupBoxAudioBitrate, *GroupBoxFPS;
  QCheckBox *CheckBoxDateFrom, *CheckBoxDateTo, *CheckBoxTimeFrom, *CheckBoxTimeTo,
      *CheckBoxLengthFrom, *CheckBoxLengthTo;
  QCheckBox *CheckBoxLinear, *CheckBoxLoop1, *CheckBoxLoop2, *CheckBoxLinearAll, *CheckBoxLoopAll;
  QCheckBox *CheckBoxSizeXFrom, *CheckBoxSizeXTo, *CheckBoxSizeYFrom, *CheckBoxSizeYTo,
      *CheckBoxVideoBitrateFrom, *CheckBoxVideoBitrateTo, *CheckBoxAudioBitrateFrom,
      *CheckBoxAudioBitrateTo, *CheckBoxFPSFrom, *CheckBoxFPSTo;
  QLineEdit *MaskEditDateFrom, *MaskEditDateTo, *MaskEditTimeFrom, *MaskEditTimeTo,
      *MaskEditLengthFrom, *MaskEditLengthTo;
  QLineEdit *EditSizeXFrom, *EditSizeXTo, *EditSizeYFrom, *EditSizeYTo, *EditVideoBitrateFrom,
      *EditVideoBitrateTo, *EditAudioBitrateFrom, *EditAudioBitrateTo, *EditFPSFrom, *EditFPSTo;
  QLabel *LabelX, *LabelY;

protected:
  void showEvent(QShowEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void BuildForm();
  void Relabel();
  void LoadFromSettings();
  void Store();
  void FromToClick(int check);
  ProgramSettings *CurrentSettings() const;

  FilterSettings FilterSettings_;
  bool Reentrant_ = false;
  ProgramSettings *settings_;
  std::array<QCheckBox *, filter::CheckCount> checks_{};
  std::array<QLineEdit *, filter::ValueCount> fields_{};
};

} // namespace orvo
