// Card detection, preparation, formatting and the firmware page of the main
// window. The drive polling only polls: it never waits for a worker.
#include "app/ui/FormMain.h"

namespace orvo {

void TFormMain::TimerCheckDriveTimer() {}
void TFormMain::ButtonPrepareClick() {}
void TFormMain::ButtonFormatClick() {}
void TFormMain::ButtonFwRefreshClick() {}
void TFormMain::ButtonFwCopyToCardClick() {}
void TFormMain::ButtonFwCopyFromCardClick() {}

} // namespace orvo
