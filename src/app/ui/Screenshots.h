#pragma once

#include <QString>

namespace orvo {

class Application;

// Once the event loop runs, saves pictures of the main window's pages and of
// the dialogs into `folder` as "<name>-<tag>.png", then closes the program.
void ScheduleScreenshots(Application &application, const QString &folder, const QString &tag);

} // namespace orvo
