#include "app/ui/Screenshots.h"

#include "app/ui/Application.h"
#include "app/ui/FirmwarePage.h"
#include "app/ui/FormAbout.h"
#include "app/ui/FormMain.h"
#include "app/ui/RecordPage.h"
#include "app/ui/SettingsPage.h"
#include "config/ui/RecorderSettings.h"
#include "settings/ui/SetupForm.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QPixmap>
#include <QTabWidget>
#include <QTimer>

#include <utility>

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
    RecorderSettings &recorder = main->RecorderSetup();
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
    // Every recorder settings page, with the controls enabled as with a card.
    const bool driveReady = main->DriveReady;
    main->DriveReady = true;
    main->PageControl1->setCurrentWidget(main->TabSheet2);
    const char *const recorderPages[] = {"record", "autostart", "video", "audio",
                                         "time",   "adapter",   "misc"};
    for (int i = 0; i < recorder.PageControlRecorderSetup->count() && i < 7; ++i) {
      recorder.PageControlRecorderSetup->setCurrentIndex(i);
      main->RefreshSettingsPages();
      Save(main, folder, QStringLiteral("settings-") + QString::fromLatin1(recorderPages[i]), tag);
    }
    recorder.PageControlRecorderSetup->setCurrentIndex(0);
    main->DriveReady = driveReady;
    main->RefreshSettingsPages();
    main->PageControl1->setCurrentWidget(main->TabSheet1);

    for (const auto &[dialog, name] :
         {std::pair<QDialog *, const char *>{recorder.FormSetupCam, "advanced-camera"},
          {recorder.FormSetupVin, "advanced-video-input"}}) {
      if (dialog == nullptr)
        continue;
      dialog->show();
      Save(dialog, folder, QString::fromLatin1(name), tag);
      dialog->hide();
    }

    TSetupForm *setup = application.SetupForm();
    setup->show();
    Save(setup, folder, "setup", tag);
    setup->hide();

    TFormAbout *about = application.FormAbout();
    about->LabelAbout();
    about->show();
    Save(about, folder, "about", tag);
    about->hide();

    main->close();
  });
}

} // namespace orvo
