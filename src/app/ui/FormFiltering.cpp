#include "app/ui/FormFiltering.h"

#include "platform/ui/ScreenFit.h"
#include "settings/AddedTexts.h"
#include "settings/ProgramSettings.h"
#include "settings/Stringcode.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValidator>

namespace orvo {

using namespace filter;

namespace {

QString Text(int id) {
  return QString::fromStdString(GetText(id));
}

// Typing may not make a number field longer than three characters; a longer
// value written by the dialog itself (2048) stays as it is and can be
// shortened. The edit validates a change after making it, so the length
// before the change is followed here; whatever the dialog writes itself
// (while `writing`) is accepted.
class TypedLengthValidator : public QValidator {
public:
  TypedLengthValidator(QLineEdit *edit, const bool *writing) : QValidator(edit), writing_(writing) {
    connect(edit, &QLineEdit::textChanged, this, [this](const QString &t) { last_ = t.size(); });
  }
  State validate(QString &input, int &) const override {
    return *writing_ || input.size() <= 3 || input.size() <= last_ ? Acceptable : Invalid;
  }

private:
  const bool *writing_;
  qsizetype last_ = 0;
};

} // namespace

TFormFiltering::TFormFiltering(QWidget *parent, ProgramSettings *settings)
    : QDialog(parent), settings_(settings) {
  KeepOnScreen(this);
  setObjectName("FormFiltering");
  BuildForm();
  Relabel();
}

ProgramSettings *TFormFiltering::CurrentSettings() const {
  return settings_ ? settings_ : Settings();
}

void TFormFiltering::BuildForm() {
  auto check = [this](const char *name, int index) {
    auto *box = new QCheckBox(this);
    box->setObjectName(name);
    checks_[index] = box;
    return box;
  };
  auto field = [this](const char *name, int value) {
    auto *edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setEnabled(false);
    fields_[value] = edit;
    switch (KindOf(value)) {
    case FieldKind::Date:
      // A literal "." whatever the user's date separator, so that the text
      // and its parse always agree.
      edit->setInputMask("99.99.99");
      edit->installEventFilter(this);
      break;
    case FieldKind::Time:
    case FieldKind::Length:
      edit->setInputMask("99:99:99");
      edit->installEventFilter(this);
      break;
    case FieldKind::Number:
      edit->setValidator(new TypedLengthValidator(edit, &Reentrant_));
      connect(edit, &QLineEdit::textChanged, this, [this, edit] { EditChange(edit); });
      break;
    }
    return edit;
  };
  auto group = [this](const char *name) {
    auto *g = new QGroupBox(this);
    g->setObjectName(name);
    return g;
  };

  CheckBoxDateFrom = check("CheckBoxDateFrom", DateFrom);
  CheckBoxDateTo = check("CheckBoxDateTo", DateTo);
  CheckBoxTimeFrom = check("CheckBoxTimeFrom", TimeFrom);
  CheckBoxTimeTo = check("CheckBoxTimeTo", TimeTo);
  CheckBoxLengthFrom = check("CheckBoxLengthFrom", LengthFrom);
  CheckBoxLengthTo = check("CheckBoxLengthTo", LengthTo);
  CheckBoxLinear = check("CheckBoxLinear", Linear);
  CheckBoxLoop1 = check("CheckBoxLoop1", Loop1);
  CheckBoxLoop2 = check("CheckBoxLoop2", Loop2);
  CheckBoxLinearAll = check("CheckBoxLinearAll", LinearAll);
  CheckBoxLoopAll = check("CheckBoxLoopAll", LoopAll);
  CheckBoxSizeXFrom = check("CheckBoxSizeXFrom", SizeXFrom);
  CheckBoxSizeXTo = check("CheckBoxSizeXTo", SizeXTo);
  CheckBoxSizeYFrom = check("CheckBoxSizeYFrom", SizeYFrom);
  CheckBoxSizeYTo = check("CheckBoxSizeYTo", SizeYTo);
  CheckBoxVideoBitrateFrom = check("CheckBoxVideoBitrateFrom", VideoFrom);
  CheckBoxVideoBitrateTo = check("CheckBoxVideoBitrateTo", VideoTo);
  CheckBoxAudioBitrateFrom = check("CheckBoxAudioBitrateFrom", AudioFrom);
  CheckBoxAudioBitrateTo = check("CheckBoxAudioBitrateTo", AudioTo);
  CheckBoxFPSFrom = check("CheckBoxFPSFrom", FpsFrom);
  CheckBoxFPSTo = check("CheckBoxFPSTo", FpsTo);

  MaskEditDateFrom = field("MaskEditDateFrom", DateFromValue);
  MaskEditDateTo = field("MaskEditDateTo", DateToValue);
  MaskEditTimeFrom = field("MaskEditTimeFrom", TimeFromValue);
  MaskEditTimeTo = field("MaskEditTimeTo", TimeToValue);
  MaskEditLengthFrom = field("MaskEditLengthFrom", LengthFromValue);
  MaskEditLengthTo = field("MaskEditLengthTo", LengthToValue);
  EditSizeXFrom = field("EditSizeXFrom", SizeXFromValue);
  EditSizeXTo = field("EditSizeXTo", SizeXToValue);
  EditSizeYFrom = field("EditSizeYFrom", SizeYFromValue);
  EditSizeYTo = field("EditSizeYTo", SizeYToValue);
  EditVideoBitrateFrom = field("EditVideoBitrateFrom", VideoFromValue);
  EditVideoBitrateTo = field("EditVideoBitrateTo", VideoToValue);
  EditAudioBitrateFrom = field("EditAudioBitrateFrom", AudioFromValue);
  EditAudioBitrateTo = field("EditAudioBitrateTo", AudioToValue);
  EditFPSFrom = field("EditFPSFrom", FpsFromValue);
  EditFPSTo = field("EditFPSTo", FpsToValue);

  for (int c = Linear; c <= LoopAll; ++c)
    checks_[c]->setChecked(true);
  // Every From/To box is unchecked, its field disabled, until first shown.
  for (int v = 0; v < ValueCount; ++v)
    connect(checks_[CheckOfValue(v)], &QCheckBox::toggled, this,
            [this, c = CheckOfValue(v)] { FromToClick(c); });

  GroupBoxDate = group("GroupBoxDate");
  GroupBoxTime = group("GroupBoxTime");
  GroupBoxLength = group("GroupBoxLength");
  GroupBoxRecordMode = group("GroupBoxRecordMode");
  GroupBoxResolution = group("GroupBoxResolution");
  GroupBoxVideoBitrate = group("GroupBoxVideoBitrate");
  GroupBoxAudioBitrate = group("GroupBoxAudioBitrate");
  GroupBoxFPS = group("GroupBoxFPS");

  auto fromTo = [this](QGroupBox *g, int fromValue) {
    auto *grid = new QGridLayout(g);
    grid->addWidget(checks_[CheckOfValue(fromValue)], 0, 0);
    grid->addWidget(fields_[fromValue], 0, 1);
    grid->addWidget(checks_[CheckOfValue(fromValue) + 1], 1, 0);
    grid->addWidget(fields_[fromValue + 1], 1, 1);
  };
  fromTo(GroupBoxDate, DateFromValue);
  fromTo(GroupBoxTime, TimeFromValue);
  fromTo(GroupBoxLength, LengthFromValue);
  fromTo(GroupBoxVideoBitrate, VideoFromValue);
  fromTo(GroupBoxAudioBitrate, AudioFromValue);
  fromTo(GroupBoxFPS, FpsFromValue);

  auto *modes = new QVBoxLayout(GroupBoxRecordMode);
  for (int c = Linear; c <= LoopAll; ++c)
    modes->addWidget(checks_[c]);

  LabelX = new QLabel(this);
  LabelX->setObjectName("LabelX");
  LabelY = new QLabel(this);
  LabelY->setObjectName("LabelY");
  auto *res = new QGridLayout(GroupBoxResolution);
  res->addWidget(LabelX, 0, 0, 1, 2);
  res->addWidget(CheckBoxSizeXFrom, 1, 0);
  res->addWidget(EditSizeXFrom, 1, 1);
  res->addWidget(CheckBoxSizeXTo, 2, 0);
  res->addWidget(EditSizeXTo, 2, 1);
  res->addWidget(LabelY, 0, 2, 1, 2);
  res->addWidget(CheckBoxSizeYFrom, 1, 2);
  res->addWidget(EditSizeYFrom, 1, 3);
  res->addWidget(CheckBoxSizeYTo, 2, 2);
  res->addWidget(EditSizeYTo, 2, 3);

  CheckBoxShowConverted = new QCheckBox(this);
  CheckBoxShowConverted->setObjectName("CheckBoxShowConverted");
  ButtonOK = new QPushButton(this);
  ButtonOK->setObjectName("ButtonOK");
  ButtonOK->setDefault(true);
  ButtonCancel = new QPushButton(this);
  ButtonCancel->setObjectName("ButtonCancel");
  ButtonShowAll = new QPushButton(this);
  ButtonShowAll->setObjectName("ButtonShowAll");
  ButtonShowAll->setAutoDefault(false);
  connect(ButtonShowAll, &QPushButton::clicked, this, &TFormFiltering::ButtonShowAllClick);
  connect(ButtonOK, &QPushButton::clicked, this, &TFormFiltering::ButtonOKClick);
  connect(ButtonCancel, &QPushButton::clicked, this, &TFormFiltering::ButtonCancelClick);

  auto *grid = new QGridLayout;
  grid->addWidget(GroupBoxDate, 0, 0);
  grid->addWidget(GroupBoxTime, 0, 1);
  grid->addWidget(GroupBoxLength, 0, 2);
  grid->addWidget(GroupBoxRecordMode, 1, 0, 2, 1);
  grid->addWidget(GroupBoxResolution, 1, 1, 1, 2);
  grid->addWidget(GroupBoxVideoBitrate, 2, 1);
  grid->addWidget(GroupBoxAudioBitrate, 2, 2);
  grid->addWidget(GroupBoxFPS, 3, 0);
  auto *buttons = new QHBoxLayout;
  buttons->addWidget(CheckBoxShowConverted);
  buttons->addStretch();
  buttons->addWidget(ButtonShowAll);
  buttons->addWidget(ButtonOK);
  buttons->addWidget(ButtonCancel);
  auto *top = new QVBoxLayout(this);
  top->addLayout(grid);
  top->addLayout(buttons);
  setModal(true);
}

void TFormFiltering::Relabel() {
  setWindowTitle(Text(11));
  GroupBoxDate->setTitle(Text(13));
  GroupBoxTime->setTitle(Text(14));
  GroupBoxLength->setTitle(Text(15));
  GroupBoxRecordMode->setTitle(Text(60));
  GroupBoxResolution->setTitle(Text(16));
  GroupBoxVideoBitrate->setTitle(Text(18));
  GroupBoxAudioBitrate->setTitle(Text(19));
  GroupBoxFPS->setTitle(Text(17));
  LabelX->setText(Text(240));
  LabelY->setText(Text(241));
  for (int v = 0; v < ValueCount; v += 2) {
    checks_[CheckOfValue(v)]->setText(Text(234));
    checks_[CheckOfValue(v) + 1]->setText(Text(235));
  }
  for (int c = Linear; c <= LoopAll; ++c)
    checks_[c]->setText(Text(163 + c - Linear));
  CheckBoxShowConverted->setText(Text(236));
  ButtonOK->setText(Text(209));
  ButtonCancel->setText(Text(210));
  ButtonShowAll->setText(Text(txt::FilterShowAll));
  ButtonShowAll->setToolTip(Text(txt::FilterShowAllHint));
}

bool TFormFiltering::RecordPasses(const RecordSource &records, std::uint32_t index) const {
  FilterChecks shown;
  for (int c = 0; c < CheckCount; ++c)
    shown[c] = checks_[c]->isChecked();
  const ProgramSettings *s = CurrentSettings();
  return orvo::RecordPasses(records, index, shown, FilterSettings_, s ? s->ShowConverted : true);
}

void TFormFiltering::showEvent(QShowEvent *event) {
  FormShow();
  QDialog::showEvent(event);
}

void TFormFiltering::FormShow() {
  LoadFromSettings();
  Relabel();
}

void TFormFiltering::LoadFromSettings() {
  for (int c = 0; c < CheckCount; ++c)
    checks_[c]->setChecked(FilterSettings_.Checks[c]);
  const ProgramSettings *s = CurrentSettings();
  CheckBoxShowConverted->setChecked(s ? s->ShowConverted : true);
  Reentrant_ = true;
  for (int v = 0; v < ValueCount; ++v)
    fields_[v]->setText(QString::fromStdString(FormatFilterValue(v, FilterSettings_.Values[v])));
  Reentrant_ = false;
}

void TFormFiltering::Store() {
  for (int c = 0; c < CheckCount; ++c)
    FilterSettings_.Checks[c] = checks_[c]->isChecked();
  if (ProgramSettings *s = CurrentSettings())
    s->ShowConverted = CheckBoxShowConverted->isChecked();
  std::array<std::string, ValueCount> texts;
  for (int v = 0; v < ValueCount; ++v)
    texts[v] = fields_[v]->text().toStdString();
  ParseFilterFields(texts, FilterSettings_.Values);
}

void TFormFiltering::ButtonOKClick() {
  Store();
  accept();
}

void TFormFiltering::ButtonShowAllClick() {
  // Every bound off, every mode and the converted records on; the values
  // stay for the next time a bound is wanted.
  for (int c = 0; c < CheckCount; ++c)
    checks_[c]->setChecked(c >= Linear && c <= LoopAll);
  CheckBoxShowConverted->setChecked(true);
  ButtonOKClick();
}

void TFormFiltering::ButtonCancelClick() {
  LoadFromSettings();
  QDialog::reject();
}

void TFormFiltering::reject() {
  ButtonCancelClick();
}

void TFormFiltering::EditChange(QLineEdit *edit) {
  if (Reentrant_)
    return;
  const std::string digits = KeepDigits(edit->text().toStdString());
  if (digits == edit->text().toStdString())
    return;
  Reentrant_ = true;
  edit->setText(QString::fromStdString(digits));
  Reentrant_ = false;
}

void TFormFiltering::MaskEditDateExit(QLineEdit *edit) {
  if (!Reentrant_)
    edit->setText(QString::fromStdString(NormalizeDateField(edit->text().toStdString())));
}

void TFormFiltering::MaskEditTimeExit(QLineEdit *edit) {
  if (!Reentrant_)
    edit->setText(QString::fromStdString(NormalizeTimeField(edit->text().toStdString())));
}

void TFormFiltering::MaskEditLengthExit(QLineEdit *edit) {
  if (!Reentrant_)
    edit->setText(QString::fromStdString(NormalizeLengthField(edit->text().toStdString())));
}

bool TFormFiltering::eventFilter(QObject *watched, QEvent *event) {
  if (event->type() == QEvent::FocusOut) {
    for (int v = 0; v < LengthToValue + 1; ++v) {
      if (watched != fields_[v])
        continue;
      switch (KindOf(v)) {
      case FieldKind::Date:
        MaskEditDateExit(fields_[v]);
        break;
      case FieldKind::Time:
        MaskEditTimeExit(fields_[v]);
        break;
      default:
        MaskEditLengthExit(fields_[v]);
        break;
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TFormFiltering::FromToClick(int check) {
  for (int v = 0; v < ValueCount; ++v)
    if (CheckOfValue(v) == check)
      fields_[v]->setEnabled(checks_[check]->isChecked());
}

} // namespace orvo
