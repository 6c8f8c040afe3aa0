#pragma once

// The main window: the record page, the settings page with the program and
// recorder settings, the firmware page, the status bar and the two polling
// timers. The window never waits for a worker; it sets requests and polls.

#include <QList>
#include <QMainWindow>
#include <QPixmap>
#include <QPoint>
#include <QString>

#include <cstdint>
#include <string>
#include <string_view>

// ==== Recorder settings pages ====
#include "config/RoiPicture.h"

#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSlider;
class QTabBar;
// ==== end of the recorder settings includes ====

class QFrame;
class QGroupBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QTimer;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace orvo {

class ProgramSettings;
class TSecondThread;
class TSetupForm;
class TFormAbout;

inline constexpr char kMainCaption[] = "oRVO-V.264o4 TFT V1.02";
inline constexpr char kCfgFileFilter[] = "Configuration data (*.cfg);;Any file (*)";
inline constexpr char kCfgDefaultSuffix[] = "cfg";
inline constexpr char kMp4FileFilter[] = "MP4 file (*.mp4);;Any file (*)";
// Every control that carries a Tag keeps it in this dynamic property.
inline constexpr char kTagPropertyName[] = "Tag";

class TFormMain : public QMainWindow {
  Q_OBJECT

public:
  // Without `settings`, the process's settings object is used. Builds the
  // language list and labels the whole window in the stored language.
  explicit TFormMain(TSecondThread *worker, ProgramSettings *settings = nullptr,
                     QWidget *parent = nullptr);
  ~TFormMain() override;

  // Shows a message box owned by this window and titled with its caption;
  // answers the button pressed (1 OK, 6 Yes, 7 No).
  int ShowMainMessage(const QString &text, int type);
  int ShowMainMessage(int textId, int type);
  // Relabels the window after a language change, then refreshes the active
  // recorder settings page.
  void RefreshSettingsPages();
  // The status bar's own text (drive state, job results); hints shown while
  // the pointer rests on a control cover it only for that time.
  void SetStatusText(const QString &text);
  QString StatusText() const;

  void ButtonSetupClick();
  void PageRedraw();

  // Record page.
  void ButtonScanClick();
  void ButtonConvertClick();
  void TimerCommonTimer();
  void ButtonSetAllClick();
  void ButtonClearAllClick();
  void ButtonFilteringClick();
  void ButtonOpenFolderClick();
  void SpeedButtonInfoClick();
  void ButtonDeletingClick();
  void ListViewRecordColumnClick(int column);
  int ListViewRecordCompare(const QTreeWidgetItem *item1, const QTreeWidgetItem *item2) const;
  void FillRecordList();
  void PushChecks();
  void BeginScan();
  void EndScan();
  void BeginConvert();
  void EndConvert();

  // Card detection, preparation, formatting and the firmware page.
  void TimerCheckDriveTimer();
  void ButtonPrepareClick();
  void ButtonFormatClick();
  void ButtonFwRefreshClick();
  void ButtonFwCopyToCardClick();
  void ButtonFwCopyFromCardClick();

  // Recorder settings pages.
  void BuildRecorderSetupPages();
  void RefreshActiveSettingsPage();
  void ButtonResetSettingsClick();
  void ButtonCfgReadClick();
  void ButtonCfgSaveClick();
  void ButtonAdvancedClick();
  void ImageCfgMouseDown(Qt::MouseButton button, int x, int y);
  void ImageCfgMouseMove(int x, int y);
  void ImageCfgMouseUp(Qt::MouseButton button, int x, int y);

  // The dialogs this window shows; created after it (start-up order).
  TSetupForm *SetupForm = nullptr;
  TFormAbout *FormAbout = nullptr;
  QDialog *FormDeleting = nullptr;
  QDialog *FormFiltering = nullptr;
  QDialog *FormSetupCam = nullptr;
  QDialog *FormSetupVin = nullptr;

  TSecondThread *Worker() const { return worker_; }
  ProgramSettings &Settings() const;

  // State shared with the record, card and settings parts of the window.
  bool Scanning = false;
  bool Converting = false;
  bool DriveReady = false;
  int PollTicks = 0;
  std::int32_t SortColumn = -1;
  bool SortAscending = true;
  QString SavedCaption;
  bool DragActive = false;
  QPoint DragAnchor;
  int LastAppliedLanguage = -1;
  // The preview pictures of the recorder settings (429 x 277).
  QList<QPixmap> ImageList1;

  QTabWidget *PageControl1;
  QWidget *TabSheet1;
  QWidget *TabSheet2;
  QWidget *TabSheet5;
  QWidget *TabSheet6;

  QTreeWidget *ListViewRecord;
  QProgressBar *ProgressBar;
  QPushButton *ButtonScan;
  QPushButton *ButtonConvert;
  QPushButton *ButtonSetAll;
  QPushButton *ButtonClearAll;
  QPushButton *ButtonFiltering;
  QPushButton *ButtonDeleting;
  QPushButton *ButtonOpenFolder;
  QToolButton *SpeedButtonInfo;

  QGroupBox *GroupBoxPrepare;
  QPushButton *ButtonPrepare;
  QPushButton *ButtonFormat;
  QPushButton *ButtonClean;
  QGroupBox *GroupBoxProgramSettings;
  QPushButton *ButtonSetup;
  QGroupBox *GroupBoxRecorderSetup;
  QTabWidget *PageControlRecorderSetup;
  QWidget *TabSheetRecord;
  QWidget *TabSheetAutostart;
  QWidget *TabSheetVideo;
  QWidget *TabSheetAudio;
  QWidget *TabSheetTime;
  QWidget *TabSheetAdapter;
  QWidget *TabSheetMisc;
  QFrame *PanelCfg;
  QLabel *ImageCfg;
  QPushButton *ButtonResetSettings;
  QPushButton *ButtonCfgRead;
  QPushButton *ButtonCfgSave;

  QLabel *LabelDataOnDisk;
  QLabel *LabelDataOnCard;
  QListWidget *ListBoxFirmwareOnDisk;
  QListWidget *ListBoxFirmwareOnCard;
  QPushButton *ButtonFwRefresh;
  QPushButton *ButtonFwCopyToCard;
  QPushButton *ButtonFwCopyFromCard;

  QStatusBar *StatusBar;
  QLabel *StatusLabel;
  QTimer *TimerCheckDrive;
  QTimer *TimerCommon;

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void BuildRecordPage();
  void BuildSettingsPage();
  void BuildFirmwarePage();
  void BuildUtilitiesPage();
  void ConnectHandlers();
  void RelabelWindow();

  TSecondThread *worker_;
  ProgramSettings *settings_;

  // ==== Recorder settings pages, motion-area editor, advanced dialogs ====
  // Members of src/config/ui/FormMainSettings.cpp.
public:
  // State of the pages; tabs chosen on the record and motion pages.
  bool RefreshInProgress = false;
  int SourceIndex = 0; // 0 camera, 1 video input 50 Hz, 2 video input 60 Hz
  int TimerTab = 0;
  int RoiArea = 0;
  int RoiRect = 0;

  // Record page.
  QLabel *LabelRecordMode = nullptr;
  QComboBox *ComboBoxRecordMode = nullptr;
  QLabel *LabelPrehistory = nullptr;
  QComboBox *ComboBoxPrehistory = nullptr;
  QCheckBox *CheckBoxDuplicate = nullptr;
  QCheckBox *CheckBoxAutoDec = nullptr;
  QGroupBox *GroupBoxTimers = nullptr;
  QTabBar *TabControlTimers = nullptr;
  QCheckBox *CheckBoxTimerEnable = nullptr;
  QCheckBox *CheckBoxMo = nullptr;
  QCheckBox *CheckBoxTu = nullptr;
  QCheckBox *CheckBoxWe = nullptr;
  QCheckBox *CheckBoxTh = nullptr;
  QCheckBox *CheckBoxFr = nullptr;
  QCheckBox *CheckBoxSa = nullptr;
  QCheckBox *CheckBoxSu = nullptr;
  QLabel *LabelTimerMode = nullptr;
  QComboBox *ComboBoxTimerMode = nullptr;
  QLabel *LabelTimerDate = nullptr;
  QLineEdit *MaskEditTimerDate = nullptr;
  QLabel *LabelTimerTime = nullptr;
  QLineEdit *MaskEditTimerTime = nullptr;
  QLabel *LabelTimerLength = nullptr;
  QLineEdit *MaskEditTimerLength = nullptr;

  // Motion detection and VAS page.
  QGroupBox *GroupBoxMD = nullptr;
  QCheckBox *CheckBoxMDOn = nullptr;
  QLabel *LabelMDHold = nullptr;
  QComboBox *ComboBoxMDHold = nullptr;
  QTabBar *TabControlROI = nullptr;
  QCheckBox *CheckBoxMDROIOn = nullptr;
  QLabel *LabelMDSens = nullptr;
  QSlider *TrackBarMDROI1 = nullptr;
  QSlider *TrackBarMDROI2 = nullptr;
  QTabBar *TabControlROIRect = nullptr;
  QCheckBox *CheckBoxMDROIRectOn = nullptr;
  QLabel *LabelMDX = nullptr;
  QLabel *LabelMDY = nullptr;
  QLineEdit *EditMDROIX = nullptr;
  QLineEdit *EditMDROIY = nullptr;
  QLineEdit *EditMDROIW = nullptr;
  QLineEdit *EditMDROIH = nullptr;
  QGroupBox *GroupBoxVAS = nullptr;
  QCheckBox *CheckBoxVASOn = nullptr;
  QLabel *LabelVASSens = nullptr;
  QSlider *TrackBarVASSens = nullptr;
  QLabel *LabelVASHold = nullptr;
  QComboBox *ComboBoxVASHold = nullptr;

  // Video page.
  QLabel *LabelVideoSource = nullptr;
  QComboBox *ComboBoxVideoSource = nullptr;
  QLabel *LabelFPS = nullptr;
  QComboBox *ComboBoxFPS = nullptr;
  QLabel *LabelVideoBitrate = nullptr;
  QComboBox *ComboBoxVideoBitrate = nullptr;
  QLabel *LabelSize = nullptr;
  QComboBox *ComboBoxSize = nullptr;
  QSlider *TrackBarBright = nullptr;
  QSlider *TrackBarContrast = nullptr;
  QSlider *TrackBarHue = nullptr;
  QSlider *TrackBarSaturation = nullptr;
  QLabel *LabelWindow = nullptr;
  QLabel *LabelSizeValues = nullptr;
  QLabel *LabelX = nullptr;
  QLabel *LabelY = nullptr;
  QLineEdit *EditWindowX = nullptr;
  QLineEdit *EditWindowY = nullptr;
  QLineEdit *EditWindowW = nullptr;
  QLineEdit *EditWindowH = nullptr;
  QLineEdit *EditSizeH = nullptr;
  QLineEdit *EditSizeV = nullptr;
  QCheckBox *CheckBoxTextEn1 = nullptr;
  QCheckBox *CheckBoxTextEn2 = nullptr;
  QLineEdit *EditText1 = nullptr;
  QLineEdit *EditText2 = nullptr;
  QLineEdit *EditTextPos1 = nullptr;
  QLineEdit *EditTextPos2 = nullptr;
  QPushButton *ButtonAdvanced = nullptr;

  // Audio page.
  QLabel *LabelAudioSource = nullptr;
  QComboBox *ComboBoxAudioSource = nullptr;
  QLabel *LabelAudioMode = nullptr;
  QComboBox *ComboBoxAudioMode = nullptr;
  QLabel *LabelAudioBitrate = nullptr;
  QComboBox *ComboBoxAudioBitrate = nullptr;
  QLabel *LabelAudioGain = nullptr;
  QSlider *TrackBarAudioGain = nullptr;
  QLabel *LabelVolume = nullptr;
  QSlider *TrackBarVolume = nullptr;
  QCheckBox *CheckBoxAudioAGC = nullptr;

  // Time page.
  QGroupBox *GroupBoxGPSTime = nullptr;
  QCheckBox *CheckBoxGPSTime = nullptr;
  QCheckBox *CheckBoxDST = nullptr;
  QLabel *LabelTimeZone = nullptr;
  QComboBox *ComboBoxTimeZone = nullptr;

  // Adapter page.
  QGroupBox *GroupBoxAdapterControl = nullptr;
  QLabel *LabelUseInput = nullptr;
  QLabel *LabelHighLevel = nullptr;
  QLabel *LabelInput0 = nullptr;
  QLabel *LabelInput1 = nullptr;
  QLabel *LabelInput2 = nullptr;
  QLabel *LabelInput3 = nullptr;
  QLabel *LabelInput4 = nullptr;
  QLabel *LabelInput5 = nullptr;
  QLabel *LabelInput6 = nullptr;
  QLabel *LabelInput7 = nullptr;
  QCheckBox *CheckBoxUseInput0 = nullptr;
  QCheckBox *CheckBoxUseInput1 = nullptr;
  QCheckBox *CheckBoxUseInput2 = nullptr;
  QCheckBox *CheckBoxUseInput3 = nullptr;
  QCheckBox *CheckBoxUseInput4 = nullptr;
  QCheckBox *CheckBoxUseInput5 = nullptr;
  QCheckBox *CheckBoxUseInput6 = nullptr;
  QCheckBox *CheckBoxUseInput7 = nullptr;
  QCheckBox *CheckBoxHighLevel0 = nullptr;
  QCheckBox *CheckBoxHighLevel1 = nullptr;
  QCheckBox *CheckBoxHighLevel2 = nullptr;
  QCheckBox *CheckBoxHighLevel3 = nullptr;
  QCheckBox *CheckBoxHighLevel4 = nullptr;
  QCheckBox *CheckBoxHighLevel5 = nullptr;
  QCheckBox *CheckBoxHighLevel6 = nullptr;
  QCheckBox *CheckBoxHighLevel7 = nullptr;

  // Misc page.
  QGroupBox *GroupBoxPowerSave = nullptr;
  QLabel *LabelBacklight = nullptr;
  QComboBox *ComboBoxBacklight = nullptr;
  QLabel *LabelDisplayHide = nullptr;
  QComboBox *ComboBoxDisplayHide = nullptr;
  QLabel *LabelDisplayOff = nullptr;
  QComboBox *ComboBoxDisplayOff = nullptr;
  QLabel *LabelPowerOff = nullptr;
  QComboBox *ComboBoxPowerOff = nullptr;
  QGroupBox *GroupBoxCPWR = nullptr;
  QLabel *LabelCPWRMode = nullptr;
  QComboBox *ComboBoxCPWRMode = nullptr;
  QLabel *LabelCPWRVoltage = nullptr;
  QComboBox *ComboBoxCPWRVoltage = nullptr;
  QGroupBox *GroupBoxGPSPower = nullptr;
  QLabel *LabelGPSPower = nullptr;
  QComboBox *ComboBoxGPSPower = nullptr;

  // Creates FormSetupCam and FormSetupVin (start-up, with the other forms).
  void CreateAdvancedDialogs();

  // Chooses a configuration file to open (save false) or save; an empty
  // name means cancelled. Tests replace it; the default asks with a file
  // dialog.
  std::function<QString(bool save)> ChooseCfgFile;

  void BindRecordPage(bool enable);
  void BindTimerControls(bool enable);
  void BindAutostartPage(bool enable);
  void BindAreaControls(bool enable);
  void BindVideoPage(bool enable);
  void BindAudioPage(bool enable);
  void BindTimePage(bool enable);
  void BindAdapterPage(bool enable);
  void BindMiscPage(bool enable);

  void ComboBoxChange(QComboBox *combo);
  void ComboBoxVideoSourceChange();
  void CommitEdit(QLineEdit *edit, bool (*commit)(int, std::string_view, std::string &));
  void EditNumChange(QLineEdit *edit);
  void EditTimeChange(QLineEdit *edit);
  void EditDateChange(QLineEdit *edit);
  void EditStrDataOnChange(QLineEdit *edit);
  void EditStrChange(QLineEdit *edit);
  void TrackBarChange(QSlider *slider);
  void CheckBoxChange(QCheckBox *box);
  void CheckBoxDuplicateClick();
  void CheckBoxAudioAGCChange();
  void CheckBoxVASOnChange();
  void TabTimerChange(int index);
  void TabControlROIChange(int index);
  void TabControlROIRectChange(int index);

  // Motion-area picture: mode 0 the idle bitmap, 1 the motion drawing.
  void DrawSettingsPicture(int mode, const RoiPicture *picture);
  void CollectRoiPicture();
  void UpdateDraggedRectangle(int x, int y, bool commit);
  // Scale and offsets of the last motion drawing.
  RoiGeometry RoiDrawing;

private:
  bool agcChanging_ = false;
  bool vasChanging_ = false;
  int pagesLanguage_ = -1; // language of the pages' texts
  QWidget *currentSettingsPage() const;
  void fitToPages();
  // ==== end of the recorder settings block ====
};

} // namespace orvo
