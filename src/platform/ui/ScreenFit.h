#pragma once

class QDialog;

namespace orvo {

// Each time the dialog is shown it is kept within the available area of its
// screen, whatever the scale factor: its minimum and first sizes give way to
// the screen, and content that needs more room than the screen has scrolls
// rather than being cut off.
void KeepOnScreen(QDialog *dialog);

} // namespace orvo
