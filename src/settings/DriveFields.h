#pragma once

#include "platform/FileSystem.h"

#include <cstdint>
#include <string>
#include <string_view>

// Which volume the input folder is on, and whether it is that volume's root:
// the one question the card code asks about a path.
namespace orvo {

enum class PathStyle {
  // "E:\DCIM\": drive letters, backslashes.
  Windows,
  // "/media/card/": no drive letters; volumes are mount points.
  Posix,
};

inline constexpr PathStyle NativePathStyle =
    platform::kDriveLetters ? PathStyle::Windows : PathStyle::Posix;

inline constexpr std::uint8_t NoDrive = 255;

struct DriveFields {
  // Windows: 0 for A: up to 25 for Z:. POSIX: 0 for "the volume holding the
  // path". NoDrive when the path names no drive (empty, relative, a network
  // path).
  std::uint8_t DriveIndex = NoDrive;
  // Windows: the path is a drive letter, a colon and a backslash, nothing
  // more. POSIX: the path is the mount point of its volume.
  bool InPathIsDriveRoot = false;
};

// Windows style looks at the text only; POSIX style asks the file system
// whether an absolute path is a mount point (platform::IsVolumeRoot).
DriveFields DeriveDriveFields(std::string_view path, PathStyle style = NativePathStyle);

} // namespace orvo
