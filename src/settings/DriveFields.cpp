#include "settings/DriveFields.h"

#include "platform/Volume.h"

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

} // namespace

DriveFields DeriveDriveFields(std::string_view path, PathStyle style) {
  if (style == PathStyle::Windows)
    return WindowsDriveFields(path);
  DriveFields f;
  if (path.empty() || path.front() != '/')
    return f;
  f.DriveIndex = 0;
  f.InPathIsDriveRoot = platform::IsVolumeRoot(std::string(path));
  return f;
}

} // namespace orvo
