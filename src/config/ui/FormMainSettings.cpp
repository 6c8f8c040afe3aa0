// The recorder settings pages of the main window: their controls, the
// rebinding of the active page by its Tag, the configuration file commands
// and the motion-area picture.
#include "app/ui/FormMain.h"

namespace orvo {

// Builds the controls of the seven pages, sets the pages' state and shows the
// idle picture; called once by the constructor before the first labelling.
void TFormMain::BuildRecorderSetupPages() {}

// Rebinds the active page (chosen by its Tag) with DriveReady deciding
// whether its controls may be enabled.
void TFormMain::RefreshActiveSettingsPage() {}

void TFormMain::ButtonResetSettingsClick() {}
void TFormMain::ButtonCfgReadClick() {}
void TFormMain::ButtonCfgSaveClick() {}
void TFormMain::ButtonAdvancedClick() {}
void TFormMain::ImageCfgMouseDown(Qt::MouseButton, int, int) {}
void TFormMain::ImageCfgMouseMove(int, int) {}
void TFormMain::ImageCfgMouseUp(Qt::MouseButton, int, int) {}

} // namespace orvo
