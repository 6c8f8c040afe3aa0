#include "app/CardPreparation.h"
#include "app/ui/CardFormat.h"
#include "platform/Volume.h"
#include "support/Tools.h"

#include "QtApp.h"

#include <gtest/gtest.h>

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QMutex>
#include <QProcess>
#include <QThread>

#include <memory>

using namespace orvo;

namespace {

// What the stand-in for the disk service answers and what it was asked.
struct FakeDisks {
  QMutex mutex;
  QStringList calls;
  QString device; // the one device it knows
  QString label = QStringLiteral("OLDCARD");
  bool hintSystem = false;
  QString unmountError, formatError, mountError; // error names to answer with
  QString connection;

  void Record(const QString &call) {
    QMutexLocker lock(&mutex);
    calls << call;
  }
  QStringList Calls() {
    QMutexLocker lock(&mutex);
    return calls;
  }
  // An error reply instead of the normal one when `error` is set.
  bool Fail(const QString &error, const QDBusMessage &message) {
    if (error.isEmpty())
      return false;
    message.setDelayedReply(true);
    QDBusConnection(connection).send(message.createErrorReply(error, QStringLiteral("refused")));
    return true;
  }
};

const QString kBlockPath = QStringLiteral("/org/freedesktop/UDisks2/block_devices/sdz1");

class FakeManager : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.UDisks2.Manager")
public:
  FakeManager(QObject *parent, FakeDisks *disks) : QDBusAbstractAdaptor(parent), disks_(disks) {}
public slots:
  QList<QDBusObjectPath> ResolveDevice(const QVariantMap &devspec, const QVariantMap &) {
    const QString path = devspec.value(QStringLiteral("path")).toString();
    disks_->Record(QStringLiteral("ResolveDevice ") + path);
    if (path != disks_->device)
      return {};
    return {QDBusObjectPath(kBlockPath)};
  }

private:
  FakeDisks *disks_;
};

class FakeBlock : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.UDisks2.Block")
  Q_PROPERTY(QByteArray Device READ Device)
  Q_PROPERTY(qulonglong Size READ Size)
  Q_PROPERTY(QString IdLabel READ IdLabel)
  Q_PROPERTY(QString IdType READ IdType)
  Q_PROPERTY(bool HintSystem READ HintSystem)
public:
  FakeBlock(QObject *parent, FakeDisks *disks) : QDBusAbstractAdaptor(parent), disks_(disks) {}
  QByteArray Device() const { return QByteArray("/dev/sdz1", 10); } // with its NUL
  qulonglong Size() const { return 16008609792ull; }
  QString IdLabel() const { return disks_->label; }
  QString IdType() const { return QStringLiteral("vfat"); }
  bool HintSystem() const { return disks_->hintSystem; }
public slots:
  void Format(const QString &type, const QVariantMap &options, const QDBusMessage &message) {
    disks_->Record(QStringLiteral("Format %1 label=%2 mkfs-args=%3")
                       .arg(type, options.value(QStringLiteral("label")).toString(),
                            options.value(QStringLiteral("mkfs-args")).toStringList().join(',')));
    disks_->Fail(disks_->formatError, message);
  }

private:
  FakeDisks *disks_;
};

class FakeFilesystem : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.UDisks2.Filesystem")
public:
  FakeFilesystem(QObject *parent, FakeDisks *disks) : QDBusAbstractAdaptor(parent), disks_(disks) {}
public slots:
  void Unmount(const QVariantMap &, const QDBusMessage &message) {
    disks_->Record(QStringLiteral("Unmount"));
    disks_->Fail(disks_->unmountError, message);
  }
  QString Mount(const QVariantMap &, const QDBusMessage &message) {
    disks_->Record(QStringLiteral("Mount"));
    disks_->Fail(disks_->mountError, message);
    return QStringLiteral("/media/card");
  }

private:
  FakeDisks *disks_;
};

bool gFat32 = true;
bool Probe(const std::string &, platform::VolumeFacts &facts) {
  facts.isFat = true;
  facts.dataClusters = gFat32 ? 500000 : 60000;
  return true;
}

// A private bus with the stand-in registered under the disk service's name;
// its objects answer on a thread of their own, as a separate process would.
struct Format : ::testing::Test {
  QProcess daemon;
  QString address;
  FakeDisks disks;
  QThread serviceThread;
  std::unique_ptr<QObject> manager, block;
  test::TempDir card;
  QString inPath;
  int confirmations = 0;
  CardVolume shown;
  FormatConfirmation confirm = [this](const CardVolume &volume, QString &label) {
    ++confirmations;
    shown = volume;
    label = QStringLiteral("NEWCARD");
    return true;
  };

  void SetUp() override {
    EnsureQtApplication();
    gFat32 = true;
    daemon.start(QStringLiteral("dbus-daemon"),
                 {QStringLiteral("--session"), QStringLiteral("--nofork"),
                  QStringLiteral("--print-address=1"), QStringLiteral("--nopidfile")});
    if (!daemon.waitForStarted(10000))
      GTEST_SKIP() << "dbus-daemon is not installed";
    while (!daemon.canReadLine() && daemon.waitForReadyRead(30000)) {
    }
    address = QString::fromUtf8(daemon.readLine()).trimmed();
    ASSERT_FALSE(address.isEmpty());
    disks.connection = QStringLiteral("fake-disks");
    QDBusConnection service = QDBusConnection::connectToBus(address, disks.connection);
    ASSERT_TRUE(service.isConnected());
    std::string device, type;
    ASSERT_TRUE(platform::FindMountSource(card.path, device, type));
    disks.device = QString::fromStdString(device);
    inPath = QString::fromStdString(card.path + "/");

    manager = std::make_unique<QObject>();
    new FakeManager(manager.get(), &disks);
    block = std::make_unique<QObject>();
    new FakeBlock(block.get(), &disks);
    new FakeFilesystem(block.get(), &disks);
    manager->moveToThread(&serviceThread);
    block->moveToThread(&serviceThread);
    serviceThread.start();
    // Registered from the objects' own thread, where their adaptors live.
    bool registered = false;
    QMetaObject::invokeMethod(
        manager.get(),
        [&] {
          registered =
              service.registerObject(QStringLiteral("/org/freedesktop/UDisks2/Manager"),
                                     manager.get(), QDBusConnection::ExportAdaptors) &&
              service.registerObject(kBlockPath, block.get(), QDBusConnection::ExportAdaptors);
        },
        Qt::BlockingQueuedConnection);
    ASSERT_TRUE(registered);
    ASSERT_TRUE(service.registerService(QStringLiteral("org.freedesktop.UDisks2")));
  }

  void TearDown() override {
    if (!disks.connection.isEmpty()) {
      QDBusConnection(disks.connection).unregisterObject(kBlockPath);
      QDBusConnection(disks.connection)
          .unregisterObject(QStringLiteral("/org/freedesktop/UDisks2/Manager"));
      QDBusConnection::disconnectFromBus(disks.connection);
      QDBusConnection::disconnectFromBus(QStringLiteral("client"));
    }
    if (serviceThread.isRunning()) {
      // Back to this thread, so that they are destroyed where they live.
      QThread *here = QThread::currentThread();
      QMetaObject::invokeMethod(
          manager.get(),
          [&] {
            manager->moveToThread(here);
            block->moveToThread(here);
          },
          Qt::BlockingQueuedConnection);
    }
    serviceThread.quit();
    serviceThread.wait();
    manager.reset();
    block.reset();
    daemon.terminate();
    daemon.waitForFinished(30000);
  }

  FormatCommandResult Run(bool root = true, std::uint8_t drive = 0,
                          const QString &service = QStringLiteral("org.freedesktop.UDisks2")) {
    UDisksClient client(QDBusConnection::connectToBus(address, QStringLiteral("client")), service);
    return RunFormatCommand(root, drive, inPath, client, confirm, Probe);
  }
  QStringList Expected(std::initializer_list<QString> rest) {
    QStringList calls{QStringLiteral("ResolveDevice ") + disks.device};
    calls << QStringList(rest);
    return calls;
  }
};

const QString kFormatCall = QStringLiteral("Format vfat label=NEWCARD mkfs-args=-F,32");

} // namespace

TEST_F(Format, UnmountsFormatsFat32WithTheLabelAndMountsAgain) {
  const FormatCommandResult r = Run();
  EXPECT_EQ(r.messageId, 0);
  EXPECT_TRUE(r.text.isEmpty());
  EXPECT_EQ(r.mountPath, QStringLiteral("/media/card"));
  EXPECT_EQ(disks.Calls(),
            Expected({QStringLiteral("Unmount"), kFormatCall, QStringLiteral("Mount")}));
  ASSERT_EQ(confirmations, 1);
  EXPECT_EQ(shown.device, QStringLiteral("/dev/sdz1")) << "the device as the service names it";
  EXPECT_EQ(shown.size, 16008609792ull);
  EXPECT_EQ(shown.label, QStringLiteral("OLDCARD"));
}

TEST_F(Format, FormattedButNotFat32IsIncorrectFileSystem) {
  gFat32 = false;
  EXPECT_EQ(Run().messageId, MsgIncorrectFileSystem);
}

TEST_F(Format, RefusedUnlessTheInputFolderIsTheVolumeRoot) {
  const FormatCommandResult r = Run(false);
  EXPECT_EQ(r.messageId, 0);
  EXPECT_EQ(r.text, FormatRefusalText());
  EXPECT_FALSE(r.text.isEmpty());
  EXPECT_TRUE(disks.Calls().isEmpty());
  EXPECT_EQ(confirmations, 0);
}

TEST_F(Format, NoDiskServiceIsFormatErrorWithNothingTouched) {
  EXPECT_EQ(Run(true, 0, QStringLiteral("org.example.NoDisks")).messageId, MsgFormatError);
  EXPECT_TRUE(disks.Calls().isEmpty());
  EXPECT_EQ(confirmations, 0);
}

TEST_F(Format, CancelInOurDialogTouchesNothing) {
  confirm = [](const CardVolume &, QString &) { return false; };
  EXPECT_EQ(Run().messageId, MsgFormatCancelled);
  EXPECT_EQ(disks.Calls(), Expected({}));
}

TEST_F(Format, DismissedAuthorisationIsCancelled) {
  disks.unmountError = QStringLiteral("org.freedesktop.UDisks2.Error.NotAuthorizedDismissed");
  EXPECT_EQ(Run().messageId, MsgFormatCancelled);
  EXPECT_EQ(disks.Calls(), Expected({QStringLiteral("Unmount")}));
}

TEST_F(Format, BusyCardIsFormatErrorWithoutFormatting) {
  disks.unmountError = QStringLiteral("org.freedesktop.UDisks2.Error.DeviceBusy");
  EXPECT_EQ(Run().messageId, MsgFormatError);
  EXPECT_EQ(disks.Calls(), Expected({QStringLiteral("Unmount")}));
}

TEST_F(Format, FailedFormatIsFormatErrorAndTheCardIsMountedAgain) {
  disks.formatError = QStringLiteral("org.freedesktop.UDisks2.Error.Failed");
  EXPECT_EQ(Run().messageId, MsgFormatError);
  EXPECT_EQ(disks.Calls(),
            Expected({QStringLiteral("Unmount"), kFormatCall, QStringLiteral("Mount")}));
}

TEST_F(Format, FailedMountAfterFormattingIsFormatError) {
  disks.mountError = QStringLiteral("org.freedesktop.UDisks2.Error.Failed");
  EXPECT_EQ(Run().messageId, MsgFormatError);
}

TEST_F(Format, UnknownDeviceSystemDiskAndNoDriveAreIncorrectDrive) {
  EXPECT_EQ(Run(true, 255).messageId, MsgIncorrectDrive);
  EXPECT_TRUE(disks.Calls().isEmpty());
  disks.hintSystem = true;
  EXPECT_EQ(Run().messageId, MsgIncorrectDrive);
  EXPECT_EQ(disks.Calls(), Expected({}));
  disks.device = QStringLiteral("/dev/other");
  EXPECT_EQ(Run().messageId, MsgIncorrectDrive);
  EXPECT_EQ(confirmations, 0);
}

#include "FormatTest.moc"
