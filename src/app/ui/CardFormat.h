#pragma once

#include "platform/Volume.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>
#include <QVariantList>

#include <cstdint>
#include <functional>

// Formatting the card. On Windows through the system's format dialog
// (SHFormatDrive) for the drive letter of the input folder; elsewhere
// through the desktop's disk service (UDisks2 on the system bus), which has
// no dialog of its own, with the program's confirmation.
namespace orvo {

// Outcomes of FormatDrive.
inline constexpr int FormatDone = 0;
inline constexpr int FormatCancelled = 1;
inline constexpr int FormatBadDrive = 2;
inline constexpr int FormatFailed = 3;

struct CardVolume {
  QString device;     // "/dev/sdb1"
  QString objectPath; // the disk service's object of that block device
  quint64 size = 0;   // bytes
  QString label;
  QString fsType; // "vfat", "exfat", ...
  bool systemDevice = false;
};

class UDisksClient {
public:
  // The system bus; on Windows no bus, which the formatting there never uses.
  UDisksClient();
  explicit UDisksClient(const QDBusConnection &bus,
                        const QString &service = QStringLiteral("org.freedesktop.UDisks2"));

  enum class Lookup { Found, NoService, UnknownDevice };
  // Asks the service about a block device; changes nothing.
  Lookup Describe(const QString &device, CardVolume &volume);
  // Unmounts, formats as FAT32 with `label` and mounts again. FormatDone,
  // FormatCancelled (the authorisation was dismissed) or FormatFailed. After
  // a failed format the volume is mounted again if it can be. `mountPath`
  // receives where the fresh volume was mounted.
  int Format(const CardVolume &volume, const QString &label, QString *mountPath = nullptr);

private:
  static QDBusConnection DefaultBus();
  QDBusMessage Call(const QString &path, const QString &interface, const QString &method,
                    const QVariantList &args, int timeoutMs);
  bool Mount(const CardVolume &volume, QString *mountPath);

  QDBusConnection bus_;
  QString service_;
};

// Shows the card and lets the user confirm; true to format, with `label`.
using FormatConfirmation = std::function<bool(const CardVolume &volume, QString &label)>;

// The format command on the volume mounted at `inPath`: FormatBadDrive with
// no drive, for a device the service does not know or for a system disk;
// FormatFailed when no disk service answers (nothing is touched then);
// FormatCancelled when the user declines. On Windows the system's dialog
// for drive `drive` confirms, formats and reports instead: `client` and
// `confirm` go unused, and its cancel and error become FormatCancelled and
// FormatFailed.
int FormatDrive(std::uint8_t drive, const QString &inPath, UDisksClient &client,
                const FormatConfirmation &confirm, QString *mountPath = nullptr);

struct FormatCommandResult {
  // A message id to show with an error icon, 0 for none.
  int messageId = 0;
  // Our own message (no id exists for it); shown instead when not empty.
  QString text;
  // Where the formatted card was mounted again, when it was.
  QString mountPath;
};

// The whole command: refused unless the input folder is its volume's root;
// after formatting, "Incorrect file system" unless the card is FAT32.
FormatCommandResult RunFormatCommand(bool inPathIsDriveRoot, std::uint8_t drive,
                                     const QString &inPath, UDisksClient &client,
                                     const FormatConfirmation &confirm,
                                     platform::VolumeProbe probe = platform::ProbeVolume);

// Whether our own texts (those without an id) are to be shown in Russian.
bool RussianCardTexts();
QString CardText(const char *english, const char *russian);
QString FormatRefusalText();

} // namespace orvo
