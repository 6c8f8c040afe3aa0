#include "app/ui/CardFormat.h"

#include <QApplication>
#include <QWidget>

#include <windows.h>
// After windows.h, which it builds on.
#include <shlobj.h>

namespace orvo {

QDBusConnection UDisksClient::DefaultBus() {
  // A name no connection was made under: nothing is connected.
  return QDBusConnection(QStringLiteral("orvo-no-bus"));
}

int FormatDrive(std::uint8_t drive, const QString &, UDisksClient &, const FormatConfirmation &,
                QString *) {
  if (drive > 25)
    return FormatBadDrive;
  // The system's dialog asks, offers the options, formats and reports.
  QWidget *owner = QApplication::activeWindow();
  const DWORD result =
      SHFormatDrive(owner ? reinterpret_cast<HWND>(owner->winId()) : nullptr, drive,
                    SHFMT_ID_DEFAULT, 0);
  switch (result) {
  case SHFMT_CANCEL:
    return FormatCancelled;
  case SHFMT_ERROR:
  case SHFMT_NOFORMAT:
    return FormatFailed;
  default:
    return FormatDone;
  }
}

} // namespace orvo
