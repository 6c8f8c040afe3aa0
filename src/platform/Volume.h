#pragma once

#include <cstdint>
#include <string>

// Questions about the volume a folder is on, asked of removable media.
namespace orvo::platform {

// Keeps the system from asking the user to insert a disk while a removable
// drive is queried: on Windows the critical-error boxes are switched off for
// the guard's life and the previous mode restored afterwards, for the
// calling thread alone, so that worker threads and the window thread never
// restore each other's modes. Elsewhere there are no such boxes and the
// guard does nothing.
class CriticalErrorGuard {
public:
  CriticalErrorGuard();
  ~CriticalErrorGuard();
  CriticalErrorGuard(const CriticalErrorGuard &) = delete;
  CriticalErrorGuard &operator=(const CriticalErrorGuard &) = delete;

private:
  [[maybe_unused]] unsigned previousMode_ = 0;
};

// Whether the folder exists, can be listed and its volume answers a size
// query (on Windows the drive size query, which fails for an empty card
// reader). Opens no file there.
bool IsFolderReady(const std::string &folder);

// The folder through which the drive of the input folder `inPath` is asked
// about: on Windows the root of drive `drive` ("E:\" for 4), elsewhere the
// input folder itself, since a mounted volume has no letter.
std::string DriveQueryFolder(std::uint8_t drive, const std::string &inPath);

// Whether the folder `path` is the root of its volume: a drive's root or a
// folder a volume is mounted on.
bool IsVolumeRoot(const std::string &path);

struct VolumeFacts {
  // The volume is one of the FAT family (FAT12, FAT16 or FAT32; not exFAT).
  bool isFat = false;
  // Count of data clusters; meaningful for FAT only.
  std::uint64_t dataClusters = 0;
};

// Fills `facts` for the volume holding `folder`; false when it cannot be
// asked.
bool ProbeVolume(const std::string &folder, VolumeFacts &facts);
using VolumeProbe = bool (*)(const std::string &folder, VolumeFacts &facts);

// The FAT type follows from the cluster count alone: below 4085 is FAT12,
// below 65525 FAT16, anything above FAT32.
constexpr bool IsFat32ClusterCount(std::uint64_t dataClusters) {
  return dataClusters >= 65525;
}

// Whether the volume holding `folder` is FAT32, asked through `probe`.
bool IsFat32Volume(const std::string &folder, VolumeProbe probe = ProbeVolume);

// The device a folder's volume was mounted from ("/dev/sdb1") and its file
// system type, from the system's mount table. False when not found.
bool FindMountSource(const std::string &folder, std::string &device, std::string &fsType);

} // namespace orvo::platform
