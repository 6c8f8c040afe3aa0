#pragma once

// What the recorder settings need from the window that holds them, and all
// they know of it.

#include <string>

namespace orvo {

class SettingsHost {
public:
  // The card is ready: the settings controls and their buttons may be used.
  virtual bool CardReady() const = 0;
  // A message box of the window; answers the button pressed.
  virtual int ShowMainMessage(int textId, int type) = 0;
  // Run after every committed change: the window relabels itself when the
  // language changed, then has the active settings page rebound.
  virtual void RefreshSettingsPages() = 0;
  // Where the configuration file dialogs start: the card's folder when there
  // is one.
  virtual std::string CardFolder() const { return {}; }

protected:
  ~SettingsHost() = default;
};

} // namespace orvo
