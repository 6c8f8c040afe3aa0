#include "player/ui/PlayerLauncher.h"

#include "player/ui/PlayerWindow.h"

#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace orvo {

PlayerLauncher::PlayerLauncher(QWidget *mainWindow, std::function<QString()> outputFolder)
    : QObject(mainWindow), mainWindow_(mainWindow), outputFolder_(std::move(outputFolder)) {}

PlayerWindow &PlayerLauncher::Made() {
  if (!window_)
    window_ = new PlayerWindow(mainWindow_);
  window_->SetOutputFolder(outputFolder_());
  return *window_;
}

void PlayerLauncher::OpenRecord(const TStorageX4TFT::PlaySource &source, const QString &title) {
  Made().OpenRecord(source, title);
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
