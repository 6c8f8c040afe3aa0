#pragma once

#include <QString>

namespace orvo {

class Application;

// Once the event loop runs, saves pictures of the main window's pages and of
// the dialogs into `folder` as "<name>-<tag>.png", then closes the program.
// The utilities page is shown after a test of the file that
// ORVO_SCREENSHOT_TEST_FILE names, if any.
void ScheduleScreenshots(Application &application, const QString &folder, const QString &tag);

} // namespace orvo
