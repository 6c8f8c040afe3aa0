#pragma once

// Shared frame of the two advanced settings dialogs: fixed size no smaller
// than the designed client area, no border icons.

class QDialog;

namespace orvo {

void ApplyAdvancedDialogStyle(QDialog *dialog, int clientWidth, int clientHeight);
// Keeps the dialog at its designed size unless its texts need more room.
void FitAdvancedDialog(QDialog *dialog, int clientWidth, int clientHeight);

} // namespace orvo
