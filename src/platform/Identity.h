#pragma once

#include <string>

// Who made a file and on what, for the reports that go with evidence: the
// computer's and the user's names, and the volume a folder lies on.
namespace orvo::platform {

// The computer's network name; empty when the system gives none.
std::string ComputerName();
// The name of the user this program runs as; empty when unknown.
std::string UserName();

struct VolumeIdentity {
  std::string label;  // the volume label ("NO NAME" is a label too); empty when none
  std::string serial; // the file system's serial number or UUID as the system
                      // shows it ("1A2B-3C4D" for FAT); empty when unknown
  std::string device; // the device or drive it is mounted from, when known
};

// The volume `folder` lies on; false, with `identity` cleared, when the
// folder is not there or the system cannot tell. On Linux every mounted
// folder is answered: the device is the mount's source ("/dev/sdb1"), and
// the label and UUID come from udev's links in /dev/disk, so they stay
// empty where udev made none and for a folder on no block device (tmpfs,
// overlay, a network share), whose device is then the source as the mount
// table gives it ("tmpfs"). On Windows the device is the volume's root
// ("E:\"), and the serial is always given.
bool IdentifyVolume(const std::string &folder, VolumeIdentity &identity);

} // namespace orvo::platform
