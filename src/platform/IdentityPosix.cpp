#include "platform/Identity.h"

#include "platform/Environment.h"
#include "platform/IdentityDetail.h"
#include "platform/Volume.h"

#include <cerrno>
#include <climits>
#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/utsname.h>
#include <unistd.h>
#include <vector>

namespace orvo::platform {

std::string ComputerName() {
  // POSIX leaves it open whether a truncated name is terminated.
  std::vector<char> name(HOST_NAME_MAX + 2, '\0');
  if (gethostname(name.data(), name.size() - 1) == 0 && name[0] != '\0')
    return name.data();
  utsname system{};
  return uname(&system) == 0 ? std::string(system.nodename) : std::string();
}

std::string UserName() {
  // The effective user is the one whose rights the files are written with.
  const long suggested = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 16384);
  for (;;) {
    passwd entry{}, *result = nullptr;
    const int error = getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &result);
    if (error == ERANGE && buffer.size() < (1u << 20)) {
      buffer.resize(buffer.size() * 2);
      continue;
    }
    if (error == 0 && result != nullptr && result->pw_name != nullptr && result->pw_name[0] != '\0')
      return result->pw_name;
    break;
  }
  // A user without an entry in the password database, as in some
  // containers.
  std::string name = EnvironmentVariable("USER");
  return name.empty() ? EnvironmentVariable("LOGNAME") : name;
}

std::string DiskLinkTo(const std::string &folder, std::uint64_t device) {
  DIR *dir = opendir(folder.c_str());
  if (dir == nullptr)
    return {};
  std::string found;
  while (const dirent *entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..")
      continue;
    // stat follows the link; only what it leads to, a block device's
    // number, is compared, never a path taken from it.
    struct stat st {};
    std::string path = folder;
    path.append("/").append(name);
    if (stat(path.c_str(), &st) != 0 || !S_ISBLK(st.st_mode) ||
        static_cast<std::uint64_t>(st.st_rdev) != device)
      continue;
    const std::string decoded = DecodeDiskLinkName(name);
    if (found.empty() || decoded < found)
      found = decoded;
  }
  closedir(dir);
  return found;
}

bool IdentifyVolume(const std::string &folder, VolumeIdentity &identity) {
  identity = {};
  std::string source, type;
  struct stat st {};
  if (!FindMountSource(folder, source, type) || stat(folder.c_str(), &st) != 0)
    return false;
  identity.device = source;
  // btrfs and FUSE give their files a device number of their own; the mount
  // source then names the block device. A source that is no path ("tmpfs")
  // is not looked at as one, and one that is missing ("/dev/root" on some
  // systems) leaves the folder's own device number.
  std::uint64_t device = st.st_dev;
  struct stat node {};
  if (!source.empty() && source.front() == '/' && stat(source.c_str(), &node) == 0 &&
      S_ISBLK(node.st_mode))
    device = node.st_rdev;
  // Major 0 is Linux's unnamed device: tmpfs, overlay, proc, network file
  // systems. No disk link leads to one.
  if (major(device) == 0)
    return true;
  identity.label = DiskLinkTo("/dev/disk/by-label", device);
  identity.serial = DiskLinkTo("/dev/disk/by-uuid", device);
  return true;
}

} // namespace orvo::platform
