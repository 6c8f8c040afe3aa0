// The record page of the main window: scan, conversion, the record list and
// its commands. The list and its jobs are filled in by the record-list work;
// until then the handlers do nothing.
#include "app/ui/FormAbout.h"
#include "app/ui/FormMain.h"

namespace orvo {

void TFormMain::ButtonScanClick() {}
void TFormMain::ButtonConvertClick() {}
void TFormMain::TimerCommonTimer() {}
void TFormMain::ButtonSetAllClick() {}
void TFormMain::ButtonClearAllClick() {}
void TFormMain::ButtonFilteringClick() {}
void TFormMain::ButtonOpenFolderClick() {}
void TFormMain::ButtonDeletingClick() {}
void TFormMain::ListViewRecordColumnClick(int) {}
int TFormMain::ListViewRecordCompare(const QTreeWidgetItem *, const QTreeWidgetItem *) const {
  return 0;
}
void TFormMain::FillRecordList() {}
void TFormMain::PushChecks() {}
void TFormMain::BeginScan() {}
void TFormMain::EndScan() {}
void TFormMain::BeginConvert() {}
void TFormMain::EndConvert() {}

void TFormMain::SpeedButtonInfoClick() {
  if (FormAbout != nullptr)
    FormAbout->ShowAbout(windowTitle());
}

} // namespace orvo
