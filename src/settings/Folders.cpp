#include "settings/Folders.h"

#include "platform/FileSystem.h"
#include "settings/AddedTexts.h"
#include "settings/Stringcode.h"

#include <vector>

namespace orvo {

std::string WithTrailingBackslash(std::string_view text) {
  return platform::WithSeparator(text);
}

bool FolderExists(const std::string &path) {
  return platform::IsEnterableDirectory(path);
}

std::string OutputFolderRefusal(const std::string &input, const std::string &output) {
  // A folder still to be created lies where its nearest existing parent does.
  std::string existing = output;
  while (!existing.empty() && !FolderExists(existing))
    existing = std::string(ParentForCreation(existing));
  if (!platform::FolderLiesWithin(existing, input))
    return {};
  return GetTextWith(txt::OutputInsideInput, {output, input});
}

std::string_view ParentForCreation(std::string_view path, PathStyle style) {
  const auto ends = [style](char c) {
    // A colon only ends a Windows parent; on POSIX it is a plain character.
    return style == PathStyle::Windows ? c == '\\' || c == '/' || c == ':' : c == '/';
  };
  while (path.size() > 1) {
    path.remove_suffix(1);
    if (ends(path.back()))
      return path;
  }
  return {};
}

bool CreateFolderPath(const std::string &path) {
  // Climb to the first folder that exists, then create the missing ones
  // below it in order. A loop, not recursion: the path comes from the user.
  std::vector<std::string> missing;
  std::string current = path;
  while (!FolderExists(current)) {
    missing.push_back(current);
    const std::string_view parent = ParentForCreation(current);
    if (parent.empty())
      return false;
    current = std::string(parent);
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    // Another program may have created it meanwhile; that is success too.
    if (!platform::CreateDirectory(*it) && !FolderExists(*it))
      return false;
  }
  return true;
}

} // namespace orvo
