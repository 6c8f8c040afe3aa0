#pragma once

// The settings page of the main window: card preparation and formatting,
// the program settings, and the recorder settings group beside them.

#include <QWidget>

class QGroupBox;
class QPushButton;
class QThread;

namespace orvo {

class TFormMain;
class TSetupForm;
class RecorderSettings;

class SettingsPage : public QWidget {
  Q_OBJECT
public:
  SettingsPage(TFormMain &frame, QWidget *parent);
  // Waits for a preparation still writing the card.
  ~SettingsPage() override;

  void Relabel();
  // The card came or went: preparation and formatting follow it.
  void CardAppeared();
  void CardGone();
  // While a scan or conversion runs, neither the card nor the program
  // settings may be changed.
  void SetJobRunning(bool running);

  // Writes the card on a thread of its own, so a slow card never freezes the
  // window; the result is shown when it is done.
  void ButtonPrepareClick();
  bool Preparing() const { return prepareThread_ != nullptr; }
  void ButtonFormatClick();
  void ButtonSetupClick();

  // Created after the window (start-up order).
  TSetupForm *SetupForm = nullptr;

  QGroupBox *GroupBoxPrepare;
  QPushButton *ButtonPrepare;
  QPushButton *ButtonFormat;
  QPushButton *ButtonClean;
  QGroupBox *GroupBoxProgramSettings;
  QPushButton *ButtonSetup;
  RecorderSettings *GroupBoxRecorderSetup;

signals:
  // Card preparation began (true) or ended.
  void jobRunningChanged(bool running);

private:
  QString MessageWithHint(int messageId) const;
  // Buttons as the record page's job state allows.
  void ApplyCommands();

  void PrepareDone(int messageId);

  TFormMain &frame_;
  QThread *prepareThread_ = nullptr;
};

} // namespace orvo
