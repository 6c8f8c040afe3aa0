#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The inner steps of the volume lookup on Linux, open to the tests. The
// decoding is plain text work, built and tested on every system.
namespace orvo::platform {

// udev names the links in /dev/disk/by-label and /dev/disk/by-uuid after
// the volume's label or UUID, with every byte outside its safe set written
// as "\xNN" (lower-case hex): "CARD A" becomes "CARD\x20A". Escapes of
// printable ASCII are decoded; an escaped control character or a byte
// above 0x7F (udev escapes only those that are not valid UTF-8) stays
// written as it was, so that a label from a card can neither break a line
// of a report nor make its text invalid UTF-8.
std::string DecodeDiskLinkName(std::string_view name);

// POSIX only: the decoded name of the link in `folder` that leads to the
// block device numbered `device` (the lowest name when several do); empty
// when none does or the folder cannot be read.
std::string DiskLinkTo(const std::string &folder, std::uint64_t device);

} // namespace orvo::platform
