#include "app/ui/Application.h"

#include "app/Threadfirmware.h"
#include "app/ui/FormAbout.h"
#include "app/ui/FormFiltering.h"
#include "app/ui/FormMain.h"
#include "app/ui/HintPause.h"
#include "app/ui/RecordPage.h"
#include "app/ui/SettingsPage.h"
#include "config/Cfg_mgr.h"
#include "config/ui/FormSetupCam.h"
#include "config/ui/FormSetupVin.h"
#include "config/ui/RecorderSettings.h"
#include "engine/Secondthread.h"
#include "engine/ui/FormDeleting.h"
#include "settings/ui/SetupForm.h"

#include <QApplication>
#include <QStyle>

#include <cstdlib>

namespace orvo {

SettingsLocation ProgramSettingsLocation() {
  const char *file = std::getenv("ORVO_SETTINGS_FILE");
  if (file != nullptr && *file != '\0')
    return SettingsLocation{file, true};
  return DefaultSettingsLocation();
}

Application::Application(ApplicationOptions options) : options_(std::move(options)) {}

Application::~Application() {
  if (started_)
    ShutDown();
}

int Application::Run() {
  StartUp();
  const int result = Exec();
  ShutDown();
  return result;
}

void Application::StartUp() {
  ResetToDefaults();

  SettingsLocation location = options_.settings;
  if (location.path.empty())
    location = ProgramSettingsLocation();
  settings_ = std::make_unique<ProgramSettings>(std::move(location));
  SetSettings(settings_.get());

  ApplyStoredOverrides();

  worker_ = std::make_unique<TSecondThread>(settings_.get());
  worker_->Start();
  // The firmware worker (TThreadFirmware) starts here, right after the
  // storage worker, and runs alongside it.
  if (options_.makeFirmwareThread)
    firmware_ = options_.makeFirmwareThread();
  else
    firmware_ = std::make_unique<TThreadFirmware>(settings_.get());
  if (firmware_)
    firmware_->Start();
  SetFirmwareThread(dynamic_cast<TThreadFirmware *>(firmware_.get()));
  started_ = true;

  // Windows in their creation order: the main window, the setup dialog, the
  // About box; then the deletion dialog, the advanced camera dialog, the
  // record filter dialog and the advanced video input dialog.
  mainForm_ = std::make_unique<TFormMain>(worker_.get(), settings_.get());
  TFormMain *main = mainForm_.get();
  RecordPage *records = main->TabSheet1;
  RecorderSettings &recorder = main->RecorderSetup();
  setupForm_ = new TSetupForm(main, settings_.get());
  formAbout_ = new TFormAbout(main);
  main->TabSheet2->SetupForm = setupForm_;
  records->FormAbout = formAbout_;
  // The other dialogs in the program's order of creation.
  records->FormDeleting = new TFormDeleting(worker_.get(), main);
  recorder.FormSetupCam = new TFormSetupCam(main);
  records->FormFiltering = new TFormFiltering(main, settings_.get());
  recorder.FormSetupVin = new TFormSetupVin(main);

  // No application display name: Qt would append it to every dialog's title.
  QApplication::setWindowIcon(mainForm_->windowIcon());
  InstallHintPause(30000);

  mainForm_->show();
}

int Application::Exec() {
  return QApplication::exec();
}

void Application::Step(ShutdownStep step) {
  if (options_.onShutdownStep)
    options_.onShutdownStep(step);
}

void Application::ShutDown() {
  if (!started_)
    return;
  started_ = false;

  if (worker_) {
    worker_->Shutdown();
    worker_->WaitFor();
    Step(ShutdownStep::StorageWorkerEnded);
    worker_.reset();
  }
  SetFirmwareThread(nullptr);
  if (firmware_) {
    firmware_->Terminate();
    firmware_->WaitFor();
    Step(ShutdownStep::FirmwareWorkerEnded);
    firmware_.reset();
  }

  setupForm_ = nullptr;
  formAbout_ = nullptr;
  mainForm_.reset();
  Step(ShutdownStep::WindowsDestroyed);

  ReleaseStoredOverrides();
  Step(ShutdownStep::OverridesReleased);

  SetSettings(nullptr);
  settings_.reset();
  Step(ShutdownStep::SettingsSaved);
}

} // namespace orvo
