#include "app/ui/CardFormat.h"

#include "app/CardPreparation.h"
#include "settings/DriveFields.h"
#include "settings/Stringcode.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QEventLoop>
#include <QStringList>

namespace orvo {

namespace {

const QString kRoot = QStringLiteral("/org/freedesktop/UDisks2");
const QString kManager = QStringLiteral("org.freedesktop.UDisks2.Manager");
const QString kBlock = QStringLiteral("org.freedesktop.UDisks2.Block");
const QString kFilesystem = QStringLiteral("org.freedesktop.UDisks2.Filesystem");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

constexpr int kQuickCallMs = 25000;
// Formatting a large card and waiting for the user to authorise it.
constexpr int kLongCallMs = 30 * 60 * 1000;

bool IsError(const QDBusMessage &reply) {
  return reply.type() != QDBusMessage::ReplyMessage;
}

bool EndsWith(const QDBusMessage &reply, const char *name) {
  return reply.errorName().endsWith(QLatin1String(name));
}

// The user closed the authorisation prompt.
bool IsDismissed(const QDBusMessage &reply) {
  return EndsWith(reply, ".NotAuthorizedDismissed") || EndsWith(reply, ".Cancelled");
}

} // namespace

UDisksClient::UDisksClient(const QDBusConnection &bus, const QString &service)
    : bus_(bus), service_(service) {}

UDisksClient::UDisksClient() : UDisksClient(DefaultBus()) {}

QDBusMessage UDisksClient::Call(const QString &path, const QString &interface,
                                const QString &method, const QVariantList &args, int timeoutMs) {
  QDBusMessage message = QDBusMessage::createMethodCall(service_, path, interface, method);
  message.setArguments(args);
  message.setInteractiveAuthorizationAllowed(true);
  if (!bus_.isConnected())
    return message.createErrorReply(QDBusError::Disconnected, QStringLiteral("no bus"));
  // Waits in an event loop so that the window keeps painting meanwhile.
  QDBusPendingCall pending = bus_.asyncCall(message, timeoutMs);
  QDBusPendingCallWatcher watcher(pending);
  if (!watcher.isFinished()) {
    QEventLoop loop;
    QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
    if (!watcher.isFinished())
      loop.exec(QEventLoop::ExcludeUserInputEvents);
  }
  return pending.reply();
}

UDisksClient::Lookup UDisksClient::Describe(const QString &device, CardVolume &volume) {
  volume = CardVolume{};
  QVariantMap devspec;
  devspec.insert(QStringLiteral("path"), device);
  const QDBusMessage found =
      Call(kRoot + QStringLiteral("/Manager"), kManager, QStringLiteral("ResolveDevice"),
           {devspec, QVariantMap()}, kQuickCallMs);
  if (IsError(found) || found.arguments().isEmpty())
    return Lookup::NoService;
  const auto paths = qdbus_cast<QList<QDBusObjectPath>>(found.arguments().at(0));
  if (paths.isEmpty())
    return Lookup::UnknownDevice;
  volume.objectPath = paths.first().path();
  const QDBusMessage props =
      Call(volume.objectPath, kProperties, QStringLiteral("GetAll"), {kBlock}, kQuickCallMs);
  if (IsError(props) || props.arguments().isEmpty())
    return Lookup::UnknownDevice;
  const auto map = qdbus_cast<QVariantMap>(props.arguments().at(0));
  QByteArray name = map.value(QStringLiteral("Device")).toByteArray();
  if (name.endsWith('\0'))
    name.chop(1);
  volume.device = name.isEmpty() ? device : QString::fromUtf8(name);
  volume.size = map.value(QStringLiteral("Size")).toULongLong();
  volume.label = map.value(QStringLiteral("IdLabel")).toString();
  volume.fsType = map.value(QStringLiteral("IdType")).toString();
  volume.systemDevice = map.value(QStringLiteral("HintSystem")).toBool();
  return Lookup::Found;
}

bool UDisksClient::Mount(const CardVolume &volume, QString *mountPath) {
  const QDBusMessage reply =
      Call(volume.objectPath, kFilesystem, QStringLiteral("Mount"), {QVariantMap()}, kQuickCallMs);
  if (IsError(reply))
    return EndsWith(reply, ".AlreadyMounted");
  if (mountPath && !reply.arguments().isEmpty())
    *mountPath = reply.arguments().at(0).toString();
  return true;
}

int UDisksClient::Format(const CardVolume &volume, const QString &label, QString *mountPath) {
  const QDBusMessage unmounted =
      Call(volume.objectPath, kFilesystem, QStringLiteral("Unmount"), {QVariantMap()}, kLongCallMs);
  if (IsError(unmounted) && !EndsWith(unmounted, ".NotMounted"))
    return IsDismissed(unmounted) ? FormatCancelled : FormatFailed;
  QVariantMap options;
  options.insert(QStringLiteral("label"), label);
  // mkfs.vfat picks FAT16 for small volumes unless told otherwise.
  options.insert(QStringLiteral("mkfs-args"),
                 QStringList{QStringLiteral("-F"), QStringLiteral("32")});
  const QDBusMessage formatted = Call(volume.objectPath, kBlock, QStringLiteral("Format"),
                                      {QStringLiteral("vfat"), options}, kLongCallMs);
  // The card goes back into service whatever happened.
  const bool mounted = Mount(volume, mountPath);
  if (IsError(formatted))
    return IsDismissed(formatted) ? FormatCancelled : FormatFailed;
  return mounted ? FormatDone : FormatFailed;
}

FormatCommandResult RunFormatCommand(bool inPathIsDriveRoot, std::uint8_t drive,
                                     const QString &inPath, UDisksClient &client,
                                     const FormatConfirmation &confirm,
                                     platform::VolumeProbe probe) {
  FormatCommandResult r;
  if (!inPathIsDriveRoot) {
    r.text = FormatRefusalText();
    return r;
  }
  switch (FormatDrive(drive, inPath, client, confirm, &r.mountPath)) {
  case FormatDone: {
    const QString folder = r.mountPath.isEmpty() ? inPath : r.mountPath;
    if (!IsFat32(drive, folder.toStdString(), probe))
      r.messageId = MsgIncorrectFileSystem;
    break;
  }
  case FormatCancelled:
    r.messageId = MsgFormatCancelled;
    break;
  case FormatBadDrive:
    r.messageId = MsgIncorrectDrive;
    break;
  default:
    r.messageId = MsgFormatError;
    break;
  }
  return r;
}

bool RussianCardTexts() {
  const QString name = QString::fromStdString(GetLanguageName(CurrentLanguage())).toLower();
  if (name.startsWith(QStringLiteral("рус")) || name.startsWith(QStringLiteral("russian")))
    return true;
  return !UseLanguageFiles() && CurrentLanguage() == 1;
}

QString CardText(const char *english, const char *russian) {
  return QString::fromUtf8(RussianCardTexts() ? russian : english);
}

QString FormatRefusalText() {
  return CardText("The card can only be formatted when the input folder is the card's root "
                  "folder. Choose the card itself as the input folder in the program settings.",
                  "Карту можно отформатировать, только если входная папка является корневой "
                  "папкой карты. Укажите саму карту как входную папку в настройках программы.");
}

} // namespace orvo
