#include "engine/Storagex4tft.h"

#include "platform/Error.h"
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "settings/AddedTexts.h"

#include <cstring>
#include <vector>

namespace orvo {

namespace {

// Decimal value of name[first..first+count), false when any of them is not
// a digit (such a folder is simply not a record).
bool ParseDigits(const std::string &name, std::size_t first, std::size_t count,
                 std::uint32_t &value) {
  if (first + count > name.size())
    return false;
  value = 0;
  for (std::size_t i = first; i < first + count; ++i) {
    if (name[i] < '0' || name[i] > '9')
      return false;
    value = value * 10 + static_cast<std::uint32_t>(name[i] - '0');
  }
  return true;
}

// The folder name "R<number>_D<yymmdd>_T<hhmmss>" must agree with the record
// file; the six two-digit values compare as 8-bit values.
bool NameMatchesEntry(const std::string &name, const RecordEntry &e) {
  std::uint32_t number, v[6];
  if (!ParseDigits(name, 1, 8, number) || number != e.RecordNumber)
    return false;
  static const std::size_t kPos[6] = {11, 13, 15, 19, 21, 23};
  const std::uint8_t fields[6] = {e.Year, e.Month, e.Day, e.Hour, e.Minute, e.Second};
  for (int i = 0; i < 6; ++i) {
    if (!ParseDigits(name, kPos[i], 2, v[i]) || static_cast<std::uint8_t>(v[i]) != fields[i])
      return false;
  }
  return true;
}

// Reads the record file of a record folder: true when it is a record file
// for `name`, else false with why in `why`.
bool ReadRecordFile(const std::string &path, const std::string &name, RecordEntry &entry,
                    TStorageX4TFT::UnreadableRecord &why) {
  platform::File file;
  if (!file.OpenRead(path) || file.Size() < 0) {
    why.reason = platform::LastErrorText();
    return false;
  }
  if (file.Size() < static_cast<std::int64_t>(sizeof entry))
    why.reasonTextId = txt::RecordFileShort;
  else if (file.ReadAt(&entry, sizeof entry, 0) != static_cast<std::int64_t>(sizeof entry))
    why.reason = platform::LastErrorText();
  else if (!HasValidSignature(entry))
    why.reasonTextId = txt::RecordFileSignature;
  else if (!NameMatchesEntry(name, entry))
    why.reasonTextId = txt::RecordFileOtherRecord;
  else
    return true;
  return false;
}

} // namespace

bool TStorageX4TFT::ScanRecords() {
  bool expected = false;
  if (!Busy.compare_exchange_strong(expected, true))
    return true;
  Count = 0;
  Outcomes.clear();
  Unreadable.clear();
  // From now on the catalog belongs to this folder, whatever the input
  // folder says later.
  CatalogFolder = InputFolder;
  bool result = true;

  // An empty input folder names no card (and never the current directory).
  std::vector<platform::DirEntry> entries;
  if (!InputFolder.empty())
    platform::FindEntries(InputFolder, RecordFolderPattern, true, entries);
  for (const auto &entry : entries) {
    if (CancelRequested)
      break;
    // A plain file named like a record folder is no record at all.
    if (!entry.isDirectory)
      continue;
    if (static_cast<std::int64_t>(Count) >= Capacity && !GrowCatalog(Count + kCatalogStep)) {
      result = false;
      break;
    }
    RecordEntry candidate;
    const std::string file = InputFolder + entry.name + platform::kPathSeparator + RecordFileName;
    UnreadableRecord why{entry.name, {}, 0};
    if (!ReadRecordFile(file, entry.name, candidate, why)) {
      Unreadable.push_back(std::move(why));
      continue;
    }
    Entries[Count] = candidate;
    Count = Count + 1;
  }
  SummariseTracks();
  CancelRequested = false;
  Busy = false;
  return result;
}

} // namespace orvo
