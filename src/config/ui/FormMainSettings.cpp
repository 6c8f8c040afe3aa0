// The recorder settings pages of the main window, the motion-area picture
// beside them and the advanced dialogs they open.

#include "app/ui/FormMain.h"

#include "config/Cfg_mgr.h"
#include "config/ChoiceList.h"
#include "config/PageEdits.h"
#include "config/RoiPicture.h"
#include "config/ui/Binders.h"
#include "config/ui/ExitCommit.h"
#include "config/ui/FormSetupCam.h"
#include "config/ui/FormSetupVin.h"
#include "config/ui/RoiPainter.h"
#include "config/ui/SettingsTextIds.h"
#include "platform/ui/MessageSeam.h"
#include "settings/Stringcode.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace orvo {

namespace {

namespace txt = settings_text;

// Tags of the seven pages.
enum SettingsPage : int {
  kPageRecord = 0,
  kPageAutostart = 1,
  kPageVideo = 2,
  kPageAudio = 3,
  kPageTime = 4,
  kPageAdapter = 5,
  kPageMisc = 6,
};

constexpr int kTimerOnBit = 7;
constexpr int kAreaOnBit = 7;
constexpr int kMotionOnBit = 0;
constexpr int kVasOnBit = 1;
constexpr int kAdapterInputCount = 8;
constexpr int kWeekdayCount = 7;

template <typename T> T *Make(QWidget *parent, const char *name) {
  auto *w = new T(parent);
  w->setObjectName(QString::fromLatin1(name));
  return w;
}

QSlider *MakeSlider(QWidget *parent, const char *name) {
  auto *s = Make<QSlider>(parent, name);
  s->setOrientation(Qt::Horizontal);
  return s;
}

QTabBar *MakeTabs(QWidget *parent, const char *name, int count, bool numbered, int first) {
  auto *t = Make<QTabBar>(parent, name);
  for (int i = 0; i < count; ++i)
    t->addTab(numbered ? QString::number(first + i) : QString());
  t->setExpanding(false);
  t->setDrawBase(false);
  t->setUsesScrollButtons(false);
  // Clicking a tab takes the focus, so an edit being typed in commits first.
  t->setFocusPolicy(Qt::StrongFocus);
  return t;
}

void Row(QGridLayout *grid, int row, QWidget *label, QWidget *control) {
  grid->addWidget(label, row, 0);
  grid->addWidget(control, row, 1);
}

} // namespace

// ---- Building ------------------------------------------------------------

void TFormMain::BuildRecorderSetupPages() {
  // Record page.
  {
    QWidget *page = TabSheetRecord;
    LabelRecordMode = Make<QLabel>(page, "LabelRecordMode");
    ComboBoxRecordMode = Make<QComboBox>(page, "ComboBoxRecordMode");
    LabelPrehistory = Make<QLabel>(page, "LabelPrehistory");
    ComboBoxPrehistory = Make<QComboBox>(page, "ComboBoxPrehistory");
    CheckBoxDuplicate = Make<QCheckBox>(page, "CheckBoxDuplicate");
    CheckBoxAutoDec = Make<QCheckBox>(page, "CheckBoxAutoDec");
    GroupBoxTimers = Make<QGroupBox>(page, "GroupBoxTimers");
    QWidget *g = GroupBoxTimers;
    TabControlTimers = MakeTabs(g, "TabControlTimers", kTimerCount, true, 0);
    CheckBoxTimerEnable = Make<QCheckBox>(g, "CheckBoxTimerEnable");
    CheckBoxMo = Make<QCheckBox>(g, "CheckBoxMo");
    CheckBoxTu = Make<QCheckBox>(g, "CheckBoxTu");
    CheckBoxWe = Make<QCheckBox>(g, "CheckBoxWe");
    CheckBoxTh = Make<QCheckBox>(g, "CheckBoxTh");
    CheckBoxFr = Make<QCheckBox>(g, "CheckBoxFr");
    CheckBoxSa = Make<QCheckBox>(g, "CheckBoxSa");
    CheckBoxSu = Make<QCheckBox>(g, "CheckBoxSu");
    LabelTimerMode = Make<QLabel>(g, "LabelTimerMode");
    ComboBoxTimerMode = Make<QComboBox>(g, "ComboBoxTimerMode");
    LabelTimerDate = Make<QLabel>(g, "LabelTimerDate");
    MaskEditTimerDate = Make<QLineEdit>(g, "MaskEditTimerDate");
    LabelTimerTime = Make<QLabel>(g, "LabelTimerTime");
    MaskEditTimerTime = Make<QLineEdit>(g, "MaskEditTimerTime");
    LabelTimerLength = Make<QLabel>(g, "LabelTimerLength");
    MaskEditTimerLength = Make<QLineEdit>(g, "MaskEditTimerLength");

    auto *top = new QGridLayout;
    Row(top, 0, LabelRecordMode, ComboBoxRecordMode);
    Row(top, 1, LabelPrehistory, ComboBoxPrehistory);
    top->setColumnStretch(2, 1);
    auto *days = new QVBoxLayout;
    days->setSpacing(2);
    for (QCheckBox *b :
         {CheckBoxMo, CheckBoxTu, CheckBoxWe, CheckBoxTh, CheckBoxFr, CheckBoxSa, CheckBoxSu})
      days->addWidget(b);
    days->addStretch(1);
    auto *timer = new QGridLayout;
    timer->addWidget(CheckBoxTimerEnable, 0, 0, 1, 2);
    Row(timer, 1, LabelTimerMode, ComboBoxTimerMode);
    Row(timer, 2, LabelTimerDate, MaskEditTimerDate);
    Row(timer, 3, LabelTimerTime, MaskEditTimerTime);
    Row(timer, 4, LabelTimerLength, MaskEditTimerLength);
    timer->setRowStretch(5, 1);
    auto *timerRow = new QHBoxLayout;
    timerRow->addLayout(days);
    timerRow->addSpacing(8);
    timerRow->addLayout(timer, 1);
    auto *groupLayout = new QVBoxLayout(GroupBoxTimers);
    groupLayout->addWidget(TabControlTimers);
    groupLayout->addLayout(timerRow);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addWidget(CheckBoxDuplicate);
    layout->addWidget(CheckBoxAutoDec);
    layout->addWidget(GroupBoxTimers, 1);
  }

  // Motion detection and VAS page.
  {
    QWidget *page = TabSheetAutostart;
    GroupBoxMD = Make<QGroupBox>(page, "GroupBoxMD");
    QWidget *g = GroupBoxMD;
    CheckBoxMDOn = Make<QCheckBox>(g, "CheckBoxMDOn");
    LabelMDHold = Make<QLabel>(g, "LabelMDHold");
    ComboBoxMDHold = Make<QComboBox>(g, "ComboBoxMDHold");
    TabControlROI = MakeTabs(g, "TabControlROI", kMdAreaCount, false, 1);
    CheckBoxMDROIOn = Make<QCheckBox>(g, "CheckBoxMDROIOn");
    LabelMDSens = Make<QLabel>(g, "LabelMDSens");
    TrackBarMDROI1 = MakeSlider(g, "TrackBarMDROI1");
    TrackBarMDROI2 = MakeSlider(g, "TrackBarMDROI2");
    TabControlROIRect = MakeTabs(g, "TabControlROIRect", kMdRectCount, true, 1);
    CheckBoxMDROIRectOn = Make<QCheckBox>(g, "CheckBoxMDROIRectOn");
    LabelMDX = Make<QLabel>(g, "LabelMDX");
    LabelMDY = Make<QLabel>(g, "LabelMDY");
    EditMDROIX = Make<QLineEdit>(g, "EditMDROIX");
    EditMDROIY = Make<QLineEdit>(g, "EditMDROIY");
    EditMDROIW = Make<QLineEdit>(g, "EditMDROIW");
    EditMDROIH = Make<QLineEdit>(g, "EditMDROIH");
    GroupBoxVAS = Make<QGroupBox>(page, "GroupBoxVAS");
    QWidget *v = GroupBoxVAS;
    CheckBoxVASOn = Make<QCheckBox>(v, "CheckBoxVASOn");
    LabelVASSens = Make<QLabel>(v, "LabelVASSens");
    TrackBarVASSens = MakeSlider(v, "TrackBarVASSens");
    LabelVASHold = Make<QLabel>(v, "LabelVASHold");
    ComboBoxVASHold = Make<QComboBox>(v, "ComboBoxVASHold");

    auto *head = new QHBoxLayout;
    head->addWidget(CheckBoxMDOn);
    head->addStretch(1);
    head->addWidget(LabelMDHold);
    head->addWidget(ComboBoxMDHold);
    auto *sens = new QHBoxLayout;
    sens->addWidget(LabelMDSens);
    sens->addWidget(TrackBarMDROI1, 1);
    sens->addWidget(TrackBarMDROI2, 1);
    auto *rect = new QGridLayout;
    rect->addWidget(CheckBoxMDROIRectOn, 0, 0, 2, 1);
    rect->addWidget(LabelMDX, 0, 1);
    rect->addWidget(EditMDROIX, 0, 2);
    rect->addWidget(EditMDROIW, 0, 3);
    rect->addWidget(LabelMDY, 1, 1);
    rect->addWidget(EditMDROIY, 1, 2);
    rect->addWidget(EditMDROIH, 1, 3);
    rect->setColumnStretch(4, 1);
    auto *md = new QVBoxLayout(GroupBoxMD);
    md->addLayout(head);
    md->addWidget(TabControlROI);
    md->addWidget(CheckBoxMDROIOn);
    md->addLayout(sens);
    md->addWidget(TabControlROIRect);
    md->addLayout(rect);
    auto *vas = new QGridLayout(GroupBoxVAS);
    vas->addWidget(CheckBoxVASOn, 0, 0, 1, 2);
    Row(vas, 1, LabelVASSens, TrackBarVASSens);
    Row(vas, 2, LabelVASHold, ComboBoxVASHold);
    vas->setColumnStretch(1, 1);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(GroupBoxMD);
    layout->addWidget(GroupBoxVAS);
    layout->addStretch(1);
  }

  // Video page.
  {
    QWidget *page = TabSheetVideo;
    LabelVideoSource = Make<QLabel>(page, "LabelVideoSource");
    ComboBoxVideoSource = Make<QComboBox>(page, "ComboBoxVideoSource");
    LabelFPS = Make<QLabel>(page, "LabelFPS");
    ComboBoxFPS = Make<QComboBox>(page, "ComboBoxFPS");
    LabelVideoBitrate = Make<QLabel>(page, "LabelVideoBitrate");
    ComboBoxVideoBitrate = Make<QComboBox>(page, "ComboBoxVideoBitrate");
    LabelSize = Make<QLabel>(page, "LabelSize");
    ComboBoxSize = Make<QComboBox>(page, "ComboBoxSize");
    TrackBarBright = MakeSlider(page, "TrackBarBright");
    TrackBarContrast = MakeSlider(page, "TrackBarContrast");
    TrackBarHue = MakeSlider(page, "TrackBarHue");
    TrackBarSaturation = MakeSlider(page, "TrackBarSaturation");
    LabelWindow = Make<QLabel>(page, "LabelWindow");
    LabelSizeValues = Make<QLabel>(page, "LabelSizeValues");
    LabelX = Make<QLabel>(page, "LabelX");
    LabelY = Make<QLabel>(page, "LabelY");
    EditWindowX = Make<QLineEdit>(page, "EditWindowX");
    EditWindowY = Make<QLineEdit>(page, "EditWindowY");
    EditWindowW = Make<QLineEdit>(page, "EditWindowW");
    EditWindowH = Make<QLineEdit>(page, "EditWindowH");
    EditSizeH = Make<QLineEdit>(page, "EditSizeH");
    EditSizeV = Make<QLineEdit>(page, "EditSizeV");
    CheckBoxTextEn1 = Make<QCheckBox>(page, "CheckBoxTextEn1");
    CheckBoxTextEn2 = Make<QCheckBox>(page, "CheckBoxTextEn2");
    EditText1 = Make<QLineEdit>(page, "EditText1");
    EditText2 = Make<QLineEdit>(page, "EditText2");
    EditTextPos1 = Make<QLineEdit>(page, "EditTextPos1");
    EditTextPos2 = Make<QLineEdit>(page, "EditTextPos2");
    ButtonAdvanced = Make<QPushButton>(page, "ButtonAdvanced");

    auto *grid = new QGridLayout;
    Row(grid, 0, LabelVideoSource, ComboBoxVideoSource);
    Row(grid, 1, LabelFPS, ComboBoxFPS);
    Row(grid, 2, LabelVideoBitrate, ComboBoxVideoBitrate);
    Row(grid, 3, LabelSize, ComboBoxSize);
    auto *picture = new QGridLayout;
    picture->addWidget(TrackBarBright, 0, 0);
    picture->addWidget(TrackBarContrast, 0, 1);
    picture->addWidget(TrackBarHue, 1, 0);
    picture->addWidget(TrackBarSaturation, 1, 1);
    // Columns X and Y: the window's corner, its size, the encoded size.
    auto *window = new QGridLayout;
    window->addWidget(LabelX, 0, 1, Qt::AlignHCenter);
    window->addWidget(LabelY, 0, 2, Qt::AlignHCenter);
    window->addWidget(LabelWindow, 1, 0);
    window->addWidget(EditWindowX, 1, 1);
    window->addWidget(EditWindowY, 1, 2);
    window->addWidget(EditWindowW, 2, 1);
    window->addWidget(EditWindowH, 2, 2);
    window->addWidget(LabelSizeValues, 3, 0);
    window->addWidget(EditSizeH, 3, 1);
    window->addWidget(EditSizeV, 3, 2);
    window->setColumnStretch(3, 1);
    window->addWidget(ButtonAdvanced, 3, 4);
    auto *texts = new QGridLayout;
    texts->addWidget(CheckBoxTextEn1, 0, 0);
    texts->addWidget(EditText1, 0, 1);
    texts->addWidget(EditTextPos1, 0, 2);
    texts->addWidget(CheckBoxTextEn2, 1, 0);
    texts->addWidget(EditText2, 1, 1);
    texts->addWidget(EditTextPos2, 1, 2);
    texts->setColumnStretch(1, 1);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(grid);
    layout->addLayout(picture);
    layout->addLayout(window);
    layout->addLayout(texts);
    layout->addStretch(1);
  }

  // Audio page.
  {
    QWidget *page = TabSheetAudio;
    LabelAudioSource = Make<QLabel>(page, "LabelAudioSource");
    ComboBoxAudioSource = Make<QComboBox>(page, "ComboBoxAudioSource");
    LabelAudioMode = Make<QLabel>(page, "LabelAudioMode");
    ComboBoxAudioMode = Make<QComboBox>(page, "ComboBoxAudioMode");
    LabelAudioBitrate = Make<QLabel>(page, "LabelAudioBitrate");
    ComboBoxAudioBitrate = Make<QComboBox>(page, "ComboBoxAudioBitrate");
    LabelAudioGain = Make<QLabel>(page, "LabelAudioGain");
    TrackBarAudioGain = MakeSlider(page, "TrackBarAudioGain");
    LabelVolume = Make<QLabel>(page, "LabelVolume");
    TrackBarVolume = MakeSlider(page, "TrackBarVolume");
    CheckBoxAudioAGC = Make<QCheckBox>(page, "CheckBoxAudioAGC");
    auto *grid = new QGridLayout;
    Row(grid, 0, LabelAudioSource, ComboBoxAudioSource);
    Row(grid, 1, LabelAudioMode, ComboBoxAudioMode);
    Row(grid, 2, LabelAudioBitrate, ComboBoxAudioBitrate);
    Row(grid, 3, LabelAudioGain, TrackBarAudioGain);
    grid->addWidget(CheckBoxAudioAGC, 4, 1);
    Row(grid, 5, LabelVolume, TrackBarVolume);
    grid->setColumnStretch(1, 1);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(grid);
    layout->addStretch(1);
  }

  // Time page.
  {
    QWidget *page = TabSheetTime;
    GroupBoxGPSTime = Make<QGroupBox>(page, "GroupBoxGPSTime");
    QWidget *g = GroupBoxGPSTime;
    CheckBoxGPSTime = Make<QCheckBox>(g, "CheckBoxGPSTime");
    CheckBoxDST = Make<QCheckBox>(g, "CheckBoxDST");
    LabelTimeZone = Make<QLabel>(g, "LabelTimeZone");
    ComboBoxTimeZone = Make<QComboBox>(g, "ComboBoxTimeZone");
    auto *grid = new QGridLayout(GroupBoxGPSTime);
    grid->addWidget(CheckBoxGPSTime, 0, 0, 1, 2);
    Row(grid, 1, LabelTimeZone, ComboBoxTimeZone);
    grid->addWidget(CheckBoxDST, 2, 0, 1, 2);
    grid->setColumnStretch(2, 1);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(GroupBoxGPSTime);
    layout->addStretch(1);
  }

  // Adapter page: one row per input, the two flags in columns.
  {
    QWidget *page = TabSheetAdapter;
    GroupBoxAdapterControl = Make<QGroupBox>(page, "GroupBoxAdapterControl");
    QWidget *g = GroupBoxAdapterControl;
    LabelUseInput = Make<QLabel>(g, "LabelUseInput");
    LabelHighLevel = Make<QLabel>(g, "LabelHighLevel");
    QLabel **labels[kAdapterInputCount] = {&LabelInput0, &LabelInput1, &LabelInput2, &LabelInput3,
                                           &LabelInput4, &LabelInput5, &LabelInput6, &LabelInput7};
    QCheckBox **use[kAdapterInputCount] = {
        &CheckBoxUseInput0, &CheckBoxUseInput1, &CheckBoxUseInput2, &CheckBoxUseInput3,
        &CheckBoxUseInput4, &CheckBoxUseInput5, &CheckBoxUseInput6, &CheckBoxUseInput7};
    QCheckBox **high[kAdapterInputCount] = {
        &CheckBoxHighLevel0, &CheckBoxHighLevel1, &CheckBoxHighLevel2, &CheckBoxHighLevel3,
        &CheckBoxHighLevel4, &CheckBoxHighLevel5, &CheckBoxHighLevel6, &CheckBoxHighLevel7};
    auto *grid = new QGridLayout(GroupBoxAdapterControl);
    grid->addWidget(LabelUseInput, 0, 1, Qt::AlignHCenter);
    grid->addWidget(LabelHighLevel, 0, 2, Qt::AlignHCenter);
    for (int n = 0; n < kAdapterInputCount; ++n) {
      const QByteArray suffix = QByteArray::number(n);
      *labels[n] = Make<QLabel>(g, ("LabelInput" + suffix).constData());
      *use[n] = Make<QCheckBox>(g, ("CheckBoxUseInput" + suffix).constData());
      *high[n] = Make<QCheckBox>(g, ("CheckBoxHighLevel" + suffix).constData());
      grid->addWidget(*labels[n], n + 1, 0);
      grid->addWidget(*use[n], n + 1, 1, Qt::AlignHCenter);
      grid->addWidget(*high[n], n + 1, 2, Qt::AlignHCenter);
    }
    grid->setColumnStretch(3, 1);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(GroupBoxAdapterControl);
    layout->addStretch(1);
  }

  // Misc page.
  {
    QWidget *page = TabSheetMisc;
    GroupBoxPowerSave = Make<QGroupBox>(page, "GroupBoxPowerSave");
    QWidget *p = GroupBoxPowerSave;
    LabelBacklight = Make<QLabel>(p, "LabelBacklight");
    ComboBoxBacklight = Make<QComboBox>(p, "ComboBoxBacklight");
    LabelDisplayHide = Make<QLabel>(p, "LabelDisplayHide");
    ComboBoxDisplayHide = Make<QComboBox>(p, "ComboBoxDisplayHide");
    LabelDisplayOff = Make<QLabel>(p, "LabelDisplayOff");
    ComboBoxDisplayOff = Make<QComboBox>(p, "ComboBoxDisplayOff");
    LabelPowerOff = Make<QLabel>(p, "LabelPowerOff");
    ComboBoxPowerOff = Make<QComboBox>(p, "ComboBoxPowerOff");
    GroupBoxCPWR = Make<QGroupBox>(page, "GroupBoxCPWR");
    QWidget *c = GroupBoxCPWR;
    LabelCPWRMode = Make<QLabel>(c, "LabelCPWRMode");
    ComboBoxCPWRMode = Make<QComboBox>(c, "ComboBoxCPWRMode");
    LabelCPWRVoltage = Make<QLabel>(c, "LabelCPWRVoltage");
    ComboBoxCPWRVoltage = Make<QComboBox>(c, "ComboBoxCPWRVoltage");
    GroupBoxGPSPower = Make<QGroupBox>(page, "GroupBoxGPSPower");
    LabelGPSPower = Make<QLabel>(GroupBoxGPSPower, "LabelGPSPower");
    ComboBoxGPSPower = Make<QComboBox>(GroupBoxGPSPower, "ComboBoxGPSPower");
    auto *power = new QGridLayout(GroupBoxPowerSave);
    Row(power, 0, LabelBacklight, ComboBoxBacklight);
    Row(power, 1, LabelDisplayHide, ComboBoxDisplayHide);
    Row(power, 2, LabelDisplayOff, ComboBoxDisplayOff);
    Row(power, 3, LabelPowerOff, ComboBoxPowerOff);
    power->setColumnStretch(2, 1);
    auto *camera = new QGridLayout(GroupBoxCPWR);
    Row(camera, 0, LabelCPWRMode, ComboBoxCPWRMode);
    Row(camera, 1, LabelCPWRVoltage, ComboBoxCPWRVoltage);
    camera->setColumnStretch(1, 1);
    auto *gps = new QGridLayout(GroupBoxGPSPower);
    Row(gps, 0, LabelGPSPower, ComboBoxGPSPower);
    gps->setColumnStretch(1, 1);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(GroupBoxPowerSave);
    layout->addWidget(GroupBoxCPWR);
    layout->addWidget(GroupBoxGPSPower);
    layout->addStretch(1);
  }

  // Edit limits and masks.
  for (QLineEdit *e :
       {EditWindowX, EditWindowY, EditWindowW, EditWindowH, EditSizeH, EditSizeV, EditTextPos1,
        EditTextPos2, EditMDROIX, EditMDROIY, EditMDROIW, EditMDROIH}) {
    e->setMaxLength(kNumberEditMaxLength);
    e->setFixedWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 16);
  }
  for (QLineEdit *e : {EditText1, EditText2})
    e->setMaxLength(kTextEditMaxLength);
  for (QLineEdit *e : {MaskEditTimerTime, MaskEditTimerLength})
    e->setInputMask(QString::fromLatin1(kTimeInputMask));
  MaskEditTimerDate->setInputMask(QString::fromLatin1(kDateInputMask));
  for (QLineEdit *e : {MaskEditTimerTime, MaskEditTimerLength, MaskEditTimerDate})
    e->setFixedWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("00:00:000")) + 16);

  // Handlers. Edits and track bars commit when they are left.
  for (QComboBox *combo :
       {ComboBoxRecordMode, ComboBoxPrehistory, ComboBoxTimerMode, ComboBoxMDHold, ComboBoxVASHold,
        ComboBoxFPS, ComboBoxVideoBitrate, ComboBoxSize, ComboBoxAudioSource, ComboBoxAudioMode,
        ComboBoxAudioBitrate, ComboBoxTimeZone, ComboBoxBacklight, ComboBoxDisplayHide,
        ComboBoxDisplayOff, ComboBoxPowerOff, ComboBoxCPWRMode, ComboBoxCPWRVoltage,
        ComboBoxGPSPower})
    connect(combo, &QComboBox::currentIndexChanged, this, [this, combo] { ComboBoxChange(combo); });
  connect(ComboBoxVideoSource, &QComboBox::currentIndexChanged, this,
          [this] { ComboBoxVideoSourceChange(); });
  for (QLineEdit *e : {EditWindowX, EditWindowY, EditWindowW, EditWindowH, EditSizeH, EditSizeV,
                       EditTextPos1, EditTextPos2, EditMDROIX, EditMDROIY, EditMDROIW, EditMDROIH})
    CommitOnExit(e, [this, e] { EditNumChange(e); });
  for (QLineEdit *e : {MaskEditTimerTime, MaskEditTimerLength})
    CommitOnExit(e, [this, e] { EditTimeChange(e); });
  CommitOnExit(MaskEditTimerDate, [this] { EditDateChange(MaskEditTimerDate); });
  for (QLineEdit *e : {EditText1, EditText2}) {
    connect(e, &QLineEdit::textEdited, this, [this, e] { EditStrDataOnChange(e); });
    CommitOnExit(e, [this, e] { EditStrChange(e); });
  }
  for (QSlider *s :
       {TrackBarMDROI1, TrackBarMDROI2, TrackBarVASSens, TrackBarBright, TrackBarContrast,
        TrackBarHue, TrackBarSaturation, TrackBarAudioGain, TrackBarVolume}) {
    CommitOnExit(s, [this, s] { TrackBarChange(s); });
    // A slider moved with the mouse need not take the focus: commit when
    // it is let go, and steps made by keys or the wheel at once.
    connect(s, &QSlider::sliderReleased, this, [this, s] { TrackBarChange(s); });
    connect(s, &QSlider::valueChanged, this, [this, s] {
      if (!s->isSliderDown())
        TrackBarChange(s);
    });
  }
  for (QWidget *page : {TabSheetRecord, TabSheetAutostart, TabSheetVideo, TabSheetAudio,
                        TabSheetTime, TabSheetAdapter, TabSheetMisc}) {
    for (QCheckBox *b : page->findChildren<QCheckBox *>()) {
      if (b == CheckBoxDuplicate || b == CheckBoxAudioAGC || b == CheckBoxVASOn)
        continue;
      connect(b, &QCheckBox::toggled, this, [this, b] { CheckBoxChange(b); });
    }
  }
  connect(CheckBoxDuplicate, &QCheckBox::toggled, this, [this] { CheckBoxDuplicateClick(); });
  connect(CheckBoxAudioAGC, &QCheckBox::toggled, this, [this] { CheckBoxAudioAGCChange(); });
  connect(CheckBoxVASOn, &QCheckBox::toggled, this, [this] { CheckBoxVASOnChange(); });
  connect(TabControlTimers, &QTabBar::currentChanged, this, &TFormMain::TabTimerChange);
  connect(TabControlROI, &QTabBar::currentChanged, this, &TFormMain::TabControlROIChange);
  connect(TabControlROIRect, &QTabBar::currentChanged, this, &TFormMain::TabControlROIRectChange);
  connect(ButtonAdvanced, &QPushButton::clicked, this, [this] { ButtonAdvancedClick(); });

  // The page tabs take the focus when clicked, so that an edit commits
  // before the page is rebound.
  PageControlRecorderSetup->tabBar()->setFocusPolicy(Qt::StrongFocus);

  ImageList1 = {QPixmap::fromImage(SettingsBitmap(kIdleBitmap)),
                QPixmap::fromImage(SettingsBitmap(kMotionBitmap))};

  if (!ChooseCfgFile) {
    ChooseCfgFile = [this](bool save) {
      QFileDialog dialog(this);
      dialog.setObjectName(save ? QStringLiteral("SaveDialog1") : QStringLiteral("OpenDialog1"));
      dialog.setNameFilter(QString::fromLatin1(kCfgFileFilter));
      dialog.setDefaultSuffix(QString::fromLatin1(kCfgDefaultSuffix));
      dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
      dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
      if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
      return dialog.selectedFiles().constFirst();
    };
  }
  DrawSettingsPicture(0, nullptr);
}

void TFormMain::fitToPages() {
  // The window grows where the pages' texts need more room, never shrinks.
  ensurePolished();
  const QSize needed = minimumSizeHint();
  if (needed.width() > width() || needed.height() > height())
    setFixedSize(size().expandedTo(needed));
}

void TFormMain::CreateAdvancedDialogs() {
  // The window's owner creates them at start-up; a window made on its own
  // (tests) gets them on first use.
  if (!FormSetupCam)
    FormSetupCam = new TFormSetupCam(this);
  if (!FormSetupVin)
    FormSetupVin = new TFormSetupVin(this);
}

// ---- Binding ----------------------------------------------------------------

QWidget *TFormMain::currentSettingsPage() const {
  return PageControlRecorderSetup ? PageControlRecorderSetup->currentWidget() : nullptr;
}

void TFormMain::RefreshActiveSettingsPage() {
  if (CurrentLanguage() != pagesLanguage_) {
    // Every page gets the texts of the new language now, so that the window
    // is sized for all of them and no page shows the last language's texts.
    pagesLanguage_ = CurrentLanguage();
    BindRecordPage(DriveReady);
    BindAutostartPage(DriveReady);
    BindAreaControls(DriveReady);
    BindVideoPage(DriveReady);
    BindAudioPage(DriveReady);
    BindTimePage(DriveReady);
    BindAdapterPage(DriveReady);
    BindMiscPage(DriveReady);
    fitToPages();
  }
  QWidget *page = currentSettingsPage();
  const int tag = HasControlTag(page) ? ControlTag(page) : -1;
  const bool enable = DriveReady;
  switch (tag) {
  case kPageRecord:
    BindRecordPage(enable);
    break;
  case kPageAutostart:
    BindAudioPage(enable);
    BindAutostartPage(enable);
    BindAreaControls(enable);
    CollectRoiPicture();
    break;
  case kPageVideo:
    BindVideoPage(enable);
    break;
  case kPageAudio:
    BindAudioPage(enable);
    BindAutostartPage(enable);
    break;
  case kPageTime:
    BindTimePage(enable);
    break;
  case kPageAdapter:
    BindAdapterPage(enable);
    break;
  case kPageMisc:
    BindMiscPage(enable);
    break;
  default:
    break;
  }
  if (tag != kPageAutostart)
    DrawSettingsPicture(0, nullptr);
  // Widgets measure fully only once shown and polished: measure again when
  // the pages have been laid out.
  if (isVisible())
    QTimer::singleShot(0, this, [this] { fitToPages(); });
}

void TFormMain::BindRecordPage(bool enable) {
  BindGroupBox(GroupBoxTimers, txt::Timers);
  BindComboBox(ComboBoxRecordMode, GetChoiceList(ChoiceListId::RecordMode), enable,
               txt::RecordModeHint, kFieldRecordMode);
  BindComboBox(ComboBoxPrehistory, GetChoiceList(ChoiceListId::Prehistory), enable,
               txt::PrehistoryHint, kFieldPrehistory);
  BindLabel(LabelRecordMode, txt::RecordMode, enable);
  BindLabel(LabelPrehistory, txt::Prehistory, enable);
  BindCheckBox(CheckBoxDuplicate, kFieldDuplicate, enable, txt::DuplicateHint, txt::Duplicate, 0);
  BindCheckBox(CheckBoxAutoDec, kFieldVbrAutodec, enable, txt::AutoDecreaseHint, txt::AutoDecrease,
               0);
  BindTabs(TabControlTimers, nullptr, txt::TimersHint);
  BindTimerControls(enable);
}

void TFormMain::BindTimerControls(bool enable) {
  const int f = TimerField(std::clamp(TimerTab, 0, kTimerCount - 1));
  const int weekdays = f + kTimerFieldWeekdays;
  BindCheckBox(CheckBoxTimerEnable, weekdays, enable, txt::TimerOnHint, txt::On, kTimerOnBit);
  const std::array<QCheckBox *, kWeekdayCount> days{CheckBoxMo, CheckBoxTu, CheckBoxWe, CheckBoxTh,
                                                    CheckBoxFr, CheckBoxSa, CheckBoxSu};
  for (int d = 0; d < kWeekdayCount; ++d)
    BindCheckBox(days[static_cast<std::size_t>(d)], weekdays, enable, txt::WeekdayHint,
                 txt::Monday + d, d);
  BindTimeEdit(MaskEditTimerTime, f + kTimerFieldStartHours, enable, txt::TimerTimeHint);
  BindTimeEdit(MaskEditTimerLength, f + kTimerFieldLengthHours, enable, txt::TimerLengthHint);
  BindDateEdit(MaskEditTimerDate, f + kTimerFieldDay, enable, txt::TimerDateHint);
  BindComboBox(ComboBoxTimerMode, GetChoiceList(ChoiceListId::TimerMode), enable,
               txt::TimerModeHint, f + kTimerFieldMode);
  BindLabel(LabelTimerMode, txt::TimerMode, enable);
  BindLabel(LabelTimerDate, txt::Date, enable);
  BindLabel(LabelTimerTime, txt::Time, enable);
  BindLabel(LabelTimerLength, txt::Length, enable);
}

void TFormMain::BindAutostartPage(bool enable) {
  BindGroupBox(GroupBoxMD, txt::MotionDetection);
  BindGroupBox(GroupBoxVAS, txt::Vas);
  BindCheckBox(CheckBoxMDOn, kFieldAutoStartMode, enable, txt::MotionOnHint, txt::On, kMotionOnBit);
  BindCheckBox(CheckBoxVASOn, kFieldAutoStartMode, enable, txt::VasOnHint, txt::On, kVasOnBit);
  BindComboBox(ComboBoxMDHold, GetChoiceList(ChoiceListId::HoldTime), enable, txt::MotionHoldHint,
               kFieldMdDelay);
  BindComboBox(ComboBoxVASHold, GetChoiceList(ChoiceListId::HoldTime), enable, txt::VasHoldHint,
               kFieldVasDelay);
  BindTrackBar(TrackBarVASSens, kFieldVasSens, enable, txt::VasSensHint);
  BindLabel(LabelMDHold, txt::HoldTime, enable);
  BindLabel(LabelVASSens, txt::Sensitivity, enable);
  BindLabel(LabelVASHold, txt::HoldTime, enable);
}

void TFormMain::BindAreaControls(bool enable) {
  const int area = std::clamp(RoiArea, 0, kMdAreaCount - 1);
  const int rect = std::clamp(RoiRect, 0, kMdRectCount - 1);
  const int a = AreaField(area);
  const int r = RectField(area, rect);
  const ChoiceList &regions = GetChoiceList(ChoiceListId::RegionTabs);
  BindTabs(TabControlROI, &regions, txt::RegionTabsHint);
  BindTabs(TabControlROIRect, nullptr, txt::RectTabsHint);
  BindCheckBox(CheckBoxMDROIOn, a + kAreaFieldFlags, enable, txt::RegionOnHint, txt::On,
               kAreaOnBit);
  BindCheckBox(CheckBoxMDROIRectOn, a + kAreaFieldFlags, enable, txt::RectOnHint, txt::On, rect);
  BindTrackBar(TrackBarMDROI1, a + kAreaFieldBrightnessSens, enable, txt::BrightnessSensHint);
  BindTrackBar(TrackBarMDROI2, a + kAreaFieldSizeSens, enable, txt::ObjectSizeSensHint);
  BindNumberEdit(EditMDROIX, r + kRectX, enable, txt::RectXHint);
  BindNumberEdit(EditMDROIY, r + kRectY, enable, txt::RectXHint + 1);
  BindNumberEdit(EditMDROIW, r + kRectWidth, enable, txt::RectXHint + 2);
  BindNumberEdit(EditMDROIH, r + kRectHeight, enable, txt::RectXHint + 3);
  BindLabel(LabelMDSens, txt::Sensitivity, enable);
  BindLabel(LabelMDX, txt::X, enable);
  BindLabel(LabelMDY, txt::Y, enable);
}

void TFormMain::BindVideoPage(bool enable) {
  const int s = std::clamp(SourceIndex, 0, kSourceIndexCount - 1);
  const int family = FamilyOfSourceIndex(s);
  const int z = std::clamp<int>(GetField(FrameSizeField(family)), 0, kFrameSizeCount - 1);
  BindComboBox(ComboBoxVideoSource, GetChoiceList(ChoiceListId::VideoSource), enable,
               txt::VideoSourceHint, kFieldVSource);
  {
    const QSignalBlocker block(ComboBoxVideoSource);
    ComboBoxVideoSource->setCurrentIndex(s);
  }
  BindComboBox(ComboBoxFPS, GetChoiceList(FrameRateListFor(s)), enable, txt::FpsHint,
               FpsField(family));
  BindComboBox(ComboBoxVideoBitrate, GetChoiceList(ChoiceListId::VideoBitrate), enable,
               txt::VideoBitrateHint, VideoBitrateField(family));
  BindComboBox(ComboBoxSize, GetChoiceList(ChoiceListId::FrameSize), enable, txt::FrameSizeHint,
               FrameSizeField(family));
  const int picture = PictureGroupOfSourceIndex(s);
  const std::array<QSlider *, 4> sliders{TrackBarBright, TrackBarContrast, TrackBarHue,
                                         TrackBarSaturation};
  for (int i = 0; i < 4; ++i)
    BindTrackBar(sliders[static_cast<std::size_t>(i)], PictureField(picture, i), enable,
                 txt::BrightnessHint + i);
  BindNumberEdit(EditWindowX, WindowField(family, z, kWindowOffsetX), enable,
                 txt::WindowOffsetHint);
  BindNumberEdit(EditWindowY, WindowField(family, z, kWindowOffsetY), enable,
                 txt::WindowOffsetHint);
  BindNumberEdit(EditWindowW, WindowField(family, z, kWindowWidth), enable, txt::WindowWidthHint);
  BindNumberEdit(EditWindowH, WindowField(family, z, kWindowHeight), enable, txt::WindowHeightHint);
  BindNumberEdit(EditSizeH, WindowField(family, z, kWindowDecimationH), enable,
                 txt::OutputWidthHint);
  BindNumberEdit(EditSizeV, WindowField(family, z, kWindowDecimationV), enable,
                 txt::OutputHeightHint);
  BindCheckBox(CheckBoxTextEn1, kFieldTextState, enable, txt::Text1Hint, txt::Text1, 0);
  BindCheckBox(CheckBoxTextEn2, kFieldTextState, enable, txt::Text2Hint, txt::Text2, 1);
  BindTextEdit(EditText1, 0, enable, txt::OsdTextHint);
  BindTextEdit(EditText2, 1, enable, txt::OsdTextHint);
  BindNumberEdit(EditTextPos1, WindowField(family, z, kWindowTextCoord0), enable,
                 txt::Text1PosHint);
  BindNumberEdit(EditTextPos2, WindowField(family, z, kWindowTextCoord1), enable,
                 txt::Text2PosHint);
  BindButton(ButtonAdvanced, txt::Advanced, txt::AdvancedHint);
  ButtonAdvanced->setEnabled(enable);
  BindLabel(LabelVideoSource, txt::VideoSource, enable);
  BindLabel(LabelFPS, txt::Fps, enable);
  BindLabel(LabelVideoBitrate, txt::Bitrate, enable);
  BindLabel(LabelSize, txt::FrameSize, enable);
  BindLabel(LabelWindow, txt::Window, enable);
  BindLabel(LabelSizeValues, txt::FrameSize, enable);
  BindLabel(LabelX, txt::X, enable);
  BindLabel(LabelY, txt::Y, enable);
}

void TFormMain::BindAudioPage(bool enable) {
  BindComboBox(ComboBoxAudioSource, GetChoiceList(ChoiceListId::AudioSource), enable,
               txt::AudioSourceHint, kFieldASource);
  BindComboBox(ComboBoxAudioMode, GetChoiceList(ChoiceListId::AudioMode), enable,
               txt::AudioModeHint, kFieldAudioMode);
  BindComboBox(ComboBoxAudioBitrate, GetChoiceList(ChoiceListId::AudioBitrate), enable,
               txt::AudioBitrateHint, kFieldABitrate);
  BindTrackBar(TrackBarAudioGain, kFieldAudioGain, enable, txt::AudioGainHint);
  BindTrackBar(TrackBarVolume, kFieldVolume, enable, txt::VolumeHint);
  BindCheckBox(CheckBoxAudioAGC, kFieldAudioAgc, enable, txt::AgcHint, txt::Agc, 0);
  BindLabel(LabelAudioSource, txt::AudioSource, enable);
  BindLabel(LabelAudioMode, txt::AudioMode, enable);
  BindLabel(LabelAudioBitrate, txt::Bitrate, enable);
  BindLabel(LabelAudioGain, txt::Gain, enable);
  BindLabel(LabelVolume, txt::Volume, enable);
}

void TFormMain::BindTimePage(bool enable) {
  BindGroupBox(GroupBoxGPSTime, txt::GpsTime);
  BindCheckBox(CheckBoxGPSTime, kFieldGpsTime, enable, txt::UseGpsTimeHint, txt::UseGpsTime, 0);
  const bool g = enable && CheckBoxGPSTime->isChecked();
  BindCheckBox(CheckBoxDST, kFieldGpsDst, g, txt::DstHint, txt::Dst, 0);
  BindComboBox(ComboBoxTimeZone, GetChoiceList(ChoiceListId::TimeZone), g, txt::TimeZoneHint,
               kFieldGpsTimezone);
  BindLabel(LabelTimeZone, txt::TimeZone, g);
}

void TFormMain::BindAdapterPage(bool enable) {
  BindGroupBox(GroupBoxAdapterControl, txt::RecordStartConditions);
  const std::array<QCheckBox *, kAdapterInputCount> use{
      CheckBoxUseInput0, CheckBoxUseInput1, CheckBoxUseInput2, CheckBoxUseInput3,
      CheckBoxUseInput4, CheckBoxUseInput5, CheckBoxUseInput6, CheckBoxUseInput7};
  const std::array<QCheckBox *, kAdapterInputCount> high{
      CheckBoxHighLevel0, CheckBoxHighLevel1, CheckBoxHighLevel2, CheckBoxHighLevel3,
      CheckBoxHighLevel4, CheckBoxHighLevel5, CheckBoxHighLevel6, CheckBoxHighLevel7};
  const std::array<QLabel *, kAdapterInputCount> labels{LabelInput0, LabelInput1, LabelInput2,
                                                        LabelInput3, LabelInput4, LabelInput5,
                                                        LabelInput6, LabelInput7};
  for (int n = 0; n < kAdapterInputCount; ++n) {
    const auto i = static_cast<std::size_t>(n);
    BindCheckBox(use[i], kFieldAdaInput, enable, txt::UseInputHint, NoTextId, n);
    BindCheckBox(high[i], kFieldAdaLevel, enable, txt::HighLevelHint, NoTextId, n);
    BindLabel(labels[i], txt::Input0 + n, enable);
  }
  BindLabel(LabelUseInput, txt::UseInput, enable);
  BindLabel(LabelHighLevel, txt::HighLevel, enable);
}

void TFormMain::BindMiscPage(bool enable) {
  BindGroupBox(GroupBoxPowerSave, txt::RecorderParameters);
  BindGroupBox(GroupBoxCPWR, txt::CameraPower);
  BindGroupBox(GroupBoxGPSPower, txt::GpsPower);
  BindComboBox(ComboBoxBacklight, GetChoiceList(ChoiceListId::Backlight), enable,
               txt::BacklightHint, kFieldBacklight);
  BindComboBox(ComboBoxDisplayHide, GetChoiceList(ChoiceListId::HideControls), enable,
               txt::DisplayHideHint, kFieldDisplayHide);
  BindComboBox(ComboBoxDisplayOff, GetChoiceList(ChoiceListId::DisplayOff), enable,
               txt::DisplayOffHint, kFieldDisplayOff);
  BindComboBox(ComboBoxPowerOff, GetChoiceList(ChoiceListId::RecorderOff), enable,
               txt::PowerOffHint, kFieldRecorderOff);
  BindComboBox(ComboBoxCPWRMode, GetChoiceList(ChoiceListId::PowerMode), enable,
               txt::CameraPowerModeHint, kFieldCpwrMode);
  BindComboBox(ComboBoxCPWRVoltage, GetChoiceList(ChoiceListId::CameraVoltage), enable,
               txt::CameraVoltageHint, kFieldCpwrVoltage);
  BindComboBox(ComboBoxGPSPower, GetChoiceList(ChoiceListId::PowerMode), enable, txt::GpsPowerHint,
               kFieldGpsMode);
  BindLabel(LabelBacklight, txt::Backlight, enable);
  BindLabel(LabelDisplayHide, txt::DisplayHide, enable);
  BindLabel(LabelDisplayOff, txt::DisplayOff, enable);
  BindLabel(LabelPowerOff, txt::PowerOff, enable);
  BindLabel(LabelCPWRMode, txt::OperatingMode, enable);
  BindLabel(LabelCPWRVoltage, txt::Voltage, enable);
  BindLabel(LabelGPSPower, txt::OperatingMode, enable);
}

// ---- Handlers ---------------------------------------------------------------

void TFormMain::ComboBoxChange(QComboBox *combo) {
  if (!HasControlTag(combo))
    return;
  std::int32_t v = combo->currentIndex();
  if (SetField(ControlTag(combo), v))
    RefreshSettingsPages();
}

void TFormMain::ComboBoxVideoSourceChange() {
  const int index = ComboBoxVideoSource->currentIndex();
  if (index == SourceIndex || index < 0)
    return;
  SourceIndex = index;
  std::int32_t v = VSourceOfSourceIndex(index);
  SetField(kFieldVSource, v);
  RefreshSettingsPages();
}

// Commits what a bound edit shows and shows the value kept: an edit always
// ends up showing its field.
void TFormMain::CommitEdit(QLineEdit *edit, bool (*commit)(int, std::string_view, std::string &)) {
  if (!HasControlTag(edit))
    return;
  std::string shown;
  const bool changed = commit(ControlTag(edit), edit->text().toStdString(), shown);
  edit->setText(QString::fromStdString(shown));
  if (changed)
    RefreshSettingsPages();
}

void TFormMain::EditNumChange(QLineEdit *edit) {
  CommitEdit(edit, CommitNumberText);
}

void TFormMain::EditTimeChange(QLineEdit *edit) {
  CommitEdit(edit, CommitTimeText);
}

void TFormMain::EditDateChange(QLineEdit *edit) {
  CommitEdit(edit, CommitDateText);
}

void TFormMain::EditStrDataOnChange(QLineEdit *edit) {
  const QString filtered = QString::fromStdString(FilterOsdText(edit->text().toStdString()));
  if (filtered == edit->text())
    return;
  const int caret = std::min(edit->cursorPosition(), static_cast<int>(filtered.size()));
  const QSignalBlocker block(edit);
  edit->setText(filtered);
  edit->setCursorPosition(caret);
}

void TFormMain::EditStrChange(QLineEdit *edit) {
  if (!HasControlTag(edit))
    return;
  SetOsdText(ControlTag(edit), edit->text().toStdString());
  RefreshSettingsPages();
}

void TFormMain::TrackBarChange(QSlider *slider) {
  if (!HasControlTag(slider))
    return;
  std::int32_t v = slider->value();
  if (SetField(ControlTag(slider), v))
    RefreshSettingsPages();
}

void TFormMain::CheckBoxChange(QCheckBox *box) {
  if (!HasControlTag(box))
    return;
  const int tag = ControlTag(box);
  const int field = tag & kCheckBoxFieldMask;
  const int bit = tag >> kCheckBoxBitShift;
  const auto mask = static_cast<std::int32_t>(1u << bit);
  std::int32_t v = GetField(field);
  v = box->isChecked() ? (v | mask) : (v & ~mask);
  if (SetField(field, v))
    RefreshSettingsPages();
}

void TFormMain::CheckBoxDuplicateClick() {
  CheckBoxChange(CheckBoxDuplicate);
  if (!RefreshInProgress && CheckBoxDuplicate->isChecked())
    ShowMainMessage(txt::BitrateLimited, kMessageInformation);
}

void TFormMain::CheckBoxAudioAGCChange() {
  if (agcChanging_)
    return;
  agcChanging_ = true;
  if (!CheckBoxAudioAGC->isChecked() && CheckBoxVASOn->isChecked()) {
    if (ShowMainMessage(txt::AskVasOff, kMessageAskWarning) == kAnswerYes) {
      CheckBoxChange(CheckBoxAudioAGC);
      CheckBoxVASOn->setChecked(false); // its handler commits VAS off
    } else {
      CheckBoxAudioAGC->setChecked(true);
    }
  }
  CheckBoxChange(CheckBoxAudioAGC);
  agcChanging_ = false;
}

void TFormMain::CheckBoxVASOnChange() {
  if (vasChanging_)
    return;
  vasChanging_ = true;
  if (!CheckBoxAudioAGC->isChecked() && CheckBoxVASOn->isChecked()) {
    if (ShowMainMessage(txt::AskAgcOn, kMessageAskWarning) == kAnswerYes) {
      CheckBoxChange(CheckBoxVASOn);
      CheckBoxAudioAGC->setChecked(true); // its handler commits AGC on
    } else {
      CheckBoxVASOn->setChecked(false);
    }
  }
  CheckBoxChange(CheckBoxVASOn);
  vasChanging_ = false;
}

void TFormMain::TabTimerChange(int index) {
  // The edits still carry the fields of the timer shown so far.
  EditDateChange(MaskEditTimerDate);
  EditTimeChange(MaskEditTimerTime);
  EditTimeChange(MaskEditTimerLength);
  TimerTab = std::clamp(index, 0, kTimerCount - 1);
  BindTimerControls(DriveReady);
}

void TFormMain::TabControlROIChange(int index) {
  for (QLineEdit *e : {EditMDROIX, EditMDROIY, EditMDROIW, EditMDROIH})
    EditNumChange(e);
  RoiArea = std::clamp(index, 0, kMdAreaCount - 1);
  RefreshSettingsPages();
}

void TFormMain::TabControlROIRectChange(int index) {
  for (QLineEdit *e : {EditMDROIX, EditMDROIY, EditMDROIW, EditMDROIH})
    EditNumChange(e);
  RoiRect = std::clamp(index, 0, kMdRectCount - 1);
  RefreshSettingsPages();
}

void TFormMain::ButtonResetSettingsClick() {
  if (ShowMainMessage(txt::AskRestoreDefaults, kMessageAskWarning) != kAnswerYes)
    return;
  ResetToDefaults();
  SourceIndex = SourceIndexOfVSource(GetField(kFieldVSource));
  RefreshSettingsPages();
}

void TFormMain::ButtonCfgReadClick() {
  const QString name = ChooseCfgFile ? ChooseCfgFile(false) : QString();
  if (name.isEmpty())
    return;
  const bool read = ReadCfgFile(QFile::encodeName(name).toStdString(), false);
  SourceIndex = SourceIndexOfVSource(GetField(kFieldVSource));
  RefreshSettingsPages();
  if (!read)
    ShowMainMessage(txt::FileReadError, kMessageError);
}

void TFormMain::ButtonCfgSaveClick() {
  const QString name = ChooseCfgFile ? ChooseCfgFile(true) : QString();
  if (name.isEmpty())
    return;
  if (!WriteCfgFile(QFile::encodeName(name).toStdString(), false))
    ShowMainMessage(txt::WriteError, kMessageError);
}

void TFormMain::ButtonAdvancedClick() {
  if (!FormSetupCam || !FormSetupVin)
    CreateAdvancedDialogs();
  if (SourceIndex == 0)
    FormSetupCam->exec();
  else
    FormSetupVin->exec();
}

// ---- Motion-area picture ----------------------------------------------------

void TFormMain::DrawSettingsPicture(int mode, const RoiPicture *picture) {
  QPixmap shown = ImageList1.value(mode);
  if (mode == kMotionBitmap && picture && !shown.isNull())
    shown = QPixmap::fromImage(RenderRoiPicture(shown.toImage(), *picture, RoiDrawing));
  if (shown.isNull()) {
    ImageCfg->clear();
    return;
  }
  ImageCfg->setFixedSize(shown.size());
  ImageCfg->setPixmap(shown);
}

void TFormMain::CollectRoiPicture() {
  const int family = FamilyOfSourceIndex(std::clamp(SourceIndex, 0, kSourceIndexCount - 1));
  const int z = std::clamp<int>(GetField(FrameSizeField(family)), 0, kFrameSizeCount - 1);
  RoiPicture p;
  p.frameWidth = GetField(WindowField(family, z, kWindowDecimationH));
  p.frameHeight = GetField(WindowField(family, z, kWindowDecimationV));
  p.currentArea = std::clamp(RoiArea, 0, kMdAreaCount - 1);
  p.currentRect = std::clamp(RoiRect, 0, kMdRectCount - 1);
  for (int a = 0; a < kMdAreaCount; ++a) {
    orvo::RoiArea &area = p.areas[static_cast<std::size_t>(a)];
    const std::int32_t flags = GetField(AreaField(a) + kAreaFieldFlags);
    area.on = ((flags >> kAreaOnBit) & 1) != 0;
    for (int r = 0; r < kMdRectCount; ++r) {
      RoiRectangle &rect = area.rects[static_cast<std::size_t>(r)];
      rect.on = ((flags >> r) & 1) != 0;
      const int f = RectField(a, r);
      if (a == p.currentArea && r == p.currentRect) {
        // The edits may hold a drag not yet committed.
        rect.x = ParseEditNumber(EditMDROIX->text().toStdString());
        rect.y = ParseEditNumber(EditMDROIY->text().toStdString());
        rect.width = ParseEditNumber(EditMDROIW->text().toStdString());
        rect.height = ParseEditNumber(EditMDROIH->text().toStdString());
      } else {
        rect.x = GetField(f + kRectX);
        rect.y = GetField(f + kRectY);
        rect.width = GetField(f + kRectWidth);
        rect.height = GetField(f + kRectHeight);
      }
    }
  }
  DrawSettingsPicture(1, &p);
}

void TFormMain::ImageCfgMouseDown(Qt::MouseButton button, int x, int y) {
  QWidget *page = currentSettingsPage();
  if (button != Qt::LeftButton || !HasControlTag(page) || ControlTag(page) != kPageAutostart)
    return;
  // The picture edits what the rectangle's edits edit, and only while they
  // may be edited.
  if (!CheckBoxMDROIOn->isChecked() || !CheckBoxMDROIRectOn->isChecked() ||
      !EditMDROIX->isEnabled())
    return;
  DragActive = true;
  DragAnchor = QPoint(x, y);
  UpdateDraggedRectangle(x, y, false);
}

void TFormMain::ImageCfgMouseMove(int x, int y) {
  if (DragActive)
    UpdateDraggedRectangle(x, y, false);
}

void TFormMain::ImageCfgMouseUp(Qt::MouseButton button, int x, int y) {
  if (button != Qt::LeftButton || !DragActive)
    return;
  UpdateDraggedRectangle(x, y, true);
  DragActive = false;
}

void TFormMain::UpdateDraggedRectangle(int x, int y, bool commit) {
  const RoiRectangle r = DraggedRectangle(RoiDrawing, {DragAnchor.x(), DragAnchor.y()}, {x, y});
  const std::array<std::pair<QLineEdit *, std::int32_t>, 4> values{
      {{EditMDROIX, r.x}, {EditMDROIY, r.y}, {EditMDROIW, r.width}, {EditMDROIH, r.height}}};
  if (!commit) {
    for (const auto &[edit, value] : values)
      edit->setText(QString::number(value));
    CollectRoiPicture();
    return;
  }
  for (const auto &[edit, value] : values) {
    edit->setText(QString::number(value));
    EditNumChange(edit);
  }
}

} // namespace orvo
