#include "player/ui/PlayerLauncher.h"

#include "player/ui/PlayerWindow.h"
#include "settings/ProgramSettings.h"

#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace orvo {

PlayerLauncher::PlayerLauncher(QWidget *mainWindow, const ProgramSettings &settings)
    : QObject(mainWindow), mainWindow_(mainWindow), settings_(settings) {}

PlayerWindow &PlayerLauncher::Made() {
  if (!window_)
    window_ = new PlayerWindow(mainWindow_);
  window_->SetOutputFolder(QString::fromStdString(settings_.OutPath));
  window_->SetClipAround(settings_.ClipAroundSeconds);
  window_->SetClipGps(GpsBeside(settings_.GpsInVideo), GpsEmbedded(settings_.GpsInVideo));
  return *window_;
}

void PlayerLauncher::OpenRecord(const TStorageX4TFT::PlaySource &source, const QString &title) {
  TStorageX4TFT::PlaySource named = source;
  named.nameMask = settings_.FileMask;
  Made().OpenRecord(named, title);
}

void PlayerLauncher::OpenFile(const QString &path) {
  Made().OpenFile(path);
}

void PlayerLauncher::Relabel() {
  if (window_)
    window_->Relabel();
}

QString PlayerLauncher::DroppedVideo(const QMimeData *mime) {
  if (!mime || !mime->hasUrls() || mime->urls().size() != 1)
    return {};
  const QUrl url = mime->urls().constFirst();
  if (!url.isLocalFile())
    return {};
  const QFileInfo file(url.toLocalFile());
  return file.isFile() && file.suffix().compare(QLatin1String("mp4"), Qt::CaseInsensitive) == 0
             ? file.absoluteFilePath()
             : QString();
}

} // namespace orvo
