#include "platform/Volume.h"

#include "platform/Utf16.h"

#include <windows.h>

#include <vector>

namespace orvo::platform {

namespace {

std::wstring WithBackslash(std::wstring path) {
  if (!path.empty() && path.back() != L'\\' && path.back() != L'/')
    path.push_back(L'\\');
  return path;
}

// The root of the volume holding `wide` ("E:\", or the folder a volume is
// mounted on); empty when the system cannot say.
std::wstring VolumeRootOf(const std::wstring &wide) {
  std::vector<wchar_t> root(wide.size() + MAX_PATH + 1);
  if (!GetVolumePathNameW(wide.c_str(), root.data(), static_cast<DWORD>(root.size())))
    return {};
  return WithBackslash(root.data());
}

} // namespace

// SEM_FAILCRITICALERRORS is the whole point; SEM_NOOPENFILEERRORBOX keeps
// the other box of a missing medium away too.
CriticalErrorGuard::CriticalErrorGuard() {
  DWORD previous = 0;
  if (SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous))
    previousMode_ = previous;
}

CriticalErrorGuard::~CriticalErrorGuard() {
  SetThreadErrorMode(previousMode_, nullptr);
}

bool IsFolderReady(const std::string &folder) {
  std::wstring wide;
  if (folder.empty() || !WidePath(folder, wide))
    return false;
  CriticalErrorGuard guard;
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
    return false;
  // The drive size query: an absent or unreadable medium has no size.
  ULARGE_INTEGER total{};
  return GetDiskFreeSpaceExW(WithBackslash(wide).c_str(), nullptr, &total, nullptr) != 0;
}

std::string DriveQueryFolder(std::uint8_t drive, const std::string &) {
  if (drive > 25)
    return {};
  return std::string(1, static_cast<char>('A' + drive)) + ":\\";
}

bool ProbeVolume(const std::string &folder, VolumeFacts &facts) {
  facts = {};
  std::wstring wide;
  if (folder.empty() || !WidePath(folder, wide))
    return false;
  CriticalErrorGuard guard;
  // The system names a volume even for a path that is not there.
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return false;
  const std::wstring root = VolumeRootOf(wide);
  wchar_t fsName[MAX_PATH + 1] = {};
  if (root.empty() ||
      !GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, nullptr, nullptr, fsName,
                             MAX_PATH + 1))
    return false;
  const std::wstring name = fsName;
  facts.isFat = name == L"FAT32" || name == L"FAT" || name == L"FAT16" || name == L"FAT12";
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
  if (facts.isFat &&
      GetDiskFreeSpaceW(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters,
                        &clusters))
    facts.dataClusters = clusters;
  // The system names the type itself; the cluster count then only confirms
  // it (it reports at most what fits its old 32-bit fields).
  if (name == L"FAT32" && facts.dataClusters < 65525)
    facts.dataClusters = 65525;
  else if (name != L"FAT32" && facts.dataClusters >= 65525)
    facts.dataClusters = 65524;
  return true;
}

bool IsVolumeRoot(const std::string &path) {
  std::wstring wide;
  if (path.empty() || !WidePath(path, wide))
    return false;
  CriticalErrorGuard guard;
  const DWORD need = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  std::vector<wchar_t> full(need + 1);
  if (need == 0 || GetFullPathNameW(wide.c_str(), need + 1, full.data(), nullptr) == 0)
    return false;
  const std::wstring folder = WithBackslash(full.data());
  const std::wstring root = VolumeRootOf(folder);
  return !root.empty() &&
         CompareStringOrdinal(folder.c_str(), -1, root.c_str(), -1, TRUE) == CSTR_EQUAL;
}

bool FindMountSource(const std::string &, std::string &device, std::string &fsType) {
  // Windows formats a drive by its letter; there is no device to look up.
  device.clear();
  fsType.clear();
  return false;
}

} // namespace orvo::platform
