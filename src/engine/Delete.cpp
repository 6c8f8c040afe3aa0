#include "engine/Storagex4tft.h"

#include "platform/Folder.h"

namespace orvo {

// Removes exactly the files and folders of the card layout that belong to the
// record, each by name inside a handle on its folder in the catalog's folder:
// never a recursive delete, a folder that still holds anything else stays, a
// link where a folder belongs is never entered (the record's deletion ends
// there), and a link where a file belongs is removed itself, not its target.
bool TStorageX4TFT::DeleteChecked() {
  bool result = true;
  bool expected = false;
  if (Busy.compare_exchange_strong(expected, true)) {
    std::int64_t total = 0;
    for (std::uint32_t i = 0; i < Count; ++i) {
      if (Entries[i].Marks & kMarkChecked)
        total += static_cast<std::int64_t>(Entries[i].FragmentCount) + 1;
    }
    ProgressDone = 0;
    ProgressTotal = static_cast<std::int32_t>(total);

    platform::Folder root;
    const bool rootOpen = !CatalogFolder.empty() && root.Open(CatalogFolder);
    for (std::uint32_t i = 0; i < Count && !CancelRequested; ++i) {
      const RecordEntry &e = Entries[i];
      if (!(e.Marks & kMarkChecked))
        continue;
      const std::string name = FolderName(e);
      platform::Folder record;
      if (!rootOpen || !record.OpenChild(root, name)) {
        result = false;
        continue;
      }
      platform::Folder fragments;
      std::string fragmentsName;
      for (std::uint32_t j = e.FirstFragment; j <= e.LastFragment; ++j) {
        std::string sub = FragmentFolderName(j);
        sub.pop_back(); // the separator
        if (sub != fragmentsName) {
          fragmentsName = sub;
          if (!fragments.OpenChild(record, sub)) {
            result = false;
            break;
          }
        }
        if (!fragments.RemoveFile(FragmentFileName(j))) {
          result = false;
          break;
        }
        if (j % 100 == 99 || j == e.LastFragment) {
          fragments.Close();
          fragmentsName.clear();
          if (!record.RemoveFolder(sub)) {
            result = false;
            break;
          }
        }
        ProgressDone = ProgressDone + 1;
        if (j == e.LastFragment) // the last number may be 0xFFFFFFFF
          break;
      }
      if ((e.Attributes & kAttrGps) && !record.RemoveFile(GpsFileName(i)))
        result = false;
      if (!record.RemoveFile(RecordFileName))
        result = false;
      record.Close();
      if (!root.RemoveFolder(name))
        result = false;
    }
    ProgressDone = 0;
    ProgressTotal = 0;
    Busy = false;
  } else {
    // Another job runs: nothing is deleted and no scan is started.
    return true;
  }
  const bool scanned = ScanRecords();
  return scanned && result;
}

} // namespace orvo
