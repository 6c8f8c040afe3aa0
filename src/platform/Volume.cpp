#include "platform/Volume.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <fstream>
#include <linux/magic.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#endif

namespace orvo::platform {

#ifdef _WIN32

CriticalErrorGuard::CriticalErrorGuard() : previousMode_(SetErrorMode(SEM_FAILCRITICALERRORS)) {}

CriticalErrorGuard::~CriticalErrorGuard() {
  SetErrorMode(previousMode_);
}

bool IsFolderReady(const std::string &folder) {
  CriticalErrorGuard guard;
  ULARGE_INTEGER total{};
  return GetDiskFreeSpaceExA(folder.c_str(), nullptr, &total, nullptr) != 0;
}

bool ProbeVolume(const std::string &folder, VolumeFacts &facts) {
  CriticalErrorGuard guard;
  facts = {};
  char root[MAX_PATH + 1] = {};
  char fsName[MAX_PATH + 1] = {};
  if (!GetVolumePathNameA(folder.c_str(), root, MAX_PATH) ||
      !GetVolumeInformationA(root, nullptr, 0, nullptr, nullptr, nullptr, fsName, MAX_PATH))
    return false;
  const std::string name = fsName;
  facts.isFat = name == "FAT32" || name == "FAT" || name == "FAT16" || name == "FAT12";
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
  if (facts.isFat &&
      GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
    facts.dataClusters = clusters;
  // The system names the type itself; the cluster count then only confirms it.
  if (name == "FAT32" && facts.dataClusters < 65525)
    facts.dataClusters = 65525;
  return true;
}

bool FindMountSource(const std::string &, std::string &device, std::string &fsType) {
  device.clear();
  fsType.clear();
  return false;
}

#else

CriticalErrorGuard::CriticalErrorGuard() = default;
CriticalErrorGuard::~CriticalErrorGuard() = default;

bool IsFolderReady(const std::string &folder) {
  if (folder.empty())
    return false;
  struct stat st {};
  if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
    return false;
  DIR *dir = opendir(folder.c_str());
  if (dir == nullptr)
    return false;
  closedir(dir);
  struct statvfs vfs {};
  return statvfs(folder.c_str(), &vfs) == 0;
}

bool ProbeVolume(const std::string &folder, VolumeFacts &facts) {
  facts = {};
  struct statfs fs {};
  if (folder.empty() || statfs(folder.c_str(), &fs) != 0)
    return false;
  // Linux's FAT driver reports the data clusters as the block count and the
  // cluster size as the block size.
  facts.isFat = fs.f_type == MSDOS_SUPER_MAGIC;
  facts.dataClusters = facts.isFat ? static_cast<std::uint64_t>(fs.f_blocks) : 0;
  return true;
}

// Fields of /proc/self/mountinfo have blanks, tabs, newlines and
// backslashes written as a backslash and three octal digits.
std::string UnescapeMountField(const std::string &field) {
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' && field[i + 1] <= '3' &&
        field[i + 2] >= '0' && field[i + 2] <= '7' && field[i + 3] >= '0' && field[i + 3] <= '7') {
      out.push_back(static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                      (field[i + 3] - '0')));
      i += 3;
    } else {
      out.push_back(field[i]);
    }
  }
  return out;
}

bool FindMountSource(const std::string &folder, std::string &device, std::string &fsType) {
  device.clear();
  fsType.clear();
  struct stat st {};
  if (folder.empty() || stat(folder.c_str(), &st) != 0)
    return false;
  const std::string wanted =
      std::to_string(major(st.st_dev)) + ":" + std::to_string(minor(st.st_dev));
  std::ifstream in("/proc/self/mountinfo");
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string id, parent, devices, field;
    if (!(fields >> id >> parent >> devices) || devices != wanted)
      continue;
    // Optional fields end with a lone "-"; type and source follow.
    while (fields >> field && field != "-") {
    }
    std::string type, source;
    if (field == "-" && fields >> type >> source) {
      fsType = UnescapeMountField(type);
      device = UnescapeMountField(source);
      return true;
    }
  }
  return false;
}

#endif

bool IsFat32Volume(const std::string &folder, VolumeProbe probe) {
  VolumeFacts facts;
  if (probe == nullptr || !probe(folder, facts))
    return false;
  return facts.isFat && IsFat32ClusterCount(facts.dataClusters);
}

} // namespace orvo::platform
