#include "evidence/Files.h"

#include "platform/FileSystem.h"

#include <algorithm>

namespace orvo::evidence {

namespace {

constexpr int kMaxDepth = 8;
constexpr std::size_t kMaxEntries = 200000;

void Walk(const std::string &root, const std::string &relative, int depth,
          std::vector<std::string> &files, std::vector<std::string> &others,
          std::vector<std::string> *folders) {
  std::vector<platform::DirEntry> entries;
  const std::string here =
      relative.empty() ? root : root + NativeRelative(relative) + platform::kPathSeparator;
  if (!platform::FindEntries(here, "*", false, entries))
    return;
  for (const platform::DirEntry &e : entries) {
    if (files.size() + others.size() >= kMaxEntries)
      return;
    const std::string path = relative.empty() ? e.name : relative + "/" + e.name;
    const std::string native = root + NativeRelative(path);
    if (platform::IsRegularFile(native))
      files.push_back(path);
    else if (e.isDirectory && depth < kMaxDepth) {
      if (folders)
        folders->push_back(path);
      Walk(root, path, depth + 1, files, others, folders);
    }
    else
      others.push_back(path);
  }
}

} // namespace

void RemoveMadeFolder(const std::string &folder) {
  const std::string root = platform::WithSeparator(folder);
  std::vector<std::string> files, others, folders;
  ListPackageFiles(root, files, others, &folders);
  for (const std::vector<std::string> *list : {&files, &others})
    for (const std::string &f : *list)
      platform::DeleteFile(root + NativeRelative(f));
  // Deepest first, each left empty by what went before it.
  std::sort(folders.begin(), folders.end(),
            [](const std::string &a, const std::string &b) { return a.size() > b.size(); });
  for (const std::string &f : folders)
    platform::RemoveDirectory(root + NativeRelative(f));
  platform::RemoveDirectory(root);
}

std::string NativeRelative(const std::string &relative) {
  std::string native = relative;
  std::replace(native.begin(), native.end(), '/', platform::kPathSeparator);
  return native;
}

void ListPackageFiles(const std::string &folder, std::vector<std::string> &files,
                      std::vector<std::string> &others, std::vector<std::string> *folders) {
  files.clear();
  others.clear();
  Walk(platform::WithSeparator(folder), std::string(), 0, files, others, folders);
  std::sort(files.begin(), files.end());
  std::sort(others.begin(), others.end());
}

} // namespace orvo::evidence
