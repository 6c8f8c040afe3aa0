#pragma once

#include <string>
#include <vector>

namespace orvo::evidence {

// The regular files below `folder`, relative to it with "/", sorted; links,
// devices and the like are listed in `others`. Bounded in depth and count,
// so a folder of someone else's making cannot keep it going.
void ListPackageFiles(const std::string &folder, std::vector<std::string> &files,
                      std::vector<std::string> &others,
                      std::vector<std::string> *folders = nullptr);

// Removes a folder this program made and everything in it, never through a
// link (a link found goes, its target stays).
void RemoveMadeFolder(const std::string &folder);

// "original/R.../DIR00000/F0000001.mp4" with the system's separators.
std::string NativeRelative(const std::string &relative);

} // namespace orvo::evidence
