// The program's entry point. It takes no command-line arguments; the
// environment variable ORVO_SETTINGS_FILE names a settings file to use
// instead of the per-user one, and ORVO_SCREENSHOT_DIR makes the program save
// pictures of its windows there and end.
#include "app/ui/Application.h"
#include "app/ui/Screenshots.h"

#include <QApplication>

int main(int argc, char **argv) {
  QApplication qtApplication(argc, argv);
  orvo::Application program;
  program.StartUp();
  const QString screenshots = qEnvironmentVariable("ORVO_SCREENSHOT_DIR");
  if (!screenshots.isEmpty()) {
    const QString tag = qEnvironmentVariable("ORVO_SCREENSHOT_TAG", "shot");
    orvo::ScheduleScreenshots(program, screenshots, tag);
  }
  const int result = program.Exec();
  program.ShutDown();
  return result;
}
