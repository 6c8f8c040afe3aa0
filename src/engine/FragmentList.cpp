#include "engine/Storagex4tft.h"

#include "platform/FileSystem.h"

#include <algorithm>
#include <cstdio>

namespace orvo {

namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z')
      x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z')
      y = static_cast<char>(y - 'a' + 'A');
    if (x != y)
      return false;
  }
  return true;
}

// The number in `name` when it is exactly prefix + decimal digits + suffix as
// the recorder writes it ("DIR00012", "F0001234.mp4"; more digits once the
// numbers outgrow the field). Case is ignored: FAT ignores it too, and copies
// made on other systems sometimes change it.
bool ParseNumbered(std::string_view name, std::string_view prefix, std::string_view suffix,
                   const char *format, std::uint32_t &number) {
  if (name.size() <= prefix.size() + suffix.size() || name.size() > 32)
    return false;
  const std::string_view digits =
      name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
  std::uint64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9')
      return false;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value > 0xFFFFFFFFu)
      return false;
  }
  number = static_cast<std::uint32_t>(value);
  char canonical[48];
  std::snprintf(canonical, sizeof canonical, format, number);
  return SameIgnoringCase(name, canonical);
}

} // namespace

void TStorageX4TFT::ListFragments(const std::string &recordFolder, std::uint32_t first,
                                  std::uint32_t last, std::vector<Fragment> &found,
                                  std::uint64_t &missing, std::uint32_t &firstMissing) {
  found.clear();
  const std::uint64_t range = first <= last ? std::uint64_t{last} - first + 1 : 0;
  std::vector<platform::DirEntry> folders, files;
  if (range > 0 && !recordFolder.empty())
    platform::FindEntries(recordFolder, "*", false, folders);
  for (const platform::DirEntry &folder : folders) {
    std::uint32_t n = 0;
    if (!folder.isDirectory || !ParseNumbered(folder.name, "DIR", "", FragmentFolderFormat, n) ||
        n < first / 100 || n > last / 100)
      continue;
    const std::string prefix = recordFolder + folder.name + platform::kPathSeparator;
    if (!platform::FindEntries(prefix, "*", false, files))
      continue;
    for (const platform::DirEntry &file : files) {
      std::uint32_t k = 0;
      // A fragment counts only in the folder its number belongs to, where
      // the recorder puts it.
      if (!file.isDirectory && ParseNumbered(file.name, "F", ".mp4", FragmentFileFormat, k) &&
          k / 100 == n && k >= first && k <= last)
        found.push_back({k, prefix + file.name, platform::FileSizeOf(prefix + file.name)});
    }
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const Fragment &a, const Fragment &b) { return a.number < b.number; });
  // Two spellings of one number (a copy onto a case-sensitive disk) are one
  // fragment.
  found.erase(std::unique(found.begin(), found.end(),
                          [](const Fragment &a, const Fragment &b) { return a.number == b.number; }),
              found.end());
  missing = range - found.size();
  firstMissing = first;
  for (const Fragment &f : found) {
    if (f.number != firstMissing)
      break;
    ++firstMissing;
  }
}

} // namespace orvo
