#include "app/ui/Screenshots.h"

#include "app/ui/Application.h"
#include "app/ui/FormAbout.h"
#include "app/ui/FormMain.h"
#include "settings/ui/SetupForm.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTabWidget>
#include <QTimer>

namespace orvo {

namespace {

void Settle() {
  for (int i = 0; i < 5; ++i)
    QApplication::processEvents();
}

bool Save(QWidget *widget, const QString &folder, const QString &name, const QString &tag) {
  Settle();
  return widget->grab().save(QDir(folder).filePath(name + "-" + tag + ".png"));
}

} // namespace

void ScheduleScreenshots(Application &application, const QString &folder, const QString &tag) {
  QTimer::singleShot(200, [&application, folder, tag] {
    QDir().mkpath(folder);
    TFormMain *main = application.MainForm();
    const struct {
      QWidget *page;
      const char *name;
    } pages[] = {{main->TabSheet1, "main-records"},
                 {main->TabSheet2, "main-settings"},
                 {main->TabSheet5, "main-firmware"}};
    for (const auto &p : pages) {
      main->PageControl1->setCurrentWidget(p.page);
      Save(main, folder, p.name, tag);
    }
    main->PageControl1->setCurrentWidget(main->TabSheet1);

    TSetupForm *setup = application.SetupForm();
    setup->show();
    Save(setup, folder, "setup", tag);
    setup->hide();

    TFormAbout *about = application.FormAbout();
    about->LabelAbout(main->windowTitle());
    about->show();
    Save(about, folder, "about", tag);
    about->hide();

    main->close();
  });
}

} // namespace orvo
