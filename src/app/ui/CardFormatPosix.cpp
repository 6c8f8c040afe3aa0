#include "app/ui/CardFormat.h"

#include "platform/Volume.h"

// Formatting through the desktop's disk service: the device the input
// folder's volume was mounted from is looked up, shown to the user, and
// formatted as FAT32.
namespace orvo {

QDBusConnection UDisksClient::DefaultBus() {
  return QDBusConnection::systemBus();
}

int FormatDrive(std::uint8_t drive, const QString &inPath, UDisksClient &client,
                const FormatConfirmation &confirm, QString *mountPath) {
  if (drive & 0x80)
    return FormatBadDrive;
  std::string device, fsType;
  if (!platform::FindMountSource(inPath.toStdString(), device, fsType))
    return FormatBadDrive;
  CardVolume volume;
  switch (client.Describe(QString::fromStdString(device), volume)) {
  case UDisksClient::Lookup::NoService:
    return FormatFailed;
  case UDisksClient::Lookup::UnknownDevice:
    return FormatBadDrive;
  case UDisksClient::Lookup::Found:
    break;
  }
  if (volume.systemDevice)
    return FormatBadDrive;
  QString label = volume.label;
  if (!confirm || !confirm(volume, label))
    return FormatCancelled;
  return client.Format(volume, label, mountPath);
}

} // namespace orvo
