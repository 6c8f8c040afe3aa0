#include "config/Cfg_mgr.h"
#include "config/ui/FormSetupCam.h"
#include "config/ui/FormSetupVin.h"
#include "settings/Stringcode.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

using namespace orvo;

namespace {

class AdvancedDialogs : public ::testing::Test {
protected:
  void SetUp() override {
    ResetLanguages();
    ResetToDefaults();
  }
  void TearDown() override { ResetToDefaults(); }
};

} // namespace

TEST_F(AdvancedDialogs, CameraDialogAfterResetShowsTheDefaults) {
  TFormSetupCam dialog;
  dialog.show();
  EXPECT_EQ(dialog.TrackBarVSGain->value(), 128);
  EXPECT_EQ(dialog.TrackBarDenoise->value(), 16);
  EXPECT_EQ(dialog.ComboBoxOrientation->currentText(), QStringLiteral("Normal"));
  EXPECT_EQ(dialog.TrackBarVSGain->maximum(), 255);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Advanced settings for built-in camera"));
  EXPECT_EQ(dialog.LabelDenoise->text(), QStringLiteral("De-noise filter"));
  EXPECT_TRUE(dialog.TrackBarVSGain->isEnabled());
  EXPECT_GE(dialog.width(), 355);
  EXPECT_GE(dialog.height(), 129);
  dialog.OkButton->click();
  EXPECT_FALSE(dialog.isVisible());
}

TEST_F(AdvancedDialogs, CameraTrackBarIsStoredWhenTheDialogCloses) {
  TFormSetupCam dialog;
  dialog.show();
  dialog.TrackBarDenoise->setValue(200);
  EXPECT_EQ(GetField(kFieldVsDenoise), 16); // not before it is left
  dialog.OkButton->click();
  EXPECT_EQ(GetField(kFieldVsDenoise), 200);
  dialog.show();
  dialog.ComboBoxOrientation->setCurrentIndex(3);
  EXPECT_EQ(GetField(kFieldCamOrientation), 3);
  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(GetField(kFieldVsDenoise), 200);
}

TEST_F(AdvancedDialogs, VideoInputDialogStoresSecamAsFour) {
  TFormSetupVin dialog;
  dialog.show();
  EXPECT_EQ(dialog.ComboBoxColorSystem->currentText(), QStringLiteral("Auto"));
  ASSERT_EQ(dialog.ComboBoxColorSystem->count(), 5);
  dialog.ComboBoxColorSystem->setCurrentIndex(dialog.ComboBoxColorSystem->findText("SECAM"));
  dialog.OkButton->click();
  EXPECT_EQ(GetField(kFieldAvColorSys), 4);
  dialog.show();
  EXPECT_EQ(dialog.ComboBoxColorSystem->currentText(), QStringLiteral("SECAM"));
  dialog.OkButton->click();
}

TEST_F(AdvancedDialogs, DialogsFollowTheLanguage) {
  SelectLanguage(1);
  TFormSetupVin dialog;
  dialog.show();
  EXPECT_EQ(dialog.windowTitle().toStdString(), std::string(BuiltInRussian[292]));
  EXPECT_EQ(dialog.OkButton->text().toStdString(), std::string(BuiltInRussian[209]));
  EXPECT_GE(dialog.width(), dialog.sizeHint().width());
  dialog.OkButton->click();
  ResetLanguages();
}
