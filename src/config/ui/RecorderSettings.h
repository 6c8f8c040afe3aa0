#pragma once

// The group "Recorder settings": the seven pages that edit the recorder's
// configuration, the picture beside them and the buttons that reset, open
// and save the configuration. It depends only on the configuration model and
// on what its host window gives it (SettingsHost).

#include <QGroupBox>
#include <QString>

#include <functional>
#include <string>

class QDialog;
class QFrame;
class QLabel;
class QPushButton;
class QTabWidget;

namespace orvo {

class SettingsHost;
class RoiEditor;
class RecordSetupPage;
class AutostartSetupPage;
class VideoSetupPage;
class AudioSetupPage;
class TimeSetupPage;
class AdapterSetupPage;
class MiscSetupPage;

inline constexpr char kCfgFileFilter[] = "Configuration data (*.cfg);;Any file (*)";
inline constexpr char kCfgDefaultSuffix[] = "cfg";

// Tags of the seven pages: which controls a refresh rebinds.
enum RecorderPageTag : int {
  kPageRecord = 0,
  kPageAutostart = 1,
  kPageVideo = 2,
  kPageAudio = 3,
  kPageTime = 4,
  kPageAdapter = 5,
  kPageMisc = 6,
};

class RecorderSettings : public QGroupBox {
  Q_OBJECT
public:
  explicit RecorderSettings(SettingsHost &host, QWidget *parent = nullptr);
  ~RecorderSettings() override;

  SettingsHost &Host() const { return host_; }

  // The texts that do not follow the configuration: page titles, the group's
  // title and its buttons.
  void Relabel();
  // Rebinds the active page from the configuration, every page when the
  // language changed since the last time; answers whether it did the latter
  // (the window may need more room).
  bool RefreshActiveSettingsPage();
  QWidget *CurrentSettingsPage() const;

  // The card came or went: the three buttons follow it.
  void CardAppeared();
  void CardGone();
  // Takes the card's configuration file into the model from its text, read
  // away from the window's thread, and shows the video source it names; an
  // empty text (no file) leaves the working set as it is.
  void ApplyCardConfiguration(const std::string &text);

  void ButtonResetSettingsClick();
  void ButtonCfgReadClick();
  void ButtonCfgSaveClick();
  // AGC and VAS lie on different pages, and each box's handler reads the
  // other: VAS on implies AGC on.
  void CheckBoxAudioAGCChange();
  void CheckBoxVASOnChange();

  // Commits the settings edit that has the focus, as leaving it would (the
  // buttons leave the focus where it is).
  void CommitFocusedEdit();

  // Creates FormSetupCam and FormSetupVin where the program did not.
  void CreateAdvancedDialogs();

  // Raised while the pages follow a change of the card, not a user's edit.
  bool RefreshInProgress = false;
  // 0 camera, 1 video input 50 Hz, 2 video input 60 Hz.
  int SourceIndex = 0;
  // Chooses a configuration file to open (save false) or save; an empty
  // name means cancelled. Tests replace it; the default asks with a file
  // dialog.
  std::function<QString(bool save)> ChooseCfgFile;
  // Opened by the video page's ButtonAdvanced; created at start-up with the
  // program's other dialogs.
  QDialog *FormSetupCam = nullptr;
  QDialog *FormSetupVin = nullptr;

  QTabWidget *PageControlRecorderSetup = nullptr;
  RecordSetupPage *TabSheetRecord = nullptr;
  AutostartSetupPage *TabSheetAutostart = nullptr;
  VideoSetupPage *TabSheetVideo = nullptr;
  AudioSetupPage *TabSheetAudio = nullptr;
  TimeSetupPage *TabSheetTime = nullptr;
  AdapterSetupPage *TabSheetAdapter = nullptr;
  MiscSetupPage *TabSheetMisc = nullptr;
  QFrame *PanelCfg = nullptr;
  QLabel *ImageCfg = nullptr;
  RoiEditor *AreaEditor = nullptr;
  QPushButton *ButtonResetSettings = nullptr;
  QPushButton *ButtonCfgRead = nullptr;
  QPushButton *ButtonCfgSave = nullptr;

private:
  void BindAllPages(bool enable);
  void SourceIndexFromConfiguration();

  SettingsHost &host_;
  bool agcChanging_ = false;
  bool vasChanging_ = false;
  int pagesLanguage_ = -1; // language of the pages' texts
};

} // namespace orvo
