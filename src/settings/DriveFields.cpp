#include "settings/DriveFields.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace orvo {

namespace {

DriveFields WindowsDriveFields(std::string_view path) {
  DriveFields f;
  if (path.size() < 3 || path[1] != ':' || path[2] != '\\')
    return f;
  char letter = path[0];
  if (letter >= 'a' && letter <= 'z')
    letter = static_cast<char>(letter - 'a' + 'A');
  if (letter < 'A' || letter > 'Z')
    return f;
  f.DriveIndex = static_cast<std::uint8_t>(letter - 'A');
  f.InPathIsDriveRoot = path.size() == 3;
  return f;
}

// Mount points in /proc/self/mountinfo have blanks, tabs, newlines and
// backslashes written as three octal digits after a backslash.
std::string UnescapeMountPoint(std::string_view field) {
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && field.size() - i > 3) {
      const std::string_view oct = field.substr(i + 1, 3);
      if (oct.find_first_not_of("01234567") == std::string_view::npos) {
        out.push_back(static_cast<char>(std::strtol(std::string(oct).c_str(), nullptr, 8)));
        i += 3;
        continue;
      }
    }
    out.push_back(field[i]);
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
    if (UnescapeMountPoint(mountPoint) == canonical) {
      isMount = true;
      break;
    }
  }
  return any;
}

} // namespace

bool IsMountPoint(const std::string &path) {
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

DriveFields DeriveDriveFields(std::string_view path, PathStyle style) {
  if (style == PathStyle::Windows)
    return WindowsDriveFields(path);
  DriveFields f;
  if (path.empty() || path.front() != '/')
    return f;
  f.DriveIndex = 0;
  f.InPathIsDriveRoot = IsMountPoint(std::string(path));
  return f;
}

} // namespace orvo
