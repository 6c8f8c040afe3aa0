#pragma once

#include "engine/Storagex4tft.h"

#include <QObject>
#include <QString>


class QMimeData;
class QWidget;

namespace orvo {

class PlayerWindow;
class ProgramSettings;

// Opens the one player window of the program, made when first needed, for
// a record of the list, a file of the Utilities page or a file dropped on
// the main window.
class PlayerLauncher : public QObject {
  Q_OBJECT
public:
  // The output folder, the name mask and the clip's seconds around a moment
  // are taken from `settings` at each opening.
  PlayerLauncher(QWidget *mainWindow, const ProgramSettings &settings);
  void OpenRecord(const TStorageX4TFT::PlaySource &source, const QString &title);
  void OpenFile(const QString &path);
  void Relabel();
  // The window, when it has been made.
  PlayerWindow *Window() const { return window_; }
  // The MP4 file a drag carries (one local file), or empty.
  static QString DroppedVideo(const QMimeData *mime);

private:
  PlayerWindow &Made();
  QWidget *mainWindow_;
  const ProgramSettings &settings_;
  PlayerWindow *window_ = nullptr;
};

} // namespace orvo
