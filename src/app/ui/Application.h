#pragma once

// The program's life: the long-lived objects and windows built in a fixed
// order at start-up, the event loop, and the orderly shutdown that saves the
// settings only once every worker thread has ended.

#include "settings/ProgramSettings.h"

#include <functional>
#include <memory>

class QWidget;

namespace orvo {

namespace platform {
class Thread;
}
class TSecondThread;
class TFormMain;
class TSetupForm;
class TFormAbout;

enum class ShutdownStep {
  StorageWorkerEnded,  // the storage thread has ended, not yet destroyed
  FirmwareWorkerEnded, // the firmware thread has ended, not yet destroyed
  WindowsDestroyed,
  OverridesReleased,
  SettingsSaved, // ProgramSettings destroyed: its file is written
};

struct ApplicationOptions {
  // Empty: $ORVO_SETTINGS_FILE when set, else the per-user settings file.
  SettingsLocation settings;
  // Makes the firmware worker, started at start-up and ended at shutdown
  // after the storage worker; none when empty.
  std::function<std::unique_ptr<platform::Thread>()> makeFirmwareThread;
  // Reports each completed shutdown step.
  std::function<void(ShutdownStep)> onShutdownStep;
};

// Needs a QApplication. Not copyable; one per process.
class Application {
public:
  explicit Application(ApplicationOptions options = {});
  ~Application();
  Application(const Application &) = delete;
  Application &operator=(const Application &) = delete;

  // Start-up, event loop until the main window closes, shutdown.
  int Run();

  void StartUp();
  int Exec();
  void ShutDown();

  TFormMain *MainForm() const { return mainForm_.get(); }
  TSetupForm *SetupForm() const { return setupForm_; }
  TFormAbout *FormAbout() const { return formAbout_; }
  TSecondThread *StorageWorker() const { return worker_.get(); }
  platform::Thread *FirmwareWorker() const { return firmware_.get(); }
  ProgramSettings *Settings() const { return settings_.get(); }

private:
  void Step(ShutdownStep step);

  ApplicationOptions options_;
  std::unique_ptr<ProgramSettings> settings_;
  std::unique_ptr<TSecondThread> worker_;
  std::unique_ptr<platform::Thread> firmware_;
  std::unique_ptr<TFormMain> mainForm_;
  TSetupForm *setupForm_ = nullptr; // owned by the main window
  TFormAbout *formAbout_ = nullptr; // owned by the main window
  bool started_ = false;
};

// The settings file the program uses when none is given: $ORVO_SETTINGS_FILE
// when set (the demo and the screenshots keep their own profile), else the
// per-user file.
SettingsLocation ProgramSettingsLocation();

} // namespace orvo
