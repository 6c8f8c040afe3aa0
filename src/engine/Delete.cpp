#include "engine/Storagex4tft.h"

#include "platform/FileSystem.h"

namespace orvo {

// Removes exactly the files and folders of the card layout that belong to the
// record, each path built from the catalog entry and the fixed name formats
// below the input folder: never a recursive delete, and a folder that still
// holds anything else stays.
bool TStorageX4TFT::DeleteChecked() {
  bool result = true;
  bool expected = false;
  if (Busy.compare_exchange_strong(expected, true)) {
    CancelRequested = false;
    std::int64_t total = 0;
    for (std::uint32_t i = 0; i < Count; ++i) {
      if (Entries[i].Marks & kMarkChecked)
        total += static_cast<std::int64_t>(Entries[i].FragmentCount) + 1;
    }
    ProgressDone = 0;
    ProgressTotal = static_cast<std::int32_t>(total);

    for (std::uint32_t i = 0; i < Count && !CancelRequested; ++i) {
      const RecordEntry &e = Entries[i];
      if (!(e.Marks & kMarkChecked))
        continue;
      const std::string folder = RecordFolderPath(i);
      for (std::uint32_t j = e.FirstFragment; j <= e.LastFragment; ++j) {
        const std::string sub = folder + FragmentFolderName(j);
        if (!platform::DeleteFile(sub + FragmentFileName(j))) {
          result = false;
          break;
        }
        if ((j % 100 == 99 || j == e.LastFragment) && !platform::RemoveDirectory(sub)) {
          result = false;
          break;
        }
        ProgressDone = ProgressDone + 1;
        if (j == e.LastFragment) // the last number may be 0xFFFFFFFF
          break;
      }
      if ((e.Attributes & kAttrGps) && !platform::DeleteFile(folder + GpsFileName(i)))
        result = false;
      if (!platform::DeleteFile(folder + RecordFileName))
        result = false;
      if (!platform::RemoveDirectory(folder))
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
