#include "platform/Volume.h"

#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <linux/magic.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>

namespace orvo::platform {

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

namespace {

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

// Answers through `isMount`; false when the mount table cannot be read.
bool InMountTable(const std::string &canonical, bool &isMount) {
  std::ifstream in("/proc/self/mountinfo");
  if (!in)
    return false;
  std::string line;
  bool any = false;
  isMount = false;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string id, parent, devices, root, mountPoint;
    if (!(fields >> id >> parent >> devices >> root >> mountPoint))
      continue;
    any = true;
    if (UnescapeMountField(mountPoint) == canonical) {
      isMount = true;
      break;
    }
  }
  return any;
}

} // namespace

bool IsVolumeRoot(const std::string &path) {
  char *resolved = realpath(path.c_str(), nullptr);
  if (resolved == nullptr)
    return false;
  const std::string canonical = resolved;
  std::free(resolved);
  bool isMount = false;
  if (InMountTable(canonical, isMount))
    return isMount;
  // Without a mount table: a mount point sits on another device than its
  // parent, or is the root itself.
  struct stat self {
  }, parent{};
  if (stat(canonical.c_str(), &self) != 0 || !S_ISDIR(self.st_mode))
    return false;
  if (canonical == "/")
    return true;
  if (stat((canonical + "/..").c_str(), &parent) != 0)
    return false;
  return self.st_dev != parent.st_dev;
}

std::string DriveQueryFolder(std::uint8_t, const std::string &inPath) {
  return inPath;
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

} // namespace orvo::platform
