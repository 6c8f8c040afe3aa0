#pragma once

// Every message box of the program goes through one replaceable seam, so
// tests can answer the boxes instead of a person.

#include <QString>

class QWidget;

namespace orvo {

// Box types as the recorder software has always used them (Windows values).
inline constexpr int kMessageError = 0x10;       // error icon, OK
inline constexpr int kMessageInformation = 0x40; // information icon, OK
inline constexpr int kMessageAskWarning = 0x34;  // warning icon, Yes and No
// The second button is the default (MB_DEFBUTTON2): Enter answers No.
inline constexpr int kMessageDefaultSecond = 0x100;
// A question whose Yes destroys something: Enter must not confirm it.
inline constexpr int kMessageAskDestructive = kMessageAskWarning | kMessageDefaultSecond;

// Answers, with their Windows values.
inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerCancel = 2;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

class MessageSeam {
public:
  virtual ~MessageSeam() = default;
  // Shows a modal box owned by `owner` and answers the button pressed. The
  // type's low nibble chooses the buttons, the next one the icon.
  virtual int Show(QWidget *owner, const QString &title, const QString &text, int type);
};

// The seam in use; never null. Installing null restores the real boxes. The
// caller keeps ownership of an installed seam.
MessageSeam &CurrentMessageSeam();
void InstallMessageSeam(MessageSeam *seam);

inline int ShowMessage(QWidget *owner, const QString &title, const QString &text, int type) {
  return CurrentMessageSeam().Show(owner, title, text, type);
}

} // namespace orvo
