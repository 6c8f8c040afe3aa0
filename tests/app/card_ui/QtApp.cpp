#include "QtApp.h"

#include <QApplication>

void EnsureQtApplication() {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "test_app_card_ui";
  static char *argv[] = {name, nullptr};
  static QApplication app(argc, argv);
}
