#pragma once

#include <cstdint>
#include <string>

// Shared by the POSIX and Windows files of the file layer.
namespace orvo::platform {

// A name matching StaleTemporaryPattern whose twelve hex digits differ
// between calls and processes; a clash is caught by the exclusive create
// and retried.
std::string TemporaryName(std::uint64_t processId);

// Identity (device and file number) of what `path` names, following a link;
// false when there is nothing there.
bool PathIdentity(const std::string &path, std::uint64_t &device, std::uint64_t &inode);

} // namespace orvo::platform
