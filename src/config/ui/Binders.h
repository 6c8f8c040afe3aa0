#pragma once

// Putting configuration fields and texts onto the settings controls. Every
// bound control keeps what it edits in its dynamic property "Tag": the field
// index, for check boxes bit << 24 | field, for the OSD text edits the text
// slot. Binding never runs the controls' change handlers.

#include "config/ChoiceList.h"

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QObject;
class QSlider;
class QTabBar;
class QWidget;

namespace orvo {

inline constexpr char kTagProperty[] = "Tag";
inline constexpr int kCheckBoxBitShift = 24;
inline constexpr int kCheckBoxFieldMask = 0xFFFFFF;

int ControlTag(const QObject *control);
// False until a binder has given the control its Tag.
bool HasControlTag(const QObject *control);
void SetControlTag(QObject *control, int tag);

// Tool tip and status tip; hints show in the status bar as well.
void SetHint(QWidget *control, int hintId);

void BindLabel(QLabel *label, int textId, bool enable);
void BindGroupBox(QGroupBox *box, int textId);
void BindButton(QAbstractButton *button, int captionId, int hintId);
// Without a list the tab texts stay as they are.
void BindTabs(QTabBar *tabs, const ChoiceList *list, int hintId);
void BindComboBox(QComboBox *combo, const ChoiceList &list, bool enable, int hintId, int field);
void BindNumberEdit(QLineEdit *edit, int field, bool enable, int hintId);
void BindTimeEdit(QLineEdit *edit, int firstField, bool enable, int hintId);
void BindDateEdit(QLineEdit *edit, int firstField, bool enable, int hintId);
void BindTextEdit(QLineEdit *edit, int slot, bool enable, int hintId);
void BindTrackBar(QSlider *slider, int field, bool enable, int hintId);
void BindCheckBox(QCheckBox *box, int field, bool enable, int hintId, int captionId, int bit);

// Edit set-up shared by the forms: the page's character limits and masks.
// Time and date masks keep ":" and "." whatever the locale.
inline constexpr int kNumberEditMaxLength = 3;
// A stored OSD text of the full 47 characters must show whole.
inline constexpr int kTextEditMaxLength = 47;
inline constexpr char kTimeInputMask[] = "99:99:99";
inline constexpr char kDateInputMask[] = "99.99.99";

} // namespace orvo
